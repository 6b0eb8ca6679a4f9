// Alignment of two lists as a line diff aligns lines.

#include "review/row_align.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct Align_Case {
    const char* name;
    std::string a; // one letter per row
    std::string b;
    std::string expected; // per step: '=' same, '~' changed, '+' added, '-' removed
};

std::vector<std::string> Rows(const std::string& letters) {
    std::vector<std::string> rows;
    for (const char c : letters) rows.emplace_back(1, c);
    return rows;
}

std::string Ops(const std::vector<Aligned>& steps) {
    std::string ops;
    for (const auto& s : steps) {
        ops += s.op == Align_Op::Same ? '=' : s.op == Align_Op::Changed ? '~' : s.op == Align_Op::Added ? '+' : '-';
    }
    return ops;
}

class Align : public testing::TestWithParam<Align_Case> {};

TEST_P(Align, Aligns_As_A_Line_Diff) {
    const auto& c = GetParam();
    const auto steps = Align_Rows(Rows(c.a), Rows(c.b));
    EXPECT_EQ(Ops(steps), c.expected);
    // Every row of each side appears once, in order.
    int next_a = 0;
    int next_b = 0;
    for (const auto& s : steps) {
        if (s.a >= 0) {
            EXPECT_EQ(s.a, next_a++);
        }
        if (s.b >= 0) {
            EXPECT_EQ(s.b, next_b++);
        }
    }
    EXPECT_EQ(next_a, static_cast<int>(c.a.size()));
    EXPECT_EQ(next_b, static_cast<int>(c.b.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Align,
    testing::Values(Align_Case{"Identical", "abcd", "abcd", "===="},
                    Align_Case{"Insert_In_The_Middle", "abcdef", "abcXdef", "===+==="},
                    Align_Case{"Delete_In_The_Middle", "abcdef", "abdef", "==-==="},
                    Align_Case{"Change_In_The_Middle", "abcdef", "abXdef", "==~==="},
                    Align_Case{"Insert_At_Both_Ends", "abc", "XabcY", "+===+"},
                    Align_Case{"Everything_New", "abc", "XYZW", "~~~+"},
                    Align_Case{"From_Empty", "", "ab", "++"},
                    Align_Case{"To_Empty", "ab", "", "--"},
                    Align_Case{"Insert_And_Delete_Apart", "abcdefgh", "aXbcdfgh", "=+===-==="}),
    [](const auto& info) { return std::string(info.param.name); });

// With a likeness, a changed row pairs with its like even when a new row comes before it.
TEST(Align_Likeness, Pairs_A_Changed_Row_With_Its_Like_Not_With_An_Inserted_Neighbour) {
    const std::vector<std::vector<std::string>> a = {{"1", "x"}, {"2", "y"}, {"3", "z"}};
    const std::vector<std::vector<std::string>> b = {{"1", "x"}, {"9", "new"}, {"2", "Y"}, {"3", "z"}};
    auto key = [](const std::vector<std::vector<std::string>>& rows) {
        std::vector<std::string> keys;
        for (const auto& r : rows) keys.push_back(r[0] + "|" + r[1]);
        return keys;
    };
    const auto steps = Align_Rows(key(a), key(b), [&](int i, int j) {
        return Equal_Cells_Likeness(a[static_cast<std::size_t>(i)], b[static_cast<std::size_t>(j)]);
    });
    EXPECT_EQ(Ops(steps), "=+~=");
    EXPECT_EQ(steps[2].a, 1);
    EXPECT_EQ(steps[2].b, 2);
}

// Two long lists with nothing in common: far beyond any table the device has, so the rows in
// between pair up in order instead of through an (n+1) x (m+1) table.
TEST(Align_Bounds, Lists_Beyond_The_Table_Limit_Pair_In_Order) {
    std::vector<std::string> a;
    std::vector<std::string> b;
    for (int i = 0; i < 20000; ++i) a.push_back("a" + std::to_string(i));
    for (int i = 0; i < 30000; ++i) b.push_back("b" + std::to_string(i));
    a.insert(a.begin(), "same");
    b.insert(b.begin(), "same");
    const auto steps = Align_Rows(a, b, [](int, int) { return 1; });
    ASSERT_EQ(steps.size(), 30001U);
    EXPECT_EQ(steps[0].op, Align_Op::Same);
    EXPECT_EQ(steps[1].op, Align_Op::Changed);
    EXPECT_EQ(steps[20000].op, Align_Op::Changed);
    EXPECT_EQ(steps[20001].op, Align_Op::Added);
}

} // namespace
} // namespace qm
