#include "shell/version_reply.h"

#include <gtest/gtest.h>

#include <optional>
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

struct Http_Case {
    const char* name;
    const char* raw;
    const char* body; // nullptr: the query failed
};

class Http_Reply_Test : public testing::TestWithParam<Http_Case> {};

TEST_P(Http_Reply_Test, Takes_The_Body_Of_A_Whole_Success) {
    const std::optional<std::string> body = qm::Http_Reply_Body(GetParam().raw);
    if (GetParam().body == nullptr) {
        EXPECT_FALSE(body.has_value()) << *body;
    } else {
        ASSERT_TRUE(body.has_value());
        EXPECT_EQ(*body, GetParam().body);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Http_Reply_Test,
    testing::Values(Http_Case{"Plain", "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nVER. 1.001", "VER. 1.001"},
                    Http_Case{"Http11", "HTTP/1.1 200 OK\r\n\r\nVER. 1.001\r\n", "VER. 1.001\r\n"},
                    Http_Case{"BareLineFeeds", "HTTP/1.0 200 OK\nServer: x\n\nVER. 1.001", "VER. 1.001"},
                    Http_Case{"LengthCutsTrailingBytes", "HTTP/1.0 200 OK\r\ncontent-length: 4\r\n\r\nVER. 1.001", "VER."},
                    Http_Case{"ShorterThanLength", "HTTP/1.0 200 OK\r\nContent-Length: 40\r\n\r\nVER. 1.001", nullptr},
                    Http_Case{"Redirect", "HTTP/1.0 302 Found\r\nLocation: /x\r\n\r\nVER. 1.001", nullptr},
                    Http_Case{"ServerError", "HTTP/1.0 500 Error\r\n\r\nVER. 1.001", nullptr},
                    Http_Case{"Chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nVER. \r\n0\r\n\r\n", nullptr},
                    Http_Case{"NoHeadEnd", "HTTP/1.0 200 OK\r\nContent-Type: text/html", nullptr},
                    Http_Case{"NotHttp", "VER. 1.001\r\n\r\n", nullptr},
                    Http_Case{"BadStatus", "HTTP/1.0 2x0 OK\r\n\r\nVER. 1.001", nullptr},
                    Http_Case{"Empty", "", nullptr}),
    [](const testing::TestParamInfo<Http_Case>& info) { return std::string(info.param.name); });

TEST(Http_Reply_Test, Refuses_A_Body_Too_Long_To_Be_A_Version) {
    const std::string head = "HTTP/1.0 200 OK\r\n\r\n";
    const std::string longest = "VER. 1.001" + std::string(qm::Max_Version_Reply_Bytes - 10, ' ');
    EXPECT_TRUE(qm::Http_Reply_Body(head + longest).has_value());
    EXPECT_FALSE(qm::Http_Reply_Body(head + longest + ' ').has_value());
}

// A server that keeps the connection open is not waited for once the length is reached; without
// a length only the closed connection ends the reply.
TEST(Http_Reply_Test, Complete_At_Its_Content_Length) {
    const struct {
        const char* raw;
        bool complete;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1.001", true},
        {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1.00", false},
        {"HTTP/1.0 200 OK\nContent-Length: 0\n\n", true},
        {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n", false},
        {"HTTP/1.0 200 OK\r\n\r\nVER. 1.001", false},
        {"HTTP/1.0 200 OK\r\nContent-Length: ten\r\n\r\nVER. 1.001", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qm::Http_Reply_Complete(c.raw), c.complete) << c.raw;
    }
}

TEST(Http_Request_Test, Names_The_Host_And_Only_The_Two_Headers) {
    EXPECT_EQ(qm::Version_Request("updates.example", 0, "/p?q=1"),
              "GET /p?q=1 HTTP/1.0\r\nHost: updates.example\r\n"
              "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
              "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n\r\n");
    EXPECT_EQ(qm::Version_Request("127.0.0.1", 8080, "/").substr(0, 38), "GET / HTTP/1.0\r\nHost: 127.0.0.1:8080\r\n");
}

} // namespace
