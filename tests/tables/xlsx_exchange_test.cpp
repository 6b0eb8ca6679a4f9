// The lists through Excel workbooks: what a sheet's cells become on import, what the export
// writes (typed numbers, drop-downs over the whole capacity), and workbooks that openpyxl and
// LibreOffice wrote.

#include <gtest/gtest.h>

#include <filesystem>

#include "language/lang_table.h"
#include "tables/s7_protocol.h"
#include "tables/table_exchange.h"
#include "tables/xlsx_reader.h"
#include "table_test_support.h"
#include "xlsx_zip_support.h"

namespace qm {
namespace {

class Xlsx_Exchange : public testing::Test {
protected:
    void SetUp() override { Load_Default_Strings(); }
};

Table_Rows Empty(Exchange_Table table) {
    return Table_Rows(static_cast<std::size_t>(Exchange_Capacity(table)),
                      Table_Row(static_cast<std::size_t>(Exchange_Field_Count(table))));
}

int Column_Named(Exchange_Table table, std::string_view attribute) {
    for (int c = 1; c <= Exchange_Field_Count(table); ++c) {
        if (Exchange_Attribute(table, c) == attribute) {
            return c;
        }
    }
    return 0;
}

std::vector<std::string> Texts(const Import_Result& result) {
    std::vector<std::string> texts;
    for (const Exchange_Error& e : result.errors) {
        texts.push_back(e.text);
    }
    return texts;
}

// The text of one part of a zip.
std::string Part(const std::string& zip_bytes, const char* name) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(zip_bytes.data(), zip_bytes.size(), 0, &error);
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (zip == nullptr) {
        zip_source_free(source);
        return {};
    }
    std::string text;
    if (zip_file_t* file = zip_fopen(zip, name, 0)) {
        char buffer[4096];
        for (zip_int64_t n; (n = zip_fread(file, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
        zip_fclose(file);
    }
    zip_discard(zip);
    return text;
}

struct Sheet_Case {
    const char* name;
    const char* row5;      // the cells of sheet row 5
    const char* attribute; // the column looked at
    const char* stored;    // what it holds after the import, when error is empty
    const char* error;     // the whole first error
};

// Rows 1 to 4: the header (shared strings: a workbook of Excel), a row of styled blanks and a
// row of a blank text, which the import passes over as a CSV import passes over empty lines.
const char* const Head =
    R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c>)"
    R"(<c r="D1" t="s"><v>3</v></c><c r="E1" t="s"><v>4</v></c><c r="F1" t="s"><v>5</v></c></row>)"
    R"(<row r="3"><c r="A3" s="1"/><c r="B3" s="1"/></row><row r="4"><c r="B4" t="inlineStr"><is><t> </t></is></c></row>)";
const char* const Header_Strings = "<si><t>Enable</t></si><si><t>PLC_Address</t></si><si><t>PLC Port</t></si>"
                                   "<si><t>PLC_Type</t></si><si><t>Swap</t></si><si><t>Mnemonic</t></si><si><t>s71200</t></si>";
const char* const Date_Style = R"(<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs>)";
#define ROW5(cells) R"(<row r="5"><c r="A5" t="inlineStr"><is><t>Y</t></is></c><c r="B5" t="inlineStr"><is><t>127.0.0.1</t></is></c>)" cells "</row>"

class Sheet_Cells : public Xlsx_Exchange, public testing::WithParamInterface<Sheet_Case> {};

TEST_P(Sheet_Cells, TakeTheValueTypedOrNameRowAndColumn) {
    const Sheet_Case& c = GetParam();
    const std::string book = test::Make_Workbook(std::string(Head) + c.row5, Header_Strings, Date_Style);
    const Import_Result result = Import_Table(Exchange_Table::S7_Read, book, Import_Mode::Replace, Empty(Exchange_Table::S7_Read));
    if (std::string_view(c.error).empty()) {
        ASSERT_TRUE(result.errors.empty()) << Texts(result).front();
        EXPECT_EQ(result.imported, 1);
        EXPECT_EQ(result.rows[0][static_cast<std::size_t>(Column_Named(Exchange_Table::S7_Read, c.attribute) - 1)], c.stored);
        ASSERT_FALSE(result.faults.empty()); // the columns the sheet leaves out
        EXPECT_EQ(result.faults.front().line, 5);
    } else {
        ASSERT_FALSE(result.errors.empty());
        EXPECT_EQ(result.errors.front().text, c.error);
        EXPECT_EQ(result.errors.front().line, 5);
        EXPECT_TRUE(result.rows.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Sheet_Cells,
    testing::Values(
        Sheet_Case{"TypedNumber", ROW5(R"(<c r="C5"><v>102.0</v></c>)"), "PLC_Port", "102", ""},
        Sheet_Case{"FractionInText", ROW5(R"(<c r="F5"><v>1.25</v></c>)"), "Mnemonic", "1.25", ""},
        Sheet_Case{"BooleanInCheckBox", ROW5(R"(<c r="E5" t="b"><v>1</v></c>)"), "Swap", "Y", ""},
        Sheet_Case{"BooleanElsewhere", ROW5(R"(<c r="F5" t="b"><v>0</v></c>)"), "Mnemonic", "FALSE", ""},
        Sheet_Case{"SharedStringItem", ROW5(R"(<c r="D5" t="s"><v>6</v></c>)"), "PLC_Type", "S71200", ""},
        Sheet_Case{"InlineStringAsTyped", ROW5(R"(<c r="F5" t="inlineStr"><is><t>'=1+2</t></is></c>)"), "Mnemonic", "'=1+2", ""},
        Sheet_Case{"FormulaCachedValue", ROW5(R"(<c r="C5"><f>100+2</f><v>102</v></c>)"), "PLC_Port", "102", ""},
        Sheet_Case{"Date", ROW5(R"(<c r="C5" s="1"><v>45000</v></c>)"), "PLC_Port", "",
                   "row 5: PLC Port, cell C5: holds a date or a time, which no column of the list takes; type the value as text"},
        Sheet_Case{"ErrorValue", ROW5(R"(<c r="C5" t="e"><f>NA()</f><v>#N/A</v></c>)"), "PLC_Port", "",
                   "row 5: PLC Port, cell C5: holds the error value #N/A"},
        Sheet_Case{"FormulaWithoutValue", ROW5(R"(<c r="F5"><f>A1</f></c>)"), "Mnemonic", "",
                   "row 5: Mnemonic, cell F5: holds a formula that was never computed, so no value is stored with "
                   "it; open and save the workbook in Excel or LibreOffice Calc, or type the value"},
        Sheet_Case{"NotAnItem", ROW5(R"(<c r="D5"><v>7</v></c>)"), "PLC_Type", "",
                   "row 5: PLC Type: \"7\" is not an item of its list: Logo0BA8, S7200, S7300, S7400, S71200, S71500"},
        Sheet_Case{"BlankEnable", R"(<row r="5"><c r="B5" t="inlineStr"><is><t>127.0.0.1</t></is></c></row>)", "Enable", "",
                   "row 5: Enable must be Y or N; the cell is empty"}),
    [](const testing::TestParamInfo<Sheet_Case>& info) { return std::string(info.param.name); });

TEST_F(Xlsx_Exchange, ExportTypesNumbersAndOffersTheListsOverTheWholeCapacity) {
    Table_Rows rows = Empty(Exchange_Table::S7_Read);
    rows[0] = {"Y", "127.0.0.1", "102", "S71200", "007", "1", "Word", "DB", "0x66", "Inputs (I)", "0", "0", "1000", "2",
               "0", "", "", "=pump"};
    const Workbook_Export exported = Export_Workbook(Exchange_Table::S7_Read, rows);
    ASSERT_TRUE(exported.ok()) << exported.error;

    Xlsx_Open_Result open = Xlsx_Workbook::Open_Bytes(exported.bytes);
    ASSERT_TRUE(open.ok()) << open.error;
    EXPECT_EQ(open.workbook->Sheet_Names().front(), "s7-read");
    const Xlsx_Sheet sheet = open.workbook->Read_First_Sheet().sheet;
    ASSERT_EQ(sheet.rows.size(), 2u);
    EXPECT_EQ(sheet.rows[0].Cell(2)->text, "PLC_Address");
    const auto kind = [&](int column) { return sheet.rows[1].Cell(column)->kind; };
    EXPECT_EQ(kind(3), Xlsx_Cell_Kind::Number);  // 102
    EXPECT_EQ(kind(5), Xlsx_Cell_Kind::Text);    // 007 stays as typed
    EXPECT_EQ(kind(9), Xlsx_Cell_Kind::Text);    // 0x66
    EXPECT_EQ(kind(12), Xlsx_Cell_Kind::Text);   // a PLC Bit is an item of its list
    EXPECT_EQ(kind(14), Xlsx_Cell_Kind::Number); // Position
    EXPECT_EQ(kind(18), Xlsx_Cell_Kind::Text);   // "=pump", no formula
    EXPECT_EQ(sheet.rows[1].Cell(16), nullptr);  // an empty Swap is no cell

    const std::string xml = Part(exported.bytes, "xl/worksheets/sheet1.xml");
    std::string types;
    for (const std::string& item : PLC_Type_Items) {
        types += (types.empty() ? "" : ",") + item;
    }
    EXPECT_NE(xml.find(R"(sqref="D2:D513"><formula1>")" + types + R"("</formula1>)"), std::string::npos) << xml;
    EXPECT_NE(xml.find(R"(sqref="A2:A513"><formula1>"Y,N"</formula1>)"), std::string::npos);
    EXPECT_NE(xml.find(R"(<dataValidation type="whole" allowBlank="1" showInputMessage="1" showErrorMessage="1" sqref="N2:N513"><formula1>0</formula1><formula2>1499</formula2>)"),
              std::string::npos);
    EXPECT_NE(xml.find(R"(ySplit="1")"), std::string::npos); // the header stays in view
    EXPECT_NE(Part(exported.bytes, "xl/comments1.xml").find("PLC Address"), std::string::npos);
}

TEST_F(Xlsx_Exchange, EmptyListGivesTheTemplate) {
    const Workbook_Export exported = Export_Workbook(Exchange_Table::Variables, Empty(Exchange_Table::Variables));
    ASSERT_TRUE(exported.ok()) << exported.error;
    Xlsx_Open_Result open = Xlsx_Workbook::Open_Bytes(exported.bytes);
    ASSERT_TRUE(open.ok()) << open.error;
    EXPECT_EQ(open.workbook->Read_First_Sheet().sheet.rows.size(), 1u);
    const std::string xml = Part(exported.bytes, "xl/worksheets/sheet1.xml");
    EXPECT_NE(xml.find(R"x(sqref="C2:C51"><formula1>"Int,Float,Digital (Bit)"</formula1>)x"), std::string::npos) << xml;
    EXPECT_NE(xml.find(R"(sqref="F2:F51"><formula1>0</formula1><formula2>1437</formula2>)"), std::string::npos);
    // Importing the template adds nothing and finds nothing wrong.
    const Import_Result back =
        Import_Table(Exchange_Table::Variables, exported.bytes, Import_Mode::Replace, Empty(Exchange_Table::Variables));
    EXPECT_TRUE(back.ok());
    EXPECT_EQ(back.imported, 0);
}

TEST_F(Xlsx_Exchange, WorkbooksOfOtherPrograms) {
    const std::filesystem::path fixtures = std::filesystem::path(QM_SOURCE_DIR) / "tests/tables/fixtures";
    struct Fixture {
        const char* file;
        std::vector<Table_Row> rows;
        std::vector<int> lines;
    };
    const Fixture cases[] = {
        // Typed numbers, booleans, inline strings, an empty row 3; sheet "Tags" is the first.
        {"openpyxl_s7_read.xlsx",
         {{"Y", "127.0.0.1", "102", "S71200", "0", "1", "Word", "DB", "0x66", "Inputs (I)", "0", "0", "1000", "2", "0",
           "N", "", "pump"},
          {"N", "127.0.0.2", "102", "S7300", "0", "2", "Int", "DB", "7", "Output (Q)", "10", "3", "500", "1499", "7", "Y",
           "N", "1.25"}},
         {2, 4}},
        // Formulas with their cached values, shared strings.
        {"libreoffice_s7_read.xlsx",
         {{"Y", "127.0.0.1", "102", "S71200", "0", "1", "Word", "DB", "1", "Inputs (I)", "0", "0", "1000", "2", "0", "Y",
           "N", "pump 07"}},
         {2}},
    };
    for (const Fixture& f : cases) {
        SCOPED_TRACE(f.file);
        std::string bytes;
        ASSERT_FALSE(Read_Exchange_File((fixtures / f.file).string(), bytes));
        const Import_Result result = Import_Table(Exchange_Table::S7_Read, bytes, Import_Mode::Replace, Empty(Exchange_Table::S7_Read));
        ASSERT_TRUE(result.errors.empty()) << Texts(result).front();
        ASSERT_EQ(result.imported, static_cast<int>(f.rows.size()));
        for (std::size_t r = 0; r < f.rows.size(); ++r) {
            EXPECT_EQ(result.rows[r], f.rows[r]);
        }
    }
}

TEST_F(Xlsx_Exchange, NameAndBytesMustAgree) {
    const test::Temp_Dir dir;
    const std::string path = dir.File("list.xlsx");
    test::Put(path, "Enable,PLC_Address\r\nY,127.0.0.1\r\n");
    std::string bytes;
    EXPECT_EQ(Read_Exchange_File(path, bytes),
              "is not an Excel workbook (.xlsx): it is not a zip archive, or it is not complete");
    EXPECT_TRUE(bytes.empty());
}

} // namespace
} // namespace qm
