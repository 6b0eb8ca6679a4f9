#include "image/image_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "image_test_support.h"

namespace qm::test {
namespace {
namespace fs = std::filesystem;

// A configuration touching every input file, for the driver's own behaviour.
void Write_Full_Project(const Temp_Project& project) {
    project.Write("ParGen.xml", ParGen_Xml("<S7_Protocol_IP4>7</S7_Protocol_IP4><NTP_Server_URL>ntp</NTP_Server_URL>"
                                           "<TLS_Server_Enable>1</TLS_Server_Enable>"
                                           "<TLS_Server_Enable_Known_Cert>1</TLS_Server_Enable_Known_Cert>"));
    project.Write("S7_Protocol.xml",
                  S7_Xml(R"(<row Enable="Y"/><row Enable="Y"/><row Enable="N"/><row Enable="Y"/>)",
                         R"(<row Enable="Y"/><row Enable="Y"/>)"));
    project.Write("IEC61850_Variables.xml", Variables_Xml(R"(<row Enable="Y" Name="v"/>)"));
    project.Write("TLS_Known_Cert.xml", Certs_Xml(R"(<row Enable="Y" Certificate="c"/>)"));
}

Bytes Bank_File(const Temp_Project& project, int bank) {
    return Read_Bytes(project.Path("bin/bank" + std::to_string(bank) + ".bin"));
}

TEST(Image_Builder, FreshProjectWritesThreeFilesOfTheirSizes) {
    Temp_Project project;
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    ASSERT_TRUE(Write_Bank_Files(*built.image, project.Dir()));
    const Bytes bank1 = Bank_File(project, 1);
    ASSERT_EQ(bank1.size(), 2048U);
    EXPECT_TRUE(Bytes_Equal(Hex("98 0D 00 00"), Bytes(bank1.end() - 4, bank1.end()), 0x7FC));
    EXPECT_TRUE(Bytes_Equal(Bytes(28672, 0), Bank_File(project, 2)));
    EXPECT_EQ(Bank_File(project, 3).size(), 1079U);
    EXPECT_EQ(Bank_File(project, 3), built.Bank(2));
}

TEST(Image_Builder, RuleCountCoversReadAndWriteRules) {
    Temp_Project project;
    Write_Full_Project(project);
    const Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    const Bytes bank1 = built.Bank(0);
    EXPECT_TRUE(Bytes_Equal(Hex("05 00 00 00"), Bytes(bank1.begin() + 0x658, bank1.begin() + 0x65C), 0x658));
    EXPECT_EQ(built.Bank(1).size(), 28672U);
}

TEST(Image_Builder, EveryBuildStartsFromTheResetState) {
    Temp_Project empty;
    const Built fresh = Build(empty);
    ASSERT_TRUE(fresh.result);

    Temp_Project full;
    Write_Full_Project(full);
    Device_Image image; // one working state, as the program keeps it
    ASSERT_TRUE(Build_Device_Image(image, Build_Files_In(full.Dir())));
    ASSERT_TRUE(Write_Bank_Files(image, full.Dir()));
    const Bytes first[3] = {Bank_File(full, 1), Bank_File(full, 2), Bank_File(full, 3)};
    ASSERT_TRUE(Build_Device_Image(image, Build_Files_In(full.Dir())));
    ASSERT_TRUE(Write_Bank_Files(image, full.Dir()));
    for (int bank = 1; bank <= 3; ++bank) {
        EXPECT_TRUE(Bytes_Equal(first[bank - 1], Bank_File(full, bank))) << "bank " << bank;
    }

    // Nothing of the full build survives into the build of the empty folder.
    ASSERT_TRUE(Build_Device_Image(image, Build_Files_In(empty.Dir())));
    for (std::size_t bank = 0; bank < 3; ++bank) {
        const Image_Buffer& b = image.Banks[bank];
        EXPECT_TRUE(Bytes_Equal(fresh.Bank(bank), Bytes(b.data(), b.data() + b.length)))
            << "bank " << bank + 1;
    }
}

class Malformed_Input_Test : public ::testing::TestWithParam<const char*> {};

TEST_P(Malformed_Input_Test, StopsTheBuildAndKeepsThePreviousFiles) {
    Temp_Project project;
    Write_Full_Project(project);
    Built built = Build(project);
    ASSERT_TRUE(built.result) << built.result.message;
    ASSERT_TRUE(Write_Bank_Files(*built.image, project.Dir()));
    const Bytes before[3] = {Bank_File(project, 1), Bank_File(project, 2), Bank_File(project, 3)};

    project.Write(GetParam(), "<Root>\n  <row Enable=\"Y\">\n</Root>");
    built = Build(project);
    EXPECT_EQ(built.result.status, Build_Status::Unreadable_Input);
    EXPECT_NE(built.result.message.find(project.Path(GetParam())), std::string::npos) << built.result.message;
    EXPECT_NE(built.result.message.find("line 3, column 3"), std::string::npos) << built.result.message;
    EXPECT_FALSE(built.image->Complete);

    // Nothing half-built can reach the files.
    const Build_Result written = Write_Bank_Files(*built.image, project.Dir());
    EXPECT_EQ(written.status, Build_Status::Write_Failed);
    for (int bank = 1; bank <= 3; ++bank) {
        EXPECT_EQ(Bank_File(project, bank), before[bank - 1]) << "bank " << bank;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Malformed_Input_Test,
                         ::testing::Values("ParGen.xml", "S7_Protocol.xml", "IEC61850_Variables.xml",
                                           "TLS_Known_Cert.xml"),
                         [](const ::testing::TestParamInfo<const char*>& p) {
                             std::string name = p.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(Image_Builder, InputThatIsAFolderStopsTheBuild) {
    Temp_Project project;
    fs::create_directory(project.Path("S7_Protocol.xml"));
    const Built built = Build(project);
    EXPECT_EQ(built.result.status, Build_Status::Unreadable_Input);
    EXPECT_NE(built.result.message.find("S7_Protocol.xml"), std::string::npos) << built.result.message;
}

TEST(Image_Builder, MissingBinFolderIsCreated) {
    Temp_Project project;
    fs::remove_all(project.Path("bin"));
    const Built built = Build(project);
    ASSERT_TRUE(built.result);
    const Build_Result written = Write_Bank_Files(*built.image, project.Dir());
    ASSERT_TRUE(written) << written.message;
    EXPECT_EQ(Bank_File(project, 1).size(), 2048U);
    EXPECT_EQ(Bank_File(project, 2).size(), 28672U);
    EXPECT_EQ(Bank_File(project, 3).size(), 1079U);
}

TEST(Image_Builder, FailedWriteNamesTheFileAndReplacesNothing) {
    Temp_Project project;
    Write_Full_Project(project);
    Built built = Build(project);
    ASSERT_TRUE(built.result);
    ASSERT_TRUE(Write_Bank_Files(*built.image, project.Dir()));
    const Bytes old_bank1 = Bank_File(project, 1);
    const Bytes old_bank3 = Bank_File(project, 3);

    // A new build whose bank 2 cannot be written: bank 1 and bank 3 must stay the old ones.
    project.Write("ParGen.xml", ParGen_Xml("<S7_Protocol_IP4>9</S7_Protocol_IP4>"));
    project.Write("IEC61850_Variables.xml", Variables_Xml(""));
    built = Build(project);
    ASSERT_TRUE(built.result);
    fs::remove(project.Path("bin/bank2.bin"));
    fs::create_directory(project.Path("bin/bank2.bin"));
    const Build_Result written = Write_Bank_Files(*built.image, project.Dir());
    EXPECT_EQ(written.status, Build_Status::Write_Failed);
    EXPECT_NE(written.message.find("bank2.bin"), std::string::npos) << written.message;
    EXPECT_EQ(Bank_File(project, 1), old_bank1);
    EXPECT_EQ(Bank_File(project, 3), old_bank3);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(project.Path("bin"))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"bank1.bin", "bank2.bin", "bank3.bin"})); // no temporaries left
}

TEST(Image_Builder, BinThatIsAFileOrAMissingFolderIsReported) {
    Temp_Project project;
    const Built built = Build(project);
    ASSERT_TRUE(built.result);
    fs::remove_all(project.Path("bin"));
    project.Write("bin", "not a folder");
    Build_Result written = Write_Bank_Files(*built.image, project.Dir());
    EXPECT_EQ(written.status, Build_Status::Write_Failed);
    EXPECT_NE(written.message.find(project.Path("bin")), std::string::npos) << written.message;

    written = Write_Bank_Files(*built.image, project.Path("gone"));
    EXPECT_EQ(written.status, Build_Status::Write_Failed);
    EXPECT_FALSE(fs::exists(project.Path("gone")));
}

} // namespace
} // namespace qm::test
