// Undo and redo of the grid operations, and the copies of a duplicate.

#include "tables/grid_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/app_state.h"
#include "language/lang_table.h"
#include "tables/grid_duplicate.h"

namespace qm {
namespace {

constexpr int Cols = 8;  // Enable, six texts, a text check box
constexpr int Rows = 13; // header and 12 data rows
constexpr int Mnemonic = 6;

std::string Tag(int col, int row) { return "c" + std::to_string(col) + "r" + std::to_string(row); }

// A text-mode table with every row filled and told apart, or the certificate table with its state
// check boxes, some unchecked and some with a leftover text (Paste Row writes texts into them).
Grid Filled(Grid_Mode mode) {
    Grid g(Cols, Rows);
    g.Column(1).editor = Cell_Editor::Text_Check;
    g.Column(Cols - 1).editor = Cell_Editor::Text_Check;
    if (mode == Grid_Mode::Check_Box) {
        g.Set_Check_Column(1);
    }
    Grid_Reset_Rows(g, mode);
    for (int r = 1; r < Rows; ++r) {
        for (int c = 2; c < Cols - 1; ++c) {
            g.Set_Text(c, r, Tag(c, r));
        }
        g.Set_Text(Cols - 1, r, r % 3 ? "Y" : "N");
        if (mode == Grid_Mode::Check_Box) {
            g.Cell(1, r).checked = r % 2 == 1;
            g.Cell(1, r).text = r % 4 == 0 ? "Y" : "";
        } else {
            g.Set_Text(1, r, r % 2 ? "Y" : "N");
        }
    }
    return g;
}

// Every cell of two grids, the first difference named.
testing::AssertionResult Same_Cells(const Grid& expected, const Grid& actual) {
    for (int r = 0; r < expected.Row_Count(); ++r) {
        for (int c = 0; c < expected.Col_Count(); ++c) {
            const Grid_Cell& e = expected.Cell(c, r);
            const Grid_Cell& a = actual.Cell(c, r);
            if (!(e == a)) {
                return testing::AssertionFailure()
                       << "column " << c << " row " << r << ": expected \"" << e.text << "\" "
                       << (e.checked ? "checked" : "unchecked") << ", got \"" << a.text << "\" "
                       << (a.checked ? "checked" : "unchecked");
            }
        }
    }
    return testing::AssertionSuccess();
}

Grid_Prompts Yes() {
    return {[](const std::string&) {}, [](const std::string&) { return true; }};
}

struct Step_Case {
    const char* name;
    Grid_Mode mode;
    std::function<std::optional<Grid_Step>(Grid&)> operation;
};

void PrintTo(const Step_Case& c, std::ostream* out) { *out << c.name; }

class Grid_Steps : public testing::Test {
protected:
    void SetUp() override {
        Load_Default_Strings();
        State().Settings = Settings_Data{};
        Clip_Row.clear();
        Clip_Row_Check.clear();
    }
};

class Grid_History : public Grid_Steps, public testing::WithParamInterface<Step_Case> {};

// Each step undone gives back exactly the cells it found, and redone exactly the cells it left.
TEST_P(Grid_History, UndoAndRedoGiveTheExactCells) {
    const Step_Case& c = GetParam();
    Grid grid = Filled(c.mode);
    const Grid before = grid;
    const std::optional<Grid_Step> step = c.operation(grid);
    ASSERT_TRUE(step);
    const Grid after = grid;
    ASSERT_FALSE(Same_Cells(before, after)) << "the operation changed nothing";

    Grid_Undo(grid, *step);
    EXPECT_TRUE(Same_Cells(before, grid)) << "undo";
    Grid_Redo(grid, *step);
    EXPECT_TRUE(Same_Cells(after, grid)) << "redo";
    Grid_Undo(grid, *step);
    EXPECT_TRUE(Same_Cells(before, grid)) << "second undo";
}

std::optional<Grid_Step> Paste_Row_3_Into_8(Grid& g, Grid_Mode mode) {
    Grid_Copy_Row(g, 3, mode);
    return Grid_Paste_Row_Step(g, 8, mode, true, Yes());
}

std::vector<Row_Cells> Copies_Of(const Grid& g, int row, int n) {
    std::vector<Row_Cells> copies(static_cast<std::size_t>(n), Grid_Row_Cells(g, row));
    for (int i = 0; i < n; ++i) {
        copies[static_cast<std::size_t>(i)][1].text = "copy " + std::to_string(i);
        copies[static_cast<std::size_t>(i)][0].checked = i % 2 == 0;
    }
    return copies;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, Grid_History,
    testing::Values(
        Step_Case{"DeleteRow5", Grid_Mode::Text, [](Grid& g) { return Grid_Delete_Row_Step(g, 5, Grid_Mode::Text); }},
        Step_Case{"DeleteFirstRow", Grid_Mode::Text,
                  [](Grid& g) { return Grid_Delete_Row_Step(g, 1, Grid_Mode::Text); }},
        Step_Case{"DeleteLastRow", Grid_Mode::Text,
                  [](Grid& g) { return Grid_Delete_Row_Step(g, Rows - 1, Grid_Mode::Text); }},
        Step_Case{"InsertRow5", Grid_Mode::Text, [](Grid& g) { return Grid_Insert_Row_Step(g, 5, Grid_Mode::Text); }},
        Step_Case{"InsertLastRow", Grid_Mode::Text,
                  [](Grid& g) { return Grid_Insert_Row_Step(g, Rows - 1, Grid_Mode::Text); }},
        Step_Case{"PasteRow", Grid_Mode::Text, [](Grid& g) { return Paste_Row_3_Into_8(g, Grid_Mode::Text); }},
        Step_Case{"DuplicateThreeCopies", Grid_Mode::Text,
                  [](Grid& g) { return Grid_Insert_Rows_Step(g, 4, Copies_Of(g, 4, 3), Grid_Mode::Text); }},
        Step_Case{"DuplicateUpToTheLastRow", Grid_Mode::Text,
                  [](Grid& g) { return Grid_Insert_Rows_Step(g, 9, Copies_Of(g, 9, 3), Grid_Mode::Text); }},
        Step_Case{"ChangeABlockOfCells", Grid_Mode::Text,
                  [](Grid& g) {
                      Grid_Block block;
                      for (int r = 2; r <= 4; ++r) {
                          for (int c = 3; c <= 5; ++c) {
                              block.push_back({c, r, {"pasted", false, false}});
                          }
                      }
                      block.push_back({1, 7, {"N", false, false}});
                      return Grid_Change_Cells(g, block);
                  }},
        Step_Case{"CheckBoxDeleteRow4", Grid_Mode::Check_Box,
                  [](Grid& g) { return Grid_Delete_Row_Step(g, 4, Grid_Mode::Check_Box); }},
        Step_Case{"CheckBoxInsertRow2", Grid_Mode::Check_Box,
                  [](Grid& g) { return Grid_Insert_Row_Step(g, 2, Grid_Mode::Check_Box); }},
        Step_Case{"CheckBoxPasteRow", Grid_Mode::Check_Box,
                  [](Grid& g) { return Paste_Row_3_Into_8(g, Grid_Mode::Check_Box); }},
        Step_Case{"CheckBoxDuplicate", Grid_Mode::Check_Box,
                  [](Grid& g) { return Grid_Insert_Rows_Step(g, 4, Copies_Of(g, 4, 2), Grid_Mode::Check_Box); }},
        Step_Case{"CheckBoxStateChange", Grid_Mode::Check_Box,
                  [](Grid& g) {
                      Grid_Cell cell = g.Cell(1, 3);
                      cell.checked = !cell.checked;
                      return Grid_Change_Cells(g, {{1, 3, cell}});
                  }}),
    [](const testing::TestParamInfo<Step_Case>& info) { return std::string(info.param.name); });

// A step does what its grid_edit operation does, cell for cell.
TEST_F(Grid_Steps, StepsDoWhatTheRowOperationsDo) {
    for (Grid_Mode mode : {Grid_Mode::Text, Grid_Mode::Check_Box}) {
        Grid plain = Filled(mode);
        Grid stepped = plain;
        Grid_Delete_Row(plain, 3, mode);
        Grid_Delete_Row_Step(stepped, 3, mode);
        EXPECT_TRUE(Same_Cells(plain, stepped));
        Grid_Insert_Row(plain, 6, mode);
        Grid_Insert_Row_Step(stepped, 6, mode);
        EXPECT_TRUE(Same_Cells(plain, stepped));
    }
}

// The window's history: every step undone, last first, gives back the content it opened with.
TEST_F(Grid_Steps, UndoingEveryStepGivesBackTheOpenedContent) {
    Grid grid = Filled(Grid_Mode::Text);
    const Grid opened = grid;
    std::vector<Grid_Step> history;
    auto keep = [&](std::optional<Grid_Step> step) {
        ASSERT_TRUE(step);
        history.push_back(std::move(*step));
    };
    keep(Grid_Delete_Row_Step(grid, 2, Grid_Mode::Text));
    keep(Grid_Change_Cells(grid, {{3, 2, {"typed", false, false}}}, Step_Kind::Edit_Cell));
    keep(Grid_Insert_Row_Step(grid, 1, Grid_Mode::Text));
    keep(Paste_Row_3_Into_8(grid, Grid_Mode::Text));
    keep(Grid_Insert_Rows_Step(grid, 2, Copies_Of(grid, 2, 4), Grid_Mode::Text));
    keep(Grid_Delete_Row_Step(grid, Rows - 1, Grid_Mode::Text));
    const Grid last = grid;

    for (auto it = history.rbegin(); it != history.rend(); ++it) {
        Grid_Undo(grid, *it);
    }
    EXPECT_TRUE(Same_Cells(opened, grid));
    for (const Grid_Step& step : history) {
        Grid_Redo(grid, step);
    }
    EXPECT_TRUE(Same_Cells(last, grid));
}

TEST_F(Grid_Steps, NothingChangedIsNoStep) {
    Grid grid = Filled(Grid_Mode::Text);
    const Grid before = grid;
    // The same text, cells outside the fields and a row that is not a data row.
    EXPECT_FALSE(Grid_Change_Cells(grid, {{2, 1, {Tag(2, 1), false, false}},
                                          {0, 3, {"99", false, false}},
                                          {2, 0, {"header", false, false}},
                                          {Cols, 2, {"x", false, false}},
                                          {2, Rows, {"x", false, false}}}));
    EXPECT_FALSE(Grid_Delete_Row_Step(grid, 0, Grid_Mode::Text));
    EXPECT_FALSE(Grid_Insert_Rows_Step(grid, 10, Copies_Of(grid, 10, 3), Grid_Mode::Text)); // past the end
    // A paste refused or declined.
    EXPECT_FALSE(Grid_Paste_Row_Step(grid, 3, Grid_Mode::Text, false, Yes()));
    Grid_Copy_Row(grid, 3, Grid_Mode::Text);
    const Grid_Prompts no{[](const std::string&) {}, [](const std::string&) { return false; }};
    Paste_Result result = Paste_Result::Pasted;
    EXPECT_FALSE(Grid_Paste_Row_Step(grid, 4, Grid_Mode::Text, true, no, &result));
    EXPECT_EQ(result, Paste_Result::Declined);
    EXPECT_TRUE(Same_Cells(before, grid));
}

// A cell listed twice in one block ends, on undo, as it was before the first change.
TEST_F(Grid_Steps, ACellChangedTwiceInOneStepUndoesToTheFirst) {
    Grid grid = Filled(Grid_Mode::Text);
    const Grid before = grid;
    const auto step = Grid_Change_Cells(grid, {{2, 2, {"one", false, false}}, {2, 2, {"two", false, false}}});
    ASSERT_TRUE(step);
    EXPECT_EQ(grid.Text(2, 2), "two");
    Grid_Undo(grid, *step);
    EXPECT_TRUE(Same_Cells(before, grid));
}

// ---- duplicate ----

struct Count_Up_Case {
    const char* text;
    long long by;
    const char* expected;
};

class Count_Up_Test : public testing::TestWithParam<Count_Up_Case> {};

TEST_P(Count_Up_Test, TrailingNumberKeepsItsLeadingZeros) {
    EXPECT_EQ(Count_Up(GetParam().text, GetParam().by), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Count_Up_Test,
    testing::Values(Count_Up_Case{"Pump_07", 1, "Pump_08"}, Count_Up_Case{"Pump_07", 2, "Pump_09"},
                    Count_Up_Case{"Pump_09", 1, "Pump_10"}, Count_Up_Case{"Pump_99", 1, "Pump_100"},
                    Count_Up_Case{"007", 5, "012"}, Count_Up_Case{"A9", 11, "A20"},
                    Count_Up_Case{"X99999999999999999999", 1, "X100000000000000000000"},
                    Count_Up_Case{"Pump", 1, "Pump"}, Count_Up_Case{"Pump_07 ", 1, "Pump_07 "},
                    Count_Up_Case{"", 1, ""}, Count_Up_Case{"V1.5", 3, "V1.8"}));

using Count_Number_Case = Count_Up_Case;

class Count_Number_Test : public testing::TestWithParam<Count_Number_Case> {};

TEST_P(Count_Number_Test, KeepsTheFormTheNumberIsWrittenIn) {
    EXPECT_EQ(Count_Number(GetParam().text, GetParam().by), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, Count_Number_Test,
    testing::Values(Count_Number_Case{"10", 5, "15"}, Count_Number_Case{"10", -5, "5"},
                    Count_Number_Case{"007", 1, "008"}, Count_Number_Case{"099", 1, "100"},
                    Count_Number_Case{"0x10", 1, "0x11"}, Count_Number_Case{"0x0F", 1, "0x10"},
                    Count_Number_Case{"0xff", 1, "0x100"}, Count_Number_Case{"0X1a", 1, "0X1b"},
                    Count_Number_Case{"$7F", 1, "$80"}, Count_Number_Case{"x10", 16, "x20"},
                    Count_Number_Case{"+5", 2, "+7"}, Count_Number_Case{" 12", 3, " 15"},
                    Count_Number_Case{"-3", 5, "2"}, Count_Number_Case{"3", -5, "-2"},
                    Count_Number_Case{"", 1, ""}, Count_Number_Case{"12a", 1, ""}));

class Duplicate : public testing::Test {
protected:
    // A list of five rows of a 12-row table: Enable, address (the key), then the numbers.
    Duplicate() : grid_(Cols, Rows) {
        Grid_Reset_Rows(grid_, Grid_Mode::Text);
        for (int r = 1; r <= 5; ++r) {
            grid_.Set_Text(2, r, "10.0.0." + std::to_string(r));
            grid_.Set_Text(3, r, std::to_string(10 * r)); // Position 0..99
            grid_.Set_Text(4, r, "0x10");                 // PLC Add, hexadecimal
            grid_.Set_Text(5, r, "");                     // DB Number, empty
            grid_.Set_Text(Mnemonic, r, "Pump_0" + std::to_string(r));
        }
    }

    Duplicate_Plan Plan(int row, int copies, std::vector<std::pair<int, int>> increments) const {
        return Plan_Duplicate(grid_, {row, copies, std::move(increments), {Mnemonic}}, 2, ranges_);
    }

    Grid grid_;
    const std::vector<Count_Column> ranges_ = {{3, 0, 99}, {4, 0, 65535}, {5, 0, 65535}};
};

TEST_F(Duplicate, CopiesCountUpEachColumnAndTheMnemonic) {
    const Duplicate_Plan plan = Plan(2, 3, {{3, 2}, {4, 4}});
    ASSERT_EQ(plan.error, Duplicate_Error::None);
    ASSERT_EQ(plan.copies.size(), 3u);
    const std::vector<std::vector<std::string>> expected = {
        {"22", "0x14", "", "Pump_03"}, {"24", "0x18", "", "Pump_04"}, {"26", "0x1C", "", "Pump_05"}};
    for (std::size_t i = 0; i < 3; ++i) {
        const Row_Cells& copy = plan.copies[i];
        EXPECT_EQ(copy[0].text, "Y");
        EXPECT_EQ(copy[1].text, "10.0.0.2") << "a column without an increment is copied";
        EXPECT_EQ((std::vector<std::string>{copy[2].text, copy[3].text, copy[4].text, copy[5].text}), expected[i]);
    }

    // They go right below the row, as many Insert Rows would place them, and undo as one step.
    const Grid before = grid_;
    const auto step = Grid_Insert_Rows_Step(grid_, 2, plan.copies, Grid_Mode::Text);
    ASSERT_TRUE(step);
    EXPECT_EQ(grid_.Text(Mnemonic, 2), "Pump_02");
    EXPECT_EQ(grid_.Text(Mnemonic, 3), "Pump_03");
    EXPECT_EQ(grid_.Text(Mnemonic, 5), "Pump_05");
    EXPECT_EQ(grid_.Text(Mnemonic, 6), "Pump_03") << "the old row 3 moved down by three";
    EXPECT_EQ(grid_.Text(Mnemonic, 8), "Pump_05");
    Grid_Undo(grid_, *step);
    EXPECT_TRUE(Same_Cells(before, grid_));
}

TEST_F(Duplicate, RefusesWhatWouldLeaveTheRangeOrHasNoNumber) {
    // Row 5 holds Position 50: +25 twice reaches 100, one past the range; once is fine.
    Duplicate_Plan plan = Plan(5, 2, {{3, 25}});
    EXPECT_EQ(plan.error, Duplicate_Error::Out_Of_Range);
    EXPECT_EQ(plan.col, 3);
    EXPECT_EQ(plan.low, 0);
    EXPECT_EQ(plan.high, 99);
    EXPECT_TRUE(plan.copies.empty());
    EXPECT_EQ(Plan(5, 1, {{3, 25}}).error, Duplicate_Error::None);
    EXPECT_EQ(Plan(5, 1, {{3, 49}}).error, Duplicate_Error::None); // 99, the last allowed
    // Downwards below the low end.
    EXPECT_EQ(Plan(1, 2, {{3, -5}}).error, Duplicate_Error::None); // 5, then 0
    EXPECT_EQ(Plan(1, 2, {{3, -6}}).error, Duplicate_Error::Out_Of_Range);
    // An empty DB Number cannot be counted up, but is copied as it is with no increment.
    plan = Plan(1, 1, {{5, 1}});
    EXPECT_EQ(plan.error, Duplicate_Error::Not_A_Number);
    EXPECT_EQ(plan.col, 5);
    EXPECT_EQ(Plan(1, 1, {{5, 0}}).error, Duplicate_Error::None);
}

TEST_F(Duplicate, CopiesFitInTheFreeRowsAfterTheList) {
    // Five rules in 12 rows: seven free rows, fewer below a row near the end.
    EXPECT_EQ(Duplicate_Max_Copies(grid_, 1, 2), 7);
    EXPECT_EQ(Duplicate_Max_Copies(grid_, 5, 2), 7);
    EXPECT_EQ(Duplicate_Max_Copies(grid_, 4, 2), 7);
    // A row after the end of the list is no rule: nothing to copy.
    EXPECT_EQ(Duplicate_Max_Copies(grid_, 6, 2), 0);
    EXPECT_EQ(Duplicate_Max_Copies(grid_, 9, 2), 0);
    EXPECT_EQ(Plan(9, 1, {}).error, Duplicate_Error::Bad_Copies);
    EXPECT_EQ(Plan(2, 7, {}).error, Duplicate_Error::None);
    EXPECT_EQ(Plan(2, 8, {}).error, Duplicate_Error::Bad_Copies);
    EXPECT_EQ(Plan(2, 0, {}).error, Duplicate_Error::Bad_Copies);
    // A full list leaves no room at all.
    for (int r = 6; r < Rows; ++r) {
        grid_.Set_Text(2, r, "10.0.1.1");
    }
    EXPECT_EQ(Duplicate_Max_Copies(grid_, 2, 2), 0);
}

} // namespace
} // namespace qm
