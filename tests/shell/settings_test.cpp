#include "shell/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "common/xml_io.h"
#include "language/lang_table.h"
#include "temp_dir.h"

namespace qm {

void PrintTo(const Settings_Data& s, std::ostream* out) {
    *out << "{name='" << s.Project_Name << "' ip='" << s.Last_IP_Address << "' lang='" << s.Language
         << "' internet=" << s.Enable_Internet << " update=" << s.Enable_Update
         << " jump=" << s.Enable_Jump_Field_Tables << " autosize=" << s.Double_Click_Auto_Size << "}";
}

namespace {

using test::Read_Text;
using test::Temp_Dir;
using test::Write_Text;

Settings_Data Make(std::string name, std::string ip, std::string language, bool internet, bool update, bool jump,
                   bool autosize) {
    return {std::move(name), std::move(ip), std::move(language), internet, update, jump, autosize};
}

const Settings_Data Defaults = Make("", "192.168.2.205", "English", false, false, false, false);

const char* const Full_File =
    "<Conf_Settings><lastproj><projectname>Plant_A</projectname></lastproj>"
    "<lastipadd><ipaddress>127.0.0.9</ipaddress></lastipadd><lastlang><language>Deutsch</language></lastlang>"
    "<lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update>"
    "<enable_jump_field_tables>1</enable_jump_field_tables><Double_Click_Auto_Size>1</Double_Click_Auto_Size>"
    "</lastinternet></Conf_Settings>";

struct Read_Case {
    const char* name;
    std::string xml;
    Settings_Data expected;
};

class Read_Settings_Test : public ::testing::TestWithParam<Read_Case> {};

TEST_P(Read_Settings_Test, ReadsEachValueOnItsOwn) {
    pugi::xml_document doc;
    ASSERT_TRUE(Load_Xml_Text(GetParam().xml, "case", doc).ok());
    EXPECT_EQ(Read_Settings(doc), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Read_Settings_Test,
    ::testing::Values(
        Read_Case{"AllValues", Full_File, Make("Plant_A", "127.0.0.9", "Deutsch", true, true, true, true)},
        Read_Case{"RootNameIsNotChecked", "<Other><lastproj><projectname>P</projectname></lastproj></Other>",
                  Make("P", "192.168.2.205", "English", false, false, false, false)},
        Read_Case{"CommentBeforeRootGivesDefaults", std::string("<!-- saved by hand -->") + Full_File, Defaults},
        Read_Case{"OnlyEnableInternet",
                  "<C><lastinternet><enable_internet>1</enable_internet></lastinternet></C>",
                  Make("", "192.168.2.205", "English", true, false, false, false)},
        Read_Case{"BooleansAreTrueOnlyForOne",
                  "<C><lastinternet><enable_internet>true</enable_internet><enable_update></enable_update>"
                  "<enable_jump_field_tables> 1</enable_jump_field_tables>"
                  "<Double_Click_Auto_Size>01</Double_Click_Auto_Size></lastinternet></C>",
                  Defaults},
        Read_Case{"EmptyElementsGiveEmptyTexts",
                  "<C><lastproj><projectname/></lastproj><lastipadd><ipaddress></ipaddress></lastipadd>"
                  "<lastlang><language/></lastlang></C>",
                  Make("", "", "", false, false, false, false)},
        Read_Case{"BlanksAreKept", "<C><lastproj><projectname>  </projectname></lastproj></C>",
                  Make("  ", "192.168.2.205", "English", false, false, false, false)},
        Read_Case{"ValueOutsideItsGroupIsNotRead",
                  "<C><projectname>P</projectname><lastipadd><language>Deutsch</language></lastipadd></C>",
                  Defaults},
        Read_Case{"ContentThatIsNotPlainTextGivesTheDefault",
                  "<C><lastproj><projectname>P<b/></projectname></lastproj>"
                  "<lastipadd><ipaddress>127.0.0.1<!-- x --></ipaddress></lastipadd>"
                  "<lastlang><language><![CDATA[Fran&ais]]></language></lastlang></C>",
                  Make("", "192.168.2.205", "Fran&ais", false, false, false, false)},
        Read_Case{"FirstOfTwoIsRead",
                  "<C><lastproj><projectname>one</projectname><projectname>two</projectname></lastproj>"
                  "<lastproj><projectname>three</projectname></lastproj></C>",
                  Make("one", "192.168.2.205", "English", false, false, false, false)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Settings_Writer, WritesTheFixedTreeWithoutDeclaration) {
    EXPECT_EQ(Settings_To_Xml(Defaults),
              "<Conf_Settings><lastproj><projectname/></lastproj>"
              "<lastipadd><ipaddress>192.168.2.205</ipaddress></lastipadd>"
              "<lastlang><language>English</language></lastlang>"
              "<lastinternet><enable_internet>0</enable_internet><enable_update>0</enable_update>"
              "<enable_jump_field_tables>0</enable_jump_field_tables>"
              "<Double_Click_Auto_Size>0</Double_Click_Auto_Size></lastinternet></Conf_Settings>");

    const Settings_Data odd = Make("A&B <\xC3\xA9t\xC3\xA9>", " 1.2.3.4", "Deutsch", true, false, true, false);
    const std::string xml = Settings_To_Xml(odd);
    EXPECT_NE(xml.find("<projectname>A&amp;B &lt;\xC3\xA9t\xC3\xA9&gt;</projectname>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<enable_internet>1</enable_internet><enable_update>0</enable_update>"
                       "<enable_jump_field_tables>1</enable_jump_field_tables>"),
              std::string::npos)
        << xml;
    pugi::xml_document doc;
    ASSERT_TRUE(Load_Xml_Text(xml, "written", doc).ok());
    EXPECT_EQ(Read_Settings(doc), odd);
}

class Start_Up_Test : public ::testing::Test {
protected:
    void SetUp() override { State() = App_State{}; }
    Temp_Dir dir;
};

TEST_F(Start_Up_Test, FirstStartInAnEmptyFolder) {
    const Start_Up_Result result = Start_Up(dir.Path());
    EXPECT_TRUE(result.problem.empty()) << result.problem;
    for (const char* folder : {"MASTER", "PROJECTS", "LANGUAGE"}) {
        EXPECT_TRUE(Dir_Exists(dir / folder)) << folder;
    }
    EXPECT_EQ(State().Paths.Projects_Dir, Path_Join(dir.Path(), "PROJECTS"));
    EXPECT_EQ(State().Settings, Defaults);
    EXPECT_TRUE(State().Project.Project_Dir.empty());
    EXPECT_TRUE(State().Project.ParGen_File.empty());
    EXPECT_EQ(Lang(18), Default_String(18));

    ASSERT_TRUE(Save_Setting());
    EXPECT_EQ(Read_Text(dir / "Quillmaker.xml"), Settings_To_Xml(Defaults));
}

TEST_F(Start_Up_Test, OtherRootNameIsWrittenBackAsConfSettings) {
    Write_Text(dir / "Quillmaker.xml",
               "<?xml version=\"1.0\"?><Old><lastlang><language>Nowhere</language></lastlang><extra/></Old>");
    Start_Up(dir.Path());
    // No Nowhere.lng and no English.lng: the language falls back and is stored so.
    EXPECT_EQ(State().Settings.Language, "English");
    ASSERT_TRUE(Save_Setting());
    EXPECT_EQ(Read_Text(dir / "Quillmaker.xml"), Settings_To_Xml(Defaults));
}

TEST_F(Start_Up_Test, NotWellFormedFileIsTreatedAsMissingAndKeptBeforeTheSave) {
    const std::string bad = "<Conf_Settings><lastproj><projectname>Plant</lastproj>\n";
    Write_Text(dir / "Quillmaker.xml", bad);
    const Start_Up_Result result = Start_Up(dir.Path());
    EXPECT_EQ(State().Settings, Defaults);
    EXPECT_NE(result.problem.find(Path_Join(dir.Path(), "Quillmaker.xml")), std::string::npos) << result.problem;
    EXPECT_NE(result.problem.find("line 1"), std::string::npos) << result.problem;
    EXPECT_EQ(Read_Text(dir / "Quillmaker.xml"), bad) << "start-up must not touch the file";

    ASSERT_TRUE(Save_Setting());
    EXPECT_EQ(Read_Text(dir / "Quillmaker.xml.unreadable-1"), bad);
    EXPECT_EQ(Read_Text(dir / "Quillmaker.xml"), Settings_To_Xml(Defaults));
    // Only the damaged file is kept, not every later one.
    ASSERT_TRUE(Save_Setting());
    EXPECT_FALSE(File_Exists(dir / "Quillmaker.xml.unreadable-2"));
}

TEST_F(Start_Up_Test, UnreadableFileIsNotReplacedWhenNoCopyCanBeKept) {
    const std::string bad = "not xml";
    Write_Text(dir / "Quillmaker.xml", bad);
    Start_Up(dir.Path());
    // Every backup name taken: the copy cannot be made.
    for (int n = 1; n < 1000; ++n) {
        Make_Dir(dir / ("Quillmaker.xml.unreadable-" + std::to_string(n)));
    }
    const Io_Result saved = Save_Setting();
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.message.find("Quillmaker.xml"), std::string::npos) << saved.message;
    EXPECT_EQ(Read_Text(dir / "Quillmaker.xml"), bad);
}

TEST_F(Start_Up_Test, FailedSaveGivesItsReason) {
    Start_Up(dir.Path());
    Make_Dir(dir / "Quillmaker.xml"); // a folder where the file should go
    const Io_Result saved = Save_Setting();
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.message.find(Path_Join(dir.Path(), "Quillmaker.xml")), std::string::npos) << saved.message;
}

struct Reopen_Case {
    const char* name;
    std::string remembered;
    const char* folder_to_make; // under the test folder; nullptr for none
    const char* file_to_make;   // the same for a plain file
    bool opens;
};

class Reopen_Test : public ::testing::TestWithParam<Reopen_Case> {
protected:
    void SetUp() override { State() = App_State{}; }
    Temp_Dir dir;
};

TEST_P(Reopen_Test, OpensOnlyAnExistingFolderUnderProjects) {
    const Reopen_Case& c = GetParam();
    Init_Workspace(dir.Path());
    if (c.folder_to_make != nullptr) {
        std::filesystem::create_directories(dir / c.folder_to_make);
    }
    if (c.file_to_make != nullptr) {
        Write_Text(dir / c.file_to_make, "x");
    }
    Write_Text(dir / "Quillmaker.xml",
               "<Conf_Settings><lastproj><projectname>" + c.remembered + "</projectname></lastproj></Conf_Settings>");
    State() = App_State{};
    Start_Up(dir.Path());

    const Project_Files& project = State().Project;
    EXPECT_EQ(State().Settings.Project_Name, c.remembered) << "the name is kept to be written back";
    if (c.opens) {
        const std::string folder = Path_Join(State().Paths.Projects_Dir, c.remembered);
        EXPECT_EQ(project.Project_Dir, folder);
        EXPECT_EQ(project.ParGen_File, Path_Join(folder, "ParGen.xml"));
        EXPECT_EQ(project.S7_Protocol_File, Path_Join(folder, "S7_Protocol.xml"));
        EXPECT_EQ(project.IEC61850_Variables_File, Path_Join(folder, "IEC61850_Variables.xml"));
        EXPECT_EQ(project.TLS_Known_Cert_File, Path_Join(folder, "TLS_Known_Cert.xml"));
    } else {
        EXPECT_EQ(project.Project_Dir, "");
        EXPECT_EQ(project.ParGen_File, "");
        EXPECT_EQ(project.TLS_Known_Cert_File, "");
    }
    ASSERT_TRUE(Save_Setting());
    const std::string written =
        c.remembered.empty() ? "<projectname/>" : "<projectname>" + c.remembered + "</projectname>";
    EXPECT_NE(Read_Text(dir / "Quillmaker.xml").find("<lastproj>" + written), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Cases, Reopen_Test,
                         ::testing::Values(Reopen_Case{"Existing", "Plant_A", "PROJECTS/Plant_A", nullptr, true},
                                           Reopen_Case{"FolderDeleted", "Plant_A", nullptr, nullptr, false},
                                           Reopen_Case{"NoneRemembered", "", nullptr, nullptr, false},
                                           Reopen_Case{"FileNotFolder", "notes.txt", nullptr, "PROJECTS/notes.txt", false},
                                           Reopen_Case{"OutsideProjects", "../MASTER", "MASTER", nullptr, false},
                                           Reopen_Case{"DeeperFolder", "a/b", "PROJECTS/a/b", nullptr, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace qm

#ifndef _WIN32
namespace qm {
namespace {

// An installed program cannot write beside itself: with the marker beside it the workspace is
// the user's data folder, seeded once with the shipped language files.
class Installed_Workspace_Test : public ::testing::Test {
protected:
    void SetUp() override {
        State() = App_State{};
        const char* kept = std::getenv("XDG_DATA_HOME");
        had_ = kept != nullptr;
        kept_ = had_ ? kept : "";
        std::filesystem::create_directories(program.Path() + "/LANGUAGE");
        Write_Text(program / "LANGUAGE/Italiano.lng", "STR15 = Nuova Configurazione\r\n");
        std::filesystem::permissions(program / "LANGUAGE/Italiano.lng", std::filesystem::perms::owner_read);
        Write_Text(program / "Ethernet_Update", "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$1\")/tool-was-given\"\n");
        std::filesystem::permissions(program / "Ethernet_Update", std::filesystem::perms::owner_all);
        ::setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    }
    void TearDown() override {
        if (had_) {
            ::setenv("XDG_DATA_HOME", kept_.c_str(), 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
    }
    Temp_Dir program;
    Temp_Dir data;
    bool had_ = false;
    std::string kept_;
};

TEST_F(Installed_Workspace_Test, WithoutTheMarkerTheWorkspaceStaysBesideTheProgram) {
    Start_Up(program.Path());
    EXPECT_EQ(State().Paths.Exe_Dir, program.Path());
    EXPECT_TRUE(Dir_Exists(program / "PROJECTS"));
    EXPECT_FALSE(Dir_Exists(data / "Quillmaker"));
}

TEST_F(Installed_Workspace_Test, MarkerPutsTheWorkspaceInTheUsersDataFolder) {
    Write_Text(program / Installed_Marker_Name, "");
    const std::string workspace = data / "Quillmaker";
    Start_Up(program.Path());
    EXPECT_EQ(State().Paths.Exe_Dir, workspace);
    EXPECT_EQ(State().Paths.Projects_Dir, Path_Join(workspace, "PROJECTS"));
    for (const char* folder : {"MASTER", "PROJECTS", "LANGUAGE"}) {
        EXPECT_TRUE(Dir_Exists(Path_Join(workspace, folder))) << folder;
        EXPECT_FALSE(Dir_Exists(program / folder) && std::string(folder) != "LANGUAGE") << folder;
    }
    ASSERT_TRUE(Save_Setting());
    EXPECT_TRUE(File_Exists(Path_Join(workspace, "Quillmaker.xml")));
    EXPECT_FALSE(File_Exists(program / "Quillmaker.xml"));

    // Seeded, and the user's copy is the user's to edit (and so is offered by the options window).
    const std::string seeded = Path_Join(workspace, "LANGUAGE/Italiano.lng");
    EXPECT_EQ(Read_Text(seeded), "STR15 = Nuova Configurazione\r\n");
    EXPECT_TRUE(Is_Offered_Language_File(seeded));
    std::string language = "Italiano";
    Init_Language(State().Paths.Language_Dir, language);
    EXPECT_EQ(Lang(15), "Nuova Configurazione");

    // Only the first start seeds: a file the user removed or changed stays so.
    Write_Text(seeded, "STR15 = mine\r\n");
    State() = App_State{};
    Start_Up(program.Path());
    EXPECT_EQ(Read_Text(seeded), "STR15 = mine\r\n");
}

// As installed: the program in <prefix>/lib/quillmaker, the example in <prefix>/share. A new user
// finds it among the configurations; once removed, it does not come back.
TEST_F(Installed_Workspace_Test, FirstStartCopiesTheExampleIntoTheUsersProjects) {
    namespace fs = std::filesystem;
    Temp_Dir prefix;
    const std::string exe = prefix / "lib/quillmaker";
    const std::string example = prefix / "share/quillmaker/examples/Example";
    fs::create_directories(exe + "/LANGUAGE");
    fs::create_directories(example + "/bin");
    Write_Text(exe + "/" + Installed_Marker_Name, "");
    Write_Text(example + "/ParGen.xml", "<Par_Gen/>");
    fs::permissions(example + "/ParGen.xml", fs::perms::owner_read);
    Start_Up(exe);
    const std::string copy = Path_Join(State().Paths.Projects_Dir, "Example");
    EXPECT_EQ(Read_Text(copy + "/ParGen.xml"), "<Par_Gen/>");
    EXPECT_TRUE(Dir_Exists(copy + "/bin"));
    EXPECT_NE(fs::status(copy + "/ParGen.xml").permissions() & fs::perms::owner_write, fs::perms::none);

    fs::remove_all(copy);
    State() = App_State{};
    Start_Up(exe);
    EXPECT_FALSE(Dir_Exists(copy));
}

TEST_F(Installed_Workspace_Test, UpdateToolIsStartedOnTheWorkspacesInstructionFile) {
    Write_Text(program / Installed_Marker_Name, "");
    Start_Up(program.Path());
    const std::string starter = Path_Join(State().Paths.Exe_Dir, "Ethernet_Update");
    ASSERT_TRUE(File_Exists(starter));
    ASSERT_EQ(std::system(("'" + starter + "'").c_str()), 0);
    EXPECT_EQ(Read_Text(Path_Join(State().Paths.Exe_Dir, "tool-was-given")),
              Path_Join(State().Paths.Exe_Dir, "Ethernet_Update.xml"));
}

} // namespace
} // namespace qm
#endif
