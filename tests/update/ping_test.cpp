#include "update/icmp_packet.h"
#include "update/ping.h"

#include <gtest/gtest.h>

#include "fake_echo.h"

namespace qm {
namespace {

using test::Echo_Step;
using test::Fake_Clock;
using test::Fake_Echo;
using test::Reply_After;
using test::Silent;

struct Ping_Case {
    const char* name;
    const char* target;
    std::vector<Echo_Step> script;
    Ping_Outcome outcome;
    int ping_res;
    int requests;
    std::int64_t elapsed_ms; // on the fake clock
};

class Send_Ping_Test : public ::testing::TestWithParam<Ping_Case> {};

TEST_P(Send_Ping_Test, FollowsTimingAndAnswerRule) {
    const Ping_Case& c = GetParam();
    Fake_Clock clock;
    Fake_Echo echo(clock, c.script);
    const std::int64_t start = clock.now;

    const Ping_Result result = Send_Ping(c.target, echo, clock.Clock(), [] { return true; });

    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.ping_res, c.ping_res);
    EXPECT_EQ(result.requests, c.requests);
    EXPECT_EQ(static_cast<int>(echo.targets.size()), c.requests);
    EXPECT_EQ(clock.now - start, c.elapsed_ms);
}

const Echo_Step Send_Error{Echo_Step::Send_Error, 0};
const Echo_Step Wait_Error{Echo_Step::Wait_Error, 0};
const Echo_Step Refused{Echo_Step::Refused, 0};

// A silent device: one request per 400 ms until more than 5000 ms have passed.
INSTANTIATE_TEST_SUITE_P(
    Cases, Send_Ping_Test,
    ::testing::Values(
        Ping_Case{"TwoAnswersEndAtOnce", "127.0.0.1", {Reply_After(1)}, Ping_Outcome::Answered, 1, 2, 2},
        Ping_Case{"SilentDeviceTakesAboutFiveSeconds", "127.0.0.1", {Silent}, Ping_Outcome::No_Answer, 2, 13, 5200},
        Ping_Case{"LastRequestDecides", "127.0.0.1", {Reply_After(5), Silent}, Ping_Outcome::No_Answer, 2, 14,
                  5205},
        Ping_Case{"AnswersAfterSilence", "127.0.0.1", {Silent, Silent, Silent, Reply_After(50)},
                  Ping_Outcome::Answered, 1, 5, 1300},
        Ping_Case{"AnswerJustInTime", "127.0.0.1", {Reply_After(399)}, Ping_Outcome::Answered, 1, 2, 798},
        Ping_Case{"AnswerTooLate", "127.0.0.1", {Reply_After(450)}, Ping_Outcome::No_Answer, 2, 13, 5200},
        Ping_Case{"SendFailsAtOnce", "127.0.0.1", {Send_Error}, Ping_Outcome::Failed, 0, 1, 0},
        Ping_Case{"FailureKeepsEarlierState", "127.0.0.1", {Silent, Send_Error}, Ping_Outcome::Failed, 2, 2, 400},
        Ping_Case{"ReceiveFails", "127.0.0.1", {Wait_Error}, Ping_Outcome::Failed, 0, 1, 0},
        Ping_Case{"NotPermitted", "127.0.0.1", {Refused}, Ping_Outcome::Not_Permitted, 0, 1, 0},
        Ping_Case{"EmptyField", "127.0.0.", {Reply_After(1)}, Ping_Outcome::Bad_Address, 0, 0, 0},
        Ping_Case{"Letters", "127.0.a.1", {Reply_After(1)}, Ping_Outcome::Bad_Address, 0, 0, 0},
        Ping_Case{"ByteOutOfRange", "127.0.0.256", {Reply_After(1)}, Ping_Outcome::Bad_Address, 0, 0, 0},
        Ping_Case{"HostName", "localhost", {Reply_After(1)}, Ping_Outcome::Bad_Address, 0, 0, 0}),
    [](const ::testing::TestParamInfo<Ping_Case>& info) { return std::string(info.param.name); });

TEST(Send_Ping, SendsToTheTypedAddressWithItsTextAsData) {
    Fake_Clock clock;
    Fake_Echo echo(clock, {Reply_After(1)});
    Send_Ping("127.0.0.$1F", echo, clock.Clock(), {});
    ASSERT_EQ(echo.targets.size(), 2U);
    EXPECT_EQ(echo.targets[0], (std::array<std::uint8_t, 4>{127, 0, 0, 31}));
    EXPECT_EQ(echo.payloads[0], "127.0.0.$1F");
}

TEST(Send_Ping, LetsTheWindowWorkWhileWaitingAndStopsWhenAsked) {
    Fake_Clock clock;
    Fake_Echo echo(clock, {Silent});
    int idle_calls = 0;
    Send_Ping("127.0.0.1", echo, clock.Clock(), [&idle_calls] {
        ++idle_calls;
        return true;
    });
    // Every 10 ms of the 5.2 s wait, give or take the last slice of each request.
    EXPECT_GE(idle_calls, 500);
    EXPECT_LE(idle_calls, 520);

    Fake_Clock clock2;
    Fake_Echo echo2(clock2, {Silent});
    int calls = 0;
    const Ping_Result stopped = Send_Ping("127.0.0.1", echo2, clock2.Clock(), [&calls] { return ++calls < 3; });
    EXPECT_EQ(stopped.outcome, Ping_Outcome::Cancelled);
    EXPECT_EQ(stopped.requests, 1);
    EXPECT_EQ(calls, 3);
}

TEST(Icmp_Packet, ChecksumAndRequestLayout) {
    // Worked example of RFC 1071.
    const std::uint8_t sample[] = {0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7};
    EXPECT_EQ(Icmp_Checksum(sample, sizeof sample), 0x220D);

    const std::vector<std::uint8_t> request = Build_Echo_Request(0x1234, 0x0102, "abc");
    ASSERT_EQ(request.size(), 11U);
    EXPECT_EQ(request[0], 8);
    EXPECT_EQ(request[1], 0);
    EXPECT_EQ(request[4], 0x12);
    EXPECT_EQ(request[5], 0x34);
    EXPECT_EQ(request[6], 0x01);
    EXPECT_EQ(request[7], 0x02);
    EXPECT_EQ(std::string(request.begin() + 8, request.end()), "abc");
    // A packet with a correct checksum sums to zero, odd length included.
    EXPECT_EQ(Icmp_Checksum(request.data(), request.size()), 0);
}

struct Reply_Case {
    const char* name;
    std::vector<std::uint8_t> packet;
    std::array<std::uint8_t, 4> source;
    Echo_Match match;
    std::size_t accepted;
};

std::vector<std::uint8_t> With_Ip_Header(std::vector<std::uint8_t> icmp) {
    std::vector<std::uint8_t> packet(20, 0);
    packet[0] = 0x45;
    packet.insert(packet.end(), icmp.begin(), icmp.end());
    return packet;
}

std::vector<std::uint8_t> Icmp(std::uint8_t type, std::uint16_t identifier) {
    std::vector<std::uint8_t> packet = Build_Echo_Request(identifier, 1, "127.0.0.1");
    packet[0] = type;
    return packet;
}

class Accept_Echo_Reply_Test : public ::testing::TestWithParam<Reply_Case> {};

TEST_P(Accept_Echo_Reply_Test, AcceptsOnlyOurEchoReplyFromTheTarget) {
    const Reply_Case& c = GetParam();
    EXPECT_EQ(Accept_Echo_Reply(c.packet.data(), c.packet.size(), c.source, {127, 0, 0, 1}, c.match), c.accepted);
}

const std::array<std::uint8_t, 4> Target{127, 0, 0, 1};
const Echo_Match Raw{true, true, 0x4242};
const Echo_Match Datagram{false, false, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, Accept_Echo_Reply_Test,
    ::testing::Values(Reply_Case{"RawReply", With_Ip_Header(Icmp(0, 0x4242)), Target, Raw, 17},
                      Reply_Case{"RawOwnRequestLoopedBack", With_Ip_Header(Icmp(8, 0x4242)), Target, Raw, 0},
                      Reply_Case{"RawOtherProgramsReply", With_Ip_Header(Icmp(0, 0x1111)), Target, Raw, 0},
                      Reply_Case{"RawUnreachable", With_Ip_Header(Icmp(3, 0x4242)), Target, Raw, 0},
                      Reply_Case{"RawFromElsewhere", With_Ip_Header(Icmp(0, 0x4242)), {127, 0, 0, 2}, Raw, 0},
                      Reply_Case{"RawTruncated", With_Ip_Header({0, 0, 0}), Target, Raw, 0},
                      Reply_Case{"RawHeaderOnly", std::vector<std::uint8_t>(20, 0x45), Target, Raw, 0},
                      Reply_Case{"DatagramReply", Icmp(0, 7), Target, Datagram, 17},
                      Reply_Case{"DatagramUnreachable", Icmp(3, 7), Target, Datagram, 0}),
    [](const ::testing::TestParamInfo<Reply_Case>& info) { return std::string(info.param.name); });

// The real socket, to the loopback only.
TEST(System_Echo, LoopbackAnswers) {
    std::unique_ptr<Echo_Transport> echo = Make_System_Echo_Transport();
    const Ping_Result result = Send_Ping("127.0.0.1", *echo, Steady_Ping_Clock(), {});
    if (result.outcome == Ping_Outcome::Not_Permitted) {
        GTEST_SKIP() << "this machine allows neither ICMP datagram nor raw sockets to this user: " << result.message;
    }
    EXPECT_EQ(result.outcome, Ping_Outcome::Answered) << result.message;
    EXPECT_EQ(result.ping_res, Ping_Answered);
    EXPECT_EQ(result.requests, 2);
}

} // namespace
} // namespace qm
