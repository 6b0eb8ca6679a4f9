// quillmaker-cli export and import, run as a program on a copy of the example configuration.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../common/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class CliExchange : public testing::Test {
protected:
    void SetUp() override {
        const std::string made = qm::test::Make_Temp_Folder("qm_cli_exchange_");
        ASSERT_FALSE(made.empty());
        dir_ = made;
        config_ = dir_ / "My Config";
        fs::copy(fs::path(QM_SOURCE_DIR) / "examples" / "Example", config_, fs::copy_options::recursive);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    struct Run_Result {
        int code = -1;
        std::string out;
        std::string err;
    };

    Run_Result Cli(const std::string& args) {
        const fs::path out = dir_ / "out.txt";
        const fs::path err = dir_ / "err.txt";
        const std::string command = std::string("'") + QM_CLI_PATH + "' " + args + " >'" + out.string() + "' 2>'" +
                                    err.string() + "'";
        const int status = std::system(command.c_str());
        Run_Result result;
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = Slurp(out);
        result.err = Slurp(err);
        return result;
    }

    std::string Config() const { return "'" + config_.string() + "'"; }
    std::string File(const std::string& name) const { return "'" + (dir_ / name).string() + "'"; }
    void Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }

    static std::string Slurp(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::vector<std::string> Config_Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(config_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
    fs::path config_;
};

struct Round_Trip_Case {
    const char* table;
    const char* xml;
    bool as_written; // the example holds no list item in another letter case: the first import keeps every byte
    const char* file = "list.csv";
};

class CliRoundTrip : public CliExchange, public testing::WithParamInterface<Round_Trip_Case> {};

// Export, then import of the same file: the XML file comes out as it was (but for list items
// in another letter case, which take the list's spelling); a second round trip changes no byte.
TEST_P(CliRoundTrip, ExportThenImportKeepsTheFile) {
    const Round_Trip_Case& c = GetParam();
    const std::string table = c.table;
    const std::string before = Slurp(config_ / c.xml);
    const Run_Result exported = Cli("export " + Config() + " " + table + " " + File(c.file));
    ASSERT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(exported.out.rfind("Exported ", 0), 0U) << exported.out;

    const Run_Result imported = Cli("import " + Config() + " " + table + " " + File(c.file));
    ASSERT_EQ(imported.code, 0) << imported.err;
    EXPECT_NE(imported.out.find(std::string("are now the rows of ") + c.file), std::string::npos) << imported.out;
    const std::string once = Slurp(config_ / c.xml);
    if (c.as_written) {
        EXPECT_EQ(once, before);
    }

    const Run_Result second = Cli("export " + Config() + " " + table);
    ASSERT_EQ(second.code, 0);
    Put("second.csv", second.out);
    ASSERT_EQ(Cli("import " + Config() + " " + table + " " + File("second.csv")).code, 0);
    EXPECT_EQ(Slurp(config_ / c.xml), once);
    EXPECT_EQ(Cli("export " + Config() + " " + table).out, second.out);
}

const Round_Trip_Case Round_Trip_Cases[] = {
    {"s7-read", "S7_Protocol.xml", true},
    {"s7-write", "S7_Protocol.xml", true},
    {"variables", "IEC61850_Variables.xml", false},
    {"certificates", "TLS_Known_Cert.xml", true},
#ifdef QM_HAVE_XLSX
    {"s7-read", "S7_Protocol.xml", true, "list.xlsx"},
    {"s7-write", "S7_Protocol.xml", true, "list.xlsx"},
    {"variables", "IEC61850_Variables.xml", false, "list.xlsx"},
    {"certificates", "TLS_Known_Cert.xml", true, "list.xlsx"},
#endif
};

INSTANTIATE_TEST_SUITE_P(EveryTable, CliRoundTrip, testing::ValuesIn(Round_Trip_Cases),
                         [](const auto& info) {
                             std::string name = std::string(info.param.table) + "_" + info.param.file;
                             std::replace(name.begin(), name.end(), '-', '_');
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

#ifdef QM_HAVE_XLSX
// A workbook with a date and a formula never computed: each named by its sheet row and column,
// nothing changed; a separator makes no sense for a workbook.
TEST_F(CliExchange, ABadWorkbookChangesNothingAndNamesItsRows) {
    const std::string before = Slurp(config_ / "S7_Protocol.xml");
    const std::string book = (fs::path(QM_SOURCE_DIR) / "tests/tables/fixtures/openpyxl_bad_s7_read.xlsx").string();
    const Run_Result r = Cli("import " + Config() + " s7-read '" + book + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, book + ": row 5: PLC Port, cell C5: holds a date or a time, which no column of the list takes; "
                            "type the value as text\n" +
                         book + ": row 5: Mnemonic, cell P5: holds a formula that was never computed, so no value is "
                                "stored with it; open and save the workbook in Excel or LibreOffice Calc, or type the value\n"
                                "Nothing was imported and the configuration file was not changed: 2 errors and 0 faults\n");
    EXPECT_EQ(Slurp(config_ / "S7_Protocol.xml"), before);
    EXPECT_EQ(Cli("export " + Config() + " s7-read " + File("rules.xlsx") + " --separator ';'").code, 2);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "rules.xlsx"));
}
#endif

TEST_F(CliExchange, AFaultyFileChangesNothingAndNamesEveryBadLine) {
    const std::string before = Slurp(config_ / "IEC61850_Variables.xml");
    const std::vector<std::string> files = Config_Files();
    Put("bad.csv", "Name;Type;Length;Conversion;Molt. Factor;Position\r\n"
                   "ok;int;4;None;None;0\r\n"
                   "typo;Integer;4;None;None;4\r\n"
                   "\r\n"
                   "long;Float;9;None;None;8\r\n"
                   "factor;Float;4;None;abc;12\r\n");
    const Run_Result r = Cli("import " + Config() + " variables " + File("bad.csv"));
    EXPECT_EQ(r.code, 1);
    const std::string bad = (dir_ / "bad.csv").string();
    EXPECT_EQ(r.err, bad + ": line 3: Type: \"Integer\" is not an item of its list: Int, Float, Digital (Bit)\n" +
                         bad + ": line 5: Error row 3!! Length must be between 1 and 4\n" + bad +
                         ": line 6: Error row 4!! Molt. Factor must be a valid Float\n"
                         "Nothing was imported and the configuration file was not changed: 1 error and 2 faults\n");
    EXPECT_EQ(Slurp(config_ / "IEC61850_Variables.xml"), before);
    EXPECT_EQ(Config_Files(), files);
}

TEST_F(CliExchange, AppendAddsAfterTheListAndKeepsTheOtherList) {
    const Run_Result written = Cli("export " + Config() + " s7-write " + File("w.tsv"));
    ASSERT_EQ(written.code, 0);
    const std::string tsv = Slurp(dir_ / "w.tsv");
    ASSERT_NE(tsv.find("Enable\tPLC_Address\t"), std::string::npos) << ".tsv is tab-separated";
    Put("more.csv", "PLC_Address,PLC_Port,PLC_Type,Data_Type,Data_Identifier,DB_Number,PLC_Area,PLC_Add,PLC_Bit,"
                    "PollTime,Position,Bit\r\n127.0.0.1,102,s71500,int,db,1,inputs (i),0,0,100,7,0\r\n");
    const Run_Result r = Cli("import " + Config() + " s7-read " + File("more.csv") + " --append");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "S7_Protocol.xml, list s7-read: the rows of more.csv appended as rows 8 to 8\n");
    const Run_Result after = Cli("export " + Config() + " s7-write " + File("w2.tsv"));
    EXPECT_EQ(Slurp(dir_ / "w2.tsv"), tsv);
    const Run_Result read = Cli("export " + Config() + " s7-read --separator ';'");
    EXPECT_NE(read.out.find("\r\nY;127.0.0.1;102;S71500;0;0;Int;DB;1;Inputs (I);0;0;100;7;0;;;\r\n"), std::string::npos)
        << read.out;
}

// What a refused import leaves: every file of the configuration as it was, byte for byte.
TEST_F(CliExchange, RefusedImportsLeaveEveryFileAsItWas) {
    const auto snapshot = [this] {
        std::vector<std::string> contents;
        for (const std::string& name : Config_Files()) {
            contents.push_back(name + "\n" + Slurp(config_ / name));
        }
        return contents;
    };
    // One Windows-1252 byte among UTF-8 text.
    Put("mixed.csv", "Certificate,Mnemonic\r\nA,F\xC3\xBCr\r\nB,F\xFCr\r\n");
    const std::vector<std::string> before = snapshot();
    const Run_Result mixed = Cli("import " + Config() + " certificates " + File("mixed.csv"));
    EXPECT_EQ(mixed.code, 1);
    EXPECT_NE(mixed.err.find("mixed.csv: line 3: the file is UTF-8, but"), std::string::npos) << mixed.err;
    EXPECT_NE(mixed.err.find(": 1 error and 0 faults\n"), std::string::npos) << mixed.err;
    EXPECT_EQ(snapshot(), before);

    // A list file cut short: importing into it would save the list without what was lost.
    const std::string xml = Slurp(config_ / "S7_Protocol.xml");
    const std::string truncated = xml.substr(0, xml.find("<S7_Protocol_Write>"));
    Put("My Config/S7_Protocol.xml", truncated);
    const std::vector<std::string> cut = snapshot();
    Put("rule.csv", "PLC_Address,PLC_Port\r\n127.0.0.1,102\r\n");
    for (const char* table : {"s7-read", "s7-write"}) {
        const Run_Result r = Cli("import " + Config() + " " + table + " " + File("rule.csv") + " --append");
        EXPECT_EQ(r.code, 2) << table;
        EXPECT_NE(r.err.find("S7_Protocol.xml: the list file could not be read completely, so nothing was imported"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(snapshot(), cut) << table;
    }
}

TEST_F(CliExchange, UnreadableInputIsRefusedWithItsName) {
    EXPECT_EQ(Cli("import " + Config() + " s7-read").code, 2);
    EXPECT_EQ(Cli("import " + Config() + " rules " + File("x.csv")).code, 2);
    EXPECT_EQ(Cli("export " + Config() + " s7-read --separator '|'").code, 2);
    // A separator the file's name contradicts writes nothing rather than something else.
    EXPECT_EQ(Cli("export " + Config() + " s7-read " + File("rules.tsv") + " --separator ';'").code, 2);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "rules.tsv"));

    const Run_Result folder = Cli("import " + Config() + " s7-read " + Config());
    EXPECT_EQ(folder.code, 2);
    EXPECT_NE(folder.err.find(config_.string() + ": is a folder, not a file"), std::string::npos) << folder.err;

    Put("empty.csv", "");
    const Run_Result empty = Cli("import " + Config() + " certificates " + File("empty.csv"));
    EXPECT_EQ(empty.code, 1);
    EXPECT_NE(empty.err.find("empty.csv: The file is empty"), std::string::npos) << empty.err;

    // A 50 MB file is refused from its size, before a byte of it is read.
    Put("huge.csv", "");
    fs::resize_file(dir_ / "huge.csv", 50ULL * 1024 * 1024);
    const Run_Result huge = Cli("import " + Config() + " certificates " + File("huge.csv"));
    EXPECT_EQ(huge.code, 2);
    EXPECT_NE(huge.err.find("huge.csv: is too large for a table file"), std::string::npos) << huge.err;
}

} // namespace
