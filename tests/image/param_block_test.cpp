#include "image/param_block.h"

#include <gtest/gtest.h>

#include "image_test_support.h"

namespace qm::test {
namespace {

// The block of a build without ParGen.xml, assembled from the device's default table.
Bytes Default_Block_After_Build() {
    Bytes b(2048, 0);
    const auto put = [&b](std::size_t at, std::string_view hex) {
        const Bytes v = Hex(hex);
        std::copy(v.begin(), v.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    };
    put(0x000, "90 D0 03 00"); // 250000
    put(0x004, "90 D0 03 00");
    put(0x00C, "80 25 00 00"); // 9600
    put(0x034, "10 27 11 27 11 27"); // 10000, 10001, 10001
    put(0x1B4, "08 08 08 08 08 08 08 08");
    put(0x028, "C0 A8 02 CD FF FF FF 00 FF FF FF FF"); // server side 192.168.2.205/24, no gateway
    put(0x5E8, "00 04 0A 00");
    put(0x654, "00 00 08 00");
    put(0x7FC, "98 0D 00 00"); // 3480
    return b;
}

TEST(Param_Block, DefaultsSumTo3458AndChecksumCoversOnly2044Bytes) {
    Param_Block block;
    block.bytes.fill(0xEE); // whatever an earlier build left
    Set_Block_Defaults(block);
    EXPECT_EQ(Block_Checksum(block), 3458U);
    EXPECT_EQ(block.U32(Param_Offset::Block_Checksum), 0U);

    // The checksum field itself is never summed.
    block.Set_U32(Param_Offset::Block_Checksum, 0xFFFFFFFFU);
    EXPECT_EQ(Block_Checksum(block), 3458U);
}

TEST(Param_Block, ProjectWithoutParGenKeepsTheDeviceDefaults) {
    Temp_Project project;
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    EXPECT_TRUE(Bytes_Equal(Default_Block_After_Build(), built.Bank(0)));
}

struct Key_Case {
    const char* name;
    const char* elements; // children of Par_Gen
    std::size_t offset;
    const char* expected;
};

class Param_Key_Test : public ::testing::TestWithParam<Key_Case> {};

TEST_P(Param_Key_Test, StoresValueOrFallback) {
    const Key_Case& c = GetParam();
    Temp_Project project;
    project.Write("ParGen.xml", ParGen_Xml(c.elements));
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    const Bytes bank1 = built.Bank(0);
    const Bytes expected = Hex(c.expected);
    const Bytes actual(bank1.begin() + static_cast<std::ptrdiff_t>(c.offset),
                       bank1.begin() + static_cast<std::ptrdiff_t>(c.offset + expected.size()));
    EXPECT_TRUE(Bytes_Equal(expected, actual, c.offset));
}

#define IP4(p, a, b, c, d) "<" p "1>" a "</" p "1><" p "2>" b "</" p "2><" p "3>" c "</" p "3><" p "4>" d "</" p "4>"

INSTANTIATE_TEST_SUITE_P(
    Cases, Param_Key_Test,
    ::testing::Values(
        // An existing file switches to the reader's fallbacks, which differ from the block defaults.
        Key_Case{"EmptyRootPlcSide", "", 0x184, "C0 A8 00 0A FF FF FF 00 FF FF FF FF"},
        Key_Case{"EmptyRootServerSide", "", 0x028, "C0 A8 00 0A FF FF FF 00 FF FF FF FF"},
        Key_Case{"EmptyRootDns", "", 0x58C, "FF FF FF FF"},
        Key_Case{"EmptyRootPollTime", "", 0x040, "E8 03 00 00"},
        Key_Case{"OnlyIp4", "<S7_Protocol_IP4>7</S7_Protocol_IP4>", 0x184, "C0 A8 00 07"},
        Key_Case{"LettersGiveThatByteItsFallback", IP4("S7_Protocol_IP", "10", "1", "abc", "7"), 0x184, "0A 01 00 07"},
        Key_Case{"Above255IsCutTo8Bits", IP4("IEC61850_Server_IP", "256", "300", "-1", "$7F"), 0x028, "00 2C FF 7F"},
        Key_Case{"BlanksAndHex", IP4("IEC61850_Server_SM", " 255", "0x10", "+3", "7 "), 0x02C, "FF 10 03 00"},
        Key_Case{"GatewayOn", IP4("IEC61850_Server_GAT", "10", "0", "0", "1") "<IEC61850_Server_EN_GAT>1</IEC61850_Server_EN_GAT>",
                 0x030, "0A 00 00 01"},
        Key_Case{"GatewayZero", IP4("IEC61850_Server_GAT", "10", "0", "0", "1") "<IEC61850_Server_EN_GAT>0</IEC61850_Server_EN_GAT>",
                 0x030, "FF FF FF FF"},
        Key_Case{"GatewayTrue", IP4("IEC61850_Server_GAT", "10", "0", "0", "1") "<IEC61850_Server_EN_GAT>true</IEC61850_Server_EN_GAT>",
                 0x030, "FF FF FF FF"},
        Key_Case{"GatewayLeadingZero", IP4("IEC61850_Server_GAT", "10", "0", "0", "1") "<IEC61850_Server_EN_GAT>01</IEC61850_Server_EN_GAT>",
                 0x030, "FF FF FF FF"},
        Key_Case{"GatewayBlankOne", IP4("IEC61850_Server_GAT", "10", "0", "0", "1") "<IEC61850_Server_EN_GAT> 1</IEC61850_Server_EN_GAT>",
                 0x030, "FF FF FF FF"},
        Key_Case{"GatewayFlagMissing", IP4("IEC61850_Server_GAT", "10", "0", "0", "1"), 0x030, "FF FF FF FF"},
        // The flag is read after the parts whatever the file's order.
        Key_Case{"FlagBeforeParts", "<S7_Protocol_EN_GAT>1</S7_Protocol_EN_GAT>" IP4("S7_Protocol_GAT", "1", "2", "3", "4"),
                 0x18C, "01 02 03 04"},
        Key_Case{"FirstOfTwoElementsCounts", "<S7_Protocol_SM4>1</S7_Protocol_SM4><S7_Protocol_SM4>2</S7_Protocol_SM4>",
                 0x188, "FF FF FF 01"},
        Key_Case{"DnsOnWithFallbackParts", "<IEC61850_Server_EN_DNS>1</IEC61850_Server_EN_DNS>", 0x58C, "08 08 08 08"},
        Key_Case{"PollTimeWholeNumber", "<NTP_Poll_Time>10000000</NTP_Poll_Time>", 0x040, "80 96 98 00"},
        Key_Case{"PollTimeNegative", "<NTP_Poll_Time>-1</NTP_Poll_Time>", 0x040, "FF FF FF FF"},
        Key_Case{"PollTimePast32Bits", "<NTP_Poll_Time>4294967295</NTP_Poll_Time>", 0x040, "E8 03 00 00"},
        Key_Case{"PollTimeEmpty", "<NTP_Poll_Time></NTP_Poll_Time>", 0x040, "E8 03 00 00"},
        Key_Case{"NtpTextGivesItsAddress", "<NTP_Server_URL>pool.example</NTP_Server_URL>", 0x03C, "00 00 0A 00"},
        Key_Case{"BlankNtpTextIsNotEmpty", "<NTP_Server_URL> </NTP_Server_URL>", 0x03C, "00 00 0A 00"},
        Key_Case{"EmptyNtpText", "<NTP_Server_URL/>", 0x03C, "00 00 00 00"},
        Key_Case{"ChildElementIsNoText", "<S7_Protocol_IP1><b>5</b></S7_Protocol_IP1>", 0x184, "C0"},
        Key_Case{"CommentsBetweenElements", "<!--x--><S7_Protocol_IP1>9</S7_Protocol_IP1><?pi?>", 0x184, "09"}),
    [](const ::testing::TestParamInfo<Key_Case>& p) { return std::string(p.param.name); });

TEST(Param_Block, RootIsTheFirstNodeAfterTheDeclaration) {
    Temp_Project project;
    // A declaration is not a node: Par_Gen is the root.
    project.Write("ParGen.xml", "<?xml version=\"1.0\"?>\n" + ParGen_Xml("<S7_Protocol_IP4>7</S7_Protocol_IP4>"));
    Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    EXPECT_EQ(built.Bank(0)[0x187], 7);

    // A comment first becomes the root, which has no elements: every key takes its fallback.
    project.Write("ParGen.xml", "<!--first-->" + ParGen_Xml("<S7_Protocol_IP4>7</S7_Protocol_IP4>"));
    built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    const Bytes bank1 = built.Bank(0);
    EXPECT_TRUE(Bytes_Equal(Hex("C0 A8 00 0A"), Bytes(bank1.begin() + 0x184, bank1.begin() + 0x188), 0x184));
}

TEST(Param_Block, ChecksumIsTheSumOfEveryByteBeforeIt) {
    Temp_Project project;
    project.Write("ParGen.xml", ParGen_Xml(IP4("S7_Protocol_IP", "255", "255", "255", "255")
                                               "<NTP_Poll_Time>-1</NTP_Poll_Time><NTP_Server_URL>x</NTP_Server_URL>"));
    project.Write("S7_Protocol.xml", S7_Xml(R"(<row Enable="Y"/><row Enable="Y"/>)", ""));
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    const Bytes bank1 = built.Bank(0);
    ASSERT_EQ(bank1.size(), 2048U);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 0x7FC; ++i) {
        sum += bank1[i];
    }
    const std::uint32_t stored = static_cast<std::uint32_t>(bank1[0x7FC]) | (static_cast<std::uint32_t>(bank1[0x7FD]) << 8) |
                                 (static_cast<std::uint32_t>(bank1[0x7FE]) << 16) |
                                 (static_cast<std::uint32_t>(bank1[0x7FF]) << 24);
    EXPECT_EQ(stored, sum);
    EXPECT_EQ(bank1[0x658], 2); // rule count in the block before the checksum
    EXPECT_TRUE(Bytes_Equal(Hex("00 00 0A 00"), Bytes(bank1.begin() + 0x3C, bank1.begin() + 0x40)));
}

} // namespace
} // namespace qm::test
