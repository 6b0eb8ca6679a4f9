// A configuration whose name is outside ASCII, end to end through the core: new, save, open at
// the next start, build. On Windows (under Wine) every one of these goes through wide paths.

#include "image/image_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "common/app_state.h"
#include "common/file_io.h"
#include "parameters/par_gen.h"
#include "shell/configurations.h"
#include "shell/settings.h"
#include "../common/temp_folder.h"

namespace qm {
namespace {

std::string Read(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(Read_File(path, bytes)) << path;
    return bytes;
}

// Makes the configuration as the windows do and builds it; the three banks' bytes.
std::array<std::string, 3> New_Save_Open_Build(const std::string& exe_dir, const std::string& name) {
    State() = App_State{};
    Start_Up(exe_dir);
    EXPECT_EQ(Create_Configuration(name), 0) << name;
    EXPECT_TRUE(Save_Par_Gen(Par_Gen_Defaults(), State().Project.ParGen_File, false).ok);
    // The example's tables, saved under the new name as their editors would.
    const std::string example = Path_Join(QM_SOURCE_DIR, Path_Join("examples", "Example"));
    for (const char* file : {"S7_Protocol.xml", "IEC61850_Variables.xml", "TLS_Known_Cert.xml"}) {
        EXPECT_TRUE(Write_File_Atomic(Path_Join(State().Project.Project_Dir, file), Read(Path_Join(example, file))));
    }
    EXPECT_TRUE(Save_Setting());

    // The next start reopens it.
    State() = App_State{};
    Start_Up(exe_dir);
    const std::vector<std::string> listed = Load_Existing_Configuration(State().Paths.Projects_Dir);
    EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end()) << name;
    EXPECT_EQ(State().Project.Project_Dir, Path_Join(State().Paths.Projects_Dir, name));

    const auto image = std::make_unique<Device_Image>();
    const Build_Result built = Build_Device_Image(*image, Build_Files_In(State().Project.Project_Dir));
    EXPECT_TRUE(built) << built.message;
    const Build_Result written = Write_Bank_Files(*image, State().Project.Project_Dir);
    EXPECT_TRUE(written) << written.message;
    std::array<std::string, 3> banks;
    for (std::size_t i = 0; i < banks.size(); ++i) {
        banks[i] = Read(Path_Join(Path_Join(State().Project.Project_Dir, "bin"), Bank_File_Names[i]));
    }
    return banks;
}

class Non_Ascii_Configuration : public ::testing::TestWithParam<const char*> {
protected:
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(std::u8string(exe_dir.begin(), exe_dir.end())), ec);
    }
    std::string exe_dir = test::Make_Temp_Folder("qm_names_");
};

TEST_P(Non_Ascii_Configuration, NewSaveOpenBuildGiveTheSameBanksAsAnAsciiName) {
    ASSERT_FALSE(exe_dir.empty());
    const std::array<std::string, 3> plain = New_Save_Open_Build(exe_dir, "Plain");
    const std::array<std::string, 3> named = New_Save_Open_Build(exe_dir, GetParam());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_FALSE(named[i].empty()) << Bank_File_Names[i];
        EXPECT_TRUE(named[i] == plain[i]) << Bank_File_Names[i] << " differs";
    }
}

INSTANTIATE_TEST_SUITE_P(Names, Non_Ascii_Configuration,
                         ::testing::Values("Kl\xC3\xA4ranlage_S\xC3\xBC" "d", "\xC3\x96" "lf\xC3\xB6rderung"));

} // namespace
} // namespace qm
