// IEC61850_Variables.xml and the check behind the variable window's OK.

#include <gtest/gtest.h>

#include "language/lang_table.h"
#include "table_test_support.h"
#include "tables/iec61850_variables.h"
#include "tables/table_check.h"

namespace qm {
namespace {

using VC = Var_Col;

Table_Row Variable(const std::string& name) {
    return {"Y", name, "Int", "4", "N", "0", "", "None", "None", "N", "N", ""};
}

Table_Rows Table_Of(const Table_Rows& rows) {
    Table_Rows table = Reset_IEC61850_Variables();
    std::copy(rows.begin(), rows.end(), table.begin());
    return table;
}

TEST(VariablesFile, WritesRootThenCommentWithEveryAttributeInOrder) {
    Table_Row v = {"N", "Temp 1", "Digital (Bit)", "1", "Y", "1437", "7", "Int to Float", "0,5", "", "N", "<&>\"'"};
    pugi::xml_document doc;
    Write_IEC61850_Variables_Xml(Table_Of({v}), doc);
    EXPECT_EQ(Xml_To_String(doc),
              "<IEC61850_Variables><row Enable=\"N\" Name=\"Temp 1\" Type=\"Digital (Bit)\" Length=\"1\" "
              "ReadOnly=\"Y\" Position=\"1437\" StartBit=\"7\" Conversion=\"Int to Float\" "
              "MultiplicationFactor=\"0,5\" Swap=\"\" SwapWord=\"N\" Mnemonic=\"&lt;&amp;>&quot;'\"/>"
              "</IEC61850_Variables><!--SW_VERSION = 1.000-->");

    Write_IEC61850_Variables_Xml(Reset_IEC61850_Variables(), doc);
    EXPECT_EQ(Xml_To_String(doc), "<IEC61850_Variables/><!--SW_VERSION = 1.000-->");
}

TEST(VariablesFile, MissingAttributesTakeTheirDefaults) {
    const Table_Read_Result read = Read_IEC61850_Variables_Text(
        "<IEC61850_Variables><row Name=\"A\"/><row Name=\"B\" Enable=\"\" ReadOnly=\"\" Type=\"Float\"/>"
        "</IEC61850_Variables>",
        "IEC61850_Variables.xml");
    ASSERT_TRUE(read.info.complete) << read.info.Message();
    EXPECT_EQ(read.rows[0], (Table_Row{"Y", "A", "", "", "N", "", "", "", "", "N", "N", ""}));
    EXPECT_EQ(read.rows[1], (Table_Row{"", "B", "Float", "", "", "", "", "", "", "N", "N", ""}));
    EXPECT_EQ(read.rows[2], Reset_IEC61850_Variables()[2]);

    // Saved back, the defaulted flags are written out.
    pugi::xml_document doc;
    Write_IEC61850_Variables_Xml(read.rows, doc);
    EXPECT_EQ(std::string(doc.child("IEC61850_Variables").child("row").attribute("SwapWord").value()), "N");
}

TEST(VariablesFile, RoundTripKeepsEveryCellTextUpToTheFirstBlankName) {
    const std::vector<std::string> texts = {" a ", "", "  ", "Größe", "温度 ✓", "😀", "l1\nl2", "l1\r\nl2", "\t",
                                            "<&>\"'", "None"};
    Table_Rows table = Reset_IEC61850_Variables();
    std::size_t t = 0;
    for (int i = 0; i < Variable_Rows; ++i) {
        for (std::string& cell : table[static_cast<std::size_t>(i)]) {
            cell = texts[t++ % texts.size()];
        }
        table[static_cast<std::size_t>(i)][VC::Name - 1] += "n" + std::to_string(i);
    }
    test::Temp_Dir dir;
    const std::string path = dir.File("IEC61850_Variables.xml");
    ASSERT_TRUE(Save_IEC61850_Variables_File(path, table, false));
    Table_Read_Result back = Read_IEC61850_Variables_File(path);
    EXPECT_TRUE(back.info.complete) << back.info.Message();
    EXPECT_EQ(back.rows, table);

    table[2][VC::Name - 1] = " ";
    ASSERT_TRUE(Save_IEC61850_Variables_File(path, table, false));
    back = Read_IEC61850_Variables_File(path);
    EXPECT_EQ(back.rows[1], table[1]);
    EXPECT_EQ(back.rows[2], Reset_IEC61850_Variables()[2]);
    EXPECT_EQ(back.rows[3], Reset_IEC61850_Variables()[3]);
}

TEST(VariablesFile, DamagedFilesKeepWhatWasReadAndSaySo) {
    struct Case {
        const char* name;
        std::string xml;
        std::string message_part;
        int loaded; // rows with a name after reading
    };
    std::string many = "<IEC61850_Variables>";
    for (int i = 0; i < 53; ++i) {
        many += "<row Name=\"v" + std::to_string(i) + "\"/>";
    }
    many += "</IEC61850_Variables>";
    const Case cases[] = {
        {"not well-formed", "<IEC61850_Variables>\n<row Name=\"a\"/>\n<row Name=\"b\"/>\n<row Name=\"c", "line 4", 2},
        {"too many rows", many, "rows 51 to 53 were not loaded", 50},
        {"comment before the root", "<!--x--><IEC61850_Variables><row Name=\"a\"/></IEC61850_Variables>",
         "begins with a comment", 0},
    };
    for (const Case& c : cases) {
        const Table_Read_Result read = Read_IEC61850_Variables_Text(c.xml, "IEC61850_Variables.xml");
        EXPECT_FALSE(read.info.complete) << c.name;
        EXPECT_NE(read.info.Message().find(c.message_part), std::string::npos) << c.name << ": " << read.info.Message();
        EXPECT_NE(read.info.Message().find("IEC61850_Variables.xml"), std::string::npos) << c.name;
        EXPECT_EQ(List_Length(read.rows, VC::Name, Variable_Rows), c.loaded) << c.name;
        EXPECT_EQ(read.rows.size(), 50U) << c.name;
    }
}

struct Var_Case {
    const char* name;
    int column;
    std::string text;
    char separator;
    int entry; // 0: passes
    std::string type = "Int";
};

void PrintTo(const Var_Case& c, std::ostream* out) {
    *out << c.name;
}


class VariablesCheck : public testing::TestWithParam<Var_Case> {};

// A good variable in row 2 with one cell changed.
TEST_P(VariablesCheck, FirstFaultOfTheVariable) {
    const Var_Case& c = GetParam();
    Table_Row v = Variable("B");
    v[VC::Type - 1] = c.type;
    v[static_cast<std::size_t>(c.column - 1)] = c.text;
    const auto fault = Check_IEC61850_Variables(Table_Of({Variable("A"), v}), c.separator);
    if (c.entry == 0) {
        EXPECT_FALSE(fault) << "entry " << fault->entry;
        return;
    }
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->entry, c.entry);
    EXPECT_EQ(fault->row, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariablesCheck,
    testing::Values(
        Var_Case{"Length0", VC::Length, "0", ',', 1541}, Var_Case{"Length5", VC::Length, "5", ',', 1541},
        Var_Case{"LengthTrailingBlank", VC::Length, "4 ", ',', 1541},
        Var_Case{"LengthLeadingBlank", VC::Length, " 4", ',', 0}, Var_Case{"Length1", VC::Length, "1", ',', 0},
        Var_Case{"Position1437", VC::Position, "1437", ',', 0},
        Var_Case{"Position1438", VC::Position, "1438", ',', 1530},
        Var_Case{"PositionEmpty", VC::Position, "", ',', 1530},
        Var_Case{"DigitalWithoutStartBit", VC::StartBit, "", ',', 1538, "Digital (Bit)"},
        Var_Case{"DigitalBlankStartBit", VC::StartBit, " ", ',', 1538, "Digital (Bit)"},
        Var_Case{"DigitalWithStartBit", VC::StartBit, "3", ',', 0, "Digital (Bit)"},
        Var_Case{"IntWithoutStartBit", VC::StartBit, "", ',', 0, "Int"},
        Var_Case{"TypeComparedExactly", VC::StartBit, "", ',', 0, "digital (bit)"},
        Var_Case{"EmptyTypeAllowed", VC::StartBit, "", ',', 0, ""},
        Var_Case{"ConversionEmpty", VC::Conversion, "", ',', 1539},
        Var_Case{"ConversionBlankOnFloat", VC::Conversion, "  ", ',', 1539, "Float"},
        Var_Case{"FactorNoneAnyCase", VC::MultiplicationFactor, " nOnE ", ',', 0},
        Var_Case{"FactorEmpty", VC::MultiplicationFactor, "", ',', 1540},
        Var_Case{"FactorDotWithCommaSeparator", VC::MultiplicationFactor, "1.5", ',', 0},
        Var_Case{"FactorCommaWithCommaSeparator", VC::MultiplicationFactor, "1,5", ',', 0},
        Var_Case{"FactorDotWithDotSeparator", VC::MultiplicationFactor, "1.5", '.', 0},
        Var_Case{"FactorCommaWithDotSeparator", VC::MultiplicationFactor, "1,5", '.', 0},
        Var_Case{"FactorTwoSeparators", VC::MultiplicationFactor, "1.000,5", ',', 1540},
        Var_Case{"FactorWords", VC::MultiplicationFactor, "half", '.', 1540},
        Var_Case{"NameTypeAndFlagsNotChecked", VC::ReadOnly, "?", ',', 0},
        Var_Case{"DisabledNotChecked", VC::Enable, "N", ',', 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VariablesCheckList, DisabledFaultsAndRowsAfterTheEndDoNotCount) {
    Table_Row disabled = Variable("D");
    disabled[VC::Enable - 1] = "N";
    disabled[VC::Length - 1] = "9";
    Table_Row broken = Variable("E");
    broken[VC::Length - 1] = "9";
    EXPECT_FALSE(Check_IEC61850_Variables(Table_Of({Variable("A"), disabled, Variable(" "), broken}), ','));

    const Table_Rows all = Table_Of({broken, Variable("A"), disabled, broken});
    const std::vector<Check_Fault> faults = IEC61850_Variables_Faults(all, ',');
    ASSERT_EQ(faults.size(), 2U);
    EXPECT_EQ(faults[0].row, 1);
    EXPECT_EQ(faults[1].row, 4);
    EXPECT_EQ(Check_IEC61850_Variables(all, ',')->row, 1);
}

TEST(VariablesCheckList, MessagesReadAsTheWindowShowsThem) {
    Load_Default_Strings();
    Table_Row v = Variable("B");
    v[VC::Position - 1] = "1438";
    const auto fault = Check_IEC61850_Variables(Table_Of({Variable("A"), Variable("A"), v}), '.');
    ASSERT_TRUE(fault);
    EXPECT_EQ(Fault_Text(*fault, Table_Check::IEC61850_Variables), "Error row 3!! Position must be between 0 and 1437");
    EXPECT_EQ(Fault_Text({1538, 5, "", "StartBit", 0}, Table_Check::IEC61850_Variables),
              "Error row 5!! Start Bit must be Selected ");
    EXPECT_EQ(Fault_Text({1540, 50, "", "MultiplicationFactor", 0}, Table_Check::IEC61850_Variables),
              "Error row 50!! Molt. Factor must be a valid Float");
}

TEST(VariablesCheckList, EveryFaultyCellForTheMarks) {
    Load_Default_Strings();
    Table_Row v = Variable("B");
    v[VC::Type - 1] = "Digital (Bit)";
    v[VC::Length - 1] = "5";
    v[VC::Position - 1] = "1438";
    v[VC::Conversion - 1] = " ";
    v[VC::MultiplicationFactor - 1] = "";
    Table_Row disabled = v;
    disabled[VC::Enable - 1] = "N";
    const Table_Rows rows = Table_Of({Variable("A"), v, disabled});

    std::vector<std::pair<int, int>> got;
    for (const Cell_Fault& f : IEC61850_Variables_Cell_Faults(rows, '.')) {
        EXPECT_EQ(f.fault.row, 2);
        got.emplace_back(f.column, f.fault.entry);
    }
    EXPECT_EQ(got, (std::vector<std::pair<int, int>>{{VC::Length, 1541},
                                                     {VC::Position, 1530},
                                                     {VC::StartBit, 1538},
                                                     {VC::Conversion, 1539},
                                                     {VC::MultiplicationFactor, 1540}}));
    EXPECT_EQ(Check_IEC61850_Variables(rows, '.')->entry, 1541);
    EXPECT_EQ(IEC61850_Variables_Faults(rows, '.').size(), 1U);
}

TEST(VariablesCheckList, SameNamesOfEnabledVariablesAreWarnedOf) {
    Table_Row off = Variable("Temp");
    off[VC::Enable - 1] = "N";
    Table_Rows rows = Table_Of({Variable("Temp"), Variable("Flow"), Variable(" Temp "), off, Variable("flow"),
                                Variable("Level"), Variable(""), Variable("Level")});
    std::vector<std::pair<int, int>> clashes;
    for (const Name_Clash& clash : IEC61850_Duplicate_Names(rows)) {
        clashes.emplace_back(clash.row, clash.other_row);
    }
    // Blanks around a name do not tell it apart, letter case does; a disabled variable and one
    // after the end of the list (the blank name of row 7) are not offered to the clients.
    EXPECT_EQ(clashes, (std::vector<std::pair<int, int>>{{1, 3}, {3, 1}}));
    // What a warning is: OK still passes.
    EXPECT_FALSE(Check_IEC61850_Variables(rows, ',', Variables_NByte_IN));
}

TEST(VariablesCheckList, CountRangesAreTheCheckRanges) {
    for (const Column_Range& range : IEC61850_Count_Ranges()) {
        if (range.column == VC::StartBit) {
            continue; // picked from "0" to "7" only
        }
        for (const int value : {range.low - 1, range.low, range.high, range.high + 1}) {
            Table_Row v = Variable("A");
            v[static_cast<std::size_t>(range.column - 1)] = std::to_string(value);
            const bool inside = value >= range.low && value <= range.high;
            EXPECT_EQ(Check_IEC61850_Variables(Table_Of({v}), '.').has_value(), !inside)
                << "column " << range.column << " value " << value;
        }
    }
}

} // namespace
} // namespace qm
