// The data map: a table of configurations and the exact findings each gives.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

#include "../common/temp_folder.h"
#include "language/lang_table.h"
#include "map/data_map.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"

namespace {

using qm::Finding_Kind;
using qm::Map_List;

// A read or write rule: Enable, Data Type, Position, Start Bit.
struct Rule {
    const char* enable;
    const char* type;
    const char* position;
    const char* bit = "0";
};
// A variable: Enable, Type, Length, ReadOnly, Position, Start Bit.
struct Var {
    const char* enable;
    const char* type;
    const char* length;
    const char* read_only;
    const char* position;
    const char* bit = "";
};

qm::Table_Rows Read_Rows(const std::vector<Rule>& rules, bool write) {
    qm::Table_Rows rows;
    for (const Rule& r : rules) {
        qm::Table_Row row(write ? qm::S7_Write_Col::Col_Count - 1 : qm::S7_Read_Col::Col_Count - 1);
        const auto put = [&row](int column, const char* text) { row[static_cast<std::size_t>(column - 1)] = text; };
        put(1, r.enable);
        put(qm::S7_Read_Col::PLC_Address, "10.0.0.1");
        put(qm::S7_Read_Col::Data_Type, r.type);
        put(write ? int{qm::S7_Write_Col::Position} : int{qm::S7_Read_Col::Position}, r.position);
        put(write ? int{qm::S7_Write_Col::Bit} : int{qm::S7_Read_Col::Bit}, r.bit);
        rows.push_back(row);
    }
    return rows;
}

qm::Table_Rows Var_Rows(const std::vector<Var>& vars) {
    qm::Table_Rows rows;
    for (const Var& v : vars) {
        qm::Table_Row row(qm::Var_Col::Col_Count - 1);
        const auto put = [&row](int column, const char* text) { row[static_cast<std::size_t>(column - 1)] = text; };
        put(qm::Var_Col::Enable, v.enable);
        put(qm::Var_Col::Name, "v");
        put(qm::Var_Col::Type, v.type);
        put(qm::Var_Col::Length, v.length);
        put(qm::Var_Col::ReadOnly, v.read_only);
        put(qm::Var_Col::Position, v.position);
        put(qm::Var_Col::StartBit, v.bit);
        rows.push_back(row);
    }
    return rows;
}

using Key = std::tuple<Finding_Kind, Map_List, std::vector<int>>;

struct Map_Case {
    const char* name;
    std::vector<Rule> read;
    std::vector<Rule> write;
    std::vector<Var> variables;
    std::set<Key> expected;
    std::size_t notes = 0;
};

std::ostream& operator<<(std::ostream& out, const Map_Case& c) {
    return out << c.name;
}

class Data_Map_Cases : public testing::TestWithParam<Map_Case> {};

TEST_P(Data_Map_Cases, FindsExactlyTheExpected) {
    const Map_Case& c = GetParam();
    const qm::Data_Map map = qm::Compute_Data_Map(Read_Rows(c.read, false), Read_Rows(c.write, true), Var_Rows(c.variables));
    std::set<Key> found;
    for (const qm::Map_Finding& f : map.findings) {
        EXPECT_TRUE(found.insert({f.kind, f.list, f.rows}).second) << "twice: " << qm::Kind_Key(f.kind);
    }
    EXPECT_EQ(found, c.expected);
    EXPECT_EQ(map.notes.size(), c.notes);
}

const Var Int_RO_0 = {"Y", "Int", "2", "Y", "0"};

INSTANTIATE_TEST_SUITE_P(
    Table, Data_Map_Cases,
    testing::Values(
        Map_Case{"Clean", {{"Y", "Int", "0"}, {"Y", "Real", "2"}, {"Y", "Bit", "6", "3"}, {"Y", "Bit", "6", "4"}},
                 {{"Y", "Real", "0"}, {"Y", "Real", "0"}}, // one value to two PLCs is no overlap
                 {Int_RO_0, {"Y", "Float", "4", "Y", "2"}, {"Y", "Digital (Bit)", "4", "Y", "6", "3"},
                  {"Y", "Int", "2", "N", "100"}}, // writable: filled by clients
                 {}},
        Map_Case{"OverlapOfBytes", {{"Y", "Int", "10"}, {"Y", "Byte", "20"}, {"Y", "Real", "8"}}, {}, {},
                 {{Finding_Kind::Overlap, Map_List::S7_Read, {1, 3}}}},
        Map_Case{"BitRuleOverByteRule", {{"Y", "Byte", "5"}, {"Y", "Bit", "5", "2"}}, {}, {},
                 {{Finding_Kind::Overlap, Map_List::S7_Read, {1, 2}}}},
        Map_Case{"BitRulesOnlyOnTheSameBit", {{"Y", "Bit", "5", "2"}, {"Y", "Bit", "5", "3"}, {"Y", "Bit", "5", "2"}},
                 {}, {}, {{Finding_Kind::Overlap, Map_List::S7_Read, {1, 3}}}},
        Map_Case{"ThreeOnOneBytePairwise", {{"Y", "Word", "0"}, {"Y", "Byte", "1"}, {"Y", "DInt", "1"}}, {}, {},
                 {{Finding_Kind::Overlap, Map_List::S7_Read, {1, 2}},
                  {Finding_Kind::Overlap, Map_List::S7_Read, {1, 3}},
                  {Finding_Kind::Overlap, Map_List::S7_Read, {2, 3}}}},
        Map_Case{"DisabledRowsIgnored",
                 {{"N", "Int", "0"}, {"Y", "Int", "0"}, {"y", "Int", "0"}, {" Y", "Int", "1499"}},
                 {{"N", "Real", "1499"}}, {{"N", "Int", "2", "Y", "40"}, Int_RO_0}, {}},
        Map_Case{"PastEnd", {{"Y", "Real", "1490"}, {"Y", "Real", "1497"}, {"Y", "Bit", "1500", "0"}},
                 {{"Y", "Word", "1498"}, {"Y", "Word", "1499"}}, {},
                 {{Finding_Kind::Past_End, Map_List::S7_Read, {2}},
                  {Finding_Kind::Past_End, Map_List::S7_Read, {3}},
                  {Finding_Kind::Past_End, Map_List::S7_Write, {2}}}},
        Map_Case{"HugeAndBadPositions",
                 {{"Y", "Int", "4000000000"}, {"Y", "Int", "99999999999999999999"}, {"Y", "Int", "-4"},
                  {"Y", "Int", "abc"}, {"Y", "Int", ""}, {"Y", "Bit", "3", "9"}},
                 {}, {{"Y", "Int", "4000000000", "Y", "0"}, {"Y", "Int", "x", "Y", "0"}, {"Y", "Int", "2", "Y", "-1"}},
                 {{Finding_Kind::Past_End, Map_List::S7_Read, {1}},
                  {Finding_Kind::Past_End, Map_List::S7_Read, {2}},
                  {Finding_Kind::Unfed, Map_List::Variables, {1}}},
                 6},
        Map_Case{"UnknownDataTypeIsBit", {{"Y", "real", "7", "1"}, {"Y", "Bit", "7", "1"}}, {}, {},
                 {{Finding_Kind::Overlap, Map_List::S7_Read, {1, 2}}}, 1},
        Map_Case{"Unfed",
                 {{"Y", "Int", "0"}, {"Y", "Bit", "9", "1"}},
                 {},
                 {{"Y", "Int", "2", "Y", "1"},            // byte 2 unfed
                  {"Y", "Digital (Bit)", "1", "Y", "9", "2"}, // bit 2 of byte 9 unfed
                  {"Y", "digital (bit) ", "1", "y", "9", "1"}, // fed, compared as the builder does
                  {"Y", "Int", "2", "N", "50"},           // writable
                  {"Y", "Int", "4", "Y", "1498"}},        // past the array: never filled
                 {{Finding_Kind::Unfed, Map_List::Variables, {1}},
                  {Finding_Kind::Unfed, Map_List::Variables, {2}},
                  {Finding_Kind::Unfed, Map_List::Variables, {5}},
                  {Finding_Kind::Size_Mismatch, Map_List::Variables, {1}}}},
        Map_Case{"SizeMismatch",
                 {{"Y", "Int", "0"}, {"Y", "Int", "2"}, {"Y", "Word", "10"}, {"Y", "Word", "20"}},
                 {},
                 {{"Y", "Float", "4", "Y", "0"},              // two Int rules under one Float
                  {"Y", "Int", "1", "Y", "10"},               // half of a Word
                  {"Y", "Digital (Bit)", "1", "Y", "20", "5"}, // a bit of a Word is normal
                  {"Y", "Int", "2", "N", "20"}},             // exact
                 {{Finding_Kind::Size_Mismatch, Map_List::Variables, {1}},
                  {Finding_Kind::Size_Mismatch, Map_List::Variables, {2}}}}),
    [](const testing::TestParamInfo<Map_Case>& info) { return std::string(info.param.name); });

TEST(Data_Map, FindingsNameBytesAndBit) {
    qm::Load_Default_Strings();
    const qm::Table_Rows read = Read_Rows({{"Y", "Byte", "5"}, {"Y", "Bit", "5", "2"}, {"Y", "Real", "1498"}}, false);
    const qm::Table_Rows vars = Var_Rows({{"Y", "Int", "2", "Y", "30"}});
    const qm::Data_Map map = qm::Compute_Data_Map(read, {}, vars);
    ASSERT_EQ(map.findings.size(), 3U);
    const qm::Map_Finding& past = map.findings[0];
    EXPECT_EQ(past.kind, Finding_Kind::Past_End);
    EXPECT_EQ(std::tie(past.first_byte, past.last_byte, past.bit), std::make_tuple(1498, 1501, -1));
    const qm::Map_Finding& overlap = map.findings[1];
    EXPECT_EQ(std::tie(overlap.first_byte, overlap.last_byte, overlap.bit), std::make_tuple(5, 5, 2));
    EXPECT_EQ(qm::Finding_Text(overlap, read, {}, vars), "read rules 1 and 2: both fill byte 5, bit 2");
    EXPECT_EQ(qm::Finding_Text(map.findings[2], read, {}, vars),
              "read-only variable 1 \"v\", bytes 30 to 31: no enabled read rule fills it, so it always shows 0");

    const std::vector<qm::Byte_Use> use = qm::Data_Array_Use(map);
    ASSERT_EQ(use.size(), 1500U);
    EXPECT_TRUE(use[5].conflict);
    EXPECT_EQ(use[5].read_rules, 2);
    EXPECT_TRUE(use[30].unfed && use[31].unfed && !use[32].unfed);
    EXPECT_EQ(use[1499].first_rule, 3);
}

// Rows as the builder reads them from the file: a blank PLC Address ends nothing, non-element
// nodes are no rows, and Enable is read exactly.
TEST(Data_Map, ReadsTheFilesAsTheBuilder) {
    namespace fs = std::filesystem;
    const fs::path dir = qm::test::Make_Temp_Folder("qm_map_");
    ASSERT_FALSE(dir.empty());
    std::ofstream(dir / "S7_Protocol.xml")
        << "<S7_Protocol><S7_Protocol_Read>"
           "<row Enable=\"Y\" PLC_Address=\"10.0.0.1\" Data_Type=\"Int\" Position=\"0\"/><!-- note -->"
           "<row Enable=\"Y\" PLC_Address=\"\" Data_Type=\"Int\" Position=\"40\"/>"
           "<row Enable=\"Y\" PLC_Address=\"10.0.0.1\" Data_Type=\"Int\" Position=\"1\"/>"
           "</S7_Protocol_Read><S7_Protocol_Write/></S7_Protocol>";
    std::ofstream(dir / "IEC61850_Variables.xml")
        << "<IEC61850_Variables><row Enable=\"Y\" Name=\"a\" Type=\"Int\" Length=\"2\" ReadOnly=\"Y\" Position=\"40\"/>"
           "</IEC61850_Variables>";
    const qm::Map_Lists lists = qm::Read_Map_Lists(dir.string());
    EXPECT_TRUE(lists.problems.empty());
    ASSERT_EQ(lists.read.size(), 3U);
    const qm::Data_Map map = qm::Compute_Data_Map(lists.read, lists.write, lists.variables);
    ASSERT_EQ(map.findings.size(), 1U); // row 2 feeds the variable; rows 1 and 3 overlap
    EXPECT_EQ(map.findings[0].rows, (std::vector<int>{1, 3}));

    std::ofstream(dir / "IEC61850_Variables.xml") << "<IEC61850_Variables><row";
    EXPECT_EQ(qm::Read_Map_Lists(dir.string()).problems.size(), 1U);
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace
