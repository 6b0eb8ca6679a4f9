#include "common/start_program.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "../shell/temp_dir.h"

namespace qm {
namespace {

using test::Read_Text;
using test::Temp_Dir;
using test::Write_Text;

class Start_Program_Test : public ::testing::Test {
protected:
    std::string Script(const std::string& name, const std::string& body) {
        const std::string path = dir / name;
        Write_Text(path, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    Temp_Dir dir;
};

TEST_F(Start_Program_Test, WaitsForTheEndAndGivesTheExitCode) {
    const Program_Run run = Start_Program(Script("three.sh", "exit 3"), {}, false, 10000);
    EXPECT_TRUE(run.started);
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.exit_code, 3);
    const Program_Run killed = Start_Program(Script("killed.sh", "kill -9 $$"), {}, true, 10000);
    EXPECT_TRUE(killed.ended);
    EXPECT_EQ(killed.exit_code, 128 + SIGKILL);
}

TEST_F(Start_Program_Test, PassesArgumentsUntouchedWithoutAShell) {
    const std::string out = dir / "args.txt";
    const std::string program = Script("args.sh", "for a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$OUT_FILE\"");
    ::setenv("OUT_FILE", out.c_str(), 1);
    const Program_Run run = Start_Program(program, {"two words", "$HOME", "a;b", "\"q\"", ""}, false, 10000);
    ::unsetenv("OUT_FILE");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(Read_Text(out), "[two words][$HOME][a;b][\"q\"][]");
}

TEST_F(Start_Program_Test, ProgramThatCannotStartIsNotRun) {
    Write_Text(dir / "plain.txt", "exit 0\n"); // not executable
    for (const std::string& program : {dir / "missing.exe", dir / "plain.txt", dir.Path()}) {
        const Program_Run run = Start_Program(program, {}, false, 10000);
        EXPECT_FALSE(run.started) << program;
        EXPECT_FALSE(run.ended) << program;
    }
}

TEST_F(Start_Program_Test, LeavesAProgramRunningAfterTheLimit) {
    const std::string pid_file = dir / "pid.txt";
    const std::string ready = dir / "ready";
    const std::string program =
        Script("slow.sh", "echo $$ > '" + pid_file + "'\nmv '" + pid_file + "' '" + ready + "'\nexec sleep 30");
    const Program_Run run = Start_Program(program, {}, false, 200);
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.ended);

    // Still alive after the call returned; stopped here so the test leaves nothing behind.
    for (int i = 0; i < 500 && !std::filesystem::exists(ready); ++i) {
        ::usleep(10000);
    }
    const pid_t pid = static_cast<pid_t>(std::stol(Read_Text(ready)));
    EXPECT_EQ(::kill(pid, 0), 0);
    ::kill(pid, SIGKILL);
    // The next call reaps the abandoned one; it must not take its place in the result.
    const Program_Run next = Start_Program(Script("zero.sh", "exit 0"), {}, false, 10000);
    EXPECT_TRUE(next.ended);
    EXPECT_EQ(next.exit_code, 0);
}

} // namespace
} // namespace qm
