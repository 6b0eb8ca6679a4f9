// quillmaker-cli build, driven through its command function.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/commands.h"
#include "image_test_support.h"

namespace qm::test {
namespace {
namespace fs = std::filesystem;

struct Command_Run {
    int code = -1;
    std::string out;
    std::string err;
};

Command_Run Build_Command(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    Command_Run run;
    run.code = cli::Run_Build(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

TEST(Cli_Build, WritesTheBankFilesAndASummary) {
    Temp_Project project;
    fs::remove_all(project.Path("bin"));
    project.Write("S7_Protocol.xml", S7_Xml(R"(<row Enable="Y"/>)", R"(<row Enable="Y"/><row Enable="N"/>)"));
    project.Write("IEC61850_Variables.xml", Variables_Xml(R"(<row Enable="Y" Name="a"/>)"));
    project.Write("TLS_Known_Cert.xml", Certs_Xml(R"(<row Enable="Y" Certificate="c"/>)"));
    const Command_Run run = Build_Command({project.Dir()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    for (const char* line : {"S7comm rules:         2\n", "IEC61850 variables:   1\n",
                             "known certificates:   0 in the image (1 enabled",
                             "block checksum:       3482 (0xD9A)\n", "bank1.bin:            2048 bytes",
                             "bank2.bin:            28672 bytes", "bank3.bin:            1113 bytes"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << "missing [" << line << "] in\n" << run.out;
    }
    EXPECT_EQ(Read_Bytes(project.Path("bin/bank3.bin")).size(), 1113U);
}

TEST(Cli_Build, ExitCodes) {
    Temp_Project malformed;
    malformed.Write("ParGen.xml", "<Par_Gen>");
    Temp_Project too_many;
    std::string rows;
    for (int i = 0; i < 1025; ++i) {
        rows += R"(<row Enable="Y"/>)";
    }
    too_many.Write("S7_Protocol.xml", S7_Xml(rows, ""));
    Temp_Project unwritable;
    fs::create_directory(unwritable.Path("bin/bank1.bin"));

    const struct {
        std::vector<std::string> args;
        int code;
        const char* message;
    } cases[] = {
        {{}, 2, "Usage: quillmaker-cli build <configuration-folder>"},
        {{"a", "b"}, 2, "Usage:"},
        {{malformed.Path("missing")}, 2, "no such configuration folder"},
        {{malformed.Dir()}, 2, "ParGen.xml: not well-formed XML at line 1"},
        {{too_many.Dir()}, 1, "1025 enabled S7comm rules"},
        {{unwritable.Dir()}, 1, "bank1.bin"},
    };
    for (const auto& c : cases) {
        const Command_Run run = Build_Command(c.args);
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_FALSE(fs::exists(malformed.Path("bin/bank1.bin")));
    EXPECT_FALSE(fs::exists(too_many.Path("bin/bank1.bin")));
}

} // namespace
} // namespace qm::test
