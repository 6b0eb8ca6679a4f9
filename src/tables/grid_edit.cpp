#include "tables/grid_edit.h"

#include <cstddef>
#include <stdexcept>
#include <utility>

#include "common/conversions.h"
#include "language/lang_table.h"
#include "common/app_state.h"

namespace qm {

std::vector<std::string> Clip_Row;
std::vector<bool> Clip_Row_Check;

namespace {

constexpr char Enter_Key = 13;


// Row `to` takes the fields of row `from`: texts, or in check-box mode the state of a cell that
// has a check box.
void Move_Fields(Grid& grid, int from, int to, Grid_Mode mode) {
    for (int c = 1; c < grid.Col_Count(); ++c) {
        const Grid_Cell& src = grid.Cell(c, from);
        Grid_Cell& dst = grid.Cell(c, to);
        if (mode == Grid_Mode::Check_Box && src.has_check) {
            dst.checked = src.checked;
        } else {
            dst.text = src.text;
        }
    }
}

// A row made empty: in text mode every field empty and the Enable text set when asked; in
// check-box mode the check boxes unchecked except Enable (column 1) when asked.
void Clear_Fields(Grid& grid, int row, Grid_Mode mode, bool enable) {
    for (int c = 1; c < grid.Col_Count(); ++c) {
        Grid_Cell& cell = grid.Cell(c, row);
        if (mode == Grid_Mode::Check_Box && cell.has_check) {
            cell.checked = enable && c == 1;
        } else {
            cell.text.clear();
        }
    }
    if (mode == Grid_Mode::Text && enable && grid.Col_Count() > 1) {
        grid.Cell(1, row).text = "Y";
    }
}

bool Row_In_Use(const Grid& grid, int row, Grid_Mode mode) {
    for (int c = 1; c < grid.Col_Count(); ++c) {
        const Grid_Cell& cell = grid.Cell(c, row);
        if (mode == Grid_Mode::Text) {
            if (!grid.Is_Text_Check(c) && !Trim(cell.text).empty()) {
                return true;
            }
        } else if (!cell.has_check && !cell.text.empty()) {
            return true;
        }
    }
    return false;
}

const Settings_Data& Options() { return State().Settings; }

} // namespace

Grid::Grid(int col_count, int row_count)
    : col_count_(col_count < 1 ? 1 : col_count),
      row_count_(row_count < 1 ? 1 : row_count),
      rows_(static_cast<std::size_t>(row_count_)),
      blank_row_(static_cast<std::size_t>(col_count_)),
      columns_(static_cast<std::size_t>(col_count_)) {}

bool Grid::Is_Cell(int col, int row) const {
    return col >= 0 && col < col_count_ && row >= 0 && row < row_count_;
}

Grid_Cell& Grid::Cell(int col, int row) {
    if (!Is_Cell(col, row)) {
        throw std::out_of_range("grid cell outside the table");
    }
    std::vector<Grid_Cell>& cells = rows_[static_cast<std::size_t>(row)];
    if (cells.empty()) {
        cells = blank_row_;
    }
    return cells[static_cast<std::size_t>(col)];
}

const Grid_Cell& Grid::Cell(int col, int row) const {
    if (!Is_Cell(col, row)) {
        throw std::out_of_range("grid cell outside the table");
    }
    const std::vector<Grid_Cell>& cells = rows_[static_cast<std::size_t>(row)];
    return (cells.empty() ? blank_row_ : cells)[static_cast<std::size_t>(col)];
}

Grid_Column& Grid::Column(int col) { return columns_.at(static_cast<std::size_t>(col)); }

const Grid_Column& Grid::Column(int col) const {
    return columns_.at(static_cast<std::size_t>(col));
}

void Grid::Set_Check_Column(int col) {
    Grid_Cell& blank = blank_row_.at(static_cast<std::size_t>(col));
    blank.has_check = true;
    blank.checked = false;
    for (std::vector<Grid_Cell>& cells : rows_) {
        if (!cells.empty()) {
            cells[static_cast<std::size_t>(col)] = blank;
        }
    }
}

void Grid_Reset_Rows(Grid& grid, Grid_Mode mode) {
    for (int r = 1; r < grid.Row_Count(); ++r) {
        grid.Set_Text(0, r, std::to_string(r));
        for (int c = 1; c < grid.Col_Count(); ++c) {
            grid.Cell(c, r).text.clear();
        }
        Clear_Fields(grid, r, mode, true);
    }
}

bool Grid_Delete_Row(Grid& grid, int row, Grid_Mode mode, bool enable_new_rows) {
    if (!grid.Is_Data_Row(row)) {
        return false;
    }
    const int last = grid.Row_Count() - 1;
    for (int k = row; k < last; ++k) {
        Move_Fields(grid, k + 1, k, mode);
    }
    // Text mode leaves even the Enable text empty (it shows unchecked); check-box mode follows the
    // enable-new-rows flag.
    Clear_Fields(grid, last, mode, mode == Grid_Mode::Check_Box && enable_new_rows);
    return true;
}

bool Grid_Insert_Row(Grid& grid, int row, Grid_Mode mode, bool enable_new_rows) {
    if (!grid.Is_Data_Row(row)) {
        return false;
    }
    for (int k = grid.Row_Count() - 2; k >= row; --k) {
        Move_Fields(grid, k, k + 1, mode);
    }
    Clear_Fields(grid, row, mode, enable_new_rows);
    return true;
}

bool Grid_Copy_Row(const Grid& grid, int row, Grid_Mode mode) {
    if (!grid.Is_Data_Row(row)) {
        return false;
    }
    Clip_Row.clear();
    Clip_Row_Check.clear();
    for (int c = 1; c < grid.Col_Count(); ++c) {
        const Grid_Cell& cell = grid.Cell(c, row);
        const bool state_cell = mode == Grid_Mode::Check_Box && cell.has_check;
        Clip_Row.push_back(state_cell ? (cell.checked ? "Y" : "N") : cell.text);
        // Kept as long as Clip_Row also after a text-mode copy, so a later check-box paste never
        // reads flags of an older row.
        Clip_Row_Check.push_back(state_cell);
    }
    return true;
}

Paste_Result Grid_Paste_Row(Grid& grid, int row, Grid_Mode mode, bool copied,
                            const Grid_Prompts& prompts) {
    if (!grid.Is_Data_Row(row)) {
        return Paste_Result::Bad_Row;
    }
    if (!copied) {
        if (prompts.Show_Error) {
            prompts.Show_Error(Lang(1102));
        }
        return Paste_Result::Not_Copied;
    }
    if (static_cast<std::size_t>(grid.Col_Count() - 1) != Clip_Row.size()) {
        if (prompts.Show_Error) {
            prompts.Show_Error(Lang(1101));
        }
        return Paste_Result::Wrong_Size;
    }
    if (Row_In_Use(grid, row, mode)) {
        // Without a way to ask, a row in use is never overwritten.
        if (!prompts.Ask_Yes_No || !prompts.Ask_Yes_No(Lang(1100))) {
            return Paste_Result::Declined;
        }
    }
    for (int c = 1; c < grid.Col_Count(); ++c) {
        const auto i = static_cast<std::size_t>(c - 1);
        Grid_Cell& cell = grid.Cell(c, row);
        cell.text = Clip_Row[i];
        if (mode == Grid_Mode::Check_Box && i < Clip_Row_Check.size() && Clip_Row_Check[i]) {
            cell.checked = Clip_Row[i] == "Y";
        }
    }
    return Paste_Result::Pasted;
}

bool Grid_Auto_Size(const Grid& grid, int col, int row) {
    return Options().Double_Click_Auto_Size && row == 0 && col >= 0 && col < grid.Col_Count();
}

bool Grid_Enter_Jump(Grid& grid, char& key) {
    if (!Options().Enable_Jump_Field_Tables || key != Enter_Key) {
        return false;
    }
    if (grid.Col >= 1 && grid.Row >= 1) {
        if (grid.Col < grid.Col_Count() - 1) {
            ++grid.Col;
        } else {
            grid.Col = 1;
            grid.Row = grid.Row < grid.Row_Count() - 1 ? grid.Row + 1 : 1;
        }
    }
    key = 0;
    return true;
}

std::vector<std::vector<std::string>> Grid_Rows(const Grid& grid) {
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<std::size_t>(grid.Row_Count() - 1));
    for (int r = 1; r < grid.Row_Count(); ++r) {
        std::vector<std::string> fields;
        fields.reserve(static_cast<std::size_t>(grid.Col_Count() - 1));
        for (int c = 1; c < grid.Col_Count(); ++c) {
            const Grid_Cell& cell = grid.Cell(c, r);
            fields.push_back(cell.has_check ? (cell.checked ? "Y" : "N") : cell.text);
        }
        rows.push_back(std::move(fields));
    }
    return rows;
}

void Grid_Fill_Rows(Grid& grid, const std::vector<std::vector<std::string>>& rows) {
    int r = 1;
    for (const auto& fields : rows) {
        if (!grid.Is_Data_Row(r)) {
            break;
        }
        int c = 1;
        for (const auto& text : fields) {
            if (c >= grid.Col_Count()) {
                break;
            }
            Grid_Cell& cell = grid.Cell(c, r);
            if (cell.has_check) {
                cell.checked = text != "N";
            } else {
                cell.text = text;
            }
            ++c;
        }
        ++r;
    }
}

} // namespace qm
