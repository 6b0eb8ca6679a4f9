#include "common/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#ifdef _WIN32
#include <windows.h>
#endif

namespace qm {
namespace {

struct Int_Case {
    const char* name;
    const char* text;
    std::int32_t expected; // -99 stands for the fallback
};

class Text_To_Int_Test : public ::testing::TestWithParam<Int_Case> {};

TEST_P(Text_To_Int_Test, Converts) {
    const Int_Case& c = GetParam();
    EXPECT_EQ(Text_To_Int(c.text, -99), c.expected) << "text [" << c.text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Text_To_Int_Test,
    ::testing::Values(Int_Case{"Plain", "42", 42}, Int_Case{"LeadingBlank", " 42", 42},
                      Int_Case{"LeadingBlanks", "   42", 42}, Int_Case{"TrailingBlank", "42 ", -99},
                      Int_Case{"LeadingTab", "\t42", -99}, Int_Case{"Plus", "+7", 7},
                      Int_Case{"MinusZero", "-0", 0}, Int_Case{"Negative", "-15", -15},
                      Int_Case{"Dollar", "$1F", 31}, Int_Case{"LowerX", "x1F", 31},
                      Int_Case{"UpperX", "X1f", 31}, Int_Case{"ZeroX", "0x1F", 31},
                      Int_Case{"ZeroUpperX", "0X1F", 31}, Int_Case{"NegativeHex", "-$10", -16},
                      Int_Case{"BlankBeforeSign", " -5", -5}, Int_Case{"BlankAfterSign", "- 5", -99},
                      Int_Case{"Empty", "", -99}, Int_Case{"OnlyBlanks", "   ", -99},
                      Int_Case{"SignOnly", "-", -99}, Int_Case{"TwoSigns", "+-5", -99},
                      Int_Case{"PrefixOnly", "$", -99}, Int_Case{"ZeroXOnly", "0x", -99},
                      Int_Case{"SignAndPrefix", "-x", -99}, Int_Case{"Max", "2147483647", 2147483647},
                      Int_Case{"PastMax", "2147483648", -99},
                      Int_Case{"Min", "-2147483648", std::numeric_limits<std::int32_t>::min()},
                      Int_Case{"PastMin", "-2147483649", -99}, Int_Case{"HexMax", "$7FFFFFFF", 2147483647},
                      Int_Case{"HexPastMax", "$80000000", -99}, Int_Case{"HexAllOnes", "$FFFFFFFF", -99},
                      Int_Case{"HexMin", "-$80000000", std::numeric_limits<std::int32_t>::min()},
                      Int_Case{"Huge", "99999999999999999999999999", -99},
                      Int_Case{"LeadingZeros", "000000000000000000017", 17}, Int_Case{"Decimal", "1.5", -99},
                      Int_Case{"Thousands", "1,000", -99}, Int_Case{"BadHexDigit", "$1G", -99},
                      Int_Case{"HexLetterInDecimal", "1F", -99}, Int_Case{"NonAsciiDigit", "\xD9\xA1", -99}),
    [](const ::testing::TestParamInfo<Int_Case>& p) { return std::string(p.param.name); });

TEST(Check_IP_Address, AcceptsDottedAddressesWithBlanksAroundParts) {
    const Ip_Parts plain = Check_IP_Address("192.168.1.125");
    ASSERT_TRUE(plain.valid);
    EXPECT_EQ(plain.parts, (std::array<std::string, 4>{"192", "168", "1", "125"}));

    const Ip_Parts spaced = Check_IP_Address(" 192 . 168 . 1 . 1 ");
    ASSERT_TRUE(spaced.valid);
    EXPECT_EQ(spaced.parts, (std::array<std::string, 4>{"192", "168", "1", "1"}));

    const Ip_Parts hex = Check_IP_Address("0x10.0.0.1");
    ASSERT_TRUE(hex.valid);
    EXPECT_EQ(hex.parts[0], "0x10");
}

TEST(Check_IP_Address, RejectsWhatIsNotAnAddress) {
    for (const char* text : {"192.168.1", "192.168.1.1.1", "256.1.1.1", "-1.1.1.1", "1.2.3.", "", "a.b.c.d"}) {
        EXPECT_FALSE(Check_IP_Address(text).valid) << text;
    }
}

TEST(Split_IP_Address, SplitsStrictly) {
    struct Case {
        const char* text;
        bool bad;
        std::array<std::uint8_t, 4> bytes;
    };
    const Case cases[] = {
        {"192.168.1.125", false, {192, 168, 1, 125}},
        {" 192.168.1.125", false, {192, 168, 1, 125}},
        {"192.168.1.125 ", true, {192, 168, 1, 0}},
        {"192 .168.1.125", true, {0, 168, 1, 125}},
        {"192.168.1", true, {192, 168, 0, 1}},
        {"192.168.1.1.1", true, {192, 168, 1, 0}},
        {"300.1.1.1", true, {0, 1, 1, 1}},
        {"$C0.$A8.0.1", false, {192, 168, 0, 1}},
        {"", true, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const Ip_Bytes result = Split_IP_Address(c.text);
        EXPECT_EQ(result.bad, c.bad) << "[" << c.text << "]";
        EXPECT_EQ(result.bytes, c.bytes) << "[" << c.text << "]";
    }
}

TEST(Get_Decimal_Separator, GivesCommaOrPoint) {
    const char separator = Get_Decimal_Separator();
    EXPECT_TRUE(separator == ',' || separator == '.');
}

#ifdef _WIN32
// The user's legacy profile value sDecimal of section Intl, set here as Control Panel would.
TEST(Get_Decimal_Separator, FollowsTheProfileValue) {
    wchar_t kept[16] = {};
    const DWORD had = GetProfileStringW(L"Intl", L"sDecimal", L"", kept, 16);
    struct Case {
        const wchar_t* value;
        char expected;
    };
    for (const Case c : {Case{L".", '.'}, Case{L",", ','}, Case{L";", ','}, Case{L"\u066B", ','},
                         Case{L".,", '.'}}) {
        ASSERT_TRUE(WriteProfileStringW(L"Intl", L"sDecimal", c.value));
        EXPECT_EQ(Get_Decimal_Separator(), c.expected) << "sDecimal " << static_cast<int>(c.value[0]);
    }
    WriteProfileStringW(L"Intl", L"sDecimal", had > 0 ? kept : nullptr);
}
#endif

struct Float_Case {
    const char* name;
    const char* text;
    char separator;
    bool ok;
    float value;
};

class Str_To_Float_Test : public ::testing::TestWithParam<Float_Case> {};

TEST_P(Str_To_Float_Test, Converts) {
    const Float_Case& c = GetParam();
    const Float_Result result = Str_To_Float_Local(c.text, c.separator);
    EXPECT_EQ(result.ok, c.ok) << "[" << c.text << "]";
    // Compare bit patterns, so -0 and sub-normals are told apart.
    std::uint32_t got = 0;
    std::uint32_t want = 0;
    std::memcpy(&got, &result.value, 4);
    std::memcpy(&want, &c.value, 4);
    EXPECT_EQ(got, want) << "[" << c.text << "] gave " << result.value;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Str_To_Float_Test,
    ::testing::Values(
        Float_Case{"PointWithComma", "1.5", ',', true, 1.5F}, Float_Case{"CommaWithComma", "1,5", ',', true, 1.5F},
        Float_Case{"CommaWithPoint", "1,5", '.', true, 1.5F},
        Float_Case{"TwoSeparators", "1.000,5", ',', false, 1.0F},
        Float_Case{"Letters", "abc", ',', false, 1.0F}, Float_Case{"Exponent", "2E3", ',', true, 2000.0F},
        Float_Case{"LowerExponentSigned", "25e-1", '.', true, 2.5F},
        Float_Case{"ExponentWithoutDigits", "2E", '.', false, 1.0F},
        Float_Case{"ExponentSignWithoutDigits", "2E+", '.', false, 1.0F},
        Float_Case{"Blanks", "  -3.25  ", '.', true, -3.25F}, Float_Case{"LeadingSeparator", ".5", '.', true, 0.5F},
        Float_Case{"TrailingSeparator", "5.", '.', true, 5.0F}, Float_Case{"SeparatorOnly", ".", '.', false, 1.0F},
        Float_Case{"Empty", "", '.', false, 1.0F}, Float_Case{"SignOnly", "-", '.', false, 1.0F},
        Float_Case{"Thousands", "1 000", '.', false, 1.0F}, Float_Case{"NearestFloat", "0.1", '.', true, 0.1F},
        Float_Case{"LargestFloat", "3.4028234663852886e38", '.', true, std::numeric_limits<float>::max()},
        Float_Case{"BeyondLargest", "3.5e38", '.', false, 1.0F},
        Float_Case{"Subnormal", "1e-45", '.', true, std::numeric_limits<float>::denorm_min()},
        Float_Case{"UnderflowToZero", "1e-60", '.', true, 0.0F},
        Float_Case{"NegativeZero", "-0", '.', true, -0.0F}),
    [](const ::testing::TestParamInfo<Float_Case>& p) { return std::string(p.param.name); });

TEST(Trim, RemovesControlCharactersAndBlanks) {
    EXPECT_EQ(Trim("\t \r\n x y \x01"), "x y");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Upper_Ascii("ab\xC3\xA9z"), "AB\xC3\xA9Z");
}

} // namespace
} // namespace qm
