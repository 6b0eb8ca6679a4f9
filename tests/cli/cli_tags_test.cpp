// quillmaker-cli tags, run as a program: the rules it writes, --variables, --dry-run, bad files
// that change nothing, and the exit codes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../common/temp_folder.h"
#include "cli_runner.h"
#include "common/file_io.h"
#include "language/lang_table.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"

namespace {

namespace fs = std::filesystem;
using C = qm::S7_Read_Col;

class Cli_Tags : public testing::Test {
protected:
    void SetUp() override {
        const std::string made = qm::test::Make_Temp_Folder("qm_cli_tags_");
        ASSERT_FALSE(made.empty());
        dir_ = made;
        fs::create_directories(dir_ / "conf");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Write(const char* name, const std::string& text) {
        std::ofstream(dir_ / name, std::ios::binary) << text;
        return "'" + (dir_ / name).string() + "'";
    }
    std::string Conf() const { return "'" + (dir_ / "conf").string() + "'"; }
    std::string Xml() const { return (dir_ / "conf" / "S7_Protocol.xml").string(); }
    qm::test::Cli_Run Run(const std::string& args) { return qm::test::Run_Cli(dir_, "tags " + args); }

    fs::path dir_;
};

const std::string Awl = "DATA_BLOCK DB 12\nVERSION : 0.1\n  STRUCT\n   Run : BOOL ;\n   Ready : BOOL ;\n"
                        "   Temp : REAL ;\n   Timer_Value : S5TIME ;\n   Text : STRING [4] ;\n  END_STRUCT ;\n"
                        "BEGIN\nEND_DATA_BLOCK\n";

TEST_F(Cli_Tags, Appends_Rules_With_The_Connection_And_Passes_Check) {
    const qm::test::Cli_Run run =
        Run(Conf() + " " + Write("mix.awl", Awl) + " --plc 127.0.0.5 --port 1102 --type S7300 --rack 0 --slot 2 --poll 250");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("left out: line 8: DB12.Text"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("added 4 rules to the read list (S7_Protocol.xml), rows 1 to 4"), std::string::npos) << run.out;
    const qm::S7_Protocol_Read_Result read = qm::Read_S7_Protocol_File(Xml());
    // Mnemonic, Data Type, DB Number, PLC Add, PLC Bit, Position, Start Bit
    const std::vector<std::vector<std::string>> expected = {{"DB12.Run", "Bit", "12", "0", "0", "0", "0"},
                                                            {"DB12.Ready", "Bit", "12", "0", "1", "0", "1"},
                                                            {"DB12.Temp", "Real", "12", "2", "0", "1", "0"},
                                                            {"DB12.Timer_Value", "Word", "12", "6", "0", "5", "0"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const qm::Table_Row& row = read.data.Read[i];
        const auto cell = [&](int column) { return std::string(qm::Cell(row, column)); };
        EXPECT_EQ((std::vector<std::string>{cell(C::Mnemonic), cell(C::Data_Type), cell(C::DB_Number), cell(C::PLC_Add),
                                            cell(C::PLC_Bit), cell(C::Position), cell(C::Bit)}),
                  expected[i]);
        EXPECT_EQ(cell(C::PLC_Address) + ":" + cell(C::PLC_Port) + " " + cell(C::PLC_Type) + " " + cell(C::Slot) + " " +
                      cell(C::PollTime) + " " + cell(C::Data_Identifier),
                  "127.0.0.5:1102 S7300 2 250 DB");
    }
    const qm::test::Cli_Run check = qm::test::Run_Cli(dir_, "check " + Conf());
    EXPECT_EQ(check.code, 0) << check.out << check.err;
    // A second file goes after the first one's positions.
    const qm::test::Cli_Run again = Run(Conf() + " " + Write("t.sdf", "\"Speed\",\"MW 2\",\"INT\",\"\"\r\n") +
                                        " --plc 127.0.0.5 --port 1102 --type S7300 --slot 2");
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(qm::Cell(qm::Read_S7_Protocol_File(Xml()).data.Read[4], C::Position), "7");
}

TEST_F(Cli_Tags, Variables_And_Dry_Run) {
    const std::string file = Write("t.seq", "126,E 0.0\tStart\tBOOL\tStart button\r\n126,MD 4\tFlow\tREAL\t\r\n");
    qm::test::Cli_Run run = Run(Conf() + " " + file + " --plc 127.0.0.1 --variables --dry-run");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("would add 2 rules"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("would add 2 variables"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(Xml()));

    run = Run(Conf() + " " + file + " --plc 127.0.0.1 --variables");
    ASSERT_EQ(run.code, 0) << run.err;
    const qm::Table_Read_Result variables =
        qm::Read_IEC61850_Variables_File((dir_ / "conf" / "IEC61850_Variables.xml").string());
    EXPECT_EQ(qm::Cell(variables.rows[0], qm::Var_Col::Type), "Digital (Bit)");
    EXPECT_EQ(qm::Cell(variables.rows[0], qm::Var_Col::Mnemonic), "Start button");
    EXPECT_EQ(qm::Cell(variables.rows[1], qm::Var_Col::Type), "Float");
    EXPECT_EQ(qm::Cell(variables.rows[1], qm::Var_Col::Position), "1");
    EXPECT_EQ(qm::test::Run_Cli(dir_, "check " + Conf()).code, 0);
}

TEST_F(Cli_Tags, Bad_Input_Changes_Nothing_And_Names_The_Line) {
    ASSERT_EQ(Run(Conf() + " " + Write("ok.sdf", "\"A\",\"M 0.0\",\"BOOL\",\"\"\n") + " --plc 127.0.0.1").code, 0);
    const qm::File_Stamp before = qm::Stamp_File(Xml());
    struct Bad {
        const char* file;
        std::string text;
        const char* message;
    };
    for (const Bad& bad : {Bad{"a.sdf", "\"A\",\"M 0.0\",\"BOOL\",\"\"\n\"Total\",\"MB 10\",\"DINT\",\"\"\n",
                               "line 2: DINT does not fit the address MB 10"},
                           Bad{"b.db", "DATA_BLOCK DB 1\nSTRUCT\n a : Bool;\n b : Foo;\nEND_STRUCT;\nBEGIN\n",
                               "line 4: unknown data type: Foo"},
                           Bad{"c.txt", "just text\n", "not a file of PLC tags"}}) {
        const qm::test::Cli_Run run = Run(Conf() + " " + Write(bad.file, bad.text) + " --plc 127.0.0.1");
        EXPECT_EQ(run.code, 1) << bad.file;
        EXPECT_NE(run.err.find(bad.message), std::string::npos) << run.err;
        EXPECT_EQ(qm::Stamp_File(Xml()), before) << bad.file;
    }
    // A first position on the rule already there: the new rule steps over its byte (shown by a
    // dry run, which writes nothing).
    const qm::test::Cli_Run stepped = Run(Conf() + " " + Write("d.sdf", "\"B\",\"MW 0\",\"INT\",\"\"\n") +
                                          " --plc 127.0.0.1 --first-position 0 --dry-run");
    EXPECT_EQ(stepped.code, 0) << stepped.err;
    EXPECT_NE(stepped.out.find("Mnemonic=B Data_Type=Int"), std::string::npos) << stepped.out;
    EXPECT_NE(stepped.out.find("Position=1 "), std::string::npos) << stepped.out;
    EXPECT_EQ(qm::Stamp_File(Xml()), before);
    // A list file that cannot be read completely is not written over.
    {
        std::ofstream(Xml(), std::ios::app) << "<broken";
        const qm::File_Stamp broken = qm::Stamp_File(Xml());
        const qm::test::Cli_Run run = Run(Conf() + " " + Write("e.sdf", "\"B\",\"MW 0\",\"INT\",\"\"\n") + " --plc 127.0.0.1");
        EXPECT_EQ(run.code, 2) << run.err;
        EXPECT_EQ(qm::Stamp_File(Xml()), broken);
    }
}

TEST_F(Cli_Tags, Usage_Errors_Exit_2) {
    const std::string file = Write("ok.sdf", "\"A\",\"M 0.0\",\"BOOL\",\"\"\n");
    for (const std::string& args : {Conf() + " " + file, Conf() + " " + file + " --plc 127.0.0.1 --list both",
                                    Conf() + " " + file + " --plc 127.0.0.1 --type S5",
                                    Conf() + " " + file + " --plc 127.0.0.1 --list write --variables",
                                    Conf() + " " + file + " --plc 127.0.0.1 --port x",
                                    Conf() + " '" + (dir_ / "missing.sdf").string() + "' --plc 127.0.0.1"}) {
        EXPECT_EQ(Run(args).code, 2) << args;
    }
    EXPECT_FALSE(fs::exists(Xml()));
}

} // namespace
