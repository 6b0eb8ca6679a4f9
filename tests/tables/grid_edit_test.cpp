#include "tables/grid_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "language/lang_table.h"
#include "common/app_state.h"

namespace qm {
namespace {

// Columns as the S7comm read table has them: Enable, then texts, with Swap a text check box.
constexpr int Read_Cols = 19;
constexpr int Read_Rows = 513;
constexpr int Swap_Col = 16;

std::string Tag(int col, int row) { return "c" + std::to_string(col) + "r" + std::to_string(row); }

Grid Text_Grid(int cols, int rows) {
    Grid g(cols, rows);
    g.Column(1).editor = Cell_Editor::Text_Check;
    if (cols > Swap_Col) {
        g.Column(Swap_Col).editor = Cell_Editor::Text_Check;
    }
    Grid_Reset_Rows(g, Grid_Mode::Text);
    return g;
}

// Every field of every row tagged with its own position, Enable alternating "Y"/"N".
void Fill_Tags(Grid& g) {
    for (int r = 1; r < g.Row_Count(); ++r) {
        g.Set_Text(1, r, r % 2 ? "Y" : "N");
        for (int c = 2; c < g.Col_Count(); ++c) {
            g.Set_Text(c, r, Tag(c, r));
        }
    }
}

// The certificate table: Enable as state check boxes, Certificate and Mnemonic as texts.
Grid Cert_Grid() {
    Grid g(4, 11);
    g.Set_Check_Column(1);
    Grid_Reset_Rows(g, Grid_Mode::Check_Box);
    return g;
}

struct Prompt_Log {
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    bool answer = true;
    Grid_Prompts Prompts() {
        return {[this](const std::string& t) { errors.push_back(t); },
                [this](const std::string& t) {
                    questions.push_back(t);
                    return answer;
                }};
    }
};

class Grid_Edit : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Strings();
        Lang_Table[1100] = "Row Already used. Do you want to overwrite the values?";
        Lang_Table[1101] = "Error in the Copy values!!! Copy a valid row before Paste it";
        Lang_Table[1102] = "Error!!! Copy a valid row before Paste it";
        State().Settings = Settings_Data{};
        Clip_Row.clear();
        Clip_Row_Check.clear();
    }
};

TEST_F(Grid_Edit, InsertOnFullTableShiftsDownAndLosesLastRow) {
    Grid g = Text_Grid(Read_Cols, Read_Rows);
    Fill_Tags(g);
    ASSERT_TRUE(Grid_Insert_Row(g, 5, Grid_Mode::Text, true));

    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(g.Text(2, r), Tag(2, r));
    }
    EXPECT_EQ(g.Text(1, 5), "Y");
    for (int c = 2; c < Read_Cols; ++c) {
        EXPECT_EQ(g.Text(c, 5), "") << "column " << c;
    }
    for (int r = 6; r <= 512; ++r) {
        EXPECT_EQ(g.Text(1, r), (r - 1) % 2 ? "Y" : "N") << "row " << r;
        EXPECT_EQ(g.Text(Read_Cols - 1, r), Tag(Read_Cols - 1, r - 1)) << "row " << r;
    }
    // Row numbers stay where they are.
    EXPECT_EQ(g.Text(0, 6), "6");
    EXPECT_EQ(g.Text(0, 512), "512");
}

TEST_F(Grid_Edit, InsertWithoutEnableFlagLeavesEnableEmpty) {
    Grid g = Text_Grid(Read_Cols, 10);
    Fill_Tags(g);
    Grid_Insert_Row(g, 1, Grid_Mode::Text, false);
    EXPECT_EQ(g.Text(1, 1), "");
    EXPECT_EQ(g.Text(2, 2), Tag(2, 1));
}

TEST_F(Grid_Edit, DeleteInTextModeShiftsUpAndEmptiesLastRow) {
    Grid g = Text_Grid(Read_Cols, Read_Rows);
    Fill_Tags(g);
    ASSERT_TRUE(Grid_Delete_Row(g, 5, Grid_Mode::Text, true));

    EXPECT_EQ(g.Text(2, 4), Tag(2, 4));
    for (int r = 5; r <= 511; ++r) {
        EXPECT_EQ(g.Text(2, r), Tag(2, r + 1)) << "row " << r;
        EXPECT_EQ(g.Text(1, r), (r + 1) % 2 ? "Y" : "N") << "row " << r;
    }
    for (int c = 1; c < Read_Cols; ++c) {
        EXPECT_EQ(g.Text(c, 512), "") << "column " << c; // Enable too: shows unchecked
    }
    EXPECT_EQ(g.Text(0, 5), "5");
}

TEST_F(Grid_Edit, DeleteInCheckBoxModeMovesStatesAndChecksLastRow) {
    Grid g = Cert_Grid();
    for (int r = 1; r <= 10; ++r) {
        g.Cell(1, r).checked = r % 2 == 0;
        g.Set_Text(2, r, "cert " + std::to_string(r));
        g.Set_Text(3, r, "name " + std::to_string(r));
    }
    ASSERT_TRUE(Grid_Delete_Row(g, 4, Grid_Mode::Check_Box, true));

    for (int r = 4; r <= 9; ++r) {
        EXPECT_EQ(g.Cell(1, r).checked, (r + 1) % 2 == 0) << "row " << r;
        EXPECT_EQ(g.Text(2, r), "cert " + std::to_string(r + 1));
        EXPECT_TRUE(g.Cell(1, r).has_check);
    }
    EXPECT_TRUE(g.Cell(1, 10).checked);
    EXPECT_EQ(g.Text(2, 10), "");
    EXPECT_EQ(g.Text(3, 10), "");

    // Without the enable-new-rows flag the emptied row stays unchecked.
    Grid_Delete_Row(g, 1, Grid_Mode::Check_Box, false);
    EXPECT_FALSE(g.Cell(1, 10).checked);
}

TEST_F(Grid_Edit, InsertInCheckBoxModeGivesCheckedEmptyRow) {
    Grid g = Cert_Grid();
    g.Cell(1, 3).checked = false;
    g.Set_Text(2, 3, "three");
    Grid_Insert_Row(g, 3, Grid_Mode::Check_Box, true);
    EXPECT_TRUE(g.Cell(1, 3).checked);
    EXPECT_EQ(g.Text(2, 3), "");
    EXPECT_FALSE(g.Cell(1, 4).checked);
    EXPECT_EQ(g.Text(2, 4), "three");
}

TEST_F(Grid_Edit, LastRowDeleteOnlyClearsAndBadRowsChangeNothing) {
    Grid g = Text_Grid(5, 4);
    Fill_Tags(g);
    Grid_Delete_Row(g, 3, Grid_Mode::Text);
    EXPECT_EQ(g.Text(2, 2), Tag(2, 2));
    EXPECT_EQ(g.Text(2, 3), "");

    const auto before = Grid_Rows(g);
    for (int row : {0, 4, -1}) {
        EXPECT_FALSE(Grid_Delete_Row(g, row, Grid_Mode::Text));
        EXPECT_FALSE(Grid_Insert_Row(g, row, Grid_Mode::Text));
        EXPECT_FALSE(Grid_Copy_Row(g, row, Grid_Mode::Text));
        Prompt_Log log;
        EXPECT_EQ(Grid_Paste_Row(g, row, Grid_Mode::Text, true, log.Prompts()),
                  Paste_Result::Bad_Row);
    }
    EXPECT_EQ(Grid_Rows(g), before);
}

TEST_F(Grid_Edit, PasteWithoutCopyInThisOpeningShows1102EvenWithAFullClipboard) {
    Grid g = Text_Grid(5, 4);
    Fill_Tags(g);
    Grid_Copy_Row(g, 1, Grid_Mode::Text); // an earlier opening's copy
    g.Set_Text(2, 2, "");
    g.Set_Text(3, 2, "");
    g.Set_Text(4, 2, "");
    const auto before = Grid_Rows(g);

    Prompt_Log log;
    EXPECT_EQ(Grid_Paste_Row(g, 2, Grid_Mode::Text, false, log.Prompts()),
              Paste_Result::Not_Copied);
    EXPECT_EQ(log.errors, std::vector<std::string>{"Error!!! Copy a valid row before Paste it"});
    EXPECT_TRUE(log.questions.empty());
    EXPECT_EQ(Grid_Rows(g), before);
}

TEST_F(Grid_Edit, PasteOfARowOfAnotherWidthShows1101) {
    Grid read = Text_Grid(Read_Cols, 5);
    Fill_Tags(read);
    Grid_Copy_Row(read, 1, Grid_Mode::Text);
    Grid write = Text_Grid(21, 5);
    const auto before = Grid_Rows(write);

    Prompt_Log log;
    EXPECT_EQ(Grid_Paste_Row(write, 2, Grid_Mode::Text, true, log.Prompts()),
              Paste_Result::Wrong_Size);
    EXPECT_EQ(log.errors,
              std::vector<std::string>{"Error in the Copy values!!! Copy a valid row before Paste it"});
    EXPECT_EQ(Grid_Rows(write), before);
}

// Whether pasting into a row asks first, by what the row holds.
struct Paste_Case {
    const char* name;
    Grid_Mode mode;
    int col;            // the one cell set in the target row (besides the reset Enable)
    const char* text;
    bool asks;
};

class Grid_Paste_Ask : public Grid_Edit, public ::testing::WithParamInterface<Paste_Case> {};

TEST_P(Grid_Paste_Ask, AsksOnlyForARowInUse) {
    const Paste_Case& pc = GetParam();
    Grid g = pc.mode == Grid_Mode::Text ? Text_Grid(Read_Cols, 6) : Cert_Grid();
    g.Set_Text(2, 1, "source");
    g.Set_Text(3, 1, "mnemonic");
    ASSERT_TRUE(Grid_Copy_Row(g, 1, pc.mode));
    if (pc.col > 0) {
        g.Set_Text(pc.col, 4, pc.text);
    }

    Prompt_Log log;
    log.answer = true;
    EXPECT_EQ(Grid_Paste_Row(g, 4, pc.mode, true, log.Prompts()), Paste_Result::Pasted);
    EXPECT_EQ(log.questions.size(), pc.asks ? 1U : 0U);
    if (pc.asks) {
        EXPECT_EQ(log.questions[0], "Row Already used. Do you want to overwrite the values?");
    }
    EXPECT_EQ(g.Text(2, 4), "source");
    EXPECT_EQ(g.Text(3, 4), "mnemonic");
    EXPECT_TRUE(log.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Grid_Paste_Ask,
    ::testing::Values(Paste_Case{"TextEmptyRow", Grid_Mode::Text, 0, "", false},
                      Paste_Case{"TextOnlyCheckBoxesSet", Grid_Mode::Text, Swap_Col, "Y", false},
                      Paste_Case{"TextBlankOnlyCell", Grid_Mode::Text, 4, "   ", false},
                      Paste_Case{"TextCellInUse", Grid_Mode::Text, 18, "x", true},
                      Paste_Case{"CheckEmptyRow", Grid_Mode::Check_Box, 0, "", false},
                      Paste_Case{"CheckBlankOnlyCellIsInUse", Grid_Mode::Check_Box, 3, " ", true},
                      Paste_Case{"CheckCertificate", Grid_Mode::Check_Box, 2, "MIIB", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Grid_Edit, PasteAnsweredNoChangesNothingAndFlagStaysUsable) {
    Grid g = Text_Grid(Read_Cols, 6);
    Fill_Tags(g);
    Grid_Copy_Row(g, 1, Grid_Mode::Text);
    const auto before = Grid_Rows(g);

    Prompt_Log log;
    log.answer = false;
    EXPECT_EQ(Grid_Paste_Row(g, 3, Grid_Mode::Text, true, log.Prompts()), Paste_Result::Declined);
    EXPECT_EQ(Grid_Rows(g), before);

    // The same clipboard pastes again into other rows.
    log.answer = true;
    for (int row : {3, 5}) {
        EXPECT_EQ(Grid_Paste_Row(g, row, Grid_Mode::Text, true, log.Prompts()),
                  Paste_Result::Pasted);
        for (int c = 1; c < Read_Cols; ++c) {
            EXPECT_EQ(g.Text(c, row), before[0][static_cast<std::size_t>(c - 1)]);
        }
    }
}

TEST_F(Grid_Edit, CheckBoxCopyPasteCarriesTheStateWithoutAsking) {
    Grid g = Cert_Grid();
    g.Cell(1, 2).checked = false;
    g.Set_Text(2, 2, "-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----");
    g.Set_Text(3, 2, "plant");
    ASSERT_TRUE(Grid_Copy_Row(g, 2, Grid_Mode::Check_Box));
    EXPECT_EQ(Clip_Row, (std::vector<std::string>{"N", g.Text(2, 2), "plant"}));
    EXPECT_EQ(Clip_Row_Check, (std::vector<bool>{true, false, false}));

    Prompt_Log log;
    ASSERT_TRUE(g.Cell(1, 7).checked);
    EXPECT_EQ(Grid_Paste_Row(g, 7, Grid_Mode::Check_Box, true, log.Prompts()),
              Paste_Result::Pasted);
    EXPECT_TRUE(log.questions.empty());
    EXPECT_FALSE(g.Cell(1, 7).checked);
    EXPECT_EQ(g.Text(2, 7), g.Text(2, 2));
    EXPECT_EQ(Grid_Rows(g)[6], Grid_Rows(g)[1]);

    // A checked row pastes back checked.
    Grid_Copy_Row(g, 1, Grid_Mode::Check_Box);
    Grid_Paste_Row(g, 7, Grid_Mode::Check_Box, true, log.Prompts());
    EXPECT_TRUE(g.Cell(1, 7).checked);
}

struct Jump_Case {
    const char* name;
    bool option;
    char key;
    int col, row;          // current cell before
    int want_col, want_row;
    bool consumed;
};

class Grid_Jump : public Grid_Edit, public ::testing::WithParamInterface<Jump_Case> {};

TEST_P(Grid_Jump, MovesAndConsumes) {
    const Jump_Case& jc = GetParam();
    State().Settings.Enable_Jump_Field_Tables = jc.option;
    Grid g = Text_Grid(Read_Cols, Read_Rows);
    g.Col = jc.col;
    g.Row = jc.row;
    char key = jc.key;
    EXPECT_EQ(Grid_Enter_Jump(g, key), jc.consumed);
    EXPECT_EQ(key, jc.consumed ? 0 : jc.key);
    EXPECT_EQ(g.Col, jc.want_col);
    EXPECT_EQ(g.Row, jc.want_row);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Grid_Jump,
    ::testing::Values(Jump_Case{"NextColumn", true, 13, 3, 7, 4, 7, true},
                      Jump_Case{"LastColumnToNextRow", true, 13, 18, 7, 1, 8, true},
                      Jump_Case{"LastCellWrapsToFirst", true, 13, 18, 512, 1, 1, true},
                      Jump_Case{"ColumnZeroSwallowed", true, 13, 0, 7, 0, 7, true},
                      Jump_Case{"OptionOff", false, 13, 3, 7, 3, 7, false},
                      Jump_Case{"OtherKey", true, 'a', 3, 7, 3, 7, false},
                      Jump_Case{"LineFeedIsNotEnter", true, 10, 3, 7, 3, 7, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Grid_Edit, AutoSizeOnlyOnTheHeaderWithTheOptionOn) {
    const Grid g = Text_Grid(Read_Cols, 10);
    struct {
        bool option;
        int col, row;
        bool fit;
    } const cases[] = {
        {true, 4, 0, true}, {true, 4, 3, false}, {true, 0, 5, false},
        {false, 4, 0, false}, {true, Read_Cols, 0, false},
    };
    for (const auto& c : cases) {
        State().Settings.Double_Click_Auto_Size = c.option;
        EXPECT_EQ(Grid_Auto_Size(g, c.col, c.row), c.fit)
            << "option " << c.option << " col " << c.col << " row " << c.row;
    }
}

TEST_F(Grid_Edit, RowsFillAndReadBackWithStateCells) {
    Grid g = Cert_Grid();
    const std::vector<std::vector<std::string>> rows = {
        {"N", "A\r\nB", "one"}, {"", "C", ""}, {"yes", "D", " two "}};
    Grid_Fill_Rows(g, rows);
    EXPECT_FALSE(g.Cell(1, 1).checked);
    EXPECT_TRUE(g.Cell(1, 2).checked); // only "N" unchecks
    EXPECT_TRUE(g.Cell(1, 3).checked);
    const auto back = Grid_Rows(g);
    ASSERT_EQ(back.size(), 10U);
    EXPECT_EQ(back[0], (std::vector<std::string>{"N", "A\r\nB", "one"}));
    EXPECT_EQ(back[2], (std::vector<std::string>{"Y", "D", " two "}));
    EXPECT_EQ(back[3], (std::vector<std::string>{"Y", "", ""}));

    // More rows than the table holds are ignored, not written past its end.
    std::vector<std::vector<std::string>> many(15, {"Y", "X", "m"});
    Grid_Fill_Rows(g, many);
    EXPECT_EQ(g.Text(2, 10), "X");
}

} // namespace
} // namespace qm
