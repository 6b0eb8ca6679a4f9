#include "instruction_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "common/xml_io.h"
#include "update/boot_file.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

// A program folder with the firmware and a configuration's three banks of the right sizes.
class Standin_Test : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("qm_standin_" + std::string(::testing::UnitTest::GetInstance()
                                                                              ->current_test_info()
                                                                              ->name()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "MASTER");
        fs::create_directories(root_ / "PROJECTS" / "P1" / "bin");
        Write(Path_Join(Master(), "Sim39174.sim"), 4096);
        Write(Bank(1), 2048);
        Write(Bank(2), 28672);
        Write(Bank(3), 1079);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Exe() const { return root_.string(); }
    std::string Master() const { return Path_Join(Exe(), "MASTER"); }
    std::string Project() const { return Path_Join(Path_Join(Exe(), "PROJECTS"), "P1"); }
    std::string Bank(int n) const {
        return Path_Join(Path_Join(Project(), "bin"), "bank" + std::to_string(n) + ".bin");
    }
    std::string Instructions() const { return Boot_File_Path(Exe()); }
    static void Write(const std::string& path, std::size_t size) {
        ASSERT_TRUE(Write_File_Atomic(path, std::string(size, '\x5A')));
    }

    // Writes the instruction file as the configurator does, then lets a case spoil it.
    void Write_Instructions(int option, const std::function<void(pugi::xml_node)>& spoil = {}) {
        pugi::xml_document doc;
        Build_Boot_Document(doc, Boot_Request{{"127", "0", "0", "1"}, option, true, Exe(), Master(), Project()});
        if (spoil) {
            spoil(First_Node(doc));
        }
        ASSERT_TRUE(Save_Xml_File(doc, Instructions()));
    }

    fs::path root_;
};

TEST_F(Standin_Test, AcceptsWhatTheConfiguratorWritesForEveryOption) {
    for (int option : {0, 1, 2}) {
        Write_Instructions(option);
        const standin::Instruction_Report report = standin::Check_Instruction_File(Instructions());
        ASSERT_TRUE(report.ok) << "option " << option << ": " << report.problem;
        EXPECT_EQ(report.device, "127.0.0.1");
        EXPECT_EQ(report.transfers.size(), option == 0 ? 4U : option == 1 ? 1U : 3U);
        EXPECT_TRUE(report.transfers.back().go_to_app_after);
    }
    const standin::Instruction_Report all = standin::Check_Instruction_File(Instructions());
    ASSERT_EQ(all.transfers.size(), 3U);
    EXPECT_EQ(all.transfers[0].start_address, 0x07000U);
    EXPECT_EQ(all.transfers[1].start_address, 0x80000U);
    EXPECT_EQ(all.transfers[2].start_address, 0xA0000U);
    EXPECT_EQ(all.transfers[2].size, 1079U);
}

pugi::xml_node Op(pugi::xml_node root, int n) {
    pugi::xml_node op = root.child("Operations").first_child();
    while (--n > 0) {
        op = op.next_sibling();
    }
    return op;
}

void Set(pugi::xml_node node, const char* child, const char* text) {
    node.child(child).text().set(text);
}

struct Bad_Case {
    const char* name;
    std::function<void(pugi::xml_node)> spoil;
    const char* problem; // part of the message
};

class Standin_Bad_Test : public Standin_Test, public ::testing::WithParamInterface<Bad_Case> {};

TEST_P(Standin_Bad_Test, NamesTheFirstProblem) {
    Write_Instructions(0, GetParam().spoil);
    const standin::Instruction_Report report = standin::Check_Instruction_File(Instructions());
    EXPECT_FALSE(report.ok);
    EXPECT_NE(report.problem.find(GetParam().problem), std::string::npos) << report.problem;
    EXPECT_EQ(report.problem.rfind(Instructions(), 0), 0U) << "names the instruction file: " << report.problem;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Standin_Bad_Test,
    ::testing::Values(
        Bad_Case{"RootRenamed", [](pugi::xml_node r) { r.set_name("Update"); }, "root element is not Ethernet_Update"},
        Bad_Case{"HeaderMissing", [](pugi::xml_node r) { r.remove_child("Boot_Port"); },
                 "element 5 of Ethernet_Update must be Boot_Port"},
        Bad_Case{"BadDevice", [](pugi::xml_node r) { Set(r, "IP_Address_Dev", "127.0.0"); }, "not an IPv4 address"},
        Bad_Case{"BadPort", [](pugi::xml_node r) { Set(r, "Boot_Port", "70000"); }, "Boot_Port \"70000\""},
        Bad_Case{"NoOperations", [](pugi::xml_node r) { r.child("Operations").remove_children(); },
                 "holds no Operation"},
        Bad_Case{"FieldsSwapped",
                 [](pugi::xml_node r) {
                     pugi::xml_node op = Op(r, 2);
                     op.insert_move_after(op.child("Ope_Port"), op.child("Ope_Port_Sec"));
                 },
                 "Operation 2: element 5 must be Ope_Port"},
        Bad_Case{"WrongAddress", [](pugi::xml_node r) { Set(Op(r, 3), "Ope_Start_Address", "0x80001"); },
                 "Operation 3: Ope_Start_Address \"0x80001\" is not the device address of the bank 2 (0x80000)"},
        Bad_Case{"AddressesCrossed", [](pugi::xml_node r) { Set(Op(r, 4), "Ope_Start_Address", "0x80000"); },
                 "Operation 4: Ope_Start_Address"},
        Bad_Case{"UnknownFile", [](pugi::xml_node r) { Set(Op(r, 1), "Ope_FileName", "/tmp/other.bin"); },
                 "is none of"},
        Bad_Case{"BankTwice", [](pugi::xml_node r) { r.child("Operations").append_copy(Op(r, 2)); },
                 "Operation 5: bank 1 is transferred twice"},
        Bad_Case{"AppStartedEarly", [](pugi::xml_node r) { Set(Op(r, 1), "Ope_GoToApp_After", "1"); },
                 "Operation 1 starts the application although transfers follow it"},
        Bad_Case{"AppNeverStarted", [](pugi::xml_node r) { Set(Op(r, 4), "Ope_GoToApp_After", "0"); },
                 "last Operation does not start the application"},
        Bad_Case{"ReadBackNotAFlag", [](pugi::xml_node r) { Set(Op(r, 2), "Ope_Read_Back", "yes"); },
                 "Ope_Read_Back \"yes\""}),
    [](const ::testing::TestParamInfo<Bad_Case>& info) { return std::string(info.param.name); });

TEST_F(Standin_Test, FilesMissingOrOfTheWrongSize) {
    struct File_Case {
        std::string file;
        std::size_t size; // 0: removed
        const char* problem;
    };
    const File_Case cases[] = {
        {Bank(2), 0, "bank2.bin does not exist"},
        {Bank(1), 2047, "has 2047 bytes, the bank 1 must have 2048 bytes"},
        {Bank(2), 28673, "the bank 2 must have 28672 bytes"},
        {Bank(3), 1078, "the bank 3 must have 1079 to 131072 bytes"},
        {Bank(3), 131073, "the bank 3 must have 1079 to 131072 bytes"},
    };
    for (const File_Case& c : cases) {
        SetUp(); // fresh files for each case
        Write_Instructions(2);
        if (c.size == 0) {
            fs::remove(c.file);
        } else {
            Write(c.file, c.size);
        }
        const standin::Instruction_Report report = standin::Check_Instruction_File(Instructions());
        EXPECT_FALSE(report.ok) << c.file;
        EXPECT_NE(report.problem.find(c.problem), std::string::npos) << report.problem;
    }
}

TEST_F(Standin_Test, UnreadableInstructionFile) {
    standin::Instruction_Report report = standin::Check_Instruction_File(Instructions());
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.problem, Instructions() + ": not found");

    ASSERT_TRUE(Write_File_Atomic(Instructions(), "<Ethernet_Update><Version>1000</Ethernet_Update>"));
    report = standin::Check_Instruction_File(Instructions());
    EXPECT_FALSE(report.ok);
    EXPECT_NE(report.problem.find("line 1"), std::string::npos) << report.problem;
}

#ifndef _WIN32
struct Tool_Run {
    int exit_code = -1;
    std::string output;
};

Tool_Run Run_Tool(const std::string& command) {
    Tool_Run run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) {
        return run;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        run.output += buffer;
    }
    const int status = ::pclose(pipe);
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The program starts the tool without arguments: it must find the instruction file beside itself.
TEST_F(Standin_Test, ToolReadsTheFileBesideItself) {
    const std::string tool = Path_Join(Exe(), "Ethernet_Update");
    fs::copy_file(QM_STANDIN_TOOL, tool);
    Write_Instructions(0);

    Tool_Run run = Run_Tool("'" + tool + "'");
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_NE(run.output.find("stand-in"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("4. would transfer the bank 3 " + Bank(3) + " (1079 bytes) to 0xA0000, read back, "
                              "then start the application"),
              std::string::npos)
        << run.output;

    fs::remove(Bank(1));
    run = Run_Tool("'" + tool + "'");
    EXPECT_EQ(run.exit_code, 1) << run.output;
    EXPECT_NE(run.output.find("Operation 2: " + Bank(1) + " does not exist"), std::string::npos) << run.output;

    run = Run_Tool("'" + tool + "' --help");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_NE(run.output.find("stand-in"), std::string::npos) << run.output;

    run = Run_Tool("'" + tool + "' '" + Path_Join(Exe(), "none.xml") + "'");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.output.find("none.xml: not found"), std::string::npos) << run.output;
}
#endif

} // namespace
} // namespace qm
