// The language files shipped in LANGUAGE/: English.lng must match the built-in texts, and
// every translation must cover the same entries with the same blanks at the ends.

#include "common/conversions.h"
#include "common/file_io.h"
#include "language/default_strings.h"
#include "language/lang_file.h"
#include "language/lang_table.h"
#include "language/text_decode.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace qm {
namespace {

std::string Shipped(const char* name) {
    return Path_Join(Path_Join(QM_SOURCE_DIR, "LANGUAGE"), name);
}

bool Is_Blank_At(const std::string& text, bool front) {
    return !text.empty() && static_cast<unsigned char>(front ? text.front() : text.back()) <= 32;
}

TEST(English_File, Matches_The_Built_In_Defaults) {
    std::string bytes;
    const Io_Result read = Read_File(Shipped("English.lng"), bytes);
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(bytes, English_Language_File_Text())
        << "LANGUAGE/English.lng is out of date: regenerate it with qm-lang-export";

    Load_Default_Strings();
    const Language_Load_Result result = Load_Language_File(Shipped("English.lng"));
    ASSERT_TRUE(result.ok) << result.message;
    int non_blank = 0;
    for (int i = 0; i < Lang_Table_Size; ++i) {
        EXPECT_EQ(Lang(i), Default_String(i)) << "entry " << i;
        non_blank += Default_String(i) != " " ? 1 : 0;
    }
    EXPECT_EQ(result.lines_applied, non_blank);
}

class Translation : public testing::TestWithParam<const char*> {};

TEST_P(Translation, Covers_Every_English_Entry_With_The_Same_Blanks) {
    std::string bytes;
    const Io_Result read = Read_File(Shipped(GetParam()), bytes);
    ASSERT_TRUE(read.ok) << read.message;
    const Decoded_Text decoded = Decode_Text(bytes);
    EXPECT_EQ(decoded.encoding, Text_Encoding::Utf8_Bom);
    EXPECT_EQ(decoded.invalid_characters, 0);

    std::map<int, std::string> texts;
    for (const std::string_view line : Split_Lines(decoded.utf8)) {
        if (auto entry = Parse_Language_Line(line)) {
            EXPECT_EQ(texts.count(entry->index), 0U) << "entry " << entry->index << " twice";
            texts[entry->index] = entry->text;
        }
    }
    for (int i = 0; i < Default_String_Count; ++i) {
        const std::string& english = Default_String(i);
        const auto found = texts.find(i);
        if (english == " ") {
            EXPECT_EQ(found, texts.end()) << "entry " << i << " has no English text";
            continue;
        }
        ASSERT_NE(found, texts.end()) << "entry " << i << " (\"" << english << "\") missing";
        const std::string& text = found->second;
        EXPECT_FALSE(Trim(text).empty()) << "entry " << i;
        EXPECT_EQ(Is_Blank_At(text, true), Is_Blank_At(english, true))
            << "entry " << i << ": \"" << text << '"';
        EXPECT_EQ(Is_Blank_At(text, false), Is_Blank_At(english, false))
            << "entry " << i << ": \"" << text << '"';
    }
    // Table messages are "<prefix><row number><message>": both prefixes agree, and every
    // message starts with the "!!" that follows the number in English.
    EXPECT_EQ(texts[1270], texts[1529]);
    for (const auto& [i, text] : texts) {
        if (Default_String(i).starts_with("!!")) {
            EXPECT_TRUE(text.starts_with("!!")) << "entry " << i << ": \"" << text << '"';
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, Translation, testing::Values("Italiano.lng"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             const std::string file = info.param;
                             return file.substr(0, file.find('.'));
                         });

} // namespace
} // namespace qm
