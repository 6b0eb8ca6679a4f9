// Exchanging the lists with spreadsheet files and clipboard blocks: what spreadsheets write is
// read, what is wrong is named by its line, and what is exported comes back unchanged.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "language/lang_table.h"
#include "table_test_support.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/table_exchange.h"
#include "tables/tls_known_cert.h"

namespace qm {
namespace {

class Exchange : public testing::Test {
protected:
    void SetUp() override { Load_Default_Strings(); }
};

// UTF-8 text as UTF-16 with its byte-order mark (the Basic Multilingual Plane is enough here).
std::string Utf16(std::string_view utf8, bool big_endian) {
    std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        char32_t cp = c;
        std::size_t n = 1;
        if (c >= 0xE0) {
            cp = (c & 0x0F) << 12 | (utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F);
            n = 3;
        } else if (c >= 0xC0) {
            cp = (c & 0x1F) << 6 | (utf8[i + 1] & 0x3F);
            n = 2;
        }
        const char hi = static_cast<char>(cp >> 8);
        const char lo = static_cast<char>(cp & 0xFF);
        out += big_endian ? std::string{hi, lo} : std::string{lo, hi};
        i += n;
    }
    return out;
}

std::vector<std::string> Texts(const Import_Result& result) {
    std::vector<std::string> texts;
    for (const Exchange_Error& e : result.errors) {
        texts.push_back(e.text);
    }
    return texts;
}

Table_Rows Empty_Table(Exchange_Table table) {
    return Reset_Table(Exchange_Capacity(table), Exchange_Field_Count(table) + 1);
}

// ---- a table of import cases: a file, and the cells or the errors it gives ----

struct Import_Case {
    const char* name;
    Exchange_Table table;
    std::string bytes;
    // Expected cells, "row:ATTRIBUTE" -> text; or the exact error texts, in order.
    std::map<std::string, std::string> cells;
    std::vector<std::string> errors;
};

void PrintTo(const Import_Case& c, std::ostream* os) {
    *os << c.name;
}

class Import_Cases : public testing::TestWithParam<Import_Case> {
protected:
    void SetUp() override { Load_Default_Strings(); }
};

int Column_Named(Exchange_Table table, std::string_view attribute) {
    for (int c = 1; c <= Exchange_Field_Count(table); ++c) {
        if (Exchange_Attribute(table, c) == attribute) {
            return c;
        }
    }
    return 0;
}

TEST_P(Import_Cases, ReadsWhatSpreadsheetsWrite) {
    const Import_Case& c = GetParam();
    const Import_Result result = Import_Table(c.table, c.bytes, Import_Mode::Replace, Empty_Table(c.table));
    EXPECT_EQ(Texts(result), c.errors);
    if (!c.errors.empty()) {
        EXPECT_TRUE(result.rows.empty()) << "rows are handed out although nothing may change";
        return;
    }
    ASSERT_EQ(static_cast<int>(result.rows.size()), Exchange_Capacity(c.table));
    for (const auto& [where, text] : c.cells) {
        const std::size_t colon = where.find(':');
        const int row = std::stoi(where.substr(0, colon));
        const int column = Column_Named(c.table, where.substr(colon + 1));
        ASSERT_GT(column, 0) << where;
        EXPECT_EQ(result.rows[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)], text) << where;
    }
}

const std::string Cert_Head = "Certificate,Mnemonic\r\n";
const std::string No_Check_Word = "\" is not a check-box value: use Y or N (or 1/0, TRUE/FALSE, yes/no)";
const std::string Nul_Bytes =
    "the file holds NUL bytes: it is not a text file, or it is UTF-16 without a byte-order mark";
const std::string Stray_Quote =
    "a quote in a field that does not begin with a quote, or text after a closing quote (a field that holds quotes "
    "is enclosed in quotes and each quote is doubled)";
const std::string Lost_Rows =
    " is empty: a list ends at its first row without it, so this row and the rows after it would be lost";

INSTANTIATE_TEST_SUITE_P(
    Files, Import_Cases,
    testing::Values(
        Import_Case{"Utf8WithBomAndComma", Exchange_Table::Certificates,
                    "\xEF\xBB\xBF" "Enable,Certificate,Mnemonic\r\nN,AB,F\xC3\xBCll\r\n",
                    {{"1:Enable", "N"}, {"1:Certificate", "AB"}, {"1:Mnemonic", "F\xC3\xBCll"}}, {}},
        Import_Case{"Utf8WithoutBomSemicolonLf", Exchange_Table::Certificates, "Certificate;Mnemonic\nAB;F\xC3\xBCll\n",
                    {{"1:Enable", "Y"}, {"1:Mnemonic", "F\xC3\xBCll"}}, {}},
        Import_Case{"Utf16LeTabAsExcelUnicodeText", Exchange_Table::Certificates,
                    Utf16("Certificate\tMnemonic\r\nAB\tF\xC3\xBCll \xE2\x82\xAC\r\n", false),
                    {{"1:Certificate", "AB"}, {"1:Mnemonic", "F\xC3\xBCll \xE2\x82\xAC"}}, {}},
        Import_Case{"Utf16Be", Exchange_Table::Certificates, Utf16("Certificate,Mnemonic\nAB,\xC3\xA4\n", true),
                    {{"1:Mnemonic", "\xC3\xA4"}}, {}},
        Import_Case{"Windows1252WhenNotUtf8", Exchange_Table::Certificates, "Certificate;Mnemonic\r\nAB;F\xFCll \x80\r\n",
                    {{"1:Mnemonic", "F\xC3\xBCll \xE2\x82\xAC"}}, {}},
        Import_Case{"QuotedSeparatorsQuotesAndLineBreaks", Exchange_Table::Certificates,
                    Cert_Head + "\"-----BEGIN\r\nMIIB\n-----END\",\"a \"\"b\"\", c\"\r\n",
                    {{"1:Certificate", "-----BEGIN\r\nMIIB\n-----END"}, {"1:Mnemonic", "a \"b\", c"}}, {}},
        Import_Case{"RecordOverThreeLinesCountsThem", Exchange_Table::Certificates,
                    Cert_Head + "\"-----BEGIN\r\nMIIB\n-----END\",x\r\n\"\",m\r\n", {},
                    {"line 5: Certificate" + Lost_Rows}},
        Import_Case{"CrLineEndsCountLines", Exchange_Table::Certificates, "Certificate,Mnemonic\rA,x\r\r,y\r",
                    {}, {"line 4: Certificate" + Lost_Rows}},
        Import_Case{"ValuesKeptAsTyped", Exchange_Table::S7_Read,
                    "PLC_Address,PLC_Port,Mnemonic,PollTime\r\n 10.0.0.1,0x66,\"  two  blanks \",1e3\r\n",
                    {{"1:PLC_Address", " 10.0.0.1"}, {"1:PLC_Port", "0x66"}, {"1:Mnemonic", "  two  blanks "},
                     {"1:PollTime", "1e3"}, {"1:Enable", "Y"}, {"1:Rack", "0"}, {"1:Slot", "0"}, {"1:Swap", ""}},
                    {}},
        Import_Case{"HeaderOfTitlesInAnyCaseAndOrder", Exchange_Table::S7_Write,
                    " poll time ;Start Bit;PLC ADDRESS;on cmd;plc_bit\r\n5;7;1.2.3.4;yes;3\r\n",
                    {{"1:PollTime", "5"}, {"1:Bit", "7"}, {"1:PLC_Address", "1.2.3.4"}, {"1:OnCMD", "Y"},
                     {"1:PLC_Bit", "3"}, {"1:OnChange", ""}},
                    {}},
        Import_Case{"CheckBoxWords", Exchange_Table::Variables,
                    "Name,Enable,Read Only,Swap,SwapWord\r\na,1,true,YES,n\r\nb,0,FALSE,no,\r\nc,vero,Falso,y,\r\n",
                    {{"1:Enable", "Y"}, {"1:ReadOnly", "Y"}, {"1:Swap", "Y"}, {"1:SwapWord", "N"},
                     {"2:Enable", "N"}, {"2:ReadOnly", "N"}, {"2:Swap", "N"}, {"2:SwapWord", ""},
                     {"3:Enable", "Y"}, {"3:ReadOnly", "N"}, {"3:Swap", "Y"}},
                    {}},
        Import_Case{"MissingColumnsTakeTheReadersDefaults", Exchange_Table::Variables, "Name\r\nv\r\n",
                    {{"1:Enable", "Y"}, {"1:ReadOnly", "N"}, {"1:Swap", "N"}, {"1:SwapWord", "N"}, {"1:Type", ""}},
                    {}},
        Import_Case{"ListItemsInAnotherCaseTakeTheListsSpelling", Exchange_Table::S7_Read,
                    "PLC_Address\tPLC_Type\tData_Type\tPLC_Area\tPosition\tData_Identifier\r\n"
                    "1.2.3.4\ts71500\tdword\tflags (m) (merker)\t1499\t sfb \r\n1.2.3.5\t\t\t\t\t\r\n",
                    {{"1:PLC_Type", "S71500"}, {"1:Data_Type", "DWord"}, {"1:PLC_Area", "Flags (M) (Merker)"},
                     {"1:Position", "1499"}, {"1:Data_Identifier", "SFB"}, {"2:PLC_Type", ""}, {"2:Position", ""}},
                    {}},
        Import_Case{"FreeFactorAndSepLine", Exchange_Table::Variables,
                    "sep=;\r\nName;Molt. Factor;Conversion\r\nv;any text, really;int TO float\r\n",
                    {{"1:MultiplicationFactor", "any text, really"}, {"1:Conversion", "Int to Float"}}, {}},
        Import_Case{"EmptyLinesAndTrailingEmptyColumnsAreSkipped", Exchange_Table::Certificates,
                    "\r\n\r\nCertificate;Mnemonic;;\r\n\r\nA;x,y;;\r\n;;;\r\nB;y\r\n",
                    {{"1:Certificate", "A"}, {"1:Mnemonic", "x,y"}, {"2:Certificate", "B"}, {"3:Certificate", ""}}, {}},
        // Each error kind, named by the line the record starts on.
        Import_Case{"UnknownAndDuplicateColumns", Exchange_Table::Certificates,
                    "Certificate,Colour,certificate\r\nA,red,B\r\n", {},
                    {"line 1: the table has no column \"Colour\"; its columns are: Enable, Certificate, Mnemonic",
                     "line 1: the column \"certificate\" appears twice in the header line"}},
        Import_Case{"NoKeyColumn", Exchange_Table::S7_Read, "Enable,Mnemonic\r\nY,x\r\n", {},
                    {"line 1: the header line has no column PLC Address, which every row needs"}},
        Import_Case{"BadValuesEveryOneListed", Exchange_Table::S7_Read,
                    "PLC_Address,Swap,PLC_Type,Position,PLC_Bit\r\n1.1.1.1,X,S7-300,1500,8\r\n"
                    "\"1.1.1.2\r\n\",maybe,,007,\r\n",
                    {},
                    {"line 2: Swap: \"X" + No_Check_Word,
                     "line 2: PLC Type: \"S7-300\" is not an item of its list: Logo0BA8, S7200, S7300, S7400, S71200, S71500",
                     "line 2: Position: \"1500\" is not a position from 0 to 1499",
                     "line 2: PLC Bit: \"8\" is not an item of its list: 0, 1, 2, 3, 4, 5, 6, 7",
                     "line 3: Swap: \"maybe" + No_Check_Word,
                     "line 3: Position: \"007\" is not a position from 0 to 1499"}},
        Import_Case{"PositionPastTheIntegers", Exchange_Table::S7_Write, "PLC_Address,Position\r\na,31916453289\r\n", {},
                    {"line 2: Position: \"31916453289\" is not a position from 0 to 1499"}},
        Import_Case{"BlankKeyAndExtraFieldsAndUnnamedColumn", Exchange_Table::Variables,
                    "Name,,Mnemonic\r\n  ,,x\r\na,b,c\r\nd,,e,f\r\n", {},
                    {"line 2: Name" + Lost_Rows, "line 3: a value in column 2, which has no name in the header line",
                     "line 4: the line has 4 fields, but the header line names only 3 columns"}},
        Import_Case{"StrayAndUnclosedQuotes", Exchange_Table::Certificates,
                    Cert_Head + "a\"b,x\r\n\"c\"d,y\r\nok,z\r\n\"never closed,\r\nmore\r\n", {},
                    {"line 2: a quote in a field that does not begin with a quote, or text after a closing quote "
                     "(a field that holds quotes is enclosed in quotes and each quote is doubled)",
                     "line 3: a quote in a field that does not begin with a quote, or text after a closing quote "
                     "(a field that holds quotes is enclosed in quotes and each quote is doubled)",
                     "line 5: a quoted field is not closed before the end of the file"}},
        Import_Case{"ControlCharacter", Exchange_Table::Certificates, Cert_Head + "a\x01" "b,x\r\n", {},
                    {"line 2: Certificate: holds a control character (code 1), which the configuration file cannot "
                     "hold"}},
        Import_Case{"TooManyRows", Exchange_Table::Certificates,
                    Cert_Head + "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n", {},
                    {"line 12: the file holds 12 rows, but the table has room for 10"}},
        Import_Case{"EmptyFile", Exchange_Table::Variables, "", {},
                    {"The file is empty: it needs a header line that names the columns"}},
        Import_Case{"BlankLinesOnly", Exchange_Table::Variables, "\xEF\xBB\xBF\r\n , \r\n", {},
                    {"The file is empty: it needs a header line that names the columns"}},
        Import_Case{"NulBytesWithoutByteOrderMark", Exchange_Table::Variables, std::string("N\0a\0m\0e\0", 8), {},
                    {"line 1: " + Nul_Bytes}},
        Import_Case{"NulBytesAfterAByteOrderMark", Exchange_Table::Certificates,
                    "\xEF\xBB\xBF" + Cert_Head + std::string("A\0B,x\r\n", 7), {}, {"line 2: " + Nul_Bytes}},
        // One cp1252 byte among UTF-8 text: neither reading is right for the whole file.
        Import_Case{"MixedUtf8AndWindows1252", Exchange_Table::Certificates,
                    Cert_Head + "A,F\xC3\xBCll\r\nB,F\xFCll\r\n", {},
                    {"line 3: the file is UTF-8, but this line holds a byte that is not UTF-8 (part of the file was "
                     "saved in another encoding); save the whole file as UTF-8"}},
        Import_Case{"Windows1252UndefinedByte", Exchange_Table::Certificates, Cert_Head + "A,x\r\nB,\xFC\x9D\r\n", {},
                    {"line 3: the file is not UTF-8, and this line holds the byte 0x9D, which Windows-1252 does not "
                     "define; save the file as UTF-8"}},
        Import_Case{"BlankEnableInACellOrAShortLine", Exchange_Table::S7_Read,
                    "PLC_Address,Swap,Enable\r\n1.1.1.1,,Y\r\n1.1.1.2,Y, \r\n1.1.1.3,N\r\n", {},
                    {"line 3: Enable must be Y or N; the cell is empty", "line 4: Enable must be Y or N; the cell is empty"}},
        Import_Case{"BlankCertificateEnable", Exchange_Table::Certificates, "Enable,Certificate\r\n,A\r\n", {},
                    {"line 2: Enable must be Y or N; the cell is empty"}},
        // A quote inside a certificate that runs over lines: one error, on the quote's own line.
        Import_Case{"StrayQuoteInsideAMultiLineCertificate", Exchange_Table::Certificates,
                    Cert_Head + "\"-----BEGIN\r\nMIIB\r\nab\"cd\r\n-----END\",m\r\nok,z\r\n", {},
                    {"line 4: " + Stray_Quote}},
        Import_Case{"BrokenUtf16", Exchange_Table::Certificates,
                    Utf16("Certificate\r\nA\r\n", false) + std::string("\x00\xD8", 2), {},
                    {"line 3: the file starts with a UTF-16 byte-order mark but is not valid UTF-16"}},
        Import_Case{"LongLine", Exchange_Table::Certificates, Cert_Head + std::string(1024 * 1024 + 1, 'A'), {},
                    {"line 2: the line is longer than 1048576 bytes"}}),
    [](const testing::TestParamInfo<Import_Case>& info) { return std::string(info.param.name); });

// ---- the check and what it says ----

std::string S7_Line(const std::string& address, const std::string& port) {
    return "Y," + address + "," + port + ",S7300,0,2,Int,DB,1,Inputs (I),0,0,100,0,0,N,N,m\r\n";
}
const std::string S7_Head =
    "Enable,PLC_Address,PLC_Port,PLC_Type,Rack,Slot,Data_Type,Data_Identifier,DB_Number,PLC_Area,PLC_Add,PLC_Bit,"
    "PollTime,Position,Bit,Swap,SwapWord,Mnemonic\r\n";

std::string S7_Write_Line(const std::string& address, const std::string& port) {
    return "Y," + address + "," + port + ",S7300,0,2,Int,DB,1,Inputs (I),0,0,0,N,N,0,0,N,N,m\r\n";
}
const std::string S7_Write_Head =
    "Enable,PLC_Address,PLC_Port,PLC_Type,Rack,Slot,Data_Type,Data_Identifier,DB_Number,PLC_Area,PLC_Add,PLC_Bit,"
    "PollTime,OnChange,OnCMD,Position,Bit,Swap,SwapWord,Mnemonic\r\n";

TEST_F(Exchange, FaultsOfTheCheckNameTheLineAndCountBothListsForConnections) {
    // Ten connections in the read list, which is checked first; its row 11 has a fault of its own.
    Table_Rows read = Empty_Table(Exchange_Table::S7_Read);
    for (int i = 0; i < 11; ++i) {
        read[static_cast<std::size_t>(i)] = {"Y", "10.0.0." + std::to_string(i % 10), "102", i == 10 ? "" : "S7300",
                                             "0", "2", "Int", "DB", "1", "Inputs (I)", "0", "0", "100", "0", "0",
                                             "", "", ""};
    }
    const std::string csv = S7_Write_Head + S7_Write_Line("10.0.0.1", "102") + "\r\n" +
                            S7_Write_Line("10.0.0.99", "102") + S7_Write_Line("10.0.0.2", "65536");
    const Import_Result result =
        Import_Table(Exchange_Table::S7_Write, csv, Import_Mode::Replace, Empty_Table(Exchange_Table::S7_Write), read);
    EXPECT_TRUE(result.errors.empty()) << Texts(result).front();
    ASSERT_EQ(result.faults.size(), 3U);
    // A rule of the other list: no line of the file.
    EXPECT_EQ(result.faults[0].line, 0);
    EXPECT_EQ(result.faults[0].text, "Error row 11!! [S7comm Read] PLC Type cannot be empty");
    EXPECT_EQ(With_Line(result.faults[1].line, result.faults[1].text),
              "line 4: Error row 2!! [S7comm Write] Device support 10 connection");
    EXPECT_EQ(With_Line(result.faults[2].line, result.faults[2].text),
              "line 5: Error row 3!! [S7comm Write] PLC Port must be between 0 and 65535");
    ASSERT_FALSE(result.rows.empty()) << "rows are handed out for the grid when only the check fails";
    EXPECT_EQ(result.rows[1][1], "10.0.0.99");
}

TEST_F(Exchange, AppendCountsTheRowsAlreadyThereUpToTheLimit) {
    Table_Rows current = Empty_Table(Exchange_Table::Certificates);
    for (int i = 0; i < 7; ++i) {
        current[static_cast<std::size_t>(i)] = {"Y", "old " + std::to_string(i), ""};
    }
    current[8] = {"Y", "below the end of the list", ""};
    const Import_Result fits = Import_Table(Exchange_Table::Certificates, Cert_Head + "a\r\nb\r\nc\r\n",
                                            Import_Mode::Append, current);
    ASSERT_TRUE(fits.ok()) << Texts(fits).front();
    EXPECT_EQ(fits.first_row, 8);
    EXPECT_EQ(fits.before, 7);
    EXPECT_EQ(fits.rows[6][1], "old 6");
    EXPECT_EQ(fits.rows[7], (Table_Row{"Y", "a", ""}));
    EXPECT_EQ(fits.rows[9], (Table_Row{"Y", "c", ""}));

    const Import_Result over = Import_Table(Exchange_Table::Certificates, Cert_Head + "a\r\nb\r\nc\r\nd\r\n",
                                            Import_Mode::Append, current);
    EXPECT_EQ(Texts(over),
              std::vector<std::string>{"line 5: the file holds 4 rows and the list already holds 7; the table has room for 10"});

    // Replace starts from an empty list, and clears what lay below the end of the old one.
    const Import_Result replaced =
        Import_Table(Exchange_Table::Certificates, Cert_Head + "a\r\n", Import_Mode::Replace, current);
    ASSERT_TRUE(replaced.ok());
    EXPECT_EQ(replaced.before, 7);
    EXPECT_EQ(replaced.rows[1], Reset_TLS_Known_Cert()[1]);
    EXPECT_EQ(replaced.rows[8], Reset_TLS_Known_Cert()[8]);
}

TEST_F(Exchange, FullS7ListAppendsToExactly512) {
    Table_Rows current = Empty_Table(Exchange_Table::S7_Read);
    for (int i = 0; i < 500; ++i) {
        current[static_cast<std::size_t>(i)] = {"N", "1.1.1.1"};
        current[static_cast<std::size_t>(i)].resize(18);
    }
    std::string csv = S7_Head;
    for (int i = 0; i < 12; ++i) {
        csv += S7_Line("127.0.0.1", "102");
    }
    const Import_Result fits = Import_Table(Exchange_Table::S7_Read, csv, Import_Mode::Append, current);
    ASSERT_TRUE(fits.ok()) << (fits.errors.empty() ? fits.faults.front().text : fits.errors.front().text);
    EXPECT_EQ(List_Length(fits.rows, S7_Read_Col::PLC_Address, S7_Rows), 512);
    const Import_Result over =
        Import_Table(Exchange_Table::S7_Read, csv + S7_Line("127.0.0.1", "102"), Import_Mode::Append, current);
    EXPECT_EQ(Texts(over), std::vector<std::string>{
                               "line 14: the file holds 13 rows and the list already holds 500; the table has room for 512"});
}

TEST_F(Exchange, MessagesComeFromTheCurrentLanguage) {
    Lang_Table[1038] = "riga ";
    Lang_Table[1218] = "Indirizzo PLC";
    // A header in the current language's titles is understood as well.
    const Import_Result result = Import_Table(Exchange_Table::S7_Read, "indirizzo plc,Mnemonic\r\n,x\r\n",
                                              Import_Mode::Replace, Empty_Table(Exchange_Table::S7_Read));
    EXPECT_EQ(Texts(result), std::vector<std::string>{"riga 2: Indirizzo PLC" + Lost_Rows});
}

// ---- round trips ----

Table_Rows Tricky_Rows(Exchange_Table table) {
    Table_Rows rows = Empty_Table(table);
    const int fields = Exchange_Field_Count(table);
    for (int r = 0; r < 5; ++r) {
        Table_Row& row = rows[static_cast<std::size_t>(r)];
        for (int c = 1; c <= fields; ++c) {
            std::string& cell = row[static_cast<std::size_t>(c - 1)];
            const std::string attribute(Exchange_Attribute(table, c));
            if (attribute == "Enable" || attribute == "Swap" || attribute == "SwapWord" || attribute == "ReadOnly" ||
                attribute == "OnChange" || attribute == "OnCMD") {
                // Enable is never empty in a list that can be imported; the others may be.
                cell = r == 1 ? "N" : (r == 2 && attribute != "Enable" ? "" : "Y");
            } else if (attribute == "PLC_Type") {
                cell = r == 2 ? "" : "S71200";
            } else if (attribute == "Data_Type" || attribute == "Type") {
                cell = table == Exchange_Table::Variables ? "Digital (Bit)" : "DWord";
            } else if (attribute == "Data_Identifier") {
                cell = "SFB";
            } else if (attribute == "PLC_Area") {
                cell = "Direct peripheral access (P)";
            } else if (attribute == "PLC_Bit" || attribute == "Bit" || attribute == "StartBit") {
                cell = std::to_string((r + 5) % 8);
            } else if (attribute == "Position" && table != Exchange_Table::Variables) {
                cell = "1499";
            } else if (attribute == "Conversion") {
                cell = "Float to Int";
            } else {
                // Texts a spreadsheet would take as a formula come back as they were.
                const std::string hard[] = {" lead, \"quoted\"; trail\t", "line\r\nbreak\nand \xC3\xA4\xE2\x82\xAC",
                                            "0x66", "=1+2;", "'-----BEGIN "};
                cell = hard[r] + std::to_string(c);
            }
        }
    }
    return rows;
}

class Round_Trip : public testing::TestWithParam<std::tuple<Exchange_Table, char>> {
protected:
    void SetUp() override { Load_Default_Strings(); }
};

TEST_P(Round_Trip, ExportThenImportGivesTheSameCellsAndTheSameBytes) {
    const auto [table, separator] = GetParam();
    const Table_Rows rows = Tricky_Rows(table);
    const std::string first = Export_Table(table, rows, separator);
    ASSERT_TRUE(first.starts_with("\xEF\xBB\xBF" "Enable"));
    const Import_Result back = Import_Table(table, first, Import_Mode::Replace, Empty_Table(table));
    ASSERT_TRUE(back.errors.empty()) << Texts(back).front();
    EXPECT_EQ(back.rows, rows);
    EXPECT_EQ(Export_Table(table, back.rows, separator), first);
}

INSTANTIATE_TEST_SUITE_P(EveryTable, Round_Trip,
                         testing::Combine(testing::Values(Exchange_Table::S7_Read, Exchange_Table::S7_Write,
                                                          Exchange_Table::Variables, Exchange_Table::Certificates),
                                          testing::Values(',', ';', '\t')));

#ifdef QM_HAVE_XLSX
// The same rows through a workbook: every cell comes back, and the CSV of the result is the
// CSV of the rows (so numbers written as numbers read back as the text that was typed).
class Workbook_Round_Trip : public testing::TestWithParam<Exchange_Table> {
protected:
    void SetUp() override { Load_Default_Strings(); }
};

TEST_P(Workbook_Round_Trip, ExportThenImportGivesTheSameCells) {
    const Exchange_Table table = GetParam();
    Table_Rows rows = Tricky_Rows(table);
    // Numbers as a spreadsheet holds them, beside texts that only look like numbers.
    const std::vector<std::string> numbers = {"102", "0", "007", "-5", "123456789012345678"};
    for (int r = 0; r < 5; ++r) {
        for (int c = 1; c <= Exchange_Field_Count(table); ++c) {
            const std::string_view attribute = Exchange_Attribute(table, c);
            if (attribute == "PLC_Port" || attribute == "DB_Number" || attribute == "Length" ||
                (attribute == "Position" && table == Exchange_Table::Variables)) {
                rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c - 1)] = numbers[static_cast<std::size_t>(r)];
            }
        }
    }
    const Workbook_Export exported = Export_Workbook(table, rows);
    ASSERT_TRUE(exported.ok()) << exported.error;
    const Import_Result back = Import_Table(table, exported.bytes, Import_Mode::Replace, Empty_Table(table));
    ASSERT_TRUE(back.errors.empty()) << Texts(back).front();
    EXPECT_TRUE(back.sheet_rows);
    EXPECT_EQ(back.rows, rows);
    EXPECT_EQ(Export_Table(table, back.rows), Export_Table(table, rows));
}

INSTANTIATE_TEST_SUITE_P(EveryTable, Workbook_Round_Trip,
                         testing::Values(Exchange_Table::S7_Read, Exchange_Table::S7_Write, Exchange_Table::Variables,
                                         Exchange_Table::Certificates));
#endif

TEST_F(Exchange, FormulaTextsGoOutMarkedAsTextAndComeBackExactly) {
    Table_Rows rows = Empty_Table(Exchange_Table::Certificates);
    const std::vector<std::string> texts = {"=1+2", "-----BEGIN CERTIFICATE-----", "@SUM(A1)", "+49 30", "'=x",
                                            "'plain", "\tlead", "\rcr", "a=b", "''"};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        rows[i] = {"Y", "c" + std::to_string(i), texts[i]};
    }
    const std::string file = Export_Table(Exchange_Table::Certificates, rows, ',');
    EXPECT_NE(file.find("\r\nY,c0,'=1+2\r\nY,c1,'-----BEGIN CERTIFICATE-----\r\nY,c2,'@SUM(A1)\r\nY,c3,'+49 30\r\n"
                        "Y,c4,''=x\r\nY,c5,'plain\r\nY,c6,'\tlead\r\nY,c7,\"'\rcr\"\r\nY,c8,a=b\r\nY,c9,''\r\n"),
              std::string::npos)
        << file;
    const Import_Result back = Import_Table(Exchange_Table::Certificates, file, Import_Mode::Replace,
                                            Empty_Table(Exchange_Table::Certificates));
    ASSERT_TRUE(back.ok()) << Texts(back).front();
    EXPECT_EQ(back.rows, rows);
    // The clipboard the same way: a spreadsheet pasting the block gets text, not formulas.
    const std::string block = Export_Selection(rows, 1, 2, 3, 3);
    EXPECT_EQ(block, "'=1+2\r\n'-----BEGIN CERTIFICATE-----\r\n");
    EXPECT_EQ(Parse_Block(Exchange_Table::Certificates, block, 1, 3).cells,
              (std::vector<std::vector<std::string>>{{"=1+2"}, {"-----BEGIN CERTIFICATE-----"}}));
}

TEST_F(Exchange, EveryErrorIsCountedAndAValueIsRefusedOnce) {
    // 512 rules with three bad values each: more errors than are listed.
    std::string csv = "PLC_Address,Swap,PLC_Type,Position\r\n";
    for (int i = 0; i < 512; ++i) {
        csv += "1.1.1.1,X,S7-300,1500\r\n";
    }
    const Import_Result many =
        Import_Table(Exchange_Table::S7_Read, csv, Import_Mode::Replace, Empty_Table(Exchange_Table::S7_Read));
    EXPECT_EQ(many.error_count, 1536);
    ASSERT_EQ(many.errors.size(), static_cast<std::size_t>(Max_Listed_Errors) + 1);
    EXPECT_EQ(many.errors.back().text, "... and 536 more errors, not listed");

    std::string one_more = "PLC_Address,Swap,PLC_Type\r\n";
    for (int i = 0; i < 500; ++i) {
        one_more += "1.1.1.1,X,S7-300\r\n";
    }
    one_more += "1.1.1.1,X,S7300\r\n";
    const Import_Result singular = Import_Table(Exchange_Table::S7_Read, one_more, Import_Mode::Replace,
                                                Empty_Table(Exchange_Table::S7_Read));
    EXPECT_EQ(singular.error_count, 1001);
    EXPECT_EQ(singular.errors.back().text, "... and 1 more error, not listed");

    // A Position the file cannot hold is an error; the check does not name the same cell again.
    const Import_Result position = Import_Table(
        Exchange_Table::S7_Read, S7_Head + "Y,127.0.0.1,102,S7300,0,2,Int,DB,1,Inputs (I),0,0,100,1500,0,N,N,m\r\n",
        Import_Mode::Replace, Empty_Table(Exchange_Table::S7_Read));
    EXPECT_EQ(Texts(position), std::vector<std::string>{"line 2: Position: \"1500\" is not a position from 0 to 1499"});
    EXPECT_TRUE(position.faults.empty()) << position.faults.front().text;
}

TEST_F(Exchange, ExportIsWhatTheWindowSaves) {
    Table_Rows rows = Empty_Table(Exchange_Table::Certificates);
    rows[0] = {"", "A", " m"};
    rows[1] = {"Y", "B\nC", "x;y"};
    rows[3] = {"Y", "after the end of the list", ""};
    EXPECT_EQ(Export_Table(Exchange_Table::Certificates, rows, ';'),
              "\xEF\xBB\xBF" "Enable;Certificate;Mnemonic\r\nN;A;\" m\"\r\nY;\"B\nC\";\"x;y\"\r\n");
    EXPECT_EQ(Separator_For_Path("dir.csv/list.TSV"), '\t');
    EXPECT_EQ(Separator_For_Path("list.txt"), '\t');
    EXPECT_EQ(Separator_For_Path("dir.tsv/list"), ',');
    // The rule of every export: the name's tab first, then the choice, then the comma.
    EXPECT_EQ(Export_Separator("list.tsv", ','), '\t');
    EXPECT_EQ(Export_Separator("list.csv", ';'), ';');
    EXPECT_EQ(Export_Separator("list.csv", '\t'), '\t');
    EXPECT_EQ(Export_Separator("list.csv", std::nullopt), ',');
    EXPECT_EQ(Export_Separator("", ';'), ';');
    EXPECT_EQ(Export_Separator("", std::nullopt), ',');
    EXPECT_TRUE(Separator_Contradicts_Name("list.TXT", ';'));
    EXPECT_FALSE(Separator_Contradicts_Name("list.tsv", '\t'));
    EXPECT_FALSE(Separator_Contradicts_Name("list.tsv", std::nullopt));
    EXPECT_FALSE(Separator_Contradicts_Name("list.csv", ';'));
}

// ---- clipboard blocks ----

TEST_F(Exchange, BlockPastesWithTheImportsValueRules) {
    const Block_Paste ok = Parse_Block(Exchange_Table::S7_Read, "s71500\t0\t3\r\nS7300\t\t31\r\n", 5,
                                       S7_Read_Col::PLC_Type);
    ASSERT_TRUE(ok.ok()) << ok.errors.front();
    EXPECT_EQ(ok.cells, (std::vector<std::vector<std::string>>{{"S71500", "0", "3"}, {"S7300", "", "31"}}));

    const Block_Paste bad = Parse_Block(Exchange_Table::S7_Read, "S7300\tmaybe\r\nS7-300\tY\r\n", 5,
                                        S7_Read_Col::PLC_Type);
    // Column 5 (Rack) is text: "maybe" is fine there; only the list cell is refused.
    EXPECT_EQ(bad.errors, std::vector<std::string>{"row 6, PLC Type: \"S7-300\" is not an item of its list: "
                                                   "Logo0BA8, S7200, S7300, S7400, S71200, S71500"});
    EXPECT_TRUE(bad.cells.empty());

    const Block_Paste tall = Parse_Block(Exchange_Table::Certificates, "a\nb\nc\n", 9, 2);
    EXPECT_EQ(tall.errors, std::vector<std::string>{"The block has 3 rows, but from row 9 the table has room for 2"});
    const Block_Paste wide = Parse_Block(Exchange_Table::Certificates, "a\tb\tc\n", 1, 2);
    EXPECT_EQ(wide.errors,
              std::vector<std::string>{"The block has 3 columns, but from column Certificate the table has room for 2"});
    EXPECT_EQ(Parse_Block(Exchange_Table::Certificates, "", 1, 1).errors,
              std::vector<std::string>{"The clipboard holds no text to paste"});
}

TEST_F(Exchange, BlockThatNoSaveWouldKeepIsRefused) {
    Table_Rows current = Empty_Table(Exchange_Table::Certificates);
    current[0] = {"Y", "A", ""};
    current[1] = {"Y", "B", ""};
    current[2] = {"N", "C", ""};
    const auto paste = [&](std::string_view text, int row, int column) {
        return Parse_Block(Exchange_Table::Certificates, text, row, column, &current);
    };
    const std::string lost = "row 4, Certificate" + Lost_Rows;
    // Rows 1 to 3 are the list: anything from row 5 on would be dropped by OK.
    EXPECT_EQ(paste("D\tm\r\n", 5, 2).errors, std::vector<std::string>{lost});
    EXPECT_EQ(paste("m\r\n", 5, 3).errors, std::vector<std::string>{lost});
    // A blank key row inside the block ends the list there.
    EXPECT_EQ(paste("D\r\n\r\nF\r\n", 4, 2).errors, std::vector<std::string>{"row 5, Certificate" + Lost_Rows});
    // A blank key pasted over the list would cut it short.
    EXPECT_EQ(paste("\tx\r\n", 2, 2).errors, std::vector<std::string>{"row 2, Certificate" + Lost_Rows});
    // Right after the list, and inside it, is fine; so is an empty cell below the end.
    EXPECT_TRUE(paste("D\tm\r\nE\tn\r\n", 4, 2).ok());
    EXPECT_TRUE(paste("m\r\nn\r\n\r\n", 2, 3).ok());
    EXPECT_EQ(paste("N\r\n", 2, 1).cells, (std::vector<std::vector<std::string>>{{"N"}}));
    // An empty Enable in a block is refused as in a file.
    EXPECT_EQ(paste("\tD\r\n", 4, 1).errors, std::vector<std::string>{"row 4, Enable must be Y or N; the cell is empty"});
}

TEST_F(Exchange, HugeBlockIsRefusedBeforeItsCellsAreStored) {
    std::string block;
    for (int i = 0; i < 4 * 1024 * 1024; ++i) {
        block += "\t\n";
    }
    EXPECT_EQ(Parse_Block(Exchange_Table::Certificates, block, 1, 2).errors,
              std::vector<std::string>{"The block has 4194304 rows, but from row 1 the table has room for 10"});
    EXPECT_EQ(Parse_Block(Exchange_Table::S7_Read, std::string(1000, '\t') + "\n", 1, 1).errors,
              std::vector<std::string>{"The block has 1001 columns, but from column Enable the table has room for 18"});
}

TEST_F(Exchange, CopiedSelectionPastesBackWithLineBreaksAndEmptyCells) {
    Table_Rows rows = Empty_Table(Exchange_Table::Certificates);
    rows[0] = {"N", "-----BEGIN\r\nMIIB\r\n-----END", "tab\there"};
    rows[1] = {"Y", "", "\"quoted\""};
    const std::string block = Export_Selection(rows, 1, 2, 1, 3);
    EXPECT_EQ(block, "N\t\"'-----BEGIN\r\nMIIB\r\n-----END\"\t\"tab\there\"\r\nY\t\t\"\"\"quoted\"\"\"\r\n");
    const Block_Paste back = Parse_Block(Exchange_Table::Certificates, block, 4, 1);
    ASSERT_TRUE(back.ok()) << back.errors.front();
    EXPECT_EQ(back.cells, (std::vector<std::vector<std::string>>{rows[0], rows[1]}));
    // A certificate from a text editor goes into one cell; elsewhere its lines would be rows.
    const std::string pem = "-----BEGIN CERTIFICATE-----\nMIIB+zCC\n-----END CERTIFICATE-----\n";
    EXPECT_EQ(Parse_Block(Exchange_Table::Certificates, pem, 10, 2).cells,
              (std::vector<std::vector<std::string>>{{pem}}));
    EXPECT_EQ(Parse_Block(Exchange_Table::Certificates, pem, 1, 3).cells.size(), 3U);
    // A single column with an empty cell in the middle, as Excel copies it.
    EXPECT_EQ(Parse_Block(Exchange_Table::Certificates, "a\r\n\r\nb\r\n", 1, 3).cells,
              (std::vector<std::vector<std::string>>{{"a"}, {""}, {"b"}}));
}

// ---- files ----

TEST_F(Exchange, ConfigurationImportWritesOnlyItsOwnFileAndKeepsTheOtherList) {
    test::Temp_Dir dir;
    const std::string xml = dir.File("S7_Protocol.xml");
    S7_Protocol_Data data = Reset_S7_Protocol();
    data.Write[0] = {"Y", "127.0.0.2", "102", "S7300", "0", "2", "Int", "DB", "1", "Inputs (I)", "0", "0", "0",
                     "N", "N", "0", "0", "", "", "kept"};
    ASSERT_TRUE(Save_S7_Protocol_File(xml, data, false));
    const std::string before = test::Slurp(xml);

    const Configuration_Import bad = Import_Into_Configuration(
        dir.Path(), Exchange_Table::S7_Read, S7_Head + S7_Line("127.0.0.1", "x"), Import_Mode::Replace, '.');
    EXPECT_FALSE(bad.result.ok());
    EXPECT_FALSE(bad.written);
    EXPECT_EQ(test::Slurp(xml), before);

    const Configuration_Import good = Import_Into_Configuration(
        dir.Path(), Exchange_Table::S7_Read, S7_Head + S7_Line("127.0.0.1", "102"), Import_Mode::Replace, '.');
    ASSERT_TRUE(good.written) << good.saved.message;
    const S7_Protocol_Read_Result back = Read_S7_Protocol_File(xml);
    EXPECT_EQ(back.data.Write, data.Write);
    EXPECT_EQ(back.data.Read[0][1], "127.0.0.1");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "only the XML file";
}

// A change another program made while the import ran (a window's OK, a colleague on a shared
// folder) is not overwritten: nothing is written and the caller is told.
TEST_F(Exchange, ConfigurationImportNeverOverwritesAChangeMadeMeanwhile) {
    test::Temp_Dir dir;
    const std::string xml = dir.File("S7_Protocol.xml");
    ASSERT_TRUE(Save_S7_Protocol_File(xml, Reset_S7_Protocol(), false));
    const std::string theirs = "<S7_Protocol><Read/><Write/></S7_Protocol><!-- theirs -->";
    const Configuration_Import raced =
        Import_Into_Configuration(dir.Path(), Exchange_Table::S7_Read, S7_Head + S7_Line("127.0.0.1", "102"),
                                  Import_Mode::Replace, '.', [&] { test::Put(xml, theirs); });
    EXPECT_TRUE(raced.result.ok());
    EXPECT_TRUE(raced.changed_meanwhile);
    EXPECT_FALSE(raced.written);
    EXPECT_EQ(test::Slurp(xml), theirs);

    ASSERT_TRUE(Save_S7_Protocol_File(xml, Reset_S7_Protocol(), false));
    const Configuration_Import calm = Import_Into_Configuration(
        dir.Path(), Exchange_Table::S7_Read, S7_Head + S7_Line("127.0.0.1", "102"), Import_Mode::Replace, '.', [] {});
    EXPECT_FALSE(calm.changed_meanwhile);
    EXPECT_TRUE(calm.written) << calm.saved.message;
}

TEST_F(Exchange, ConfigurationImportRefusesAFileNotReadCompletely) {
    struct Case {
        Exchange_Table table;
        const char* file;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {Exchange_Table::Certificates, "TLS_Known_Cert.xml",
         "<TLS_Server_Known_Cert><row Enable=\"Y\" Certificate=\"c\"/><row"},
        // Truncated after the read list: the write list would be saved empty.
        {Exchange_Table::S7_Read, "S7_Protocol.xml",
         "<S7_Protocol><S7_Protocol_Read><row Enable=\"Y\" PLC_Address=\"127.0.0.1\"/></S7_Protocol_Read>"},
        {Exchange_Table::S7_Write, "S7_Protocol.xml", "<S7_Protocol><S7_Protocol_Read/></S7_Protocol>"},
    };
    for (const Case& c : cases) {
        test::Temp_Dir dir;
        const std::string xml = dir.File(c.file);
        test::Put(xml, c.bytes);
        const Configuration_Import done =
            Import_Into_Configuration(dir.Path(), c.table, "Certificate,PLC_Address\r\nnew,127.0.0.2\r\n",
                                      Import_Mode::Append, '.');
        EXPECT_TRUE(done.unreadable) << c.bytes;
        EXPECT_FALSE(done.written);
        EXPECT_EQ(test::Slurp(xml), c.bytes);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "no copy, no new file";
    }
}

TEST_F(Exchange, FilesThatCannotBeImportedSaySo) {
    test::Temp_Dir dir;
    std::string bytes;
    EXPECT_EQ(Read_Exchange_File(dir.Path(), bytes), "is a folder, not a file");
    EXPECT_EQ(Read_Exchange_File(dir.File("none.csv"), bytes), "cannot be read: no such file");
    const std::string big = dir.File("big.csv");
    test::Put(big, "");
    std::filesystem::resize_file(big, 50ULL * 1024 * 1024);
    EXPECT_EQ(Read_Exchange_File(big, bytes), "is too large for a table file: the limit is 16777216 bytes");
    EXPECT_TRUE(bytes.empty());
    // The oversized file is known by the reader's error code, not by the words of its message:
    // in another language, and for a file whose name says "too large", the message stays right.
    Lang_Table[49] = ": il file supera il limite (";
    Lang_Table[1045] = "supera il limite di ";
    EXPECT_EQ(Read_Exchange_File(big, bytes), "supera il limite di 16777216 bytes");
    Load_Default_Strings();
    const std::string named = dir.File("too large.csv");
    test::Put(named, "Enable\r\n");
    EXPECT_EQ(Read_Exchange_File(named, bytes), std::nullopt);
}

} // namespace
} // namespace qm
