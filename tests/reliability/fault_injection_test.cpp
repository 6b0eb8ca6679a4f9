// Saving into a folder that refuses: every writer of the program reports a clear message that
// names its file, and leaves the folder exactly as it was (old files intact, no temporary or
// half-written file behind).

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "common/file_io.h"
#include "fault_env.h"
#include "image/image_builder.h"
#include "parameters/par_gen.h"
#include "common/app_state.h"
#include "shell/settings.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/tls_known_cert.h"
#include "update/boot_file.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

struct Save_Outcome {
    bool ok = false;
    std::string message;
};

// One writer of the program: the file it replaces, relative to the folder it works in.
struct Writer {
    const char* name;
    const char* file;
    std::function<Save_Outcome(const std::string& folder)> save;
};

Save_Outcome Save_Bank_Files(const std::string& folder) {
    auto image = std::make_unique<Device_Image>();
    // A folder without project files builds the default images.
    const Build_Result built = Build_Device_Image(*image, Build_Files_In(folder + "/none"));
    if (!built) {
        return {false, "build: " + built.message};
    }
    const Build_Result written = Write_Bank_Files(*image, folder);
    return {written.ok(), written.message};
}

const Writer Writers[] = {
    {"ParGen", "ParGen.xml",
     [](const std::string& folder) {
         Par_Gen_Set set = Par_Gen_Defaults();
         set[Par_Id::NTP_Poll_Time] = "77";
         const Par_Gen_Save s = Save_Par_Gen(set, folder + "/ParGen.xml", false);
         return Save_Outcome{s.ok, s.message};
     }},
    {"S7_Protocol", "S7_Protocol.xml",
     [](const std::string& folder) {
         S7_Protocol_Data data = Reset_S7_Protocol();
         data.Read[0][S7_Read_Col::PLC_Address - 1] = "10.0.0.1";
         const Table_Save_Result s = Save_S7_Protocol_File(folder + "/S7_Protocol.xml", data, false);
         return Save_Outcome{s.ok, s.message};
     }},
    {"IEC61850_Variables", "IEC61850_Variables.xml",
     [](const std::string& folder) {
         Table_Rows rows = Reset_IEC61850_Variables();
         rows[0][Var_Col::Name - 1] = "Temperature";
         const Table_Save_Result s = Save_IEC61850_Variables_File(folder + "/IEC61850_Variables.xml", rows, false);
         return Save_Outcome{s.ok, s.message};
     }},
    {"TLS_Known_Cert", "TLS_Known_Cert.xml",
     [](const std::string& folder) {
         Table_Rows rows = Reset_TLS_Known_Cert();
         rows[0][Cert_Col::Certificate - 1] = "-----BEGIN CERTIFICATE-----";
         const Table_Save_Result s = Save_TLS_Known_Cert_File(folder + "/TLS_Known_Cert.xml", rows, false);
         return Save_Outcome{s.ok, s.message};
     }},
    {"Settings", "Quillmaker.xml",
     [](const std::string& folder) {
         State() = App_State{};
         State().Paths.Exe_Dir = folder;
         State().Settings.Project_Name = "Changed";
         const Io_Result s = Save_Setting();
         return Save_Outcome{s.ok, s.message};
     }},
    {"Instruction_File", "Ethernet_Update.xml",
     [](const std::string& folder) {
         Boot_Request request;
         request.IP_Fields = {"127", "0", "0", "1"};
         request.Exe_Dir = folder;
         request.Master_Dir = folder + "/MASTER";
         request.Project_Dir = folder;
         pugi::xml_document doc;
         const Io_Result s = Compile_XML_Parameter_New_Boot(doc, request);
         return Save_Outcome{s.ok, s.message};
     }},
    {"Bank_Files", "bin/bank2.bin", Save_Bank_Files},
};

// The folder as a user left it: an older version of every file each writer replaces.
void Fill_With_Old_Files(const std::string& folder) {
    fs::create_directories(folder + "/bin");
    for (const Writer& w : Writers) {
        Write_Text(folder + "/" + w.file, std::string("old ") + w.file);
    }
    Write_Text(folder + "/bin/bank1.bin", "old bank1.bin");
    Write_Text(folder + "/bin/bank3.bin", "old bank3.bin");
}

enum class Fault { Read_Only_Folder, File_Is_A_Folder, Disk_Full };

std::string Fault_Name(Fault f) {
    switch (f) {
    case Fault::Read_Only_Folder:
        return "Read_Only_Folder";
    case Fault::File_Is_A_Folder:
        return "File_Is_A_Folder";
    case Fault::Disk_Full:
        return "Disk_Full";
    }
    return "?";
}

class Writer_Under_Fault : public ::testing::TestWithParam<std::tuple<Writer, Fault>> {};

TEST_P(Writer_Under_Fault, ReportsTheFileAndChangesNothing) {
    const auto& [writer, fault] = GetParam();
    Scratch_Folder scratch;
    const std::string folder = scratch / "Plant";
    fs::create_directory(folder);
    std::unique_ptr<Mount> mount;
    std::unique_ptr<Permission_Bits_Apply> bits;

    if (fault == Fault::Disk_Full) {
        mount = Mount::Tmpfs(folder, 256 * 1024);
        if (!mount->Problem().empty()) {
            GTEST_SKIP() << mount->Problem();
        }
    }
    Fill_With_Old_Files(folder);
    const std::string target = folder + "/" + writer.file;
    if (fault == Fault::File_Is_A_Folder) {
        fs::remove(target);
        fs::create_directory(target);
        Write_Text(target + "/inside.txt", "kept");
    }
    if (fault == Fault::Disk_Full) {
        Fill_Disk(folder);
    }
    const Folder_Snapshot before = Snapshot(folder);
    if (fault == Fault::Read_Only_Folder) {
        mount = Mount::Read_Only(folder);
        if (!mount->Problem().empty()) {
            // Without mounts (not root), the permission bits do it.
            mount.reset();
            bits = std::make_unique<Permission_Bits_Apply>();
            if (!bits->Problem().empty() || ::geteuid() == 0) {
                GTEST_SKIP() << "no read-only mount and permission bits do not bind root";
            }
            fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
            fs::permissions(folder + "/bin", fs::perms::owner_read | fs::perms::owner_exec);
        }
    }

    const Save_Outcome outcome = writer.save(folder);
    const bool by_bits = bits != nullptr;
    bits.reset();

    EXPECT_FALSE(outcome.ok) << writer.file << " was saved although the folder refuses";
    const std::string named = fault == Fault::File_Is_A_Folder || std::string(writer.name) != "Bank_Files"
                                  ? target
                                  : folder + "/bin/bank";
    EXPECT_NE(outcome.message.find(named), std::string::npos) << "message: " << outcome.message;
    // The reason the system gave, so that it is this fault and not another that stopped the save.
    const std::string reason = fault == Fault::Disk_Full          ? "No space left on device"
                               : fault == Fault::File_Is_A_Folder ? "folder"
                               : by_bits                          ? "Permission denied"
                                                                  : "Read-only file system";
    EXPECT_NE(outcome.message.find(reason), std::string::npos) << "message: " << outcome.message;
    EXPECT_EQ(Snapshot_Difference(before, Snapshot(folder)), "");
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, Writer_Under_Fault,
                         ::testing::Combine(::testing::ValuesIn(Writers),
                                            ::testing::Values(Fault::Read_Only_Folder, Fault::File_Is_A_Folder,
                                                              Fault::Disk_Full)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    Fault_Name(std::get<1>(info.param));
                         });

} // namespace
} // namespace qm::test
