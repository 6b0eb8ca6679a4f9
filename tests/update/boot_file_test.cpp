#include "update/boot_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/xml_io.h"

namespace qm {
namespace {

const std::string Sep(1, Path_Separator());

// The operation table: element names and the value of each for the firmware and the three banks.
// "R" stands for the read-back flag, "G" for the go-to-application flag, "F" for the file.
struct Row {
    const char* name;
    const char* firmware;
    const char* bank;
};
const Row Operation_Table[20] = {
    {"Ope_Protection_Enabled", "", ""},
    {"Ope_GoToBoot_Before", "0", "0"},
    {"Ope_GoToApp_Before", "0", "0"},
    {"Ope_IP_Address", "", ""},
    {"Ope_Port", "2008", "2008"},
    {"Ope_Port_Sec", "2007", "2007"},
    {"Ope_Erase_Memory", "0", "0"},
    {"Ope_FileName", "F", "F"},
    {"Ope_Start_Address", "0x8000", "A"},
    {"Ope_Memory_Type", "0", "0"},
    {"Ope_Bank_Type", "1", "2"},
    {"Ope_Read_Back", "R", "R"},
    {"Ope_Write_CSS", "1", "0"},
    {"Ope_Address_CSS", "0x07A00", "0x07A00"},
    {"Ope_Command_CSS", "0x02", "0x02"},
    {"Ope_Write_Internal_Data", "0", "0"},
    {"Ope_WID_Address", "0x07810", "0x07810"},
    {"Ope_WID_Command", "0x02", "0x02"},
    {"Ope_WID_Data", "0x00, 0x00, 0x00, 0x01", "0x00, 0x00, 0x00, 0x01"},
    {"Ope_GoToApp_After", "G", "G"},
};

struct Expected_Operation {
    int kind; // 0 firmware, 1 to 3 bank
    bool go_to_app;
};

struct Option_Case {
    const char* name;
    int option;
    bool read_back;
    std::vector<Expected_Operation> operations;
};

std::vector<std::string> Child_Names(pugi::xml_node node) {
    std::vector<std::string> names;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        names.emplace_back(child.name());
    }
    return names;
}

class Boot_Document_Test : public ::testing::TestWithParam<Option_Case> {};

TEST_P(Boot_Document_Test, MatchesTheOperationTable) {
    const Option_Case& c = GetParam();
    Boot_Request request{{"192", "168", "2", "205"}, c.option, c.read_back, "/exe", "/exe/MASTER", "/exe/PROJECTS/P1"};
    pugi::xml_document doc;
    doc.append_child("Left_Over"); // the window's document may hold an earlier tree
    Build_Boot_Document(doc, request);

    const pugi::xml_node root = First_Node(doc);
    ASSERT_STREQ(root.name(), "Ethernet_Update");
    EXPECT_FALSE(root.next_sibling());
    EXPECT_EQ(Child_Names(root),
              (std::vector<std::string>{"Version", "Title", "IP_Address_Dev", "Application_Port", "Boot_Port",
                                        "Boot_Port_Sec", "Address_Protection", "Protections", "Operations"}));
    EXPECT_STREQ(root.child_value("Version"), "1000");
    EXPECT_STREQ(root.child_value("Title"), "Velmor - CF39174 Ethernet Update");
    EXPECT_STREQ(root.child_value("IP_Address_Dev"), "192.168.2.205");
    EXPECT_STREQ(root.child_value("Application_Port"), "10000");
    EXPECT_STREQ(root.child_value("Boot_Port"), "2008");
    EXPECT_STREQ(root.child_value("Boot_Port_Sec"), "2007");
    EXPECT_STREQ(root.child_value("Address_Protection"), "0x07800");
    EXPECT_EQ(Child_Names(root.child("Protections")), std::vector<std::string>{"Protection"});
    EXPECT_STREQ(root.child("Protections").child_value("Protection"), "0x2D4");
    EXPECT_TRUE(doc.select_nodes("//@*").empty()) << "every value is element text";

    const std::vector<std::string> files = {"/exe/MASTER" + Sep + "Sim39174.sim",
                                            "/exe/PROJECTS/P1" + Sep + "bin" + Sep + "bank1.bin",
                                            "/exe/PROJECTS/P1" + Sep + "bin" + Sep + "bank2.bin",
                                            "/exe/PROJECTS/P1" + Sep + "bin" + Sep + "bank3.bin"};
    const char* const addresses[4] = {"0x8000", "0x07000", "0x80000", "0xA0000"};

    const pugi::xml_node operations = root.child("Operations");
    ASSERT_EQ(Child_Names(operations), std::vector<std::string>(c.operations.size(), "Operation"));
    std::size_t index = 0;
    for (pugi::xml_node op : operations.children()) {
        const Expected_Operation& expected = c.operations[index++];
        SCOPED_TRACE("operation " + std::to_string(index));
        std::vector<std::string> names;
        std::size_t row = 0;
        for (pugi::xml_node field : op.children()) {
            ASSERT_LT(row, 20U);
            const Row& r = Operation_Table[row++];
            EXPECT_STREQ(field.name(), r.name);
            std::string value = expected.kind == 0 ? r.firmware : r.bank;
            if (value == "F") {
                value = files[static_cast<std::size_t>(expected.kind)];
            } else if (value == "A") {
                value = addresses[expected.kind];
            } else if (value == "R") {
                value = c.read_back ? "1" : "0";
            } else if (value == "G") {
                value = expected.go_to_app ? "1" : "0";
            }
            EXPECT_EQ(field.text().get(), value) << r.name;
        }
        EXPECT_EQ(row, 20U);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, Boot_Document_Test,
    ::testing::Values(
        Option_Case{"AllReadBack", 0, true, {{0, false}, {1, false}, {2, false}, {3, true}}},
        Option_Case{"AllNoReadBack", 0, false, {{0, false}, {1, false}, {2, false}, {3, true}}},
        Option_Case{"FirmwareReadBack", 1, true, {{0, true}}},
        Option_Case{"FirmwareNoReadBack", 1, false, {{0, true}}},
        Option_Case{"ConfigurationReadBack", 2, true, {{1, false}, {2, false}, {3, true}}},
        Option_Case{"ConfigurationNoReadBack", 2, false, {{1, false}, {2, false}, {3, true}}},
        Option_Case{"NoSuchOption", -1, true, {}}),
    [](const ::testing::TestParamInfo<Option_Case>& info) { return std::string(info.param.name); });

TEST(Boot_Document, AddressFieldsJoinedAsTyped) {
    pugi::xml_document doc;
    Build_Boot_Document(doc, Boot_Request{{" 10", "0x1", "", "abc"}, 1, true, "e", "m", "p"});
    EXPECT_STREQ(First_Node(doc).child_value("IP_Address_Dev"), " 10.0x1..abc");
}

class Boot_File_Test : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("qm_boot_file_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
        Set_Program_Starter({});
    }
    std::string Dir() const { return dir_.string(); }

    std::filesystem::path dir_;
};

TEST_F(Boot_File_Test, SavedBesideTheProgramReplacingTheOldFile) {
    const std::string path = Dir() + Sep + "Ethernet_Update.xml";
    ASSERT_TRUE(Write_File_Atomic(path, "old"));
    pugi::xml_document doc;
    const Io_Result saved =
        Compile_XML_Parameter_New_Boot(doc, Boot_Request{{"127", "0", "0", "1"}, 2, false, Dir(), "m", "p"});
    ASSERT_TRUE(saved) << saved.message;

    std::string text;
    ASSERT_TRUE(Read_File(path, text));
    EXPECT_EQ(text, Xml_To_String(doc));
    EXPECT_EQ(text.rfind("<Ethernet_Update><Version>1000</Version>", 0), 0U) << text;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()), 1)
        << "no temporary file is left behind";
}

TEST_F(Boot_File_Test, UnwritableFolderReportedAndOldFileKept) {
    const std::string blocked = Dir() + Sep + "Ethernet_Update.xml";
    std::filesystem::create_directory(blocked); // a folder where the file should go
    pugi::xml_document doc;
    Io_Result saved = Compile_XML_Parameter_New_Boot(doc, Boot_Request{{"1", "2", "3", "4"}, 0, true, Dir(), "m", "p"});
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.message.find("Ethernet_Update.xml"), std::string::npos) << saved.message;
    EXPECT_TRUE(std::filesystem::is_directory(blocked));

    saved = Compile_XML_Parameter_New_Boot(
        doc, Boot_Request{{"1", "2", "3", "4"}, 0, true, Dir() + Sep + "missing", "m", "p"});
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.message.find("missing"), std::string::npos) << saved.message;
}

TEST_F(Boot_File_Test, ToolStartedBesideTheProgramWithoutArguments) {
    std::vector<std::tuple<std::string, std::string, bool>> calls;
    Set_Program_Starter([&calls](const std::string& program, const std::string& parameter, bool hidden) {
        calls.emplace_back(program, parameter, hidden);
    });
    Start_Update_Tool(Dir());
#ifdef _WIN32
    const std::string tool = Dir() + Sep + "Ethernet_Update.exe";
#else
    const std::string tool = Dir() + Sep + "Ethernet_Update";
#endif
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0], std::make_tuple(tool, std::string(), false));
}

} // namespace
} // namespace qm
