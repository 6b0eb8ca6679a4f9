#include "image/s7_rule_table.h"

#include <gtest/gtest.h>

#include "image_test_support.h"

namespace qm::test {
namespace {

Bytes Record(const Bytes& bank2, std::size_t index) {
    const auto first = bank2.begin() + static_cast<std::ptrdiff_t>(index * S7_Rule_Size);
    return Bytes(first, first + static_cast<std::ptrdiff_t>(S7_Rule_Size));
}

std::uint32_t Rule_Count(const Built& built) {
    return built.image->Block.U32(Param_Offset::S7_Rule_Count);
}

constexpr const char* Full_Fields =
    R"(PLC_Address="192.168.1.125" PLC_Port="102" PLC_Type="S71500" Rack="3" Slot="2" Data_Type="Real" )"
    R"~(Data_Identifier="DB" DB_Number="300" PLC_Area="Flags (M) (Merker)" PLC_Add="$1234" PLC_Bit="5" )~"
    R"(PollTime="100000" OnChange="Y" OnCMD="N" Position="1499" Bit="7" Swap="N" SwapWord="Y" Mnemonic="m")";

TEST(S7_Rule_Table, RecordsOfAReadAndAWriteRuleFieldByField) {
    Temp_Project project;
    const std::string row = std::string(R"(<row Enable="Y" )") + Full_Fields + "/>";
    project.Write("S7_Protocol.xml", S7_Xml(row, row));
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    const Bytes bank2 = built.Bank(1);
    ASSERT_EQ(bank2.size(), 28672U);

    //                      address     poll time   add   DB    port  pos   res   bit type dt  di  res flg pbit area r/s res
    const Bytes read_rule = Hex("7D 01 A8 C0 A0 86 01 00 34 12 2C 01 66 00 DB 05 00 00 07 28 08 0A 00 08 05 83 62 00");
    const Bytes write_rule = Hex("7D 01 A8 C0 A0 86 01 00 34 12 2C 01 66 00 DB 05 00 00 07 28 08 0A 00 29 05 83 62 00");
    EXPECT_TRUE(Bytes_Equal(read_rule, Record(bank2, 0), 0));
    EXPECT_TRUE(Bytes_Equal(write_rule, Record(bank2, 1), 28));
    EXPECT_TRUE(Bytes_Equal(Bytes(28 * 1022, 0), Bytes(bank2.begin() + 56, bank2.end()), 56));
    EXPECT_EQ(Rule_Count(built), 2U);
}

TEST(S7_Rule_Table, MissingAttributesTakeTheirFallbacks) {
    Temp_Project project;
    project.Write("S7_Protocol.xml", S7_Xml(R"(<row Enable="Y"/>)", R"(<row Enable="Y" PollTime="x"/>)"));
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    // Poll time 1000, data type Bit (1), identifier OB (8), area P (0x80); a write rule keeps its 0x20.
    EXPECT_TRUE(Bytes_Equal(Hex("00000000 E8030000 0000 0000 0000 0000 0000 00 00 01 08 00 00 00 80 00 00"),
                            Record(built.Bank(1), 0)));
    EXPECT_TRUE(Bytes_Equal(Hex("00000000 E8030000 0000 0000 0000 0000 0000 00 00 01 08 00 20 00 80 00 00"),
                            Record(built.Bank(1), 1), 28));
}

struct Field_Case {
    const char* name;
    const char* attributes;
    std::size_t offset; // inside the record
    const char* expected;
};

class S7_Field_Test : public ::testing::TestWithParam<Field_Case> {};

TEST_P(S7_Field_Test, ReadRowField) {
    const Field_Case& c = GetParam();
    Temp_Project project;
    project.Write("S7_Protocol.xml", S7_Xml(std::string(R"(<row Enable="Y" )") + c.attributes + "/>", ""));
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    const Bytes expected = Hex(c.expected);
    const Bytes record = Record(built.Bank(1), 0);
    EXPECT_TRUE(Bytes_Equal(expected, Bytes(record.begin() + static_cast<std::ptrdiff_t>(c.offset),
                                            record.begin() + static_cast<std::ptrdiff_t>(c.offset + expected.size())),
                            c.offset));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, S7_Field_Test,
    ::testing::Values(
        Field_Case{"Address", R"(PLC_Address="192.168.1.125")", 0, "7D 01 A8 C0"},
        Field_Case{"AddressLeadingBlank", R"(PLC_Address=" 192.168.1.125")", 0, "7D 01 A8 C0"},
        Field_Case{"AddressHexPart", R"(PLC_Address="0x0A.0.0.1")", 0, "01 00 00 0A"},
        Field_Case{"AddressThreeParts", R"(PLC_Address="192.168.1")", 0, "00 00 00 00"},
        Field_Case{"AddressPartAbove255", R"(PLC_Address="192.168.1.300")", 0, "00 00 00 00"},
        Field_Case{"AddressFiveParts", R"(PLC_Address="192.168.1.1.1")", 0, "00 00 00 00"},
        Field_Case{"AddressTrailingBlank", R"(PLC_Address="192.168.1.125 ")", 0, "00 00 00 00"},
        Field_Case{"AddressEmpty", R"(PLC_Address="")", 0, "00 00 00 00"},
        Field_Case{"AddressLeadingZeros", R"(PLC_Address="010.001.000.255")", 0, "FF 00 01 0A"},
        Field_Case{"AddressFourDigitPart", R"(PLC_Address="0192.168.1.1")", 0, "01 01 A8 C0"},
        Field_Case{"AddressEmptyPart", R"(PLC_Address="192..1.1")", 0, "00 00 00 00"},
        Field_Case{"PollTimeNineDigits", R"(PollTime="999999999")", 4, "FF C9 9A 3B"},
        Field_Case{"PollTimeTenDigits", R"(PollTime="2147483647")", 4, "FF FF FF 7F"},
        Field_Case{"PollTimeAbove32Bits", R"(PollTime="4294967296")", 4, "E8 03 00 00"},
        Field_Case{"PortLeadingZeros", R"(PLC_Port="0102")", 12, "66 00"},
        Field_Case{"PortDigitsThenText", R"(PLC_Port="12a")", 12, "00 00"},
        Field_Case{"PollTimeMissing", "", 4, "E8 03 00 00"},
        Field_Case{"PollTimeWhole32Bits", R"(PollTime="-2")", 4, "FE FF FF FF"},
        Field_Case{"PortLow16Bits", R"(PLC_Port="65537")", 12, "01 00"},
        Field_Case{"PositionNegative", R"(Position="-1")", 14, "FF FF"},
        Field_Case{"BitLow8Bits", R"(Bit="257")", 18, "01"},
        Field_Case{"RealInLowerCase", R"(Data_Type="real")", 20, "01"},
        Field_Case{"RackSlot", R"(Rack="3" Slot="2")", 26, "62"},
        Field_Case{"RackSlotWraps", R"(Rack="8" Slot="1")", 26, "01"},
        Field_Case{"RackNegative", R"(Rack="-1" Slot="0")", 26, "E0"},
        Field_Case{"SlotAbove255", R"(Rack="0" Slot="300")", 26, "2C"},
        Field_Case{"RackNotANumber", R"(Rack="x" Slot="5")", 26, "05"},
        Field_Case{"ReadRowIgnoresWriteFlags", R"(OnChange="Y" OnCMD="Y" Swap="Y" SwapWord="N")", 23, "04"},
        Field_Case{"ReadRowSwapWord", R"(OnChange="Y" OnCMD="N" Swap="N" SwapWord="Y")", 23, "08"},
        Field_Case{"FlagsNeedExactlyY", R"(Swap="y" SwapWord=" Y")", 23, "00"},
        Field_Case{"FirstOfTwoAttributesCounts", R"(PLC_Port="1" PLC_Port="2")", 12, "01 00"}),
    [](const ::testing::TestParamInfo<Field_Case>& p) { return std::string(p.param.name); });

struct Code_Case {
    std::uint8_t (*map)(std::string_view);
    const char* text;
    std::uint8_t code;
};

TEST(S7_Rule_Table, CodeMapsCompareTextsExactly) {
    const Code_Case cases[] = {
        {PLC_Type_Code, "Logo0BA8", 1}, {PLC_Type_Code, "S7200", 0}, {PLC_Type_Code, "S7300", 10},
        {PLC_Type_Code, "S7400", 20}, {PLC_Type_Code, "S71200", 30}, {PLC_Type_Code, "S71500", 40},
        {PLC_Type_Code, "s71500", 0}, {PLC_Type_Code, "", 0},
        {S7_Data_Type_Code, "Bit", 1}, {S7_Data_Type_Code, "Byte", 2}, {S7_Data_Type_Code, "Char", 3},
        {S7_Data_Type_Code, "Word", 4}, {S7_Data_Type_Code, "Int", 5}, {S7_Data_Type_Code, "DWord", 6},
        {S7_Data_Type_Code, "DInt", 7}, {S7_Data_Type_Code, "Real", 8}, {S7_Data_Type_Code, "Real ", 1},
        {S7_Data_Type_Code, "", 1},
        {Data_Identifier_Code, "OB", 8}, {Data_Identifier_Code, "DB", 10}, {Data_Identifier_Code, "SDB", 11},
        {Data_Identifier_Code, "FC", 12}, {Data_Identifier_Code, "SFC", 13}, {Data_Identifier_Code, "FB", 14},
        {Data_Identifier_Code, "SFB", 15}, {Data_Identifier_Code, "db", 8}, {Data_Identifier_Code, "", 8},
        {PLC_Area_Code, "Direct peripheral access (P)", 0x80}, {PLC_Area_Code, "Inputs (I)", 0x81},
        {PLC_Area_Code, "Output (Q)", 0x82}, {PLC_Area_Code, "Flags (M) (Merker)", 0x83},
        {PLC_Area_Code, "Inputs(I)", 0x80}, {PLC_Area_Code, "", 0x80},
    };
    for (const Code_Case& c : cases) {
        EXPECT_EQ(c.map(c.text), c.code) << "text [" << c.text << "]";
    }
}

TEST(S7_Rule_Table, EnabledRulesArePackedReadRulesFirst) {
    Temp_Project project;
    // Position tells the rows apart. Only "Y" enables; a missing Enable is off for the builder.
    const char* read_rows = R"(<row Enable="Y" Position="1"/><row Enable="N" Position="2"/>)"
                            R"(<!-- note --> <row Enable="Y" Position="3"/><row Position="4"/>)"
                            R"(<row Enable="y" Position="5"/><other Enable="Y" Position="6"/>)";
    // The write section first in the file: read rules still come first.
    project.Write("S7_Protocol.xml",
                  "<S7_Protocol><S7_Protocol_Write><row Enable=\"Y\" Position=\"7\"/></S7_Protocol_Write>"
                  "<S7_Protocol_Read>" +
                      std::string(read_rows) + "</S7_Protocol_Read></S7_Protocol>");
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    ASSERT_EQ(Rule_Count(built), 4U);
    const Bytes bank2 = built.Bank(1);
    const std::uint8_t positions[] = {1, 3, 6, 7};
    const std::uint8_t flags[] = {0x00, 0x00, 0x00, 0x20};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Record(bank2, i)[14], positions[i]) << "record " << i;
        EXPECT_EQ(Record(bank2, i)[23], flags[i]) << "record " << i;
    }
    EXPECT_EQ(Record(bank2, 4), Bytes(28, 0));
}

TEST(S7_Rule_Table, MissingSectionsGiveEmptyLists) {
    const struct {
        const char* xml;
        std::uint32_t count;
    } cases[] = {
        {R"(<S7_Protocol><S7_Protocol_Write><row Enable="Y"/></S7_Protocol_Write></S7_Protocol>)", 1},
        {R"(<S7_Protocol><S7_Protocol_Read><row Enable="Y"/></S7_Protocol_Read></S7_Protocol>)", 1},
        {R"(<S7_Protocol/>)", 0},
        {R"(<Something><row Enable="Y"/></Something>)", 0},
    };
    for (const auto& c : cases) {
        Temp_Project project;
        project.Write("S7_Protocol.xml", c.xml);
        const Built built = Build(project);
        ASSERT_TRUE(built.result) << built.result.message;
        EXPECT_EQ(Rule_Count(built), c.count) << c.xml;
        EXPECT_EQ(built.Bank(1).size(), 28672U);
    }
}

std::string Rows(std::size_t n) {
    std::string rows;
    for (std::size_t i = 0; i < n; ++i) {
        rows += R"(<row Enable="Y" Position=")" + std::to_string(i) + R"("/>)";
    }
    return rows;
}

TEST(S7_Rule_Table, HoldsAtMost1024EnabledRules) {
    Temp_Project project;
    project.Write("S7_Protocol.xml", S7_Xml(Rows(512), Rows(512) + R"(<row Enable="N"/>)"));
    Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    EXPECT_EQ(Rule_Count(built), 1024U);
    EXPECT_EQ(Record(built.Bank(1), 1023)[23], 0x20);

    project.Write("S7_Protocol.xml", S7_Xml(Rows(513), Rows(512)));
    built = Build(project);
    EXPECT_EQ(built.result.status, Build_Status::Over_Limit);
    EXPECT_NE(built.result.message.find("1025 enabled S7comm rules"), std::string::npos) << built.result.message;
    EXPECT_NE(built.result.message.find("at most 1024"), std::string::npos) << built.result.message;
    EXPECT_NE(built.result.message.find("S7_Protocol.xml"), std::string::npos) << built.result.message;
    EXPECT_FALSE(built.image->Complete);
}

} // namespace
} // namespace qm::test
