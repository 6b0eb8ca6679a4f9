// Files a user cannot lose: one the program may not read, and one cut short (half copied from a
// stick). Reading says which file and where; the editor's next save keeps a copy of a file it
// could not read completely, or does not replace it at all; the build stops and writes nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "fault_env.h"
#include "image/image_builder.h"
#include "parameters/par_gen.h"
#include "common/app_state.h"
#include "shell/settings.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/tls_known_cert.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    bool ok = false; // read: complete; save: saved
    std::string message;
};

// A file the user edits, with what the program does with it: the editor's reading, and the
// editor's reading followed by its OK (saving what it read, with a copy of the old file kept
// when that reading was not complete).
struct User_File {
    const char* name;
    const char* file;
    bool built; // an input of the image builder
    std::function<Outcome(const std::string& path)> read;
    std::function<Outcome(const std::string& path)> read_and_save;
};

void Use_Folder_As_Program_Folder(const std::string& path) {
    State() = App_State{};
    State().Paths.Exe_Dir = fs::path(path).parent_path().string();
}

const User_File User_Files[] = {
    {"ParGen", "ParGen.xml", true,
     [](const std::string& path) {
         const Par_Gen_Read r = Read_Par_Gen(path);
         return Outcome{r.complete, r.message};
     },
     [](const std::string& path) {
         const Par_Gen_Read r = Read_Par_Gen(path);
         const Par_Gen_Save s = Save_Par_Gen(r.set, path, !r.complete);
         return Outcome{s.ok, s.message};
     }},
    {"S7_Protocol", "S7_Protocol.xml", true,
     [](const std::string& path) {
         const S7_Protocol_Read_Result r = Read_S7_Protocol_File(path);
         return Outcome{r.info.complete, r.info.Message()};
     },
     [](const std::string& path) {
         const S7_Protocol_Read_Result r = Read_S7_Protocol_File(path);
         const Table_Save_Result s = Save_S7_Protocol_File(path, r.data, !r.info.complete);
         return Outcome{s.ok, s.message};
     }},
    {"IEC61850_Variables", "IEC61850_Variables.xml", true,
     [](const std::string& path) {
         const Table_Read_Result r = Read_IEC61850_Variables_File(path);
         return Outcome{r.info.complete, r.info.Message()};
     },
     [](const std::string& path) {
         const Table_Read_Result r = Read_IEC61850_Variables_File(path);
         const Table_Save_Result s = Save_IEC61850_Variables_File(path, r.rows, !r.info.complete);
         return Outcome{s.ok, s.message};
     }},
    {"TLS_Known_Cert", "TLS_Known_Cert.xml", true,
     [](const std::string& path) {
         const Table_Read_Result r = Read_TLS_Known_Cert_File(path);
         return Outcome{r.info.complete, r.info.Message()};
     },
     [](const std::string& path) {
         const Table_Read_Result r = Read_TLS_Known_Cert_File(path);
         const Table_Save_Result s = Save_TLS_Known_Cert_File(path, r.rows, !r.info.complete);
         return Outcome{s.ok, s.message};
     }},
    {"Settings", "Quillmaker.xml", false,
     [](const std::string& path) {
         Use_Folder_As_Program_Folder(path);
         const Settings_Load_Result r = Load_Setting();
         return Outcome{r.problem.empty(), r.problem};
     },
     [](const std::string& path) {
         Use_Folder_As_Program_Folder(path);
         Load_Setting();
         const Io_Result s = Save_Setting();
         return Outcome{s.ok, s.message};
     }},
};

std::string Example(const std::string& file) {
    const std::string path = std::string(QM_SOURCE_DIR) + "/examples/Example/" + file;
    if (fs::exists(path)) {
        return Read_Text(path);
    }
    // Quillmaker.xml has no example configuration of its own.
    return "<Conf_Settings><lastproj><projectname>Plant 1</projectname></lastproj><lastipadd><ipaddress>"
           "127.0.0.1</ipaddress></lastipadd><lastlang><language>English</language></lastlang></Conf_Settings>";
}

// A configuration folder holding the example files and the bank files of an earlier build.
std::string Make_Project(const Scratch_Folder& scratch) {
    const std::string project = scratch / "Plant";
    fs::create_directories(project + "/bin");
    for (const User_File& f : User_Files) {
        Write_Text(project + "/" + f.file, Example(f.file));
    }
    for (const char* bank : Bank_File_Names) {
        Write_Text(project + "/bin/" + bank, std::string("earlier ") + bank);
    }
    return project;
}

class Damaged_File : public ::testing::TestWithParam<User_File> {};

TEST_P(Damaged_File, WithoutReadPermissionIsReportedAndNeverReplaced) {
    const User_File& f = GetParam();
    Scratch_Folder scratch;
    const std::string project = Make_Project(scratch);
    const std::string path = project + "/" + f.file;
    fs::permissions(path, fs::perms::none);
    const Folder_Snapshot before = Snapshot(project);
    {
        const Permission_Bits_Apply bits;
        if (!bits.Problem().empty()) {
            GTEST_SKIP() << bits.Problem();
        }
        const Outcome read = f.read(path);
        EXPECT_FALSE(read.ok);
        EXPECT_NE(read.message.find(path), std::string::npos) << read.message;
        EXPECT_NE(read.message.find("Permission denied"), std::string::npos) << read.message;

        // No copy of the old file can be made, so the save must not replace it.
        const Outcome saved = f.read_and_save(path);
        EXPECT_FALSE(saved.ok);
        EXPECT_NE(saved.message.find(path), std::string::npos) << saved.message;

        if (f.built) {
            auto image = std::make_unique<Device_Image>();
            const Build_Result built = Build_Device_Image(*image, Build_Files_In(project));
            EXPECT_EQ(built.status, Build_Status::Unreadable_Input);
            EXPECT_NE(built.message.find(path), std::string::npos) << built.message;
            EXPECT_FALSE(Write_Bank_Files(*image, project));
        }
    }
    EXPECT_EQ(Snapshot_Difference(before, Snapshot(project)), "");
}

TEST_P(Damaged_File, CutShortIsReportedWithItsLineAndKeptBeforeTheSave) {
    const User_File& f = GetParam();
    Scratch_Folder scratch;
    const std::string project = Make_Project(scratch);
    const std::string path = project + "/" + f.file;
    const std::string whole = Example(f.file);
    const std::string half = whole.substr(0, whole.size() / 2);
    Write_Text(path, half);

    const Outcome read = f.read(path);
    EXPECT_FALSE(read.ok);
    EXPECT_NE(read.message.find(path + ": not well-formed XML at line "), std::string::npos) << read.message;

    if (f.built) {
        const Folder_Snapshot before = Snapshot(project);
        auto image = std::make_unique<Device_Image>();
        const Build_Result built = Build_Device_Image(*image, Build_Files_In(project));
        EXPECT_EQ(built.status, Build_Status::Unreadable_Input);
        EXPECT_NE(built.message.find(path + ": not well-formed XML at line "), std::string::npos) << built.message;
        EXPECT_FALSE(Write_Bank_Files(*image, project));
        EXPECT_EQ(Snapshot_Difference(before, Snapshot(project)), "") << "the earlier bank files must stay";
    }

    // The editor saves what it could read, but the user's file survives beside it, byte for byte.
    const Outcome saved = f.read_and_save(path);
    ASSERT_TRUE(saved.ok) << saved.message;
    int copies = 0;
    for (const auto& entry : fs::directory_iterator(project)) {
        const std::string name = entry.path().filename().string();
        if (name != f.file && name.starts_with(f.file)) {
            ++copies;
            EXPECT_EQ(Read_Text(entry.path().string()), half) << name;
        }
    }
    EXPECT_EQ(copies, 1);
    EXPECT_TRUE(f.read(path).ok) << "the new file reads completely";
}

INSTANTIATE_TEST_SUITE_P(EveryUserFile, Damaged_File, ::testing::ValuesIn(User_Files),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace qm::test
