// One line of a language file at a time: which lines set an entry, and to what.

#include "language/lang_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace qm {
namespace {

struct Line_Case {
    const char* name;
    const char* line;
    int index;           // -1: the line sets nothing
    const char* text;
};

std::ostream& operator<<(std::ostream& os, const Line_Case& c) {
    return os << c.name;
}

class Language_Line_Test : public testing::TestWithParam<Line_Case> {};

TEST_P(Language_Line_Test, Reads_Index_And_Text) {
    const Line_Case& c = GetParam();
    const std::optional<Language_Line> parsed = Parse_Language_Line(c.line);
    if (c.index < 0) {
        EXPECT_FALSE(parsed.has_value()) << "set entry " << parsed->index << " to \""
                                         << parsed->text << "\"";
        return;
    }
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->index, c.index);
    EXPECT_EQ(parsed->text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Language_Line_Test,
    testing::Values(
        Line_Case{"plain", "STR15 = New Configuration", 15, "New Configuration"},
        Line_Case{"no_blanks", "STR15=New Configuration", 15, "New Configuration"},
        Line_Case{"blank_after_STR", "STR 15 = New Configuration", 15, "New Configuration"},
        Line_Case{"extra_blanks", "   STR15   =    New Configuration   ", 15, "New Configuration"},
        Line_Case{"tabs_and_controls", "\t\x01STR15\t=\tNew Configuration\t\x1f", 15,
                  "New Configuration"},
        Line_Case{"inner_blanks_kept", "STR15 = New   Configuration", 15, "New   Configuration"},
        Line_Case{"leading_zeros", "STR015 = x", 15, "x"},
        Line_Case{"first_entry", "STR0 = Begin", 0, "Begin"},
        Line_Case{"last_entry", "STR1899 = x", 1899, "x"},
        Line_Case{"equals_in_text", "STR15 = a = b", 15, "a = b"},
        Line_Case{"utf8_text", "STR15 = Nuova configurazione \xC3\xA8", 15,
                  "Nuova configurazione \xC3\xA8"},
        Line_Case{"lower_case", "str15 = x", -1, ""},
        Line_Case{"mixed_case", "Str15 = x", -1, ""},
        Line_Case{"past_the_end", "STR1900 = x", -1, ""},
        Line_Case{"huge_index", "STR99999999999999999999 = x", -1, ""},
        Line_Case{"negative", "STR-1 = x", -1, ""},
        Line_Case{"letters", "STRab = x", -1, ""},
        Line_Case{"hex_is_not_decimal", "STR$F = x", -1, ""},
        Line_Case{"blank_inside_index", "STR1 5 = x", -1, ""},
        Line_Case{"no_index", "STR = x", -1, ""},
        Line_Case{"no_equals", "STR15 New Configuration", -1, ""},
        Line_Case{"no_text", "STR15 = ", -1, ""},
        Line_Case{"not_at_start", "X STR15 = x", -1, ""},
        Line_Case{"heading", "[Main window]", -1, ""},
        Line_Case{"empty", "", -1, ""},
        Line_Case{"remark_after_text", "STR15 = Open /#/ button caption", 15, "Open"},
        Line_Case{"only_remark", "STR15 = /#/ only a remark", -1, ""},
        Line_Case{"remark_without_blank", "STR15 = Open/#/x", 15, "Open"},
        Line_Case{"trailing_blank_kept", "STR9 = \xC2\xB6None Configuration Opened \xC2\xB6", 9,
                  "None Configuration Opened "},
        Line_Case{"both_blanks_kept", "STR306 = \xC2\xB6 / \xC2\xB6", 306, " / "},
        Line_Case{"text_after_pilcrow_dropped", "STR9 = \xC2\xB6Opened\xC2\xB6 more", 9, "Opened"},
        Line_Case{"empty_between_pilcrows", "STR9 = \xC2\xB6\xC2\xB6", 9, ""},
        Line_Case{"opening_pilcrow_only", "STR9 = \xC2\xB6 x", 9, " x"},
        Line_Case{"pilcrow_inside", "STR9 = ab\xC2\xB6 cd", 9, "ab"},
        Line_Case{"remark_before_pilcrows", "STR9 = \xC2\xB6 a \xC2\xB6 /#/ remark", 9, " a "},
        Line_Case{"remark_inside_pilcrows", "STR9 = \xC2\xB6 a /#/ b \xC2\xB6", 9, " a"}),
    [](const testing::TestParamInfo<Line_Case>& info) { return std::string(info.param.name); });

TEST(Format_Language_Line, Reads_Back_As_Written) {
    const std::string texts[] = {"New Configuration", "None Configuration Opened ", " / ", "",
                                 " ", "\tx", "a = b", "caf\xC3\xA9"};
    for (const std::string& text : texts) {
        const std::optional<std::string> line = Format_Language_Line(42, text);
        ASSERT_TRUE(line.has_value()) << '"' << text << '"';
        const std::optional<Language_Line> back = Parse_Language_Line(*line);
        ASSERT_TRUE(back.has_value()) << *line;
        EXPECT_EQ(back->index, 42);
        EXPECT_EQ(back->text, text) << *line;
    }
    EXPECT_EQ(*Format_Language_Line(9, "None Configuration Opened "),
              "STR9 = \xC2\xB6None Configuration Opened \xC2\xB6");
}

TEST(Format_Language_Line, Refuses_Texts_The_Format_Cannot_Carry) {
    EXPECT_FALSE(Format_Language_Line(1, "a /#/ b"));
    EXPECT_FALSE(Format_Language_Line(1, "a \xC2\xB6 b"));
    EXPECT_FALSE(Format_Language_Line(1, "two\nlines"));
    EXPECT_FALSE(Format_Language_Line(1900, "x"));
}

} // namespace
} // namespace qm
