// quillmaker-cli diff's content: every difference between two configurations, one line each.

#include "review/config_diff.h"

#include <gtest/gtest.h>

#include "language/lang_table.h"
#include "review_fixtures.h"

namespace qm {
namespace {

using test::Put_Par_Gen;
using test::Put_Rules;
using test::Read_Rule;

class Config_Diff : public testing::Test {
protected:
    void SetUp() override {
        Load_Default_Strings();
        a_ = scratch_.Folder("A");
        b_ = scratch_.Folder("B");
    }
    Diff_Result Diff() const { return Diff_Configurations(Read_Configuration(a_), Read_Configuration(b_)); }
    static std::vector<std::string> Lines(const Diff_Result& result) {
        std::vector<std::string> lines;
        for (const auto& group : result.groups) {
            for (const auto& line : group.lines) lines.push_back(group.title + ": " + line.text);
        }
        return lines;
    }

    test::Scratch scratch_;
    std::string a_;
    std::string b_;
};

TEST_F(Config_Diff, Same_Files_Give_No_Lines) {
    Put_Rules(a_, {Read_Rule(1), Read_Rule(2)});
    Put_Rules(b_, {Read_Rule(1), Read_Rule(2)});
    const Diff_Result result = Diff();
    EXPECT_TRUE(result.Identical());
    EXPECT_EQ(result.Summary(), "No differences: the two sides are the same.");
}

TEST_F(Config_Diff, A_Rule_Inserted_In_The_Middle_Is_One_Added_Row) {
    Put_Rules(a_, {Read_Rule(1), Read_Rule(2), Read_Rule(3), Read_Rule(4), Read_Rule(5)});
    Put_Rules(b_, {Read_Rule(1), Read_Rule(2), Read_Rule(9), Read_Rule(3), Read_Rule(4), Read_Rule(5)});
    const auto lines = Lines(Diff());
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_TRUE(lines[0].starts_with("S7_Protocol.xml: S7comm Read, row 3: added: Enable \"Y\", PLC Address \"192.168.0.9\""))
        << lines[0];
}

TEST_F(Config_Diff, A_Deleted_Rule_Is_One_Removed_Row) {
    Put_Rules(a_, {Read_Rule(1), Read_Rule(2), Read_Rule(3), Read_Rule(4)});
    Put_Rules(b_, {Read_Rule(1), Read_Rule(3), Read_Rule(4)});
    const auto lines = Lines(Diff());
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_TRUE(lines[0].starts_with("S7_Protocol.xml: S7comm Read, row 2: removed: ")) << lines[0];
}

TEST_F(Config_Diff, A_Changed_Field_Names_Row_Column_Old_And_New) {
    Put_Rules(a_, {Read_Rule(1), Read_Rule(2, 1000), Read_Rule(3)});
    Put_Rules(b_, {Read_Rule(1), Read_Rule(2, 250), Read_Rule(3)});
    const auto lines = Lines(Diff());
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0], "S7_Protocol.xml: S7comm Read, row 2: Poll Time: \"1000\" -> \"250\"");
}

// An insertion above a changed row: the change is reported on the row it belongs to, with both numbers.
TEST_F(Config_Diff, Insert_And_Change_In_One_List) {
    Put_Rules(a_, {Read_Rule(1), Read_Rule(2), Read_Rule(3, 100, "Kessel")});
    Put_Rules(b_, {Read_Rule(7), Read_Rule(1), Read_Rule(2), Read_Rule(3, 100, "Kessel 2")});
    const auto lines = Lines(Diff());
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_TRUE(lines[0].starts_with("S7_Protocol.xml: S7comm Read, row 1: added: ")) << lines[0];
    EXPECT_EQ(lines[1], "S7_Protocol.xml: S7comm Read, row 3 -> 4: Mnemonic: \"Kessel\" -> \"Kessel 2\"");
}

TEST_F(Config_Diff, A_Parameter_Shows_Element_Label_Old_And_New) {
    Put_Par_Gen(a_, "<IEC61850_Server_Port>102</IEC61850_Server_Port>");
    Put_Par_Gen(b_, "<IEC61850_Server_Port>8102</IEC61850_Server_Port>");
    const auto lines = Lines(Diff());
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0], "ParGen.xml: IEC61850_Server_Port (IEC61850 Server / Port): \"102\" -> \"8102\"");
}

TEST_F(Config_Diff, Secrets_Show_Only_As_Changed) {
    Put_Par_Gen(a_, test::Secret_Elements());
    Put_Par_Gen(b_, "<IEC61850_Server_Password>Neu-Pw-1</IEC61850_Server_Password><TLS_Server_Enable>1</TLS_Server_Enable>"
                    "<TLS_Server_Key>other key</TLS_Server_Key><TLS_Server_Key_Password>Neu-Kp-2</TLS_Server_Key_Password>");
    const Diff_Result result = Diff();
    const std::string text = result.Text();
    EXPECT_EQ(result.changed, 3U) << text;
    for (const char* secret : {test::Server_Password, test::Key_Body, test::Key_Password, "Neu-Pw-1", "Neu-Kp-2", "other key"}) {
        EXPECT_EQ(text.find(secret), std::string::npos) << secret << " in:\n" << text;
    }
    EXPECT_NE(text.find("IEC61850_Server_Password (IEC61850 Server / Password): changed"), std::string::npos) << text;
}

// A file missing on one side is its editor's empty list or defaults, as the windows show it.
TEST_F(Config_Diff, A_Missing_File_Compares_As_The_Editor_Opens_It) {
    Put_Rules(b_, {Read_Rule(1)});
    Put_Par_Gen(b_, "<NTP_Poll_Time>1000</NTP_Poll_Time>"); // the default: no difference
    const Diff_Result result = Diff();
    ASSERT_EQ(result.groups.size(), 1U);
    EXPECT_EQ(result.added, 1U);
    EXPECT_EQ(result.Summary(), "One difference (1 added, 0 removed, 0 changed)");
}

// The lists as the builder reads them: each case differs only where a window reads otherwise,
// and the side that does says so in a warning.
struct Device_Reading_Case {
    const char* name;
    const char* file;
    std::string a;
    std::string b;
    const char* warning_of_b; // a part of one of B's warnings
};

std::string Certs(const std::string& second_enable) {
    return "<TLS_Server_Known_Cert><row Enable=\"Y\" Certificate=\"C1\" Mnemonic=\"\"/><row Enable=\"" + second_enable +
           "\" Certificate=\"C2\" Mnemonic=\"\"/></TLS_Server_Known_Cert>";
}
std::string Variables(const std::string& enable) {
    return "<IEC61850_Variables><row Enable=\"" + enable +
           "\" Name=\"V1\" Type=\"Int\" Length=\"2\" ReadOnly=\"N\" Position=\"0\" StartBit=\"0\" Conversion=\"None\" "
           "MultiplicationFactor=\"None\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"\"/></IEC61850_Variables>";
}
std::string Rules_After_Blank(int octet) {
    std::string blank = test::Read_Rule(2);
    blank.replace(blank.find("192.168.0.2"), 11, "");
    return "<S7_Protocol><S7_Protocol_Read>" + test::Read_Rule(1) + blank + test::Read_Rule(octet) +
           "</S7_Protocol_Read><S7_Protocol_Write/></S7_Protocol>";
}

class Device_Reading : public Config_Diff, public testing::WithParamInterface<Device_Reading_Case> {};

TEST_P(Device_Reading, Differences_The_Windows_Hide_Are_Lines_And_Warnings) {
    const auto& c = GetParam();
    test::Put(a_ + "/" + c.file, c.a);
    test::Put(b_ + "/" + c.file, c.b);
    const Configuration_Files a = Read_Configuration(a_);
    const Configuration_Files b = Read_Configuration(b_);
    ASSERT_TRUE(a.Readable() && b.Readable());
    EXPECT_FALSE(Diff_Configurations(a, b).Identical());
    std::string warnings;
    for (const auto& w : b.warnings) warnings += w + "\n";
    EXPECT_NE(warnings.find(c.warning_of_b), std::string::npos) << warnings;
}

INSTANTIATE_TEST_SUITE_P(
    Review, Device_Reading,
    testing::Values(
        Device_Reading_Case{"Certificate_Enable_Empty", "TLS_Known_Cert.xml", Certs("Y"), Certs(""),
                            "row 2: Enable is \"\": the device treats the row as off"},
        Device_Reading_Case{"Variable_Enable_Blank_Y", "IEC61850_Variables.xml", Variables("Y"), Variables(" Y"),
                            "row 1: Enable is \" Y\": the device treats the row as off"},
        Device_Reading_Case{"Row_After_A_Blank_PLC_Address", "S7_Protocol.xml", Rules_After_Blank(3),
                            Rules_After_Blank(4),
                            "row 3 follows a row with a blank PLC Address: the device gets it, but its window drops it"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace qm
