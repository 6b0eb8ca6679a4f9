// The language files shipped in LANGUAGE/: English.lng must match the built-in texts, and
// every translation must cover the same entries with the same blanks at the ends.

#include "common/conversions.h"
#include "common/file_io.h"
#include "language/default_strings.h"
#include "language/lang_file.h"
#include "language/lang_table.h"
#include "language/text_decode.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>

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

// Every entry the program asks for by number has a text of its own, so no window or message
// ever shows a blank where words belong (the translations are held to the defaults above).
TEST(Program_Entries, Each_Has_An_English_Default) {
    std::set<int> used;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Path_Join(QM_SOURCE_DIR, "src"))) {
        if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h") {
            continue;
        }
        std::string source;
        ASSERT_TRUE(Read_File(entry.path().string(), source).ok);
        // Calls with a plain number: Lang(18), Lang_Q(1200), Lang_Text(19), Text(401).
        for (const std::string_view name : {"Lang(", "Lang_Q(", "Lang_Text(", "Text("}) {
            for (std::size_t at = source.find(name); at != std::string::npos; at = source.find(name, at + 1)) {
                const bool whole_name = at == 0 || !(std::isalnum(static_cast<unsigned char>(source[at - 1])) ||
                                                     source[at - 1] == '_');
                std::size_t end = at + name.size();
                while (end < source.size() && std::isdigit(static_cast<unsigned char>(source[end]))) {
                    ++end;
                }
                if (!whole_name || end == at + name.size() || end >= source.size() || source[end] != ')') {
                    continue;
                }
                const int index = std::stoi(source.substr(at + name.size(), end - at - name.size()));
                used.insert(index);
                EXPECT_NE(Default_String(index), " ") << entry.path().string() << " uses entry " << index;
            }
        }
    }
    // The program's own messages are among them, so the scan found what it looks for.
    EXPECT_TRUE(used.count(18) == 1 && used.count(45) == 1 && used.count(91) == 1);
}

// The parse failures are pugixml's own wording in English, through entries 115 to 130.
TEST(Program_Entries, Xml_Parse_Texts_Are_Pugixmls_In_English) {
    for (int status = pugi::status_file_not_found; status <= pugi::status_no_document_element; ++status) {
        pugi::xml_parse_result parsed;
        parsed.status = static_cast<pugi::xml_parse_status>(status);
        EXPECT_EQ(Default_String(114 + status), parsed.description()) << "status " << status;
    }
}

} // namespace
} // namespace qm
