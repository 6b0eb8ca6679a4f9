// quillmaker-cli diff --banks: the images built from two configurations, field by field.

#include "review/bank_diff.h"

#include <gtest/gtest.h>

#include <chrono>

#include "language/lang_table.h"
#include "review_fixtures.h"

namespace qm {
namespace {

using test::Put_Rules;

constexpr const char* Bank_File_Names_For_Test[] = {"bank1.bin", "bank2.bin", "bank3.bin"};
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

// A bin folder of the images built from folder, with one byte of one bank changed when asked.
std::string Bin_Of(const std::string& folder, const std::string& bin, int bank = 0, std::size_t offset = 0) {
    const Image_Side_Load built = Load_Image_Side(folder);
    EXPECT_TRUE(built.ok) << built.message;
    std::filesystem::create_directories(bin);
    for (std::size_t i = 0; i < 3; ++i) {
        std::string bytes(built.side.banks[i]->bytes.begin(), built.side.banks[i]->bytes.end());
        if (static_cast<int>(i) + 1 == bank) bytes[offset] = static_cast<char>(bytes[offset] ^ 0x5A);
        test::Put(bin + "/" + Bank_File_Names_For_Test[i], bytes);
    }
    return bin;
}

struct Byte_Case {
    const char* name;
    int bank;
    std::size_t offset;
    const char* line; // the line that must speak for the byte
};

class Bank_Bytes_Differ : public Bank_Diff, public testing::WithParamInterface<Byte_Case> {};

// Bytes that no field stands for still make the images differ, on whichever side they are.
TEST_P(Bank_Bytes_Differ, Every_Byte_Counts) {
    const auto& c = GetParam();
    test::Put_Par_Gen(a_, "<NTP_Server_URL>pool.ntp.org</NTP_Server_URL>");
    Put_Rules(a_, {Read_Rule(1), Read_Rule(2)});
    const std::string plain = Bin_Of(a_, scratch_.Path() + "/plain");
    EXPECT_TRUE(Diff(plain, a_).Identical());
    const std::string changed = Bin_Of(a_, scratch_.Path() + "/changed", c.bank, c.offset);
    for (const auto& [x, y] : {std::pair{changed, plain}, std::pair{plain, changed}}) {
        const Diff_Result result = Diff(x, y);
        EXPECT_FALSE(result.Identical());
        const std::string bank = "bank" + std::to_string(c.bank) + ".bin";
        EXPECT_NE(Lines_Of(result, bank).find(c.line), std::string::npos) << Lines_Of(result, bank);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Review, Bank_Bytes_Differ,
    testing::Values(Byte_Case{"Reserved_Byte_Of_Bank_1", 1, 0x100, "0x07100..0x07100: 1 byte differs"},
                    Byte_Case{"Byte_After_The_NTP_Text", 3, 0x200, "0xA0200..0xA0200: 1 byte differs"},
                    Byte_Case{"Record_1000", 2, 1000 * 28 + 4, "0x86D60 record 1000: "},
                    Byte_Case{"Reserved_Byte_Of_A_Rule", 2, 28 + 22, "0x80032 record 1 reserved 22: "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Bank_Diff, A_Bank_Only_One_Bin_Folder_Has_Is_A_Difference) {
    Put_Rules(a_, {Read_Rule(1)});
    const std::string full = Bin_Of(a_, scratch_.Path() + "/full");
    const std::string part = Bin_Of(a_, scratch_.Path() + "/part");
    std::filesystem::remove(part + "/bank3.bin");
    EXPECT_EQ(Lines_Of(Diff(full, part), "bank3.bin"), "only one side has this bank\n");
}

// Only a file named as a bank, of a size that bank can have, stands for one; only a folder with
// configuration or bank files for a side.
TEST_F(Bank_Diff, Sides_Must_Be_What_They_Claim) {
    Put_Rules(a_, {Read_Rule(1)});
    test::Put(a_ + "/ParGen.xml", "<Par_Gen/>");
    const std::string odd = scratch_.Path() + "/odd";
    std::filesystem::create_directories(odd);
    test::Put(odd + "/bank2.bin", std::string(100, '\1'));
    test::Put(odd + "/bank1.bin", std::string(2048, '\0'));
    const std::string empty = scratch_.Path() + "/empty";
    std::filesystem::create_directories(empty);
    const std::pair<std::string, const char*> refused[] = {
        {a_ + "/ParGen.xml", " is not a bank file: a bank file is named bank1.bin, bank2.bin or bank3.bin"},
        {odd + "/bank2.bin", ": 100 bytes is no size of bank2.bin, which has 28672 bytes"},
        {odd, ": 100 bytes is no size of bank2.bin"},
        {empty, " holds neither configuration files"},
        {scratch_.Path() + "/none", " does not exist"},
    };
    for (const auto& [path, why] : refused) {
        const Image_Side_Load load = Load_Image_Side(path);
        EXPECT_FALSE(load.ok) << path;
        EXPECT_TRUE(load.message.starts_with(path)) << load.message;
        EXPECT_NE(load.message.find(why), std::string::npos) << load.message;
    }
    EXPECT_TRUE(Load_Image_Side(odd + "/bank1.bin").ok);
}

TEST_F(Bank_Diff, A_Crafted_16_MiB_Bank_3_Is_Refused_At_Once) {
    const std::string big = scratch_.Path() + "/big/bank3.bin";
    std::filesystem::create_directories(scratch_.Path() + "/big");
    std::string bytes(16 * 1024 * 1024, '\xFF');
    test::Put(big, bytes);
    const auto start = std::chrono::steady_clock::now();
    const Image_Side_Load load = Load_Image_Side(big);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(load.ok);
    EXPECT_NE(load.message.find("1079 to 131072 bytes"), std::string::npos) << load.message;
    EXPECT_LT(took, std::chrono::seconds(1));
}

// The largest bank 3 the device takes, every entry count at its maximum and every name unlike
// the other side's: bounded in time and memory.
TEST_F(Bank_Diff, A_Full_Crafted_Bank_3_Compares_In_Bounded_Time) {
    Put_Rules(a_, {Read_Rule(1)});
    const std::string bin = Bin_Of(a_, scratch_.Path() + "/crafted");
    const auto crafted = [&](char fill) {
        std::string bytes(131072, fill);
        // Header: no TLS, Var_Number as large as the file can hold, Var_Add right after the header.
        const std::uint32_t count = (131072 - 1079) / 32;
        const std::uint32_t var_add = 0xA0436;
        for (int k = 0; k < 4; ++k) {
            bytes[0x400 + 2 + k] = 0;
            bytes[0x400 + 34 + k] = 0;
            bytes[0x400 + 46 + k] = static_cast<char>((count >> (8 * k)) & 0xFF);
            bytes[0x400 + 50 + k] = static_cast<char>((var_add >> (8 * k)) & 0xFF);
        }
        return bytes;
    };
    test::Put(bin + "/bank3.bin", crafted('\x11'));
    const std::string other = Bin_Of(a_, scratch_.Path() + "/other");
    test::Put(other + "/bank3.bin", crafted('\x22'));
    const auto start = std::chrono::steady_clock::now();
    const Diff_Result result = Diff(bin, other);
    EXPECT_FALSE(result.Identical());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

} // namespace
} // namespace qm
