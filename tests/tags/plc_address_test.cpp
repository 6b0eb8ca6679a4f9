// PLC addresses in both mnemonics: every width, bits, peripheral and DB forms, and what is no address.

#include <gtest/gtest.h>

#include "tags/plc_tags.h"

namespace {

using qm::Tag_Area;
using qm::Tag_Width;

struct Address_Case {
    const char* label;
    const char* text;
    bool valid;
    Tag_Area area = Tag_Area::Flag;
    Tag_Width width = Tag_Width::None;
    long byte = 0;
    int bit = 0;
    long db = 0;
};

class Address : public testing::TestWithParam<Address_Case> {};

TEST_P(Address, Parses_As_Expected) {
    const Address_Case& c = GetParam();
    const std::optional<qm::Plc_Address> a = qm::Parse_Plc_Address(c.text);
    ASSERT_EQ(a.has_value(), c.valid) << c.text;
    if (!c.valid) {
        return;
    }
    EXPECT_EQ(a->area, c.area) << c.text;
    EXPECT_EQ(a->width, c.width) << c.text;
    EXPECT_EQ(a->byte, c.byte) << c.text;
    EXPECT_EQ(a->bit, c.bit) << c.text;
    EXPECT_EQ(a->db, c.db) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Both_Mnemonics, Address,
    testing::Values(
        Address_Case{"I_Bit", "%I0.0", true, Tag_Area::Input, Tag_Width::Bit, 0, 0},
        Address_Case{"E_Bit_Blanks", "E   1.7", true, Tag_Area::Input, Tag_Width::Bit, 1, 7},
        Address_Case{"IB", "%IB3", true, Tag_Area::Input, Tag_Width::Byte, 3},
        Address_Case{"EW", "EW 12", true, Tag_Area::Input, Tag_Width::Word, 12},
        Address_Case{"ID", "id20", true, Tag_Area::Input, Tag_Width::DWord, 20},
        Address_Case{"ED", "ED 20", true, Tag_Area::Input, Tag_Width::DWord, 20},
        Address_Case{"Q_Bit", "%Q4.2", true, Tag_Area::Output, Tag_Width::Bit, 4, 2},
        Address_Case{"A_Bit", "A 4.2", true, Tag_Area::Output, Tag_Width::Bit, 4, 2},
        Address_Case{"QB", "%QB4", true, Tag_Area::Output, Tag_Width::Byte, 4},
        Address_Case{"AB", "AB 4", true, Tag_Area::Output, Tag_Width::Byte, 4},
        Address_Case{"QW", "QW6", true, Tag_Area::Output, Tag_Width::Word, 6},
        Address_Case{"AD", "AD 8", true, Tag_Area::Output, Tag_Width::DWord, 8},
        Address_Case{"M_Bit_Sdf_Padding", "M      10.1", true, Tag_Area::Flag, Tag_Width::Bit, 10, 1},
        Address_Case{"MB", "%MB7", true, Tag_Area::Flag, Tag_Width::Byte, 7},
        Address_Case{"MW", "%MW2", true, Tag_Area::Flag, Tag_Width::Word, 2},
        Address_Case{"MD", "%MD10", true, Tag_Area::Flag, Tag_Width::DWord, 10},
        Address_Case{"PIB", "PIB 256", true, Tag_Area::Periphery_Input, Tag_Width::Byte, 256},
        Address_Case{"PEW", "PEW 256", true, Tag_Area::Periphery_Input, Tag_Width::Word, 256},
        Address_Case{"PID", "%PID260", true, Tag_Area::Periphery_Input, Tag_Width::DWord, 260},
        Address_Case{"PQW", "PQW 300", true, Tag_Area::Periphery_Output, Tag_Width::Word, 300},
        Address_Case{"PAB", "PAB 301", true, Tag_Area::Periphery_Output, Tag_Width::Byte, 301},
        Address_Case{"PAD", "PAD 304", true, Tag_Area::Periphery_Output, Tag_Width::DWord, 304},
        Address_Case{"Peripheral_Suffix", "%IW64:P", true, Tag_Area::Periphery_Input, Tag_Width::Word, 64},
        Address_Case{"Peripheral_Bit", "%Q1.3:P", true, Tag_Area::Periphery_Output, Tag_Width::Bit, 1, 3},
        Address_Case{"DBX", "%DB3.DBX4.1", true, Tag_Area::Data_Block, Tag_Width::Bit, 4, 1, 3},
        Address_Case{"DBB", "DB3.DBB5", true, Tag_Area::Data_Block, Tag_Width::Byte, 5, 0, 3},
        Address_Case{"DBW", "%DB3.DBW4", true, Tag_Area::Data_Block, Tag_Width::Word, 4, 0, 3},
        Address_Case{"DBD_Blanks", "db 12 . dbd 8", true, Tag_Area::Data_Block, Tag_Width::DWord, 8, 0, 12},
        Address_Case{"Timer", "T 5", true, Tag_Area::Timer, Tag_Width::None, 5},
        Address_Case{"Counter_German", "Z 3", true, Tag_Area::Counter, Tag_Width::None, 3},
        Address_Case{"Counter", "%C3", true, Tag_Area::Counter, Tag_Width::None, 3},
        Address_Case{"Block_DB", "DB 10", true, Tag_Area::Block, Tag_Width::None, 10},
        Address_Case{"Block_FC", "FC 2", true, Tag_Area::Block, Tag_Width::None, 2},
        Address_Case{"Bit_Missing", "M 10", false}, Address_Case{"Bit_8", "M10.8", false},
        Address_Case{"Bit_On_Word", "MW2.1", false}, Address_Case{"No_Number", "MW", false},
        Address_Case{"Unknown_Letters", "X1.0", false}, Address_Case{"DB_Without_Offset", "DB3.DBW", false},
        Address_Case{"DB_Bit_Without_Bit", "DB3.DBX4", false}, Address_Case{"Peripheral_Flag", "MW2:P", false},
        Address_Case{"Trailing_Text", "MW2x", false}, Address_Case{"Empty", "", false},
        Address_Case{"Huge_Number", "MW12345678901", false}),
    [](const testing::TestParamInfo<Address_Case>& info) { return std::string(info.param.label); });

} // namespace
