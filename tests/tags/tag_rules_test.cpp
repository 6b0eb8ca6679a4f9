// What tags become: the rule fields, the positions they take, the checks over the result, and the
// all-or-nothing write into a configuration folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/file_io.h"
#include "common/temp_folder.h"
#include "language/lang_strings.h"
#include "language/lang_table.h"
#include "tables/iec61850_variables.h"
#include "tags/tag_rules.h"
#include "tags/tags_texts.h"

namespace {

using C = qm::S7_Read_Col;
namespace tt = qm::tags_text;

class Tag_Rules_Test : public testing::Test {
protected:
    void SetUp() override {
        qm::Load_Default_Strings();
        options.plc_address = "127.0.0.1";
    }
    qm::Tag_Import_Options options;
};

qm::Plc_Tag Tag(const char* name, const char* type, const char* address, int line) {
    return {name, type, *qm::Parse_Plc_Address(address), "", line};
}

std::string Cell_Of(const qm::Table_Row& row, int column) {
    return std::string(qm::Cell(row, column));
}

TEST_F(Tag_Rules_Test, Fields_Follow_The_Mapping_Table) {
    const std::vector<qm::Plc_Tag> tags = {Tag("Start", "Bool", "%I1.3", 1), Tag("Speed", "UInt", "%MW2", 2),
                                           Tag("Level", "Real", "DB3.DBD8", 3), Tag("Raw", "SInt", "PIB 256", 4),
                                           Tag("Stamp", "Time_Of_Day", "MD20", 5), Tag("Run", "Time", "QD4", 6)};
    const qm::Tag_Rules rules = qm::Make_Tag_Rules(tags, qm::Reset_S7_Protocol().Read, options);
    ASSERT_TRUE(rules.ok());
    ASSERT_EQ(rules.rules.size(), tags.size());
    // Data Type, Data Identifier, DB Number, PLC Area, PLC Add, PLC Bit of each
    const std::vector<std::vector<std::string>> expected = {
        {"Bit", "OB", "0", "Inputs (I)", "1", "3"},
        {"Word", "OB", "0", "Flags (M) (Merker)", "2", "0"},
        {"Real", "DB", "3", "Direct peripheral access (P)", "8", "0"},
        {"Byte", "OB", "0", "Direct peripheral access (P)", "256", "0"},
        {"DWord", "OB", "0", "Flags (M) (Merker)", "20", "0"},
        {"DInt", "OB", "0", "Output (Q)", "4", "0"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const qm::Table_Row& row = rules.rules[i];
        const std::vector<std::string> got = {Cell_Of(row, C::Data_Type), Cell_Of(row, C::Data_Identifier),
                                              Cell_Of(row, C::DB_Number), Cell_Of(row, C::PLC_Area),
                                              Cell_Of(row, C::PLC_Add),   Cell_Of(row, C::PLC_Bit)};
        EXPECT_EQ(got, expected[i]) << tags[i].name;
        EXPECT_EQ(Cell_Of(row, C::Mnemonic), tags[i].name);
        EXPECT_EQ(Cell_Of(row, C::PLC_Address), "127.0.0.1");
        EXPECT_EQ(Cell_Of(row, C::PLC_Port), "102");
        EXPECT_EQ(Cell_Of(row, C::PLC_Type), "S71500");
        EXPECT_EQ(Cell_Of(row, C::Slot), "1");
        EXPECT_EQ(Cell_Of(row, C::PollTime), "1000");
    }
}

TEST_F(Tag_Rules_Test, Bool_Runs_Pack_Bits_And_Others_Take_The_Next_Bytes_After_The_List) {
    qm::S7_Protocol_Data data = qm::Reset_S7_Protocol();
    // A rule already there: a Real at Position 10, so the new ones start at 14.
    qm::Table_Row& old = data.Read[0];
    old[C::PLC_Address - 1] = "127.0.0.1";
    old[C::Data_Type - 1] = "Real";
    old[C::Position - 1] = "10";
    std::vector<qm::Plc_Tag> tags;
    for (int i = 0; i < 9; ++i) {
        tags.push_back(Tag("b", "Bool", "M0.0", i + 1));
    }
    tags.push_back(Tag("w", "Int", "MW2", 10));
    tags.push_back(Tag("c", "Bool", "M1.0", 11));
    const qm::Tag_Rules rules = qm::Make_Tag_Rules(tags, data.Read, options);
    ASSERT_TRUE(rules.ok());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"14", "0"}, {"14", "1"}, {"14", "2"}, {"14", "3"}, {"14", "4"}, {"14", "5"},
        {"14", "6"}, {"14", "7"}, {"15", "0"}, {"16", "0"}, {"18", "0"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(std::pair(Cell_Of(rules.rules[i], C::Position), Cell_Of(rules.rules[i], C::Bit)), expected[i])
            << "tag " << i;
    }
    options.first_position = 100;
    EXPECT_EQ(Cell_Of(qm::Make_Tag_Rules(tags, data.Read, options).rules.front(), C::Position), "100");
}

TEST_F(Tag_Rules_Test, Running_Past_The_Data_Array_Names_The_Tag) {
    options.first_position = qm::NByte_IN - 3;
    const qm::Tag_Rules rules =
        qm::Make_Tag_Rules({Tag("a", "Int", "MW0", 4), Tag("b", "Int", "MW2", 9)}, qm::Reset_S7_Protocol().Read, options);
    ASSERT_FALSE(rules.ok());
    EXPECT_EQ(rules.errors.front().line, 9);
    EXPECT_EQ(rules.errors.front().text, qm::Lang(tt::Past_End) + "1499");
}

TEST_F(Tag_Rules_Test, Write_List_Rules_Fill_The_Write_Columns) {
    options.write_list = true;
    const qm::Tag_Rules rules = qm::Make_Tag_Rules({Tag("q", "Bool", "Q0.5", 1)}, qm::Reset_S7_Protocol().Write, options);
    ASSERT_TRUE(rules.ok());
    const qm::Table_Row& row = rules.rules.front();
    EXPECT_EQ(row.size(), static_cast<std::size_t>(qm::S7_Write_Col::Col_Count - 1));
    EXPECT_EQ(Cell_Of(row, qm::S7_Write_Col::Position), "0");
    EXPECT_EQ(Cell_Of(row, qm::S7_Write_Col::Mnemonic), "q");
    const qm::Tag_Merge merge = qm::Merge_Tag_Rules(qm::Reset_S7_Protocol(), qm::Reset_IEC61850_Variables(), rules, options);
    EXPECT_TRUE(merge.ok()) << (merge.faults.empty() ? "" : merge.faults.front());

    // The map does not count write rules on the same bytes as a fault; the import still takes
    // free bytes only: a Real at 200 to 203 (switched off, which keeps its place) is stepped over.
    qm::Table_Rows write = qm::Reset_S7_Protocol().Write;
    write[0][qm::S7_Write_Col::PLC_Address - 1] = "127.0.0.1";
    write[0][qm::S7_Write_Col::Enable - 1] = "N";
    write[0][qm::S7_Write_Col::Data_Type - 1] = "Real";
    write[0][qm::S7_Write_Col::Position - 1] = "200";
    options.first_position = 199;
    const qm::Tag_Rules around =
        qm::Make_Tag_Rules({Tag("w", "Int", "QW0", 1), Tag("x", "Bool", "Q2.0", 2), Tag("y", "Int", "QW4", 3)}, write, options);
    ASSERT_TRUE(around.ok());
    std::vector<std::string> positions;
    for (const qm::Table_Row& row : around.rules) positions.push_back(Cell_Of(row, qm::S7_Write_Col::Position));
    EXPECT_EQ(positions, (std::vector<std::string>{"204", "206", "207"}));
}

TEST_F(Tag_Rules_Test, The_Result_Is_Checked_For_Overlap_Connections_And_Room) {
    qm::S7_Protocol_Data data = qm::Reset_S7_Protocol();
    qm::Table_Row& old = data.Read[0];
    const std::vector<std::pair<int, const char*>> cells = {
        {C::PLC_Address, "127.0.0.1"}, {C::PLC_Port, "102"}, {C::PLC_Type, "S71500"}, {C::Rack, "0"},
        {C::Slot, "1"}, {C::Data_Type, "Int"}, {C::Data_Identifier, "OB"}, {C::DB_Number, "0"},
        {C::PLC_Area, "Flags (M) (Merker)"}, {C::PLC_Add, "0"}, {C::PLC_Bit, "0"}, {C::PollTime, "1000"},
        {C::Position, "0"}, {C::Bit, "0"}};
    for (const auto& [column, text] : cells) {
        old[static_cast<std::size_t>(column - 1)] = text;
    }
    const std::vector<qm::Plc_Tag> tags = {Tag("a", "Int", "MW4", 1)};
    // After the list: no overlap, the check passes.
    qm::Tag_Rules rules = qm::Make_Tag_Rules(tags, data.Read, options);
    qm::Tag_Merge merge = qm::Merge_Tag_Rules(data, qm::Reset_IEC61850_Variables(), rules, options);
    EXPECT_TRUE(merge.ok()) << (merge.faults.empty() ? "" : merge.faults.front());
    EXPECT_EQ(merge.first_row, 2);
    EXPECT_EQ(Cell_Of(merge.data.Read[1], C::Position), "2");
    // A first position on the old rule's bytes: the new rule steps over them.
    options.first_position = 1;
    rules = qm::Make_Tag_Rules(tags, data.Read, options);
    ASSERT_TRUE(rules.ok());
    EXPECT_EQ(Cell_Of(rules.rules.front(), C::Position), "2");
    // Rules that overlap all the same (made by hand here): the data map finds it.
    rules.rules.front()[C::Position - 1] = "1";
    merge = qm::Merge_Tag_Rules(data, qm::Reset_IEC61850_Variables(), rules, options);
    ASSERT_EQ(merge.faults.size(), 1U);
    EXPECT_TRUE(merge.faults.front().starts_with(qm::Lang(tt::Overlap))) << merge.faults.front();
    // An eleventh PLC: the check's connection rule.
    options.first_position.reset();
    for (int i = 1; i <= 10; ++i) {
        data.Read[static_cast<std::size_t>(i)] = data.Read[0];
        data.Read[static_cast<std::size_t>(i)][C::PLC_Address - 1] = "127.0.0." + std::to_string(i + 1);
        data.Read[static_cast<std::size_t>(i)][C::Position - 1] = std::to_string(2 * i);
    }
    data.Read[10][C::PLC_Address - 1] = "127.0.0.1";
    options.plc_address = "127.0.0.99";
    rules = qm::Make_Tag_Rules(tags, data.Read, options);
    merge = qm::Merge_Tag_Rules(data, qm::Reset_IEC61850_Variables(), rules, options);
    ASSERT_FALSE(merge.ok());
    EXPECT_NE(merge.faults.front().find(qm::Lang(1287)), std::string::npos) << merge.faults.front();
}

TEST_F(Tag_Rules_Test, Variables_Follow_The_Read_Rules_And_Are_Refused_Past_Fifty) {
    options.variables = true;
    const std::vector<qm::Plc_Tag> tags = {Tag("On", "Bool", "I0.0", 1), Tag("On2", "Bool", "I0.1", 2),
                                           Tag("Temp", "Real", "MD4", 3), Tag("Count", "DInt", "MD8", 4)};
    qm::Tag_Rules rules = qm::Make_Tag_Rules(tags, qm::Reset_S7_Protocol().Read, options);
    ASSERT_EQ(rules.variables.size(), 4U);
    using V = qm::Var_Col;
    // Type, Length, ReadOnly, Position, StartBit, Conversion, factor
    const std::vector<std::vector<std::string>> expected = {{"Digital (Bit)", "1", "Y", "0", "0", "None", "None"},
                                                            {"Digital (Bit)", "1", "Y", "0", "1", "None", "None"},
                                                            {"Float", "4", "Y", "1", "0", "None", "None"},
                                                            {"Int", "4", "Y", "5", "0", "None", "None"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const qm::Table_Row& v = rules.variables[i];
        EXPECT_EQ((std::vector<std::string>{Cell_Of(v, V::Type), Cell_Of(v, V::Length), Cell_Of(v, V::ReadOnly),
                                            Cell_Of(v, V::Position), Cell_Of(v, V::StartBit), Cell_Of(v, V::Conversion),
                                            Cell_Of(v, V::MultiplicationFactor)}),
                  expected[i]);
        EXPECT_EQ(Cell_Of(v, V::Name), tags[i].name);
    }
    qm::Tag_Merge merge = qm::Merge_Tag_Rules(qm::Reset_S7_Protocol(), qm::Reset_IEC61850_Variables(), rules, options);
    EXPECT_TRUE(merge.ok()) << (merge.faults.empty() ? "" : merge.faults.front());
    EXPECT_EQ(merge.first_variable, 1);

    std::vector<qm::Plc_Tag> many;
    for (int i = 0; i < 51; ++i) {
        many.push_back(Tag("x", "Byte", "MB0", i + 1));
    }
    rules = qm::Make_Tag_Rules(many, qm::Reset_S7_Protocol().Read, options);
    merge = qm::Merge_Tag_Rules(qm::Reset_S7_Protocol(), qm::Reset_IEC61850_Variables(), rules, options);
    ASSERT_FALSE(merge.ok());
    EXPECT_EQ(merge.faults.front(), qm::Lang(tt::Too_Many_Variables) + "51 > 50");
}

// ---- into a configuration folder ----

class Tag_Folder_Test : public Tag_Rules_Test {
protected:
    void SetUp() override {
        Tag_Rules_Test::SetUp();
        folder = qm::test::Make_Temp_Folder("qm_tags_");
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string Path(const char* name) const { return (std::filesystem::path(folder) / name).string(); }
    std::string folder;
};

const std::string Sdf = "\"Start\",\"I 0.0\",\"BOOL\",\"\"\n\"Speed\",\"MW 2\",\"INT\",\"\"\n";

TEST_F(Tag_Folder_Test, Writes_Both_Lists_Only_When_All_Passes) {
    options.variables = true;
    qm::Tag_Configuration_Import imported = qm::Import_Tags_Into_Configuration(folder, Sdf, 0, options, true);
    EXPECT_TRUE(imported.ok());
    EXPECT_FALSE(std::filesystem::exists(Path("S7_Protocol.xml"))) << "a dry run writes nothing";

    imported = qm::Import_Tags_Into_Configuration(folder, Sdf, 0, options, false);
    ASSERT_TRUE(imported.ok());
    EXPECT_TRUE(imported.written) << imported.write_error;
    const qm::S7_Protocol_Read_Result s7 = qm::Read_S7_Protocol_File(Path("S7_Protocol.xml"));
    EXPECT_EQ(Cell_Of(s7.data.Read[1], C::Mnemonic), "Speed");
    EXPECT_FALSE(qm::Check_S7_Protocol(s7.data).has_value());
    const qm::Table_Read_Result variables = qm::Read_IEC61850_Variables_File(Path("IEC61850_Variables.xml"));
    EXPECT_EQ(Cell_Of(variables.rows[1], qm::Var_Col::Name), "Speed");

    // A second run appends after the first; a file changed meanwhile is not overwritten.
    imported = qm::Import_Tags_Into_Configuration(folder, Sdf, 0, options, false, [&] {
        std::ofstream(Path("S7_Protocol.xml"), std::ios::app) << " ";
    });
    EXPECT_TRUE(imported.changed_meanwhile);
    EXPECT_FALSE(imported.written);
}

TEST_F(Tag_Folder_Test, A_Bad_File_Changes_Nothing) {
    { std::ofstream(Path("S7_Protocol.xml")) << "<S7_Protocol><S7_Protocol_Read/><S7_Protocol_Write/></S7_Protocol>"; }
    const auto stamp = qm::Stamp_File(Path("S7_Protocol.xml"));
    const qm::Tag_Configuration_Import imported = qm::Import_Tags_Into_Configuration(
        folder, "\"Total\",\"MB 10\",\"DINT\",\"\"\n", 0, options, false);
    EXPECT_FALSE(imported.ok());
    EXPECT_EQ(imported.read.errors.front().line, 1);
    EXPECT_EQ(qm::Stamp_File(Path("S7_Protocol.xml")), stamp);
}

} // namespace
