// The folders around the files: a missing or blocked bin folder, a program folder where nothing
// can be created, a language folder full of junk, and a configuration folder that tries to make
// a save write somewhere else.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "common/file_io.h"
#include "fault_env.h"
#include "image/image_builder.h"
#include "language/lang_table.h"
#include "parameters/par_gen.h"
#include "common/app_state.h"
#include "shell/configurations.h"
#include "shell/settings.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

Build_Result Build_Defaults_Into(const std::string& project) {
    auto image = std::make_unique<Device_Image>();
    const Build_Result built = Build_Device_Image(*image, Build_Files_In(project));
    return built ? Write_Bank_Files(*image, project) : built;
}

struct Bin_Case {
    const char* name;
    std::function<std::string(const std::string& project)> prepare; // "" or a reason to skip
    bool written;
    const char* message; // part of the message naming what stopped the write
};

class Bin_Folder : public ::testing::TestWithParam<Bin_Case> {};

TEST_P(Bin_Folder, BankFilesAreWrittenOrTheReasonNamesTheFolder) {
    const Bin_Case& c = GetParam();
    Scratch_Folder scratch;
    const std::string project = scratch / "Plant";
    fs::create_directory(project);
    std::unique_ptr<Mount> mount;
    if (std::string(c.name) == "NotWritable" || std::string(c.name) == "MissingInReadOnlyProject") {
        const std::string folder = std::string(c.name) == "NotWritable" ? project + "/bin" : project;
        c.prepare(project);
        mount = Mount::Read_Only(folder);
        if (!mount->Problem().empty()) {
            GTEST_SKIP() << mount->Problem();
        }
    } else {
        c.prepare(project);
    }
    const Folder_Snapshot before = Snapshot(project);

    const Build_Result result = Build_Defaults_Into(project);

    EXPECT_EQ(result.ok(), c.written) << result.message;
    if (c.written) {
        EXPECT_EQ(fs::file_size(project + "/bin/bank1.bin"), 2048U);
        EXPECT_EQ(fs::file_size(project + "/bin/bank2.bin"), 28672U);
        EXPECT_EQ(fs::file_size(project + "/bin/bank3.bin"), 1079U);
    } else {
        EXPECT_NE(result.message.find(project + "/bin"), std::string::npos) << result.message;
        EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
        EXPECT_EQ(Snapshot_Difference(before, Snapshot(project)), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Bin_Folder,
    ::testing::Values(Bin_Case{"Missing", [](const std::string&) { return std::string(); }, true, ""},
                      Bin_Case{"IsAFile",
                               [](const std::string& p) {
                                   Write_Text(p + "/bin", "notes");
                                   return std::string();
                               },
                               false, "cannot be created"},
                      Bin_Case{"MissingInReadOnlyProject", [](const std::string&) { return std::string(); }, false,
                               "cannot be created"},
                      Bin_Case{"NotWritable",
                               [](const std::string& p) {
                                   fs::create_directory(p + "/bin");
                                   for (const char* bank : Bank_File_Names) {
                                       Write_Text(p + "/bin/" + bank, "earlier");
                                   }
                                   return std::string();
                               },
                               false, "Read-only file system"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Program_Folder, ReadOnlyWithoutWorkspaceStartsAndRefusesWithReasons) {
    Scratch_Folder scratch;
    const std::string exe = scratch / "Program";
    fs::create_directory(exe);
    const std::unique_ptr<Mount> mount = Mount::Read_Only(exe);
    if (!mount->Problem().empty()) {
        GTEST_SKIP() << mount->Problem();
    }
    State() = App_State{};

    const Start_Up_Result started = Start_Up(exe);

    EXPECT_EQ(started.problem, "") << "missing folders are not reported at start";
    EXPECT_FALSE(Dir_Exists(State().Paths.Projects_Dir));
    EXPECT_EQ(State().Project.Project_Dir, "");
    EXPECT_EQ(State().Settings.Language, "English");
    ASSERT_EQ(Lang_Table.size(), static_cast<std::size_t>(Lang_Table_Size));
    EXPECT_EQ(Create_Configuration("Plant"), 105) << "the folder cannot be created";
    const Io_Result saved = Save_Setting();
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.message.find(exe + "/Quillmaker.xml"), std::string::npos) << saved.message;
    EXPECT_TRUE(fs::is_empty(exe));
}

struct Junk_Case {
    const char* name;
    const char* language;          // the setting before
    const char* language_after;    // the setting after (the fall-back changes it)
    bool ok;
    const char* message;           // part of the message; "" when none is expected
};

class Junk_Language_Folder : public ::testing::TestWithParam<Junk_Case> {
protected:
    static void SetUpTestSuite() {
        folder_ = new Scratch_Folder;
        const std::string dir = folder_->Path();
        fs::create_directory(dir + "/English.lng"); // a folder where the fall-back looks
        fs::create_directory(dir + "/Folder.lng");
        std::string binary(4096, '\0');
        for (std::size_t i = 0; i < binary.size(); ++i) {
            binary[i] = static_cast<char>(i * 7);
        }
        Write_Text(dir + "/Binary.lng", binary);
        ::mkfifo((dir + "/Pipe.lng").c_str(), 0644);
        fs::create_symlink("Loop.lng", dir + "/Loop.lng");
        fs::create_symlink("gone.lng", dir + "/Dangling.lng");
        Write_Text(dir + "/Empty.lng", "");
        // Sparse: 65 MiB on paper, nothing on the disk; it is refused by its size alone.
        { std::ofstream(dir + "/Huge.lng"); }
        fs::resize_file(dir + "/Huge.lng", 65ULL * 1024 * 1024);
        Write_Text(dir + "/Long.lng", "STR15 = " + std::string(4 * 1024 * 1024, 'x'));
        std::string utf16;
        for (const char c : std::string_view("STR15 = x")) {
            utf16 += {c, '\0'};
        }
        Write_Text(dir + "/Utf16NoBom.lng", utf16);
        Write_Text(dir + "/Locked.lng", "STR15 = Locked");
        fs::permissions(dir + "/Locked.lng", fs::perms::none);
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static Scratch_Folder* folder_;
};

Scratch_Folder* Junk_Language_Folder::folder_ = nullptr;

TEST_P(Junk_Language_Folder, LoadsOrFallsBackWithoutHangingOrCrashing) {
    const Junk_Case& c = GetParam();
    const Permission_Bits_Apply bits;
    if (std::string(c.name) == "Unreadable" && !bits.Problem().empty()) {
        GTEST_SKIP() << bits.Problem();
    }
    std::string language = c.language;
    const auto start = std::chrono::steady_clock::now();

    const Language_Load_Result result = Init_Language(folder_->Path(), language);

    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(language, c.language_after);
    EXPECT_EQ(result.ok, c.ok) << result.message;
    if (*c.message != '\0') {
        EXPECT_NE(result.message.find(folder_->Path() + "/" + c.language + ".lng"), std::string::npos)
            << result.message;
        EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
    }
    ASSERT_EQ(Lang_Table.size(), static_cast<std::size_t>(Lang_Table_Size));
    if (!c.ok) {
        EXPECT_EQ(Lang(15), Default_String(15)) << "a refused file changes nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Junk_Language_Folder,
    ::testing::Values(Junk_Case{"Binary", "Binary", "Binary", false, "not a text file"},
                      Junk_Case{"Pipe", "Pipe", "English", true, ""},
                      Junk_Case{"LinkLoop", "Loop", "English", true, ""},
                      Junk_Case{"DanglingLink", "Dangling", "English", true, ""},
                      Junk_Case{"FolderNamedLng", "Folder", "English", true, ""},
                      Junk_Case{"Empty", "Empty", "Empty", true, ""},
                      Junk_Case{"Over64MiB", "Huge", "Huge", false, "too large"},
                      Junk_Case{"OneLineOf4MiB", "Long", "Long", true, ""},
                      Junk_Case{"Utf16WithoutMark", "Utf16NoBom", "Utf16NoBom", false, "byte-order mark"},
                      Junk_Case{"Unreadable", "Locked", "Locked", false, "Permission denied"},
                      Junk_Case{"PathInsteadOfName", "../LANGUAGE/Binary", "English", true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Planted_Link, SaveNeverWritesThroughALinkOutsideTheFolder) {
    Scratch_Folder scratch;
    const std::string project = scratch / "Plant";
    fs::create_directory(project);
    const std::string outside = scratch / "outside.txt";
    Write_Text(outside, "a file of someone else");
    // A folder unpacked from an archive may carry links under the names a save takes.
    fs::create_symlink(outside, project + "/ParGen.xml.tmp~");

    const Par_Gen_Save saved = Save_Par_Gen(Par_Gen_Defaults(), project + "/ParGen.xml", false);

    ASSERT_TRUE(saved.ok) << saved.message;
    EXPECT_EQ(Read_Text(outside), "a file of someone else");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(project + "/ParGen.xml")));
    EXPECT_EQ(Read_Par_Gen(project + "/ParGen.xml").set, Par_Gen_Defaults());

    // With the temporary's name taken by the link, the save fails rather than write through it.
    Set_Fixed_Temporary_Names(true);
    const Par_Gen_Save blocked = Save_Par_Gen(Par_Gen_Defaults(), project + "/ParGen.xml", false);
    Set_Fixed_Temporary_Names(false);
    EXPECT_FALSE(blocked.ok);
    EXPECT_EQ(Read_Text(outside), "a file of someone else");
}

TEST(Configuration_Name, NamesThatWouldLeaveProjectsOnSomePlatformAreRefused) {
    for (const char* name : {"..", ".", "...", ".. ", " . ", "a/b", "a\\b", "C:x", "a\tb", "\x01"}) {
        EXPECT_FALSE(Is_Single_Folder_Name(name)) << "\"" << name << "\"";
    }
    for (const char* name : {"Plant 1", " Plant B ", "v1.2", "..Plant", "Anlage \xF0\x9F\x98\x80"}) {
        EXPECT_TRUE(Is_Single_Folder_Name(name)) << "\"" << name << "\"";
    }
}

} // namespace
} // namespace qm::test
