// quillmaker-cli diff --banks: the images built from two configurations, field by field.

#include "review/bank_diff.h"

#include <gtest/gtest.h>

#include "language/lang_table.h"
#include "review_fixtures.h"

namespace qm {
namespace {

using test::Put_Rules;
using test::Read_Rule;

class Bank_Diff : public testing::Test {
protected:
    void SetUp() override {
        Load_Default_Strings();
        a_ = scratch_.Folder("A");
        b_ = scratch_.Folder("B");
    }
    Diff_Result Diff(const std::string& a, const std::string& b) const {
        const Image_Side_Load side_a = Load_Image_Side(a);
        const Image_Side_Load side_b = Load_Image_Side(b);
        EXPECT_TRUE(side_a.ok) << side_a.message;
        EXPECT_TRUE(side_b.ok) << side_b.message;
        return Diff_Images(side_a.side, side_b.side);
    }
    static std::string Lines_Of(const Diff_Result& result, const std::string& group) {
        std::string text;
        for (const auto& g : result.groups) {
            if (g.title != group) continue;
            for (const auto& line : g.lines) text += line.text + "\n";
        }
        return text;
    }

    test::Scratch scratch_;
    std::string a_;
    std::string b_;
};

// Record 1 starts at 0x8001C; its PollTime is 4 bytes in.
TEST_F(Bank_Diff, A_Changed_Rule_Names_The_Field_And_Its_Device_Address) {
    Put_Rules(a_, {Read_Rule(1), Read_Rule(2, 1000), Read_Rule(3)});
    Put_Rules(b_, {Read_Rule(1), Read_Rule(2, 250), Read_Rule(3)});
    const Diff_Result result = Diff(a_, b_);
    EXPECT_EQ(Lines_Of(result, "bank2.bin"), "0x80020 record 1 PollTime: 1000 ms -> 250 ms\n");
    EXPECT_EQ(Lines_Of(result, "bank1.bin"), ""); // same rule count, and the block sums only bank 1's bytes
}

TEST_F(Bank_Diff, An_Inserted_Rule_Is_One_Added_Record_And_The_Count) {
    Put_Rules(a_, {Read_Rule(1), Read_Rule(2), Read_Rule(3)});
    Put_Rules(b_, {Read_Rule(1), Read_Rule(9), Read_Rule(2), Read_Rule(3)});
    const Diff_Result result = Diff(a_, b_);
    EXPECT_EQ(Lines_Of(result, "bank2.bin"), "0x8001C record 1: added: read rule 192.168.0.9:102, Position 9\n");
    const std::string bank1 = Lines_Of(result, "bank1.bin");
    EXPECT_NE(bank1.find("0x07658 S7_Rule_Count: 3 -> 4\n"), std::string::npos) << bank1;
    EXPECT_NE(bank1.find("0x077FC Block_Checksum: "), std::string::npos) << bank1;
}

TEST_F(Bank_Diff, Header_Fields_And_Secret_Strings_Of_Bank_3) {
    test::Put_Par_Gen(a_, test::Secret_Elements() + "<IEC61850_Server_Port>102</IEC61850_Server_Port>");
    test::Put_Par_Gen(b_, test::Secret_Elements("Anders-77") + "<IEC61850_Server_Port>8102</IEC61850_Server_Port>");
    const Diff_Result result = Diff(a_, b_);
    const std::string bank3 = Lines_Of(result, "bank3.bin");
    EXPECT_NE(bank3.find("0xA0400 header port: 102 -> 8102\n"), std::string::npos) << bank3;
    EXPECT_NE(bank3.find(" password: changed\n"), std::string::npos) << bank3;
    const std::string all = result.Text();
    for (const char* secret : {test::Server_Password, "Anders-77", test::Key_Body, test::Key_Password}) {
        EXPECT_EQ(all.find(secret), std::string::npos) << secret << " in:\n" << all;
    }
}

// The images of the last update, as written to bin, against a new build.
TEST_F(Bank_Diff, A_Bin_Folder_Or_One_Bank_File_Stands_For_A_Side) {
    Put_Rules(a_, {Read_Rule(1)});
    const Image_Side_Load built = Load_Image_Side(a_);
    ASSERT_TRUE(built.ok) << built.message;
    const std::string bin = scratch_.Path() + "/old_bin";
    std::filesystem::create_directories(bin);
    for (const auto& bank : built.side.banks) {
        test::Put(bin + "/" + bank->name, std::string(bank->bytes.begin(), bank->bytes.end()));
    }
    EXPECT_TRUE(Diff(bin, a_).Identical());

    Put_Rules(b_, {Read_Rule(1, 5)});
    const Diff_Result one_bank = Diff(bin + "/bank2.bin", b_);
    ASSERT_EQ(one_bank.groups.size(), 1U);
    EXPECT_EQ(Lines_Of(one_bank, "bank2.bin"), "0x80004 record 0 PollTime: 1000 ms -> 5 ms\n");
}

TEST_F(Bank_Diff, A_Side_That_Is_No_Image_Is_Refused_With_Its_Name) {
    const std::string junk = scratch_.Path() + "/notes.txt";
    test::Put(junk, "hello");
    const Image_Side_Load load = Load_Image_Side(junk);
    EXPECT_FALSE(load.ok);
    EXPECT_TRUE(load.unreadable);
    EXPECT_NE(load.message.find(junk), std::string::npos) << load.message;

    test::Put(a_ + "/S7_Protocol.xml", "<S7_Protocol><S7_Protocol_Read>");
    const Image_Side_Load broken = Load_Image_Side(a_);
    EXPECT_FALSE(broken.ok);
    EXPECT_NE(broken.message.find("S7_Protocol.xml"), std::string::npos) << broken.message;
}

} // namespace
} // namespace qm
