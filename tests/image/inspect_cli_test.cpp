// `quillmaker-cli inspect` on folders and single files: what it decodes and its exit codes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "inspect_fixtures.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

class Inspect_Cli : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path() / (std::string("qm_inspect_cli_") + info->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "Config" / "bin");
        Bytes block = test::Empty_Bank1();
        test::Put_U32(block, 0x658, 1);
        test::Seal_Bank1(block);
        Write("Config/bin/bank1.bin", block);
        Write("Config/bin/bank2.bin", test::Bank2_With({test::Rule_Fixture{}}));
        Write("Config/bin/bank3.bin", test::Make_Bank3({}));
    }
    void TearDown() override { fs::remove_all(root_); }

    using Bytes = test::Bytes;
    void Write(const std::string& name, const Bytes& bytes) {
        std::ofstream(root_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Path(const std::string& name) const { return (root_ / name).string(); }

    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return cli::Run_Inspect(args, out_, err_);
    }

    fs::path root_;
    std::ostringstream out_, err_;
};

TEST_F(Inspect_Cli, Configuration_Folder_Decodes_All_Three_Banks) {
    EXPECT_EQ(Run({Path("Config")}), 0) << out_.str() << err_.str();
    for (const char* part : {"== bank1.bin: parameter block", "== bank2.bin: S7comm rule table",
                             "== bank3.bin: IEC61850 and TLS area", "no problems found"}) {
        EXPECT_NE(out_.str().find(part), std::string::npos) << part;
    }
    // The bin folder itself is accepted as well.
    EXPECT_EQ(Run({Path("Config/bin")}), 0) << out_.str();
}

TEST_F(Inspect_Cli, Damage_Or_A_Missing_Bank_Gives_Exit_1) {
    fs::remove(root_ / "Config/bin/bank2.bin");
    EXPECT_EQ(Run({Path("Config")}), 1);
    EXPECT_NE(out_.str().find("bank2.bin is missing: build first"), std::string::npos) << out_.str();

    Bytes block = test::Empty_Bank1();
    block[0x100] = 1; // reserved byte, checksum left stale
    Write("Config/bin/bank1.bin", block);
    EXPECT_EQ(Run({Path("Config/bin/bank1.bin")}), 1);
    EXPECT_NE(out_.str().find("problem: bank1.bin: offset 0x7FC Block_Checksum"), std::string::npos) << out_.str();
}

TEST_F(Inspect_Cli, Single_File_Is_Known_By_Name_Then_By_Size_Or_By_Option) {
    Write("table.dat", Bytes(28672, 0));
    EXPECT_EQ(Run({Path("table.dat")}), 0) << err_.str();
    EXPECT_NE(out_.str().find("== table.dat: S7comm rule table"), std::string::npos);

    Write("odd.dat", Bytes(100, 0));
    EXPECT_EQ(Run({Path("odd.dat")}), 2);
    EXPECT_NE(err_.str().find("cannot tell which bank"), std::string::npos);
    EXPECT_EQ(Run({"--bank", "1", Path("odd.dat")}), 1);
    EXPECT_NE(out_.str().find("always 2048"), std::string::npos);
}

TEST_F(Inspect_Cli, Usage_And_Unreadable_Input_Give_Exit_2) {
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"--bogus", Path("Config")}), 2);
    EXPECT_EQ(Run({Path("Config"), Path("Config")}), 2);
    EXPECT_EQ(Run({"--bank", "4", Path("Config")}), 2);
    EXPECT_EQ(Run({"--bank", "2", Path("Config")}), 2); // a folder holds all three

    EXPECT_EQ(Run({Path("nowhere")}), 2);
    EXPECT_NE(err_.str().find("nowhere: no such folder or file"), std::string::npos);

    fs::create_directories(root_ / "Fresh" / "bin");
    EXPECT_EQ(Run({Path("Fresh")}), 2);
    EXPECT_NE(err_.str().find("build first"), std::string::npos) << err_.str();
}

} // namespace
} // namespace qm
