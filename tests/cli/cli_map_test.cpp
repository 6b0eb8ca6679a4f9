// quillmaker-cli map, run as a program: the JSON form, the text form and the exit codes.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../common/temp_folder.h"
#include "cli_runner.h"

namespace {

namespace fs = std::filesystem;

std::string Rule(const char* enable, const char* type, int position, int bit = 0, const char* mnemonic = "") {
    return std::string("<row Enable=\"") + enable +
           "\" PLC_Address=\"10.0.0.1\" PLC_Port=\"102\" PLC_Type=\"S7300\" Rack=\"0\" Slot=\"2\" Data_Type=\"" + type +
           "\" Data_Identifier=\"DB\" DB_Number=\"1\" PLC_Area=\"Inputs (I)\" PLC_Add=\"0\" PLC_Bit=\"0\" "
           "PollTime=\"1000\" Position=\"" + std::to_string(position) + "\" Bit=\"" + std::to_string(bit) +
           "\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"" + mnemonic + "\"/>";
}

std::string Variable(const char* name, const char* type, int length, const char* read_only, int position) {
    return std::string("<row Enable=\"Y\" Name=\"") + name + "\" Type=\"" + type + "\" Length=\"" +
           std::to_string(length) + "\" ReadOnly=\"" + read_only + "\" Position=\"" + std::to_string(position) +
           "\" StartBit=\"0\" Conversion=\"None\" MultiplicationFactor=\"None\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"\"/>";
}

class Cli_Map : public testing::Test {
protected:
    void SetUp() override {
        const std::string made = qm::test::Make_Temp_Folder("qm_cli_map_");
        ASSERT_FALSE(made.empty());
        dir_ = made;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string Config(const std::string& name, const std::string& read, const std::string& variables) {
        const fs::path folder = dir_ / name;
        fs::create_directories(folder);
        std::ofstream(folder / "S7_Protocol.xml")
            << "<S7_Protocol><S7_Protocol_Read>" << read << "</S7_Protocol_Read><S7_Protocol_Write>"
            << Rule("Y", "Real", 1497) << "</S7_Protocol_Write></S7_Protocol>";
        std::ofstream(folder / "IEC61850_Variables.xml") << "<IEC61850_Variables>" << variables << "</IEC61850_Variables>";
        return folder.string();
    }

    using Run_Result = qm::test::Cli_Run;
    Run_Result Run(const std::string& args) { return qm::test::Run_Cli(dir_, "map " + args); }

    fs::path dir_;
};

TEST_F(Cli_Map, JsonNamesEveryFinding) {
    const std::string folder =
        Config("faulty", Rule("Y", "Int", 20, 0, "Oven &quot;A&quot;") + Rule("N", "Int", 20) + Rule("Y", "Bit", 21, 3),
               Variable("Temp", "Int", 2, "Y", 20) + Variable("Level", "Float", 4, "Y", 40));
    const Run_Result r = Run("'" + folder + "' --json");
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.out,
              "{\"findings\": [\n"
              "  {\"kind\": \"past-end\", \"list\": \"s7-write\", \"rows\": [1], \"first_byte\": 1497, \"last_byte\": 1500, "
              "\"bit\": null, \"text\": \"write rule 1, bytes 1497 to 1500: past the end of the write array (bytes 0 to "
              "1499)\"},\n"
              "  {\"kind\": \"overlap\", \"list\": \"s7-read\", \"rows\": [1, 3], \"first_byte\": 21, \"last_byte\": 21, "
              "\"bit\": 3, \"text\": \"read rules 1 \\\"Oven \\\"A\\\"\\\" and 3: both fill byte 21, bit 3\"},\n"
              "  {\"kind\": \"unfed\", \"list\": \"variables\", \"rows\": [2], \"first_byte\": 40, \"last_byte\": 43, "
              "\"bit\": null, \"text\": \"read-only variable 2 \\\"Level\\\", bytes 40 to 43: no enabled read rule fills "
              "it, so it always shows 0\"}\n"
              "],\n\"left_out\": [],\n\"read_rules\": 2, \"write_rules\": 1, \"variables\": 2}\n");
}

TEST_F(Cli_Map, TextFormAndExitCodes) {
    // Writable Level is filled by the clients; the write rule past the end is fixed here.
    const fs::path clean = Config("clean", Rule("Y", "Int", 20, 0, "Oven"), Variable("Temp", "Int", 2, "Y", 20) +
                                                                                 Variable("Level", "Float", 4, "N", 40));
    std::ofstream(clean / "S7_Protocol.xml")
        << "<S7_Protocol><S7_Protocol_Read>" << Rule("Y", "Int", 20, 0, "Oven")
        << "</S7_Protocol_Read><S7_Protocol_Write>" << Rule("Y", "Real", 1496) << "</S7_Protocol_Write></S7_Protocol>";
    Run_Result r = Run("'" + clean.string() + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "No findings: the rules and the variables meet.\n"
                     "Data array (read rules and variables):\n"
                     "  bytes 20 to 21       read rule 1 \"Oven\"  shown by variable 1 \"Temp\"\n"
                     "  bytes 40 to 43       variable 2 \"Level\"  filled by no read rule\n"
                     "Write array (write rules):\n"
                     "  bytes 1496 to 1499   write rule 1\n");
    EXPECT_EQ(Run("'" + clean.string() + "' --json").code, 0);

    EXPECT_EQ(Run("").code, 2);
    EXPECT_EQ(Run("'" + clean.string() + "' --jsn").code, 2);
    fs::create_directories(dir_ / "empty");
    r = Run("'" + (dir_ / "empty").string() + "'");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("holds none of the configuration files"), std::string::npos) << r.err;
    EXPECT_EQ(Run("'" + (dir_ / "nowhere").string() + "'").code, 2);
    std::ofstream(clean / "IEC61850_Variables.xml") << "<IEC61850_Variables><row";
    r = Run("'" + clean.string() + "' --json");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("IEC61850_Variables.xml"), std::string::npos) << r.err;
}

} // namespace
