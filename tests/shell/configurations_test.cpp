#include "shell/configurations.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/file_io.h"
#include "common/app_state.h"
#include "shell/settings.h"
#include "temp_dir.h"

namespace qm {
namespace {

using test::Temp_Dir;
using test::Write_Text;

class Configurations_Test : public ::testing::Test {
protected:
    void SetUp() override {
        State() = App_State{};
        Init_Workspace(dir.Path());
    }
    std::string Projects(const std::string& name) const { return Path_Join(State().Paths.Projects_Dir, name); }
    Temp_Dir dir;
};

TEST_F(Configurations_Test, CreatesTheFolderWithBinAndOpensIt) {
    ASSERT_EQ(Create_Configuration("Plant_A"), 0);
    EXPECT_TRUE(Dir_Exists(Projects("Plant_A")));
    EXPECT_TRUE(Dir_Exists(Path_Join(Projects("Plant_A"), "bin")));
    EXPECT_EQ(State().Settings.Project_Name, "Plant_A");
    EXPECT_EQ(State().Project.Project_Dir, Projects("Plant_A"));
    EXPECT_EQ(State().Project.S7_Protocol_File, Path_Join(Projects("Plant_A"), "S7_Protocol.xml"));
    EXPECT_EQ(Open_Configuration_Name(), "Plant_A");

    // Blanks are part of the name as typed.
    ASSERT_EQ(Create_Configuration(" Plant B "), 0);
    EXPECT_TRUE(Dir_Exists(Projects(" Plant B ")));
    EXPECT_EQ(State().Settings.Project_Name, " Plant B ");
}

struct Refusal_Case {
    const char* label;
    std::string name;
    int entry;
};

class Create_Refusal_Test : public Configurations_Test, public ::testing::WithParamInterface<Refusal_Case> {};

TEST_P(Create_Refusal_Test, RefusesAndLeavesEverythingAsItWas) {
    ASSERT_EQ(Create_Configuration("Existing"), 0);
    Write_Text(Projects("notes.txt"), "x");
    Open_Configuration("");
    const auto before = std::distance(std::filesystem::recursive_directory_iterator(dir.Path()),
                                      std::filesystem::recursive_directory_iterator());

    EXPECT_EQ(Create_Configuration(GetParam().name), GetParam().entry);
    EXPECT_EQ(State().Project.Project_Dir, "");
    EXPECT_EQ(State().Settings.Project_Name, "");
    const auto after = std::distance(std::filesystem::recursive_directory_iterator(dir.Path()),
                                     std::filesystem::recursive_directory_iterator());
    EXPECT_EQ(after, before) << "nothing may be created";
}

INSTANTIATE_TEST_SUITE_P(Cases, Create_Refusal_Test,
                         ::testing::Values(Refusal_Case{"Empty", "", 107},
                                           Refusal_Case{"FolderExists", "Existing", 106},
                                           Refusal_Case{"FileOfThatName", "notes.txt", 105},
                                           Refusal_Case{"ParentFolder", "..", 105},
                                           Refusal_Case{"SameFolder", ".", 105},
                                           Refusal_Case{"ClimbsOut", "../MASTER2", 105},
                                           Refusal_Case{"SubFolder", "Existing/inner", 105},
                                           Refusal_Case{"Backslash", "a\\b", 105}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Configurations_Test, ListsFoldersOnlySortedIgnoringCase) {
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2", ".hidden"}) {
        Make_Dir(Projects(name));
    }
    Write_Text(Projects("zeta.txt"), "x");
    Make_Dir(Path_Join(Projects("beta"), "nested"));
    EXPECT_EQ(Load_Existing_Configuration(State().Paths.Projects_Dir),
              (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "gamma"}));
    EXPECT_TRUE(Load_Existing_Configuration(dir / "missing").empty());
}

TEST(Search_Open_Conf, IgnoresTheCaseOfAsciiLettersOnly) {
    const std::vector<std::string> names = {"alpha", "Beta", "beta", "\xC3\x89t\xC3\xA9"};
    EXPECT_EQ(Search_Open_Conf(names, "beta"), 1) << "the first match counts";
    EXPECT_EQ(Search_Open_Conf(names, "BETA"), 1);
    EXPECT_EQ(Search_Open_Conf(names, "ALPHA"), 0);
    EXPECT_EQ(Search_Open_Conf(names, "\xC3\xA9t\xC3\xA9"), -1);
    EXPECT_EQ(Search_Open_Conf(names, ""), -1);
    EXPECT_EQ(Search_Open_Conf({}, "alpha"), -1);
}

TEST_F(Configurations_Test, OpeningSetsOrClearsThePaths) {
    Open_Configuration("Beta");
    EXPECT_EQ(State().Project.Project_Dir, Projects("Beta"));
    EXPECT_EQ(State().Project.ParGen_File, Path_Join(Projects("Beta"), "ParGen.xml"));
    EXPECT_EQ(Open_Configuration_Name(), "Beta");
    Open_Configuration("");
    EXPECT_EQ(State().Project.Project_Dir, "");
    EXPECT_EQ(State().Project.ParGen_File, "");
    EXPECT_EQ(Open_Configuration_Name(), "");
}

} // namespace
} // namespace qm
