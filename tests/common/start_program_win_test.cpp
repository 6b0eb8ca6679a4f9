// Start_Program on Windows: through the shell's default verb, with its process handle polled.

#include "common/start_program.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "common/file_io.h"
#include "temp_folder.h"

namespace qm {
namespace {

class Start_Program_Test : public ::testing::Test {
protected:
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(Utf8_To_Wide(dir)), ec);
    }
    std::string Read(const std::string& path) {
        std::string text;
        Read_File(path, text);
        return text;
    }
    const std::string child = QM_TEST_CHILD;
    std::string dir = test::Make_Temp_Folder("qm_start_");
};

TEST_F(Start_Program_Test, WaitsForTheEndAndGivesTheExitCode) {
    const Program_Run run = Start_Program(child, {"exit", "3"}, false, 20000);
    EXPECT_TRUE(run.started);
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.exit_code, 3);
    const Program_Run hidden = Start_Program(child, {"exit", "0"}, true, 20000);
    EXPECT_TRUE(hidden.ended);
    EXPECT_EQ(hidden.exit_code, 0);
}

TEST_F(Start_Program_Test, PassesArgumentsUntouched) {
    const std::string out = Path_Join(dir, "args.txt");
    const Program_Run run = Start_Program(
        child, {"args", out, "two words", "%PATH%", "a;b", "\"q\"", "back\\slash\\", "Kl\xC3\xA4ranlage", ""}, false,
        20000);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(Read(out), "[two words][%PATH%][a;b][\"q\"][back\\slash\\][Kl\xC3\xA4ranlage][]");
}

TEST_F(Start_Program_Test, ProgramInAFolderWithNonAsciiNameStarts) {
    const std::string folder = Path_Join(dir, "\xC3\x96lf\xC3\xB6rderung");
    ASSERT_TRUE(Make_Dir(folder));
    const std::string copy = Path_Join(folder, "Ethernet_Update.exe");
    std::error_code ec;
    std::filesystem::copy_file(std::filesystem::path(Utf8_To_Wide(child)), std::filesystem::path(Utf8_To_Wide(copy)),
                               ec);
    ASSERT_FALSE(ec) << ec.message();
    const Program_Run run = Start_Program(copy, {"exit", "7"}, false, 20000);
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.exit_code, 7);
}

TEST_F(Start_Program_Test, ProgramThatCannotStartReturnsAtOnce) {
    const Program_Run run = Start_Program(Path_Join(dir, "missing.exe"), {}, false, 20000);
    EXPECT_FALSE(run.started);
    EXPECT_FALSE(run.ended);
}

TEST_F(Start_Program_Test, LeavesAProgramRunningAfterTheLimit) {
    const std::string pid_file = Path_Join(dir, "pid.txt");
    const Program_Run run = Start_Program(child, {"sleep", "30000", pid_file}, false, 300);
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.ended);
    for (int i = 0; i < 500 && !File_Exists(pid_file); ++i) {
        Sleep(10);
    }
    const DWORD pid = static_cast<DWORD>(std::stoul(Read(pid_file)));
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
    // Stopped here so the test leaves nothing behind.
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

} // namespace
} // namespace qm
