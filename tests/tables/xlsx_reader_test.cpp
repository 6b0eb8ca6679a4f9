// The workbook reader: every kind of cell as Excel, LibreOffice and openpyxl write it, and every
// kind of bad file refused with its reason, in bounded memory.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "language/lang_table.h"
#include "tables/xlsx_reader.h"
#include "xlsx_zip_support.h"

namespace qm {
namespace {

using test::Make_Workbook;
using test::Make_Zip;
using test::Workbook_Parts;
using test::Zip_Part;

class Xlsx_Reader : public testing::Test {
protected:
    void SetUp() override { Load_Default_Strings(); }
};

Xlsx_Sheet Read_Only_Sheet(const std::string& bytes) {
    Xlsx_Open_Result open = Xlsx_Workbook::Open_Bytes(bytes);
    EXPECT_TRUE(open.ok()) << open.error;
    if (!open.ok()) {
        return {};
    }
    Xlsx_Sheet_Result read = open.workbook->Read_First_Sheet();
    EXPECT_TRUE(read.ok()) << read.error;
    return read.sheet;
}

struct Cell_Case {
    const char* name;
    const char* cell_xml; // one <c> element in row 3
    Xlsx_Cell_Kind kind;
    const char* text;
    const char* error; // the start of the cell's error, or "" for a value
};

// Shared strings: 0 plain, 1 rich text with a phonetic reading, 2 with Office's CR escape.
const char* const Shared =
    R"(<si><t>S7-300</t></si>)"
    R"(<si><r><t>Pump</t></r><r><rPr><b/></rPr><t xml:space="preserve">_07 </t></r><rPh><t>x</t></rPh></si>)"
    R"(<si><t>a_x000D_b_x005F_x0041_</t></si>)";
// Styles 0 general, 1 built-in date, 2 custom date, 3 custom number, 4 colour and literal text,
// 5 elapsed time.
const char* const Styles =
    R"(<numFmts count="4"><numFmt numFmtId="164" formatCode="yyyy\-mm\-dd"/><numFmt numFmtId="165" formatCode="0.00"/>)"
    R"(<numFmt numFmtId="166" formatCode="[Red]0&quot; days&quot;"/><numFmt numFmtId="167" formatCode="[h]:mm"/></numFmts>)"
    R"(<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/><xf numFmtId="165"/><xf numFmtId="166"/><xf numFmtId="167"/></cellXfs>)";

class Cells : public Xlsx_Reader, public testing::WithParamInterface<Cell_Case> {};

TEST_P(Cells, ReadAsTyped) {
    const Cell_Case& c = GetParam();
    const Xlsx_Sheet sheet =
        Read_Only_Sheet(Make_Workbook(std::string(R"(<row r="3">)") + c.cell_xml + "</row>", Shared, Styles));
    ASSERT_EQ(sheet.rows.size(), 1u);
    ASSERT_EQ(sheet.rows[0].cells.size(), 1u);
    const Xlsx_Cell& cell = sheet.rows[0].cells[0];
    EXPECT_EQ(cell.reference, "C3");
    EXPECT_EQ(cell.kind, c.kind);
    EXPECT_EQ(cell.text, c.text);
    EXPECT_TRUE(cell.error.starts_with(c.error)) << cell.error;
    EXPECT_EQ(cell.has_value(), std::string_view(c.error).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Cells,
    testing::Values(
        Cell_Case{"IntegerWrittenAsDouble", R"(<c r="C3"><v>102.0</v></c>)", Xlsx_Cell_Kind::Number, "102", ""},
        Cell_Case{"Fraction", R"(<c r="C3" t="n"><v>1.25</v></c>)", Xlsx_Cell_Kind::Number, "1.25", ""},
        Cell_Case{"ShortestRoundTrip", R"(<c r="C3"><v>0.10000000000000001</v></c>)", Xlsx_Cell_Kind::Number, "0.1", ""},
        Cell_Case{"ExponentSpelledOut", R"(<c r="C3"><v>1E+20</v></c>)", Xlsx_Cell_Kind::Number, "100000000000000000000", ""},
        Cell_Case{"SmallExponent", R"(<c r="C3"><v>-2.5E-3</v></c>)", Xlsx_Cell_Kind::Number, "-0.0025", ""},
        Cell_Case{"NumberFormatIsNoDate", R"(<c r="C3" s="3"><v>7</v></c>)", Xlsx_Cell_Kind::Number, "7", ""},
        Cell_Case{"QuotedDaysIsNoDate", R"(<c r="C3" s="4"><v>7</v></c>)", Xlsx_Cell_Kind::Number, "7", ""},
        Cell_Case{"SharedString", R"(<c r="C3" t="s"><v>0</v></c>)", Xlsx_Cell_Kind::Text, "S7-300", ""},
        Cell_Case{"RichTextWithoutPhonetic", R"(<c r="C3" t="s"><v>1</v></c>)", Xlsx_Cell_Kind::Text, "Pump_07 ", ""},
        Cell_Case{"OfficeEscapes", R"(<c r="C3" t="s"><v>2</v></c>)", Xlsx_Cell_Kind::Text, "a\rb_x0041_", ""},
        Cell_Case{"InlineString", R"(<c r="C3" t="inlineStr"><is><t>0x66</t></is></c>)", Xlsx_Cell_Kind::Text, "0x66", ""},
        Cell_Case{"InlineBlanks", R"(<c r="C3" t="inlineStr"><is><t xml:space="preserve">  </t></is></c>)",
                  Xlsx_Cell_Kind::Text, "  ", ""},
        Cell_Case{"BooleanTrue", R"(<c r="C3" t="b"><v>1</v></c>)", Xlsx_Cell_Kind::Boolean, "TRUE", ""},
        Cell_Case{"BooleanFalse", R"(<c r="C3" t="b"><v>0</v></c>)", Xlsx_Cell_Kind::Boolean, "FALSE", ""},
        Cell_Case{"FormulaCachedNumber", R"(<c r="C3"><f>100+2</f><v>102</v></c>)", Xlsx_Cell_Kind::Number, "102", ""},
        Cell_Case{"FormulaCachedString", R"(<c r="C3" t="str"><f>"S7-"&amp;"400"</f><v>S7-400</v></c>)",
                  Xlsx_Cell_Kind::Text, "S7-400", ""},
        Cell_Case{"StyledBlank", R"(<c r="C3" s="3"/>)", Xlsx_Cell_Kind::Empty, "", ""},
        Cell_Case{"FormulaWithoutValue", R"(<c r="C3"><f>A1+1</f></c>)", Xlsx_Cell_Kind::Formula_Without_Value, "A1+1",
                  "cell C3: holds a formula that was never computed"},
        Cell_Case{"FormulaWithEmptyValue", R"(<c r="C3"><f>A1+1</f><v></v></c>)", Xlsx_Cell_Kind::Formula_Without_Value,
                  "A1+1", "cell C3: holds a formula that was never computed"},
        Cell_Case{"StringFormulaEmptyResult", R"(<c r="C3" t="str"><f>""</f><v></v></c>)", Xlsx_Cell_Kind::Text, "", ""},
        Cell_Case{"ErrorValue", R"(<c r="C3" t="e"><f>NA()</f><v>#N/A</v></c>)", Xlsx_Cell_Kind::Error, "#N/A",
                  "cell C3: holds the error value #N/A"},
        Cell_Case{"BuiltinDate", R"(<c r="C3" s="1"><v>45000</v></c>)", Xlsx_Cell_Kind::Date, "45000",
                  "cell C3: holds a date"},
        Cell_Case{"CustomDate", R"(<c r="C3" s="2"><v>45000.5</v></c>)", Xlsx_Cell_Kind::Date, "45000.5",
                  "cell C3: holds a date"},
        Cell_Case{"ElapsedTime", R"(<c r="C3" s="5"><v>1.5</v></c>)", Xlsx_Cell_Kind::Date, "1.5", "cell C3: holds a date"},
        Cell_Case{"IsoDateCell", R"(<c r="C3" t="d"><v>2026-12-11T00:00:00</v></c>)", Xlsx_Cell_Kind::Date,
                  "2026-12-11T00:00:00", "cell C3: holds a date"}),
    [](const testing::TestParamInfo<Cell_Case>& info) { return std::string(info.param.name); });

TEST_F(Xlsx_Reader, RowsAndCellsKeepTheirSheetPlaces) {
    // Rows 1 and 4 only, a cell without reference after B4, and the x: prefix some writers use.
    const std::string data = R"(<row r="4"><c r="B4"><v>2</v></c><c><v>3</v></c><c r="E4"><v>5</v></c></row>)"
                             R"(<row r="1"><c r="A1" t="inlineStr"><is><t>Enable</t></is></c></row>)";
    const Xlsx_Sheet sheet = Read_Only_Sheet(Make_Workbook(data));
    ASSERT_EQ(sheet.rows.size(), 2u);
    EXPECT_EQ(sheet.rows[0].number, 1);
    EXPECT_EQ(sheet.rows[1].number, 4);
    const Xlsx_Row& row = sheet.rows[1];
    ASSERT_EQ(row.cells.size(), 3u);
    EXPECT_EQ(row.cells[1].reference, "C4");
    EXPECT_EQ(row.cells[1].text, "3");
    ASSERT_NE(row.Cell(5), nullptr);
    EXPECT_EQ(row.Cell(5)->text, "5");
    EXPECT_EQ(row.Cell(4), nullptr);
    EXPECT_EQ(Xlsx_Reference(1048576, 16384), "XFD1048576");
    EXPECT_EQ(Xlsx_Reference(7, 27), "AA7");
}

TEST_F(Xlsx_Reader, SheetsByNameOrFirst) {
    const std::string bytes = Make_Zip(Workbook_Parts({{"Notes", R"(<row r="1"><c r="A1"><v>1</v></c></row>)"},
                                                       {"s7-read", R"(<row r="1"><c r="A1"><v>2</v></c></row>)"},
                                                       {"hidden:Lists", ""}}));
    Xlsx_Open_Result open = Xlsx_Workbook::Open_Bytes(bytes);
    ASSERT_TRUE(open.ok()) << open.error;
    const Xlsx_Workbook& book = *open.workbook;
    EXPECT_EQ(book.Sheet_Names(), (std::vector<std::string>{"Notes", "s7-read", "Lists"}));
    EXPECT_TRUE(book.Sheet_Hidden("Lists"));
    EXPECT_FALSE(book.Sheet_Hidden("Notes"));
    EXPECT_EQ(book.Read_First_Sheet().sheet.rows.at(0).cells.at(0).text, "1");
    const Xlsx_Sheet_Result named = book.Read_Sheet("S7-READ");
    ASSERT_TRUE(named.ok()) << named.error;
    EXPECT_EQ(named.sheet.name, "s7-read");
    EXPECT_EQ(named.sheet.rows.at(0).cells.at(0).text, "2");
    EXPECT_EQ(book.Read_Sheet("variables").error, "the workbook holds no sheet named variables");
}

struct Bad_Case {
    const char* name;
    std::string bytes;
    const char* error; // the start of the message
};

std::string Sheet_With(const std::string& sheet_xml) {
    std::vector<Zip_Part> parts = Workbook_Parts({{"Sheet1", ""}});
    for (Zip_Part& p : parts) {
        if (p.name == "xl/worksheets/sheet1.xml") {
            p.bytes = sheet_xml;
        }
    }
    return Make_Zip(parts);
}

std::vector<Bad_Case> Bad_Cases() {
    const std::string good = Make_Workbook(R"(<row r="1"><c r="A1"><v>1</v></c></row>)");
    std::vector<Bad_Case> cases;
    cases.push_back({"NotAZip", "Enable,PLC_Address\r\n", "is not an Excel workbook (.xlsx)"});
    cases.push_back({"Empty", "", "is not an Excel workbook (.xlsx)"});
    cases.push_back({"Truncated", good.substr(0, good.size() / 2), "is not an Excel workbook (.xlsx)"});
    cases.push_back({"CentralDirectoryCut", good.substr(0, good.size() - 10), "is not an Excel workbook (.xlsx)"});
    cases.push_back({"PasswordProtected", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'),
                     "is an encrypted workbook"});
    cases.push_back({"ZipWithoutWorkbook", Make_Zip({{"readme.txt", "hello"}}), "is a zip archive, but it holds no Excel workbook"});
    cases.push_back({"WorkbookNotXml", Make_Zip({{"xl/workbook.xml", "<workbook"}}), "the part xl/workbook.xml: not well-formed XML at line 1, column 9"});
    cases.push_back({"EntityDeclaration",
                     Sheet_With(R"(<?xml version="1.0"?><!DOCTYPE lol [<!ENTITY a "aaaaaaaa">]><worksheet><sheetData/></worksheet>)"),
                     "the part xl/worksheets/sheet1.xml holds a document type declaration"});
    cases.push_back({"ReferenceOutsideSheet", Sheet_With(R"(<worksheet><sheetData><row r="1"><c r="XFE1"><v>1</v></c></row></sheetData></worksheet>)"),
                     "the part xl/worksheets/sheet1.xml holds a cell reference outside the sheet: XFE1"});
    cases.push_back({"CellInWrongRow", Sheet_With(R"(<worksheet><sheetData><row r="2"><c r="A1"><v>1</v></c></row></sheetData></worksheet>)"),
                     "the part xl/worksheets/sheet1.xml holds a cell reference outside the sheet: A1"});
    cases.push_back({"MissingSharedString", Sheet_With(R"(<worksheet><sheetData><row r="1"><c r="A1" t="s"><v>9</v></c></row></sheetData></worksheet>)"),
                     "the part xl/worksheets/sheet1.xml refers to a shared string the workbook does not hold, in cell A1"});
    {
        // 10 MiB of blanks pack into some 10 KiB: a real bomb, whatever the headers say.
        std::vector<Zip_Part> parts = Workbook_Parts({{"Sheet1", std::string(10 * 1024 * 1024, ' ')}});
        cases.push_back({"DenseBomb", Make_Zip(parts), "the part xl/worksheets/sheet1.xml is compressed more than 100 times"});
        std::string lying = Make_Zip(parts);
        test::Patch_Declared_Size(lying, "xl/worksheets/sheet1.xml", 1000);
        cases.push_back({"BombDeclaredSmall", lying, "the part xl/worksheets/sheet1.xml is compressed more than 100 times"});
    }
    {
        std::string declared = Make_Workbook("");
        test::Patch_Declared_Size(declared, "xl/worksheets/sheet1.xml", 65u * 1024 * 1024);
        cases.push_back({"DeclaredOverLimit", declared,
                         "the part xl/worksheets/sheet1.xml unpacks to more than 67108864 bytes, so it is refused as a zip bomb"});
    }
    return cases;
}

class Bad_Workbooks : public Xlsx_Reader, public testing::WithParamInterface<Bad_Case> {};

TEST_P(Bad_Workbooks, RefusedWithTheirReason) {
    const Bad_Case& c = GetParam();
    std::string error;
    Xlsx_Open_Result open = Xlsx_Workbook::Open_Bytes(c.bytes);
    if (open.ok()) {
        error = open.workbook->Read_First_Sheet().error;
    } else {
        error = open.error;
    }
    EXPECT_TRUE(error.starts_with(c.error)) << error;
}

void PrintTo(const Bad_Case& c, std::ostream* out) {
    *out << c.name;
}

INSTANTIATE_TEST_SUITE_P(Files, Bad_Workbooks, testing::ValuesIn(Bad_Cases()),
                         [](const testing::TestParamInfo<Bad_Case>& info) { return std::string(info.param.name); });

TEST_F(Xlsx_Reader, EncryptedPartRefused) {
    std::vector<Zip_Part> parts = Workbook_Parts({{"Sheet1", R"(<row r="1"><c r="A1"><v>1</v></c></row>)"}});
    for (Zip_Part& p : parts) {
        p.encrypt = p.name == "xl/worksheets/sheet1.xml";
    }
    const std::string bytes = Make_Zip(parts);
    if (bytes.empty()) {
        GTEST_SKIP() << "this libzip cannot encrypt";
    }
    Xlsx_Open_Result open = Xlsx_Workbook::Open_Bytes(bytes);
    ASSERT_TRUE(open.ok()) << open.error;
    EXPECT_EQ(open.workbook->Read_First_Sheet().error,
              "the part xl/worksheets/sheet1.xml is encrypted; save the workbook without a password and try again");
}

TEST_F(Xlsx_Reader, FileErrorsAndFixtures) {
    EXPECT_EQ(Xlsx_Workbook::Open_File("/nonexistent/list.xlsx").error, "cannot be read: no such file");
    const std::filesystem::path fixtures = std::filesystem::path(QM_SOURCE_DIR) / "tests/tables/fixtures";
    // Made by LibreOffice Calc from a CSV: the typed numbers, a text kept as typed, a boolean.
    Xlsx_Open_Result open = Xlsx_Workbook::Open_File((fixtures / "libreoffice_cells.xlsx").string());
    ASSERT_TRUE(open.ok()) << open.error;
    const Xlsx_Sheet_Result read = open.workbook->Read_First_Sheet();
    ASSERT_TRUE(read.ok()) << read.error;
    ASSERT_GE(read.sheet.rows.size(), 2u);
    std::vector<std::string> texts;
    for (const Xlsx_Cell& cell : read.sheet.rows[1].cells) {
        texts.push_back(cell.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"102", "1.25", "S7-300", "0x66"}));
}

} // namespace
} // namespace qm
