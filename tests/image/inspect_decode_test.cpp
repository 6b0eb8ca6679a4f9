// The decoder against hand-assembled images: clean ones decode to the values put in, and each
// kind of damage yields its own problem line.

#include <gtest/gtest.h>

#include <functional>

#include "image/image_inspect.h"
#include "inspect_fixtures.h"

namespace qm {
namespace {

using test::Bytes;

::testing::AssertionResult Has_Problem(const Inspect_Findings& findings, const std::string& part) {
    for (const auto& problem : findings.problems) {
        if (problem.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    }
    auto failure = ::testing::AssertionFailure() << "no problem mentions \"" << part << "\"; problems:";
    for (const auto& problem : findings.problems) failure << "\n  " << problem;
    return failure;
}

std::string All(const std::vector<std::string>& lines) {
    std::string joined;
    for (const auto& line : lines) joined += line + "\n";
    return joined;
}

// ---- bank 1 ----------------------------------------------------------------------------------

TEST(Inspect_Bank1, Empty_Project_Block_Decodes_With_Checksum_3480) {
    const Bytes block = test::Empty_Bank1();
    ASSERT_EQ(block[0x7FC], 0x98);
    ASSERT_EQ(block[0x7FD], 0x0D);

    const Bank1_Image image = Decode_Bank1(block);
    EXPECT_TRUE(image.findings.problems.empty()) << All(image.findings.problems);
    EXPECT_EQ(image.Block_Checksum, 3480U);
    EXPECT_EQ(image.Computed_Checksum, 3480U);
    EXPECT_EQ(image.Server_IP, (std::array<std::uint8_t, 4>{192, 168, 2, 205}));
    EXPECT_EQ(image.Server_Gateway, (std::array<std::uint8_t, 4>{255, 255, 255, 255}));
    EXPECT_EQ(image.IEC61850_Area_Address, 0xA0400U);
    EXPECT_EQ(image.S7_Table_Address, 0x80000U);
    EXPECT_TRUE(image.Reserved_Changes.empty());
}

TEST(Inspect_Bank1, Filled_Fields_Land_At_Their_Offsets) {
    Bytes block = test::Empty_Bank1();
    const std::uint8_t plc[] = {10, 20, 30, 40, 255, 255, 0, 0, 10, 20, 0, 254};
    std::copy(std::begin(plc), std::end(plc), block.begin() + 0x184);
    const std::uint8_t dns[] = {172, 16, 5, 2};
    std::copy(std::begin(dns), std::end(dns), block.begin() + 0x58C);
    test::Put_U32(block, 0x03C, 0xA0000);
    test::Put_U32(block, 0x040, 3600);
    test::Put_U32(block, 0x658, 9);
    test::Seal_Bank1(block);

    const Bank1_Image image = Decode_Bank1(block);
    EXPECT_TRUE(image.findings.problems.empty()) << All(image.findings.problems);
    EXPECT_EQ(image.PLC_Side_IP, (std::array<std::uint8_t, 4>{10, 20, 30, 40}));
    EXPECT_EQ(image.PLC_Side_Mask, (std::array<std::uint8_t, 4>{255, 255, 0, 0}));
    EXPECT_EQ(image.PLC_Side_Gateway, (std::array<std::uint8_t, 4>{10, 20, 0, 254}));
    EXPECT_EQ(image.Server_DNS, (std::array<std::uint8_t, 4>{172, 16, 5, 2}));
    EXPECT_EQ(image.NTP_Text_Address, 0xA0000U);
    EXPECT_EQ(image.NTP_Poll_Interval, 3600U);
    EXPECT_EQ(image.S7_Rule_Count, 9U);
}

struct Block_Damage {
    const char* name;
    std::function<void(Bytes&)> damage;
    bool reseal; // recompute the checksum afterwards, so only the damage itself is found
    const char* expected;
};

class Inspect_Bank1_Damage : public ::testing::TestWithParam<Block_Damage> {};

TEST_P(Inspect_Bank1_Damage, Is_Reported) {
    Bytes block = test::Empty_Bank1();
    GetParam().damage(block);
    if (GetParam().reseal && block.size() == 2048) test::Seal_Bank1(block);
    const Bank1_Image image = Decode_Bank1(block);
    EXPECT_TRUE(Has_Problem(image.findings, GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Inspect_Bank1_Damage,
    ::testing::Values(
        Block_Damage{"checksum_off_by_one", [](Bytes& b) { b[0x7FC] = 0x99; }, false, "sum to 3480"},
        Block_Damage{"byte_changed_after_checksum", [](Bytes& b) { b[0x02B] = 11; }, false, "Block_Checksum"},
        Block_Damage{"rule_table_address", [](Bytes& b) { test::Put_U32(b, 0x654, 0x80001); }, true,
                     "S7_Table_Address"},
        Block_Damage{"area_address", [](Bytes& b) { test::Put_U32(b, 0x5E8, 0xA0000); }, true, "IEC61850_Area_Address"},
        Block_Damage{"ntp_address", [](Bytes& b) { test::Put_U32(b, 0x03C, 0xA0400); }, true, "NTP_Text_Address"},
        Block_Damage{"rule_count_above_table", [](Bytes& b) { test::Put_U32(b, 0x658, 1025); }, true, "1024 records"},
        Block_Damage{"reserved_default_changed", [](Bytes& b) { b[0x1B7] = 9; }, true, "reserved bytes 0x1B7"},
        Block_Damage{"reserved_zero_changed", [](Bytes& b) { b[0x7F8] = 1; }, true, "reserved bytes 0x7F8"},
        Block_Damage{"short_file", [](Bytes& b) { b.resize(0x700); }, false, "Block_Checksum: missing"},
        Block_Damage{"long_file", [](Bytes& b) { b.push_back(0); }, false, "always 2048"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- bank 2 ----------------------------------------------------------------------------------

TEST(Inspect_Bank2, Records_Decode_Field_By_Field) {
    test::Rule_Fixture read;
    read.rack_slot = 0x62;
    read.flags = 0x08;
    test::Rule_Fixture write;
    write.flags = 0x29;
    write.data_type = 8;
    write.identifier = 15;
    write.area = 0x80;
    write.plc_type = 1;
    write.poll = 0;
    const Bytes table = test::Bank2_With({read, write});
    EXPECT_EQ(table[0], 0x7D); // 192.168.1.125 with its first part in the top byte
    EXPECT_EQ(table[3], 0xC0);

    const Bank2_Image image = Decode_Bank2(table, 2U);
    EXPECT_TRUE(image.findings.problems.empty()) << All(image.findings.problems);
    ASSERT_EQ(image.records.size(), 2U);
    EXPECT_EQ(image.records[0].PLC_Address, 0xC0A8017DU);
    EXPECT_EQ(image.records[0].Rack_Slot / 32, 3);
    EXPECT_EQ(image.records[0].Rack_Slot % 32, 2);
    EXPECT_FALSE(image.records[0].is_write());
    EXPECT_TRUE(image.records[1].is_write());
    EXPECT_EQ(PLC_Type_Name(image.records[1].PLC_Type), "Logo0BA8");
    EXPECT_EQ(S7_Data_Type_Name(image.records[1].Data_Type), "Real");
    EXPECT_EQ(Data_Identifier_Name(image.records[1].Data_Identifier), "SFB");
    EXPECT_EQ(PLC_Area_Name(image.records[1].PLC_Area), "Direct peripheral access (P)");
}

TEST(Inspect_Bank2, Every_Code_Of_Every_List_Has_Its_Editor_Name) {
    const std::pair<std::uint8_t, const char*> types[] = {{1, "Logo0BA8"}, {0, "S7200"},   {10, "S7300"},
                                                          {20, "S7400"},   {30, "S71200"}, {40, "S71500"}};
    for (const auto& [code, text] : types) EXPECT_EQ(PLC_Type_Name(code), text);
    const char* data[] = {"Bit", "Byte", "Char", "Word", "Int", "DWord", "DInt", "Real"};
    for (std::uint8_t code = 1; code <= 8; ++code) EXPECT_EQ(S7_Data_Type_Name(code), data[code - 1]);
    const std::pair<std::uint8_t, const char*> ids[] = {{8, "OB"},   {10, "DB"}, {11, "SDB"}, {12, "FC"},
                                                        {13, "SFC"}, {14, "FB"}, {15, "SFB"}};
    for (const auto& [code, text] : ids) EXPECT_EQ(Data_Identifier_Name(code), text);
    EXPECT_EQ(PLC_Area_Name(0x81), "Inputs (I)");
    EXPECT_EQ(PLC_Area_Name(0x82), "Output (Q)");
    EXPECT_EQ(PLC_Area_Name(0x83), "Flags (M) (Merker)");
    for (const std::uint8_t unknown : {2, 9, 41, 255}) EXPECT_EQ(PLC_Type_Name(unknown), "");
    EXPECT_EQ(S7_Data_Type_Name(0), "");
    EXPECT_EQ(Data_Identifier_Name(9), "");
    EXPECT_EQ(PLC_Area_Name(0x84), "");
}

struct Table_Damage {
    const char* name;
    std::function<void(Bytes&)> damage;
    std::optional<std::uint32_t> rule_count;
    const char* expected;
};

class Inspect_Bank2_Damage : public ::testing::TestWithParam<Table_Damage> {};

TEST_P(Inspect_Bank2_Damage, Is_Reported) {
    test::Rule_Fixture write;
    write.flags = 0x20;
    Bytes table = test::Bank2_With({test::Rule_Fixture{}, test::Rule_Fixture{}, write});
    GetParam().damage(table);
    const Bank2_Image image = Decode_Bank2(table, GetParam().rule_count);
    EXPECT_TRUE(Has_Problem(image.findings, GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Inspect_Bank2_Damage,
    ::testing::Values(
        Table_Damage{"unknown_plc_type", [](Bytes& b) { b[28 + 19] = 5; }, 3U, "record 1 (0x001C) PLC_Type"},
        Table_Damage{"unknown_data_type", [](Bytes& b) { b[20] = 9; }, 3U, "Data_Type: code 9"},
        Table_Damage{"unknown_identifier", [](Bytes& b) { b[21] = 9; }, 3U, "Data_Identifier: code 9"},
        Table_Damage{"unknown_area", [](Bytes& b) { b[25] = 0x84; }, 3U, "PLC_Area: code 0x84"},
        Table_Damage{"flag_bit_1", [](Bytes& b) { b[23] = 0x02; }, 3U, "bits 1, 6 and 7"},
        Table_Damage{"on_change_in_read_rule", [](Bytes& b) { b[23] = 0x01; }, 3U, "write rules only"},
        Table_Damage{"reserved_byte", [](Bytes& b) { b[56 + 27] = 1; }, 3U, "record 2 (0x0038) reserved"},
        Table_Damage{"read_after_write", [](Bytes& b) { b[23] = 0x20; }, 3U, "record 1 (0x001C) is a read rule after"},
        Table_Damage{"gap_between_rules", [](Bytes& b) { std::fill(b.begin() + 28, b.begin() + 56, 0); }, 3U,
                     "record 2 (0x0038) is not zero"},
        Table_Damage{"count_differs_from_block", [](Bytes&) {}, 4U, "S7_Rule_Count in bank1.bin is 4, but 3"},
        Table_Damage{"short_file", [](Bytes& b) { b.resize(100); }, std::nullopt, "record 3 is cut short"},
        Table_Damage{"long_file", [](Bytes& b) { b.resize(28672 + 28, 0xAA); }, 3U, "always 28672"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- bank 3 ----------------------------------------------------------------------------------

TEST(Inspect_Bank3, Empty_Project_Area_Matches_The_Known_Bytes_And_Decodes_Clean) {
    const Bytes area = test::Make_Bank3({});
    ASSERT_EQ(area.size(), 1079U);
    const Bytes header = {0x66, 0x00, 0, 0, 0, 0, 0x36, 0x04, 0x0A, 0, 0,    0,    0,    0, 0,    0, 0,    0,
                          0x36, 0x04, 0x0A, 0, 0, 0, 0, 0, 0x36, 0x04, 0x0A, 0, 0,    0,    0,    0, 0,    0,
                          0,    0,    0x36, 0x04, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x36, 0x04, 0x0A, 0};
    EXPECT_EQ(Bytes(area.begin() + 1024, area.begin() + 1078), header);

    const Bank3_Image image = Decode_Bank3(area);
    EXPECT_TRUE(image.findings.problems.empty()) << All(image.findings.problems);
    EXPECT_EQ(image.header.port, 102);
    EXPECT_EQ(image.marker_offset, std::optional<std::size_t>(0x436));
    for (const auto& s : image.strings) EXPECT_TRUE(s.empty_reference) << s.role;
}

TEST(Inspect_Bank3, Full_Area_Shows_Every_String_At_Its_Device_Address) {
    const test::Area_Fixture fixture = test::Full_Area();
    const Bytes area = test::Make_Bank3(fixture);
    const Bank3_Image image = Decode_Bank3(area);
    EXPECT_TRUE(image.findings.problems.empty()) << All(image.findings.problems);
    EXPECT_EQ(image.NTP_Text, "pool.ntp.example");
    EXPECT_EQ(image.header.port, 8102);
    ASSERT_EQ(image.known_certs.size(), 2U);
    ASSERT_EQ(image.variables.size(), 3U);
    EXPECT_EQ(image.header.Var_Add, 0xA0400U + 54 + 16);
    EXPECT_FLOAT_EQ(image.variables[1].Multiplication_Factor, 0.5F);

    // Pool order: key, key password, server and root certificate, password, known certificates, names.
    const std::vector<std::string> expected = {fixture.key,      fixture.key_password, fixture.server_cert,
                                               fixture.root_cert, fixture.password,     "CLIENT ONE",
                                               "CLIENT TWO",      "LLN0.Mod",           "Temp\xB0",
                                               "Alarm"};
    ASSERT_EQ(image.strings.size(), expected.size());
    std::uint32_t address = 0xA0400 + 54 + 16 + 96 + 1; // right after the empty marker
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(image.strings[i].bytes, expected[i]) << image.strings[i].role;
        EXPECT_EQ(image.strings[i].address, address) << image.strings[i].role;
        address += static_cast<std::uint32_t>(expected[i].size()) + 1;
    }
    EXPECT_EQ(image.strings[4].encoding, String_Encoding::Low_Byte);
    EXPECT_EQ(image.strings[9].encoding, String_Encoding::Low_Byte);
    EXPECT_EQ(address - 0xA0000, area.size());
}

TEST(Inspect_Bank3, Known_Certificates_Without_Key_Or_Password_Use_The_Empty_Marker) {
    test::Area_Fixture fixture;
    fixture.tls = 1;
    fixture.server_cert = "S";
    fixture.known = {"A", "B"};
    const Bank3_Image image = Decode_Bank3(test::Make_Bank3(fixture));
    EXPECT_TRUE(image.findings.problems.empty()) << All(image.findings.problems);
    EXPECT_EQ(image.header.Var_Add, 0xA0446U);
    EXPECT_EQ(image.marker_offset, std::optional<std::size_t>(0x446));
    EXPECT_EQ(image.header.key_add, 0xA0446U);
    EXPECT_EQ(image.header.Root_Cert_Add, 0xA0446U);
    EXPECT_EQ(image.header.Key_Password_Add, 0U);
    EXPECT_EQ(image.header.Password_Add, 0U);
}

TEST(Inspect_Bank3, Ntp_Text_Of_1024_Bytes_Has_No_Terminator_And_Is_Only_A_Note) {
    test::Area_Fixture fixture;
    fixture.ntp = std::string(1024, 'n');
    const Bank3_Image image = Decode_Bank3(test::Make_Bank3(fixture));
    EXPECT_TRUE(image.findings.problems.empty()) << All(image.findings.problems);
    EXPECT_EQ(image.NTP_Text.size(), 1024U);
    EXPECT_FALSE(image.NTP_Terminated);
    EXPECT_EQ(image.findings.notes.size(), 1U);
}

struct Area_Damage {
    const char* name;
    std::function<void(Bytes&)> damage;
    const char* expected;
};

class Inspect_Bank3_Damage : public ::testing::TestWithParam<Area_Damage> {};

// Offsets below refer to the full fixture: 2 known certificates (entries at 0x436), 3 variables
// (entries at 0x446), empty marker at 0x4A6, key string at 0x4A7.
TEST_P(Inspect_Bank3_Damage, Is_Reported) {
    Bytes area = test::Make_Bank3(test::Full_Area());
    ASSERT_EQ(test::Get_U32(area, 0x406), 0xA04A7U);
    GetParam().damage(area);
    const Bank3_Image image = Decode_Bank3(area);
    EXPECT_TRUE(Has_Problem(image.findings, GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Inspect_Bank3_Damage,
    ::testing::Values(
        Area_Damage{"key_address_off_by_one", [](Bytes& b) { test::Put_U32(b, 0x406, 0xA04A8); },
                    "key_add 0xA04A8 should be 0xA04A7"},
        Area_Damage{"key_length_wrong", [](Bytes& b) { test::Put_U32(b, 0x40A, 7); }, "but its length says 7"},
        Area_Damage{"empty_key_not_at_marker", [](Bytes& b) { test::Put_U32(b, 0x40A, 0); }, "(the empty marker)"},
        Area_Damage{"known_cert_address_fixed", [](Bytes& b) { test::Put_U32(b, 0x426, 0xA0437); }, "Known_Cert_Add"},
        Area_Damage{"var_add_wrong", [](Bytes& b) { test::Put_U32(b, 0x432, 0xA0436); }, "Var_Add 0xA0436 should be"},
        Area_Damage{"marker_not_zero", [](Bytes& b) { b[0x4A6] = 1; }, "empty marker at 0x4A6"},
        Area_Damage{"known_certs_without_tls", [](Bytes& b) { test::Put_U32(b, 0x402, 0); }, "TLS_Enable is not 1"},
        Area_Damage{"unknown_variable_type", [](Bytes& b) { test::Put_U32(b, 0x446 + 4, 3); }, "variable 0 Data_Type 3"},
        Area_Damage{"digital_longer_than_one", [](Bytes& b) { test::Put_U32(b, 0x486 + 16, 4); },
                    "variable 2 is digital"},
        Area_Damage{"unknown_operation", [](Bytes& b) { test::Put_U16(b, 0x446 + 28, 3); }, "Operation 3"},
        Area_Damage{"unknown_option_bits", [](Bytes& b) { test::Put_U16(b, 0x446 + 30, 4); }, "Options 0x0004"},
        Area_Damage{"read_only_not_a_flag", [](Bytes& b) { test::Put_U32(b, 0x446 + 20, 2); }, "Read_Only 2"},
        Area_Damage{"last_name_unterminated", [](Bytes& b) { b.pop_back(); }, "variable 2 Name_Add"},
        Area_Damage{"trailing_garbage", [](Bytes& b) { b.push_back(0x55); }, "belong to no string"},
        Area_Damage{"invalid_utf8_in_key", [](Bytes& b) { b[0x4A7 + 2] = 0xFF; }, "key at 0xA04A7 is not valid UTF-8"},
        Area_Damage{"ntp_bytes_after_terminator", [](Bytes& b) { b[0x3FF] = 'x'; }, "device sees only \"pool.ntp.example\""},
        Area_Damage{"entries_past_the_end", [](Bytes& b) { test::Put_U32(b, 0x42E, 0xFFFFFFFF); },
                    "variable entries run past the end"},
        Area_Damage{"header_cut_short", [](Bytes& b) { b.resize(1050); }, "header at 0x400 is missing"},
        Area_Damage{"name_points_outside_pool", [](Bytes& b) { test::Put_U32(b, 0x446, 0xA0010); },
                    "variable 0 Name_Add 0xA0010"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Inspect_Bank3, Empty_Variable_Name_Is_A_Problem_Because_The_Device_Reads_The_Next_String) {
    test::Area_Fixture fixture = test::Full_Area();
    fixture.vars[1].name.clear();
    const Bank3_Image image = Decode_Bank3(test::Make_Bank3(fixture));
    EXPECT_TRUE(Has_Problem(image.findings, "variable 1 name is empty"));
    EXPECT_EQ(image.findings.problems.size(), 1U) << All(image.findings.problems);
    EXPECT_EQ(image.strings.back().bytes, "Alarm"); // the walk stays in step after the empty name
}

// ---- the set ---------------------------------------------------------------------------------

TEST(Inspect_Banks, Cross_Checks_Rule_Count_And_Ntp_Address) {
    Bytes block = test::Empty_Bank1();
    test::Put_U32(block, 0x658, 2);
    test::Put_U32(block, 0x03C, 0xA0000);
    test::Seal_Bank1(block);
    const Bank_File bank1{"bank1.bin", block};
    const Bank_File bank2{"bank2.bin", test::Bank2_With({test::Rule_Fixture{}})};
    const Bank_File bank3{"bank3.bin", test::Make_Bank3({})};

    const Inspect_Report report = Inspect_Banks(bank1, bank2, bank3);
    ASSERT_EQ(report.problems.size(), 2U) << All(report.problems);
    EXPECT_NE(report.problems[0].find("bank2.bin: S7_Rule_Count in bank1.bin is 2, but 1"), std::string::npos);
    EXPECT_NE(report.problems[1].find("NTP_Text_Address is 0xA0000, but the NTP text area is empty"), std::string::npos);
    EXPECT_NE(report.text.find("  problem: bank2.bin: S7_Rule_Count"), std::string::npos);
    EXPECT_NE(report.text.find("2 problems"), std::string::npos);
}

TEST(Inspect_Banks, Clean_Set_Reads_Well) {
    Bytes block = test::Empty_Bank1();
    test::Put_U32(block, 0x658, 1);
    test::Put_U32(block, 0x03C, 0xA0000);
    test::Seal_Bank1(block);
    const Inspect_Report report =
        Inspect_Banks(Bank_File{"bank1.bin", block}, Bank_File{"bank2.bin", test::Bank2_With({test::Rule_Fixture{}})},
                      Bank_File{"bank3.bin", test::Make_Bank3(test::Full_Area())});
    EXPECT_TRUE(report.ok()) << report.text;
    // A few lines an engineer looks for, with their columns.
    for (const char* line : {"  0x7FC   Block_Checksum          ", "    0   PLC_Address      7D 01 A8 C0  192.168.1.125",
                             "    0xA04A7   42     key                   \"-----BEGIN KEY-----\" ... (3 lines)",
                             "\"Temp\xC2\xB0\"  [8-bit]", "no problems found"}) {
        EXPECT_NE(report.text.find(line), std::string::npos) << "missing: " << line << "\n" << report.text;
    }
}

TEST(Inspect_Banks, Guess_Bank_By_Name_Then_By_Size) {
    EXPECT_EQ(Guess_Bank("bank2.bin", 5), 2);
    EXPECT_EQ(Guess_Bank("old_BANK3.bin", 2048), 3);
    EXPECT_EQ(Guess_Bank("a.bin", 2048), 1);
    EXPECT_EQ(Guess_Bank("a.bin", 28672), 2);
    EXPECT_EQ(Guess_Bank("a.bin", 1079), 3);
    EXPECT_EQ(Guess_Bank("a.bin", 100), 0);
    EXPECT_EQ(Guess_Bank("bank1-bank2.bin", 2048), 0);
}

} // namespace
} // namespace qm
