// The check behind the S7comm window's OK, and the messages it gives.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "language/lang_table.h"
#include "tables/s7_protocol.h"
#include "tables/table_check.h"

namespace qm {
namespace {

Table_Row Read_Rule(const std::string& address, const std::string& port = "102") {
    return {"Y", address, port, "S71200", "0", "1", "Int", "DB", "10", "Flags (M) (Merker)", "0", "0", "1000",
            "0", "0", "", "", ""};
}

Table_Row Write_Rule(const std::string& address, const std::string& port = "102") {
    return {"Y", address, port, "S7300", "0", "2", "Real", "DB", "1", "Inputs (I)", "4", "0", "1000",
            "", "", "1499", "7", "", "", ""};
}

S7_Protocol_Data Lists(Table_Rows read, Table_Rows write) {
    S7_Protocol_Data data = Reset_S7_Protocol();
    std::copy(read.begin(), read.end(), data.Read.begin());
    std::copy(write.begin(), write.end(), data.Write.begin());
    return data;
}

std::string Address(int i) {
    return "10.0." + std::to_string(i / 200) + "." + std::to_string(i % 200 + 1);
}

struct Cell_Case {
    const char* name;
    int table;         // S7_Read_Table or S7_Write_Table
    int column;
    std::string text;
    int entry;         // expected message entry; 0 when the rule passes
};

void PrintTo(const Cell_Case& c, std::ostream* out) {
    *out << c.name;
}


class S7CheckCell : public testing::TestWithParam<Cell_Case> {};

// One good rule in row 2 of its list, one cell changed.
TEST_P(S7CheckCell, FirstFaultOfTheRule) {
    const Cell_Case& c = GetParam();
    S7_Protocol_Data data = Lists({Read_Rule("10.1.1.1"), Read_Rule("10.1.1.2")}, {Write_Rule("10.1.1.1"), Write_Rule("10.1.1.2")});
    Table_Rows& table = c.table == S7_Read_Table ? data.Read : data.Write;
    table[1][static_cast<std::size_t>(c.column - 1)] = c.text;

    const std::optional<Check_Fault> fault = Check_S7_Protocol(data);
    if (c.entry == 0) {
        EXPECT_FALSE(fault) << "entry " << fault->entry;
        return;
    }
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->entry, c.entry);
    EXPECT_EQ(fault->row, 2);
    EXPECT_EQ(fault->table, c.table);
}

constexpr int R = S7_Read_Table;
constexpr int W = S7_Write_Table;
using RC = S7_Read_Col;
using WC = S7_Write_Col;

INSTANTIATE_TEST_SUITE_P(
    Cases, S7CheckCell,
    testing::Values(
        Cell_Case{"AddressTrailingBlank", R, RC::PLC_Address, "10.1.1.2 ", 1271},
        Cell_Case{"AddressLeadingBlank", R, RC::PLC_Address, " 10.1.1.2", 0},
        Cell_Case{"AddressThreeParts", R, RC::PLC_Address, "10.1.1", 1271},
        Cell_Case{"AddressFiveParts", W, WC::PLC_Address, "10.1.1.1.1", 1279},
        Cell_Case{"AddressPart256", W, WC::PLC_Address, "10.1.256.1", 1279},
        Cell_Case{"Port65535", R, RC::PLC_Port, "65535", 0},
        Cell_Case{"Port65536", R, RC::PLC_Port, "65536", 1272},
        Cell_Case{"PortHex", R, RC::PLC_Port, "0x66", 0},
        Cell_Case{"PortNegative", W, WC::PLC_Port, "-1", 1280},
        Cell_Case{"PortEmpty", W, WC::PLC_Port, "", 1280},
        Cell_Case{"TypeBlank", R, RC::PLC_Type, "  ", 1273},
        Cell_Case{"TypeNotInListStillPasses", R, RC::PLC_Type, "S5", 0},
        Cell_Case{"Rack3", R, RC::Rack, "3", 0},
        Cell_Case{"Rack4", W, WC::Rack, "4", 1323},
        Cell_Case{"Slot31", W, WC::Slot, "31", 0},
        Cell_Case{"Slot32", R, RC::Slot, "32", 1322},
        Cell_Case{"DataTypeEmpty", W, WC::Data_Type, "", 1282},
        Cell_Case{"IdentifierEmpty", R, RC::Data_Identifier, "", 1275},
        Cell_Case{"DbNumber65536", R, RC::DB_Number, "65536", 1305},
        Cell_Case{"AreaEmpty", W, WC::PLC_Area, "", 1310},
        Cell_Case{"PlcAdd70000", R, RC::PLC_Add, "70000", 1307},
        Cell_Case{"PlcBitEmpty", W, WC::PLC_Bit, "", 1312},
        Cell_Case{"ReadPollZero", R, RC::PollTime, "0", 1276},
        Cell_Case{"WritePollZero", W, WC::PollTime, "0", 0},
        Cell_Case{"ReadPollTop", R, RC::PollTime, "100000000", 0},
        Cell_Case{"WritePollAboveTop", W, WC::PollTime, "100000001", 1284},
        Cell_Case{"ReadPosition1499", R, RC::Position, "1499", 0},
        Cell_Case{"ReadPosition1500", R, RC::Position, "1500", 1277},
        Cell_Case{"WritePosition1500", W, WC::Position, "1500", 1285},
        Cell_Case{"WritePositionNegative", W, WC::Position, "-1", 1285},
        Cell_Case{"ReadStartBitEmpty", R, RC::Bit, "", 1278},
        Cell_Case{"WriteStartBitEmpty", W, WC::Bit, " ", 1286},
        Cell_Case{"SwapAndMnemonicFree", R, RC::Mnemonic, "", 0},
        Cell_Case{"WriteFlagsNotChecked", W, WC::OnChange, "maybe", 0},
        Cell_Case{"DisabledRuleNotChecked", R, RC::Enable, "N", 0},
        Cell_Case{"EnableUntouchedIsOff", W, WC::Enable, "", 0},
        Cell_Case{"EnableIsTrimmed", R, RC::Enable, " Y ", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(S7Check, DisabledRuleWithFaultsDoesNotBlock) {
    Table_Row rule = Read_Rule("bad address");
    rule[RC::Enable - 1] = "N";
    rule[RC::PLC_Type - 1] = "";
    EXPECT_FALSE(Check_S7_Protocol(Lists({rule}, {})));
}

// The checks run in a fixed order: repairing the reported cell reveals the next one.
TEST(S7Check, ChecksRunInOrder) {
    Table_Row rule = {"Y", "1.2.3", "x", "", "9", "99", "", "", "-5", "", "-5", "", "0", "1500", "", "", "", ""};
    const Table_Row good = Read_Rule("1.2.3.4");
    const std::vector<std::pair<int, int>> expected = {
        {1271, RC::PLC_Address}, {1272, RC::PLC_Port}, {1273, RC::PLC_Type}, {1321, RC::Rack}, {1322, RC::Slot},
        {1274, RC::Data_Type}, {1275, RC::Data_Identifier}, {1305, RC::DB_Number}, {1306, RC::PLC_Area},
        {1307, RC::PLC_Add}, {1308, RC::PLC_Bit}, {1276, RC::PollTime}, {1277, RC::Position}, {1278, RC::Bit}};
    for (const auto& [entry, column] : expected) {
        const auto fault = Check_S7_Protocol(Lists({rule}, {}));
        ASSERT_TRUE(fault) << "expected entry " << entry;
        EXPECT_EQ(fault->entry, entry);
        rule[static_cast<std::size_t>(column - 1)] = good[static_cast<std::size_t>(column - 1)];
    }
    EXPECT_FALSE(Check_S7_Protocol(Lists({rule}, {})));
}

TEST(S7Check, ListEndsAtFirstBlankAddressAndReadListComesFirst) {
    Table_Row broken = Read_Rule("1.2.3.4");
    broken[RC::PLC_Type - 1] = "";
    Table_Row blank = Read_Rule("   ");

    EXPECT_FALSE(Check_S7_Protocol(Lists({Read_Rule("1.1.1.1"), blank, broken}, {})));

    Table_Row write_broken = Write_Rule("1.2.3.4");
    write_broken[WC::PLC_Type - 1] = "";
    const auto fault = Check_S7_Protocol(Lists({Read_Rule("1.1.1.1"), Read_Rule("1.1.1.1"), broken}, {write_broken}));
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->table, S7_Read_Table);
    EXPECT_EQ(fault->row, 3);
}

TEST(S7Check, PositionBoundFollowsTheDataArraySize) {
    Table_Row rule = Read_Rule("1.1.1.1");
    rule[RC::Position - 1] = "99";
    const auto fault = Check_S7_Protocol(Lists({rule}, {}), 99, 1500);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->entry, 1277);
    EXPECT_EQ(fault->suffix, "98");
}

TEST(S7Check, CheckIpPortRegistersUpToTenConnections) {
    IP_Port_Array connections{};
    EXPECT_EQ(Check_IP_Port(connections, 10, 0, 0, 1, 102), 0);
    EXPECT_EQ(Check_IP_Port(connections, 10, 0, 0, 1, 103), 1);
    EXPECT_EQ(Check_IP_Port(connections, 10, 0, 0, 1, 102), 0);
    for (int i = 2; i < 10; ++i) {
        EXPECT_EQ(Check_IP_Port(connections, 10, 0, 0, 2, i), i);
    }
    EXPECT_EQ(Check_IP_Port(connections, 10, 0, 0, 3, 102), -1);
    EXPECT_EQ(Check_IP_Port(connections, 10, 0, 0, 1, 103), 1); // known ones are still found
    EXPECT_EQ(connections[9].Port, 9);
}

struct Connection_Case {
    const char* name;
    Table_Rows read;
    Table_Rows write;
    int entry; // 0: passes
    int row;
    int table;
};

void PrintTo(const Connection_Case& c, std::ostream* out) {
    *out << c.name;
}


Table_Rows Distinct_Reads(int from, int count) {
    Table_Rows rows;
    for (int i = from; i < from + count; ++i) {
        rows.push_back(Read_Rule(Address(i)));
    }
    return rows;
}

Table_Rows Distinct_Writes(int from, int count) {
    Table_Rows rows;
    for (int i = from; i < from + count; ++i) {
        rows.push_back(Write_Rule(Address(i)));
    }
    return rows;
}

template <typename... Parts>
Table_Rows Join(Parts... parts) {
    Table_Rows all;
    (all.insert(all.end(), parts.begin(), parts.end()), ...);
    return all;
}

Table_Rows Disabled(Table_Rows rows) {
    for (Table_Row& row : rows) {
        row[0] = "N";
    }
    return rows;
}

class S7CheckConnections : public testing::TestWithParam<Connection_Case> {};

TEST_P(S7CheckConnections, TenDistinctAddressAndPortPairs) {
    const Connection_Case& c = GetParam();
    const auto fault = Check_S7_Protocol(Lists(c.read, c.write));
    if (c.entry == 0) {
        EXPECT_FALSE(fault) << "entry " << fault->entry << " row " << fault->row;
        return;
    }
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->entry, c.entry);
    EXPECT_EQ(fault->row, c.row);
    EXPECT_EQ(fault->table, c.table);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, S7CheckConnections,
    testing::Values(
        Connection_Case{"TenAddressesPass", Distinct_Reads(0, 10), {}, 0, 0, 0},
        Connection_Case{"EleventhAddressInRead", Distinct_Reads(0, 11), {}, 1287, 11, R},
        Connection_Case{"EleventhAddressInWrite", {}, Distinct_Writes(0, 11), 1288, 11, W},
        Connection_Case{"SpreadOverBothLists", Distinct_Reads(0, 6), Distinct_Writes(6, 5), 1288, 5, W},
        Connection_Case{"SharedBetweenListsCountOnce", Distinct_Reads(0, 10), Distinct_Writes(0, 10), 0, 0, 0},
        Connection_Case{"TwoPortsAreTwoConnections",
                        Join(Distinct_Reads(0, 9), Table_Rows{Read_Rule(Address(0), "103")}, Distinct_Reads(9, 1)),
                        {}, 1287, 11, R},
        Connection_Case{"SameConnectionIn300Rules",
                        Join(Table_Rows(300, Read_Rule(Address(0))), Distinct_Reads(1, 9)), {}, 0, 0, 0},
        Connection_Case{"LeadingBlankIsTheSameAddress",
                        Join(Distinct_Reads(0, 10), Table_Rows{Read_Rule(" " + Address(3))}), {}, 0, 0, 0},
        Connection_Case{"DisabledRulesDoNotCount", Join(Disabled(Distinct_Reads(0, 5)), Distinct_Reads(5, 10)), {}, 0, 0,
                        0},
        Connection_Case{"RowsAfterTheEndDoNotCount",
                        Join(Distinct_Reads(0, 10), Table_Rows{Read_Rule("")}, Distinct_Reads(10, 1)), {}, 0, 0, 0},
        // The eleventh connection fails even when the row would fail a later check too.
        Connection_Case{"ConnectionBeforeLaterChecks",
                        Join(Distinct_Reads(0, 10), Table_Rows{Table_Row{"Y", Address(10), "1"}}), {}, 1287, 11, R}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(S7Check, EveryFaultyRowForTheCommandLine) {
    Table_Rows read = Distinct_Reads(1, 10);
    read.insert(read.begin(), Read_Rule(Address(50), "70000")); // bad port: takes no connection
    read[2][RC::PLC_Type - 1] = "";                              // fails later, but holds its connection
    read.push_back(Read_Rule(Address(60)));                       // the eleventh connection
    Table_Rows write = {Write_Rule(Address(1)), Write_Rule("1.2.3")};
    write[0][WC::Position - 1] = "1500";
    const S7_Protocol_Data data = Lists(read, write);

    const std::vector<Check_Fault> faults = S7_Protocol_Faults(data);
    std::vector<std::tuple<int, int, int>> got;
    for (const Check_Fault& f : faults) {
        got.emplace_back(f.table, f.row, f.entry);
    }
    EXPECT_EQ(got, (std::vector<std::tuple<int, int, int>>{
                       {R, 1, 1272}, {R, 3, 1273}, {R, 12, 1287}, {W, 1, 1285}, {W, 2, 1279}}));
    const auto first = Check_S7_Protocol(data);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->entry, faults.front().entry);
    EXPECT_EQ(first->row, faults.front().row);
}

// The marks of the window: every failing check of every rule, with its column, in the check's order.
TEST(S7Check, EveryFaultyCellForTheMarks) {
    Table_Rows read = Distinct_Reads(1, 10);
    Table_Row many = Read_Rule(Address(50), "70000"); // bad port: takes no connection slot
    many[RC::PLC_Type - 1] = "";
    many[RC::Position - 1] = "1500";
    read.insert(read.begin(), many);
    read[2][RC::PLC_Type - 1] = ""; // holds its connection although it fails later
    read.push_back(Read_Rule(Address(60))); // the eleventh connection
    Table_Rows write = {Write_Rule(Address(60)), Write_Rule(Address(1)), Write_Rule(Address(61))};
    // write[0] brings the same eleventh connection again: marked again; write[1] one of the ten
    write[2][WC::Bit - 1] = "";         // a twelfth connection and an empty Start Bit
    const S7_Protocol_Data data = Lists(read, write);

    std::vector<std::tuple<int, int, int, int>> got;
    for (const Cell_Fault& f : S7_Protocol_Cell_Faults(data)) {
        got.emplace_back(f.fault.table, f.fault.row, f.column, f.fault.entry);
        EXPECT_EQ(f.fault.field, (f.fault.table == R ? S7_Read_Attributes.data() : S7_Write_Attributes.data())[f.column - 1]);
    }
    EXPECT_EQ(got, (std::vector<std::tuple<int, int, int, int>>{{R, 1, RC::PLC_Port, 1272},
                                                                {R, 1, RC::PLC_Type, 1273},
                                                                {R, 1, RC::Position, 1277},
                                                                {R, 3, RC::PLC_Type, 1273},
                                                                {R, 12, RC::PLC_Address, 1287},
                                                                {W, 1, WC::PLC_Address, 1288},
                                                                {W, 3, WC::PLC_Address, 1288},
                                                                {W, 3, WC::Bit, 1286}}));
    // The first mark is what OK shows; the command line still lists one fault per rule.
    const auto first = Check_S7_Protocol(data);
    ASSERT_TRUE(first);
    EXPECT_EQ(Fault_Text(*first, Table_Check::S7_Protocol),
              Fault_Text(S7_Protocol_Cell_Faults(data).front().fault, Table_Check::S7_Protocol));
    EXPECT_EQ(S7_Protocol_Faults(data).size(), 5U);
}

// A duplicate may count a column up exactly as far as the check lets it go.
TEST(S7Check, CountRangesAreTheCheckRanges) {
    for (const int table : {R, W}) {
        for (const Column_Range& range : S7_Count_Ranges(table, NByte_IN)) {
            if (range.column == RC::PLC_Bit || range.column == (table == R ? int{RC::Bit} : int{WC::Bit})) {
                // Only picked from their items, which the range must match.
                EXPECT_EQ(std::to_string(range.low), Bit_Items.front());
                EXPECT_EQ(std::to_string(range.high), Bit_Items.back());
                continue;
            }
            for (const int value : {range.low - 1, range.low, range.high, range.high + 1}) {
                S7_Protocol_Data data = Lists({Read_Rule("10.1.1.1")}, {Write_Rule("10.1.1.1")});
                Table_Rows& rows = table == R ? data.Read : data.Write;
                rows[0][static_cast<std::size_t>(range.column - 1)] = std::to_string(value);
                const bool inside = value >= range.low && value <= range.high;
                bool marked = false;
                for (const Cell_Fault& f : S7_Protocol_Cell_Faults(data)) {
                    marked = marked || (f.fault.table == table && f.column == range.column);
                }
                EXPECT_EQ(marked, !inside) << "table " << table << " column " << range.column << " value " << value;
            }
        }
    }
}

class S7FaultText : public testing::Test {
protected:
    void SetUp() override { Load_Default_Strings(); }
};

TEST_F(S7FaultText, WindowMessages) {
    struct Case {
        Check_Fault fault;
        const char* text;
    };
    const Case cases[] = {
        {{1272, 3, "", "PLC_Port", R}, "Error row 3!! [S7comm Read] PLC Port must be between 0 and 65535"},
        {{1285, 7, "1499", "Position", W}, "Error row 7!! [S7comm Write] Position must be between 0 and 1499"},
        {{1288, 11, "", "PLC_Address", W}, "Error row 11!! [S7comm Write] Device support 10 connection"},
        {{1276, 512, "", "PollTime", R}, "Error row 512!! [S7comm Read] Poll Time must be between 1 and 100000000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Fault_Text(c.fault, Table_Check::S7_Protocol), c.text);
    }
}

TEST_F(S7FaultText, PositionFaultFromTheCheckReadsAsTheWindowShowsIt) {
    Table_Rows write = Distinct_Writes(0, 7);
    write[6][WC::Position - 1] = "2000";
    const auto fault = Check_S7_Protocol(Lists({}, write));
    ASSERT_TRUE(fault);
    EXPECT_EQ(Fault_Text(*fault, Table_Check::S7_Protocol),
              "Error row 7!! [S7comm Write] Position must be between 0 and 1499");
}

} // namespace
} // namespace qm
