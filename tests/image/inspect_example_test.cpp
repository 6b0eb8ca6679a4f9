// The shipped example configuration: its files are laid out as the program's writers lay them
// out, and the images built from it (reviewed and kept in data/example_bin) decode cleanly to
// what the example says.

#include <gtest/gtest.h>

#include <cstring>

#include "common/file_io.h"
#include "common/xml_io.h"
#include "image/image_inspect.h"

namespace qm {
namespace {

const std::string Example_Dir = std::string(QM_SOURCE_DIR) + "/examples/Example";
const std::string Bin_Dir = std::string(QM_SOURCE_DIR) + "/tests/image/data/example_bin";

struct Example_File {
    const char* file;
    const char* root;
    const char* version;
};

class Inspect_Example_Files : public ::testing::TestWithParam<Example_File> {};

// Loading and saving again must give the very same bytes: root first, the version comment
// after it, no declaration, no whitespace, the library's own escapes.
TEST_P(Inspect_Example_Files, Are_In_The_Writers_Exact_Form) {
    const std::string path = Example_Dir + "/" + GetParam().file;
    std::string stored;
    ASSERT_TRUE(Read_File(path, stored)) << path;
    pugi::xml_document doc;
    ASSERT_TRUE(Load_Xml_File(path, doc).ok()) << path;
    EXPECT_EQ(Xml_To_String(doc), stored);
    EXPECT_STREQ(First_Node(doc).name(), GetParam().root);
    const pugi::xml_node comment = doc.last_child();
    EXPECT_EQ(comment.type(), pugi::node_comment);
    EXPECT_STREQ(comment.value(), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(Files, Inspect_Example_Files,
                         ::testing::Values(Example_File{"ParGen.xml", "Par_Gen", "SW_VERSION = 1.000"},
                                           Example_File{"S7_Protocol.xml", "S7_Protocol", "SW_VERSION = 1.003"},
                                           Example_File{"IEC61850_Variables.xml", "IEC61850_Variables",
                                                        "SW_VERSION = 1.000"},
                                           Example_File{"TLS_Known_Cert.xml", "TLS_Server_Known_Cert",
                                                        "SW_VERSION = 1.000"}),
                         [](const auto& info) {
                             std::string name = info.param.root;
                             return name;
                         });

std::optional<Bank_File> Load_Bank(const std::string& name) {
    std::string bytes;
    if (!Read_File(Bin_Dir + "/" + name, bytes)) return std::nullopt;
    return Bank_File{name, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

TEST(Inspect_Example_Images, Decode_Without_Problems_To_What_The_Example_Holds) {
    const auto bank1 = Load_Bank("bank1.bin");
    const auto bank2 = Load_Bank("bank2.bin");
    const auto bank3 = Load_Bank("bank3.bin");
    if (!bank1 || !bank2 || !bank3) GTEST_SKIP() << "no built example images in " << Bin_Dir;

    const Inspect_Report report = Inspect_Banks(bank1, bank2, bank3);
    EXPECT_TRUE(report.ok()) << report.text;

    // Values read off the example's XML by hand.
    const Bank1_Image block = Decode_Bank1(bank1->bytes);
    EXPECT_EQ(block.PLC_Side_IP, (std::array<std::uint8_t, 4>{10, 20, 30, 40}));
    EXPECT_EQ(block.PLC_Side_Mask, (std::array<std::uint8_t, 4>{255, 255, 0, 0}));
    EXPECT_EQ(block.PLC_Side_Gateway, (std::array<std::uint8_t, 4>{10, 20, 0, 254}));
    EXPECT_EQ(block.Server_IP, (std::array<std::uint8_t, 4>{172, 16, 5, 20}));
    EXPECT_EQ(block.Server_Mask, (std::array<std::uint8_t, 4>{255, 255, 255, 128}));
    EXPECT_EQ(block.Server_Gateway, (std::array<std::uint8_t, 4>{172, 16, 5, 1}));
    EXPECT_EQ(block.Server_DNS, (std::array<std::uint8_t, 4>{172, 16, 5, 2}));
    EXPECT_EQ(block.NTP_Poll_Interval, 3600U);
    EXPECT_EQ(block.NTP_Text_Address, 0xA0000U);
    EXPECT_EQ(block.S7_Rule_Count, 9U); // 6 of 7 read rules and 3 of 4 write rules are enabled

    const Bank2_Image table = Decode_Bank2(bank2->bytes, block.S7_Rule_Count);
    ASSERT_EQ(table.records.size(), 9U);
    const std::uint8_t plc_types[] = {1, 0, 10, 20, 30, 40, 10, 40, 30};
    const std::uint8_t data_types[] = {1, 2, 3, 4, 5, 8, 6, 8, 7};
    const std::uint8_t flags[] = {0x00, 0x00, 0x04, 0x08, 0x0C, 0x00, 0x29, 0x3C, 0x31};
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(table.records[i].PLC_Type, plc_types[i]) << "record " << i;
        EXPECT_EQ(table.records[i].Data_Type, data_types[i]) << "record " << i;
        EXPECT_EQ(table.records[i].Rule_Flags, flags[i]) << "record " << i;
    }
    EXPECT_EQ(table.records[5].Rack_Slot, 0x62);     // rack 3, slot 2
    EXPECT_EQ(table.records[8].Rack_Slot, 63);       // rack 1, slot 31
    EXPECT_EQ(table.records[4].PollTime, 100000000U);
    EXPECT_EQ(table.records[0].PLC_Address, 0xC0A80A0BU); // 192.168.10.11

    const Bank3_Image area = Decode_Bank3(bank3->bytes);
    EXPECT_EQ(area.NTP_Text, "time.example.net");
    EXPECT_EQ(area.header.port, 8102);
    EXPECT_EQ(area.header.TLS_Enable, 1U);
    EXPECT_EQ(area.header.Known_Cert_Num, 2U); // the second certificate is disabled
    ASSERT_EQ(area.variables.size(), 6U);      // the fifth variable is disabled
    EXPECT_EQ(area.variables[3].Data_Type, 2U);
    EXPECT_EQ(area.variables[3].Length, 1U); // digital, whatever its Length said
    EXPECT_FLOAT_EQ(area.variables[1].Multiplication_Factor, 0.5F);
    EXPECT_EQ(area.variables[5].Data_Type, 6U); // "float" in lower case
    EXPECT_EQ(area.variables[5].Operation, 2);  // "float to int" in lower case
    std::vector<std::string> names;
    for (const auto& s : area.strings) {
        if (s.role.find(" name") != std::string::npos) names.push_back(s.bytes);
    }
    // One byte per character: the Latin-1 code of each.
    const std::vector<std::string> expected = {"LLN0.Mod.stVal", "Temperatur_Kessel_\xB0" "C", "Druck_Pumpe_\xE4",
                                               "St\xF6rung_Motor", "Z\xE4hler_St\xFC" "ck", "Caf\xE9_Float"};
    EXPECT_EQ(names, expected);
}

} // namespace
} // namespace qm
