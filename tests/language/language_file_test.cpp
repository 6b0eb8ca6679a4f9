// Loading language files into the table: encodings, line ends, fall-backs and damaged files.

#include "common/file_io.h"
#include "language/lang_table.h"
#include "language/text_decode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace qm {
namespace {

namespace fs = std::filesystem;

class Language_Files : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qm_lang_" + std::to_string(::getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        Load_Default_Strings();
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::all, ec);
        fs::remove_all(dir_, ec);
    }
    std::string Dir() const { return dir_.string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    fs::path dir_;
};

// Two entries per file: 15 with a non-ASCII text and 9 with a trailing blank between pilcrows.
struct Encoding_Case {
    const char* name;
    std::string bytes;
    Text_Encoding encoding;
};

std::string Utf16(const std::u16string& text, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? high : low;
        bytes += big_endian ? low : high;
    }
    return bytes;
}

const std::u16string Utf16_Sample =
    u"; remark\r\nSTR15 = Cr\u00E9er \u20AC\r\nSTR9 = \u00B6Aperta \u00B6\r\n";

TEST_F(Language_Files, Every_Encoding_Gives_The_Same_Texts) {
    const Encoding_Case cases[] = {
        {"utf8_bom",
         "\xEF\xBB\xBF; remark\nSTR15 = Cr\xC3\xA9"
         "er \xE2\x82\xAC\nSTR9 = \xC2\xB6"
         "Aperta \xC2\xB6\n",
         Text_Encoding::Utf8_Bom},
        {"utf16_le", Utf16(Utf16_Sample, false), Text_Encoding::Utf16_Le},
        {"utf16_be", Utf16(Utf16_Sample, true), Text_Encoding::Utf16_Be},
        {"cp1252", "; remark\r\nSTR15 = Cr\xE9" "er \x80\r\nSTR9 = \xB6" "Aperta \xB6\r\n",
         Text_Encoding::Windows_1252},
        {"mixed_line_ends", "; remark\rSTR15 = Cr\xE9" "er \x80\r\n\n\rSTR9 = \xB6" "Aperta \xB6",
         Text_Encoding::Windows_1252},
    };
    for (const Encoding_Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load_Default_Strings();
        EXPECT_EQ(Decode_Text(c.bytes).encoding, c.encoding);
        const Language_Load_Result result =
            Load_Language_File(Write(std::string(c.name) + ".lng", c.bytes));
        EXPECT_TRUE(result.ok) << result.message;
        EXPECT_EQ(result.lines_applied, 2);
        EXPECT_EQ(result.invalid_characters, 0);
        EXPECT_EQ(Lang(15), "Cr\xC3\xA9" "er \xE2\x82\xAC");
        EXPECT_EQ(Lang(9), "Aperta ");
        EXPECT_EQ(Lang(16), Default_String(16));
    }
}

TEST(Decode_Text, Replaces_What_Is_Not_Text_In_Its_Encoding) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string utf8;
        int invalid;
    };
    const std::string bad = "\xEF\xBF\xBD";
    const Case cases[] = {
        {"utf8_stray_continuation", "\xEF\xBB\xBF" "a\x80z", "a" + bad + "z", 1},
        {"utf8_overlong", "\xEF\xBB\xBF\xC0\xAF", bad + bad, 2},
        {"utf8_encoded_surrogate", "\xEF\xBB\xBF\xED\xA0\x80z", bad + bad + bad + "z", 3},
        {"utf8_truncated_at_end", "\xEF\xBB\xBF" "a\xE2\x82", "a" + bad, 1},
        {"utf8_above_10ffff", "\xEF\xBB\xBF\xF4\x90\x80\x80", bad + bad + bad + bad, 4},
        {"utf8_four_bytes", "\xEF\xBB\xBF\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", 0},
        {"utf16_pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80", 0},
        {"utf16_lone_high", std::string("\xFF\xFE\x3D\xD8" "a\0", 6), bad + "a", 1},
        {"utf16_lone_low", std::string("\xFE\xFF\xDE\x00\x00" "a", 6), bad + "a", 1},
        {"utf16_odd_length", std::string("\xFF\xFE" "a\0b", 5), "a" + bad, 1},
        {"cp1252_unassigned_are_c1", "\x81\x8D\x8F\x90\x9D",
         "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", 0},
        {"cp1252_high_half", "\x9F\xA0\xFF", "\xC5\xB8\xC2\xA0\xC3\xBF", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded_Text decoded = Decode_Text(c.bytes);
        EXPECT_EQ(decoded.utf8, c.utf8);
        EXPECT_EQ(decoded.invalid_characters, c.invalid);
    }
}

TEST_F(Language_Files, Later_Lines_Replace_Earlier_And_Bad_Lines_Are_Skipped) {
    const Language_Load_Result result = Load_Language_File(Write(
        "x.lng", "STR15 = First\nstr15 = lower\nSTR16 = /#/ remark only\nSTR15 = Second\n"
                 "STRab = x\nSTR15 =\nSTR17 = \xB6\xB6\n"));
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.lines_applied, 3);
    EXPECT_EQ(Lang(15), "Second");
    EXPECT_EQ(Lang(16), Default_String(16));
    EXPECT_EQ(Lang(17), "");
    EXPECT_EQ(Lang_Table.size(), 1900U);
}

TEST_F(Language_Files, Invalid_Utf8_Is_Counted_And_Shown_As_Replacement) {
    const Language_Load_Result result =
        Load_Language_File(Write("bad.lng", "\xEF\xBB\xBFSTR15 = A\xFF" "B\n"));
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.invalid_characters, 1);
    EXPECT_EQ(Lang(15), "A\xEF\xBF\xBD" "B");
}

TEST_F(Language_Files, Init_Language_Loads_The_Chosen_File_Over_Fresh_Defaults) {
    Write("Italiano.lng", "STR15 = Nuova Configurazione\n");
    Write("Deutsch.lng", "STR16 = Konfiguration \xF6" "ffnen\n");
    std::string language = "Italiano";
    ASSERT_TRUE(Init_Language(Dir(), language).ok);
    EXPECT_EQ(Lang(15), "Nuova Configurazione");

    // A switch starts from the defaults again: nothing of the Italian file stays.
    language = "Deutsch";
    const Language_Load_Result result = Init_Language(Dir(), language);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(language, "Deutsch");
    EXPECT_EQ(Lang(15), Default_String(15));
    EXPECT_EQ(Lang(16), "Konfiguration \xC3\xB6" "ffnen");
}

TEST_F(Language_Files, Missing_Language_Falls_Back_To_English) {
    struct Case {
        const char* name;
        std::string language;
        bool english_file;
    };
    const Case cases[] = {
        {"missing_with_english_file", "Klingon", true},
        {"missing_without_english_file", "Klingon", false},
        {"empty_name", "", false},
        {"path_instead_of_name", "../" + dir_.filename().string() + "/Secret", true},
        {"folder_named_like_the_file", "Folder", false},
    };
    fs::create_directory(dir_ / "Folder.lng");
    Write("Secret.lng", "STR15 = secret\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir_ / "English.lng");
        if (c.english_file) {
            Write("English.lng", "STR15 = English from file\n");
        }
        Lang_Table.assign(1900, "stale");
        std::string language = c.language;
        const Language_Load_Result result = Init_Language(Dir(), language);
        EXPECT_TRUE(result.ok) << result.message;
        EXPECT_EQ(language, "English");
        EXPECT_EQ(Lang(15), c.english_file ? "English from file" : Default_String(15));
        EXPECT_EQ(Lang(18), "Error! Project not Valid");
    }
}

TEST_F(Language_Files, Unreadable_Files_Change_Nothing_And_Name_The_File) {
    Load_Language_File(Write("good.lng", "STR15 = Kept\n"));
    struct Case {
        const char* name;
        std::string path;
    };
    fs::create_directory(dir_ / "folder.lng");
    std::string binary("STR15 = junk\n\0\x01\x02\xFF\xFE", 18);
    std::string utf16_without_bom("S\0T\0R\0" "1\0" "5\0=\0x\0", 14);
    const Case cases[] = {
        {"missing", (dir_ / "missing.lng").string()},
        {"folder", (dir_ / "folder.lng").string()},
        {"binary", Write("binary.lng", binary)},
        {"utf16_without_bom", Write("utf16.lng", utf16_without_bom)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Language_Load_Result result = Load_Language_File(c.path);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.lines_applied, 0);
        EXPECT_NE(result.message.find(c.path), std::string::npos) << result.message;
        EXPECT_EQ(Lang(15), "Kept");
        EXPECT_EQ(Lang_Table.size(), 1900U);
    }
}

TEST_F(Language_Files, Unreadable_Chosen_Language_Keeps_Defaults_And_Its_Name) {
    const std::string path = Write("Locked.lng", "STR15 = x\n");
    fs::permissions(path, fs::perms::none);
    if (::access(path.c_str(), R_OK) == 0) {
        GTEST_SKIP() << "running with rights that read any file; a locked file cannot be made";
    }
    std::string language = "Locked";
    const Language_Load_Result result = Init_Language(Dir(), language);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(path), std::string::npos) << result.message;
    EXPECT_EQ(language, "Locked");
    EXPECT_EQ(Lang(15), Default_String(15));
}

TEST_F(Language_Files, Long_Lines_And_Large_Files) {
    // A megabyte-long text is a text like any other.
    const std::string long_text(1 << 20, 'x');
    Language_Load_Result result =
        Load_Language_File(Write("long.lng", "STR15 = " + long_text + "\nSTR16 = after\n"));
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(Lang(15), long_text);
    EXPECT_EQ(Lang(16), "after");

    // Past the size limit the file is refused before it is read.
    const fs::path big = dir_ / "big.lng";
    std::ofstream(big, std::ios::binary) << "STR16 = too big\n";
    fs::resize_file(big, 64ULL * 1024 * 1024 + 1);
    result = Load_Language_File(big.string());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("too large"), std::string::npos) << result.message;
    EXPECT_EQ(Lang(16), "after");
}

TEST(String_Table, Index_Outside_The_Table_Reads_A_Blank) {
    Load_Default_Strings();
    EXPECT_EQ(Lang(-1), " ");
    EXPECT_EQ(Lang(1900), " ");
    EXPECT_EQ(Lang(7), " ");
    EXPECT_EQ(Lang(9), "None Configuration Opened ");
}

TEST(String_Table, Loading_Before_The_Defaults_Fills_Them_First) {
    Lang_Table.clear();
    const fs::path path =
        fs::temp_directory_path() / ("qm_lang_first_" + std::to_string(::getpid()) + ".lng");
    std::ofstream(path, std::ios::binary) << "STR15 = x\n";
    const Language_Load_Result result = Load_Language_File(path.string());
    fs::remove(path);
    ASSERT_TRUE(result.ok) << result.message;
    ASSERT_EQ(Lang_Table.size(), 1900U);
    EXPECT_EQ(Lang(15), "x");
    EXPECT_EQ(Lang(16), "Open Configuration");
}

} // namespace
} // namespace qm
