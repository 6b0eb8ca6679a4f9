#include "shell/version_reply.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Conv_Case {
    const char* name;
    const char* text;
    int number;
};

class Conv_Version_Test : public testing::TestWithParam<Conv_Case> {};

TEST_P(Conv_Version_Test, Reads_The_Four_Digits) {
    EXPECT_EQ(qm::Conv_Version(GetParam().text), GetParam().number) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Conv_Version_Test,
    testing::Values(Conv_Case{"Bare", "1.000", 1000}, Conv_Case{"With_Word", "VER. 1.002", 1002},
                    Conv_Case{"Any_Word", "release 2.345", 2345}, Conv_Case{"Leading_Zero", "VER. 0.999", 999},
                    Conv_Case{"Blanks_After_Word", "VER.   1.001  ", 1001},
                    // Only the first blank separates: the rest of the text is the version.
                    Conv_Case{"Two_Words", "NEW VER. 1.001", -1},
                    Conv_Case{"Second_Character_Unread", "1x001", 1001},
                    Conv_Case{"Trailing_Text_Ignored", "1.0019", 1001}, Conv_Case{"Two_Digit_Major", "VER. 10.01", -1},
                    Conv_Case{"Too_Short", "VER. 1.00", -1}, Conv_Case{"Empty", "", -1},
                    Conv_Case{"Word_Only", "VER.", -1}, Conv_Case{"Sign", "-.123", -1},
                    Conv_Case{"Hex_Prefix", "$.abc", -1}, Conv_Case{"Letters", "a.bcd", -1}),
    [](const testing::TestParamInfo<Conv_Case>& info) { return std::string(info.param.name); });

struct Reply_Case {
    const char* name;
    std::string reply;
    bool newer;
};

class Reply_Test : public testing::TestWithParam<Reply_Case> {};

TEST_P(Reply_Test, Is_Newer_Than_Version_One) {
    EXPECT_EQ(qm::Reply_Offers_Newer(GetParam().reply, "1.000"), GetParam().newer);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Reply_Test,
    testing::Values(Reply_Case{"Newer", "VER. 1.001", true}, Reply_Case{"Same", "VER. 1.000", false},
                    Reply_Case{"Older", "VER. 0.999", false},
                    Reply_Case{"Nothing_Offered_Lower_Case_Blank_Lines", "\r\n\r\nver. 0.000\r\n\r\n", false},
                    Reply_Case{"Without_Word", "1.001", true}, Reply_Case{"Two_Digit_Major", "VER. 10.01", false},
                    Reply_Case{"Lines_Around_Newer", "\r\n\t VER. 2.000 \r\n", true},
                    Reply_Case{"Lower_Case_Newer", "ver. 1.500", true}, Reply_Case{"Failed_Query", "", false},
                    Reply_Case{"Blanks_Only", " \r\n ", false},
                    Reply_Case{"Html_Page", "<html><body>x</body></html>", false},
                    Reply_Case{"Nul_Inside", std::string("VER. 1.0\0" "1", 10), false}),
    [](const testing::TestParamInfo<Reply_Case>& info) { return std::string(info.param.name); });

TEST(Reply_Test, Own_Version_Not_Readable_Never_Newer) {
    EXPECT_FALSE(qm::Reply_Offers_Newer("VER. 9.999", "1.00"));
    EXPECT_TRUE(qm::Reply_Offers_Newer("VER. 9.999", "VER. 1.000"));
}

} // namespace
