// quillmaker-cli check, run as a program on small configuration folders.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../common/temp_folder.h"
#include "cli_runner.h"

namespace {

namespace fs = std::filesystem;

class CliCheck : public testing::Test {
protected:
    void SetUp() override {
        const std::string made = qm::test::Make_Temp_Folder("qm_cli_check_");
        ASSERT_FALSE(made.empty());
        dir_ = made;
        config_ = dir_ / "My Config";
        fs::create_directory(config_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void Put(const std::string& name, const std::string& text) {
        std::ofstream(config_ / name, std::ios::binary) << text;
    }

    using Run_Result = qm::test::Cli_Run;
    Run_Result Check(const std::string& args) { return qm::test::Run_Cli(dir_, "check " + args); }

    std::string Quoted_Config() const { return "'" + config_.string() + "'"; }

    static std::string Slurp(const fs::path& path) { return qm::test::Slurp_File(path); }

    fs::path dir_;
    fs::path config_;
};

// One read rule; attributes in file order, PollTime and Position given.
std::string Read_Row(const std::string& address, const std::string& port, const std::string& poll,
                     const std::string& position) {
    return "<row Enable=\"Y\" PLC_Address=\"" + address + "\" PLC_Port=\"" + port +
           "\" PLC_Type=\"S71200\" Rack=\"0\" Slot=\"1\" Data_Type=\"Int\" Data_Identifier=\"DB\" DB_Number=\"1\" "
           "PLC_Area=\"Inputs (I)\" PLC_Add=\"0\" PLC_Bit=\"0\" PollTime=\"" + poll + "\" Position=\"" + position +
           "\" Bit=\"0\" Swap=\"\" SwapWord=\"\" Mnemonic=\"\"/>";
}

std::string Write_Row(const std::string& address, const std::string& position) {
    return "<row Enable=\"Y\" PLC_Address=\"" + address +
           "\" PLC_Port=\"102\" PLC_Type=\"S7300\" Rack=\"0\" Slot=\"2\" Data_Type=\"Real\" Data_Identifier=\"DB\" "
           "DB_Number=\"1\" PLC_Area=\"Inputs (I)\" PLC_Add=\"4\" PLC_Bit=\"0\" PollTime=\"0\" OnChange=\"N\" "
           "OnCMD=\"N\" Position=\"" + position + "\" Bit=\"7\" Swap=\"\" SwapWord=\"\" Mnemonic=\"\"/>";
}

// The fault lines of the output: two blanks, then the message.
std::vector<std::string> Fault_Lines(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("  ", 0) == 0) {
            lines.push_back(line.substr(2));
        }
    }
    return lines;
}

TEST_F(CliCheck, NewConfigurationIsAllWell) {
    const Run_Result run = Check(Quoted_Config());
    EXPECT_EQ(run.code, 0) << run.out << run.err;
    EXPECT_TRUE(Fault_Lines(run.out).empty()) << run.out;
    EXPECT_NE(run.out.find("All well: " + config_.string() + " passes every check.\n"), std::string::npos) << run.out;
}

TEST_F(CliCheck, SoundFilesPassWithTheirContentsNamed) {
    Put("S7_Protocol.xml", "<S7_Protocol><S7_Protocol_Read>" + Read_Row("10.0.0.1", "102", "100", "0") +
                               "</S7_Protocol_Read><S7_Protocol_Write>" + Write_Row("10.0.0.1", "1499") +
                               "</S7_Protocol_Write></S7_Protocol><!--SW_VERSION = 1.003-->");
    Put("TLS_Known_Cert.xml", "<TLS_Server_Known_Cert><row Enable=\"N\" Certificate=\"x\" Mnemonic=\"\"/>"
                              "</TLS_Server_Known_Cert>");
    const Run_Result run = Check(Quoted_Config());
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_NE(run.out.find("S7_Protocol.xml (1 read rule, 1 write rule): ok\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("TLS_Known_Cert.xml (1 certificate): ok\n"), std::string::npos) << run.out;
}

// Every faulty enabled row once, in the order the windows meet them: parameters first, then the
// read list before the write list, then the variables.
TEST_F(CliCheck, ListsEveryFaultInTheWindowsOrderAndWording) {
    Put("ParGen.xml", "<Par_Gen><S7_Protocol_IP3>300</S7_Protocol_IP3><IEC61850_Server_Port>10000"
                      "</IEC61850_Server_Port></Par_Gen>");
    std::string read;
    for (int i = 1; i <= 10; ++i) {
        read += Read_Row("10.0.0." + std::to_string(i), "102", "1000", "0");
    }
    read += Read_Row("10.0.0.1", "102", "0", "0");        // row 11: poll time
    read += Read_Row("10.0.0.1 ", "102", "1000", "0");    // row 12: trailing blank in the address
    Put("S7_Protocol.xml", "<S7_Protocol><S7_Protocol_Read>" + read + "</S7_Protocol_Read><S7_Protocol_Write>" +
                               Write_Row("10.0.0.2", "1500") + Write_Row("10.0.0.99", "0") +
                               "</S7_Protocol_Write></S7_Protocol>");
    Put("IEC61850_Variables.xml",
        "<IEC61850_Variables>"
        "<row Enable=\"Y\" Name=\"a\" Type=\"Digital (Bit)\" Length=\"1\" Position=\"0\" StartBit=\"\" Conversion=\"None\" "
        "MultiplicationFactor=\"None\"/>"
        "<row Enable=\"N\" Name=\"b\" Length=\"9\"/>"
        "<row Enable=\"Y\" Name=\"c\" Type=\"Int\" Length=\"4\" Position=\"10\" Conversion=\"None\" "
        "MultiplicationFactor=\"2,5\"/>"
        "<row Enable=\"Y\" Name=\"d\" Type=\"Int\" Length=\"4\" Position=\"10\" Conversion=\"None\" "
        "MultiplicationFactor=\"\"/>"
        "</IEC61850_Variables>");

    const Run_Result run = Check(Quoted_Config());
    EXPECT_EQ(run.code, 1) << run.out;
    EXPECT_EQ(Fault_Lines(run.out),
              (std::vector<std::string>{
                  "Error S7comm!! IP Address 3 must be between 0 and 255",
                  "Error IEC61850 Server!! Port must be between 0 and 65535, and different from 10000",
                  "Error row 11!! [S7comm Read] Poll Time must be between 1 and 100000000",
                  "Error row 12!! [S7comm Read] PLC Address must be a valid TCP IP Address (Ex. 192.168.1.125)",
                  "Error row 1!! [S7comm Write] Position must be between 0 and 1499",
                  "Error row 2!! [S7comm Write] Device support 10 connection",
                  "Error row 1!! Start Bit must be Selected ",
                  "Error row 4!! Molt. Factor must be a valid Float",
              }))
        << run.out;
    EXPECT_NE(run.out.find("ParGen.xml: 2 faults\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("S7_Protocol.xml (12 read rules, 2 write rules): 4 faults\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("8 faults and 0 read errors in "), std::string::npos) << run.out;
}

TEST_F(CliCheck, ReadErrorsNameTheFileAndLine) {
    Put("S7_Protocol.xml", "<S7_Protocol>\n<S7_Protocol_Read>\n" + Read_Row("10.0.0.1", "102", "0", "0") +
                               "\n<row Enable=\"Y\" PLC_Address=\"10.0.0.2\"/>\n</S7_Protocol_Read>\n</S7_Protocol>");
    Put("TLS_Known_Cert.xml", "<TLS_Server_Known_Cert><row Certificate=\"x\"");
    const Run_Result run = Check(Quoted_Config());
    EXPECT_EQ(run.code, 1) << run.out;
    const std::string s7 = (config_ / "S7_Protocol.xml").string();
    EXPECT_NE(run.out.find("S7_Protocol.xml (1 read rule, 0 write rules): not read completely, 1 fault\n"
                           "S7_Protocol.xml: read error: " + s7 + ": line 4: row 2 of S7_Protocol_Read has no attribute "
                           "PLC_Port; this row and the rest of the file were not loaded\n"
                           "  Error row 1!! [S7comm Read] Poll Time must be between 1 and 100000000\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("TLS_Known_Cert.xml: read error: " + (config_ / "TLS_Known_Cert.xml").string() +
                           ": not well-formed XML at line 1"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("1 fault and 2 read errors in "), std::string::npos) << run.out;
}

TEST_F(CliCheck, UsageAndFolderErrorsExitWithTwo) {
    Put("ParGen.xml", "<Par_Gen/>");
    const struct {
        std::string args;
        std::string err;
    } cases[] = {
        {"", "usage: quillmaker-cli check <configuration-folder>"},
        {Quoted_Config() + " extra", "usage: quillmaker-cli check <configuration-folder>"},
        {"'" + (config_ / "missing").string() + "'", (config_ / "missing").string() + ": not a folder"},
        {"'" + (config_ / "ParGen.xml").string() + "'", "ParGen.xml: not a folder"},
    };
    for (const auto& c : cases) {
        const Run_Result run = Check(c.args);
        EXPECT_EQ(run.code, 2) << c.args;
        EXPECT_TRUE(run.out.empty()) << c.args << ": " << run.out;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.args << ": " << run.err;
    }
}

} // namespace
