// Language files without a byte-order mark: read in the machine's 8-bit code page on Windows,
// always in Windows-1252 elsewhere.

#include "language/text_decode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/file_io.h"
#include "language/lang_table.h"
#include "../common/temp_folder.h"

namespace qm {
namespace {

// The bytes of "Přenos dat: č ą Š" in code page 1250; in 1252 the same bytes read otherwise.
constexpr const char* Czech_1250 = "P\xF8" "enos dat: \xE8 \xB9 \x8A";
constexpr const char* Czech_Utf8 = "P\xC5\x99" "enos dat: \xC4\x8D \xC4\x85 \xC5\xA0";
constexpr const char* As_1252_Utf8 = "P\xC3\xB8" "enos dat: \xC3\xA8 \xC2\xB9 \xC5\xA0";

TEST(Code_Page, FileWithoutMarkIsReadInTheMachinesPage) {
#ifdef _WIN32
    EXPECT_EQ(Eight_Bit_Code_Page(), GetACP());
#else
    EXPECT_EQ(Eight_Bit_Code_Page(), 1252U);
#endif
    const std::string dir = test::Make_Temp_Folder("qm_code_page_");
    ASSERT_FALSE(dir.empty());
    const std::string path = Path_Join(dir, "Cesky.lng");
    ASSERT_TRUE(Write_File_Atomic(path, std::string("STR15 = ") + Czech_1250 + "\r\n"));
    std::string language = "Cesky";
    Init_Language(dir, language);
    switch (Eight_Bit_Code_Page()) {
    case 1250:
        EXPECT_EQ(Lang(15), Czech_Utf8);
        break;
    case 1252:
        EXPECT_EQ(Lang(15), As_1252_Utf8);
        break;
    default:
        ADD_FAILURE() << "no expectation for code page " << Eight_Bit_Code_Page();
    }
    std::filesystem::remove_all(std::filesystem::path(std::u8string(dir.begin(), dir.end())));
}

// Run once more by ctest with Wine set to a Czech locale, whose 8-bit code page is 1250.
TEST(Code_Page, MachineSetTo1250ReadsCentralEuropeanLetters) {
    const char* expected = std::getenv("QM_EXPECT_CODE_PAGE");
    if (expected == nullptr) {
        GTEST_SKIP() << "run by ctest with QM_EXPECT_CODE_PAGE set";
    }
    ASSERT_EQ(Eight_Bit_Code_Page(), static_cast<unsigned>(std::atoi(expected)));
    EXPECT_EQ(Decode_Text(Czech_1250).utf8, Czech_Utf8);
    EXPECT_EQ(Decode_Text(Czech_1250).encoding, Text_Encoding::Ansi_Code_Page);
}

TEST(Code_Page, GivenPageDecodes) {
    EXPECT_EQ(Decode_Text(Czech_1250, 1252).utf8, As_1252_Utf8);
    EXPECT_EQ(Decode_Text(Czech_1250, 1252).encoding, Text_Encoding::Windows_1252);
    // A byte-order mark wins over any code page.
    EXPECT_EQ(Decode_Text(std::string("\xEF\xBB\xBF") + Czech_Utf8, 1250).utf8, Czech_Utf8);
#ifdef _WIN32
    EXPECT_EQ(Decode_Text(Czech_1250, 1250).utf8, Czech_Utf8);
    EXPECT_EQ(Decode_Text("\x82\xB1\x82\xF1", 932).utf8, "\xE3\x81\x93\xE3\x82\x93") << "Shift-JIS, two bytes a letter";
#else
    // No code page setting here: 1252 whatever is asked.
    EXPECT_EQ(Decode_Text(Czech_1250, 1250).utf8, As_1252_Utf8);
#endif
}

} // namespace
} // namespace qm
