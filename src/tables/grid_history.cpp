#include "tables/grid_history.h"

#include <algorithm>
#include <utility>

namespace qm {

namespace {

// Row `to` takes the fields of row `from`, as the row operations move them: texts, or in
// check-box mode the state of a cell that has a check box (its text stays with its row).
void Move_Row(Grid& grid, int from, int to, Grid_Mode mode) {
    for (int c = 1; c < grid.Col_Count(); ++c) {
        Grid_Cell& src = grid.Cell(c, from);
        Grid_Cell& dst = grid.Cell(c, to);
        if (mode == Grid_Mode::Check_Box && src.has_check) {
            dst.checked = src.checked;
        } else {
            // Every source row is overwritten afterwards, so its text may be moved out.
            dst.text = std::move(src.text);
        }
    }
}

// Puts saved fields into a row the way Move_Row would have put them there.
void Put_Row(Grid& grid, int row, const Row_Cells& cells, Grid_Mode mode) {
    const int n = std::min(grid.Col_Count() - 1, static_cast<int>(cells.size()));
    for (int c = 1; c <= n; ++c) {
        Grid_Cell& dst = grid.Cell(c, row);
        const Grid_Cell& src = cells[static_cast<std::size_t>(c - 1)];
        if (mode == Grid_Mode::Check_Box && dst.has_check) {
            dst.checked = src.checked;
        } else {
            dst.text = src.text;
        }
    }
}

int Last(const Grid& grid) { return grid.Row_Count() - 1; }

// Rows from `at` move down by `placed.size()`, `placed` goes in at `at`.
void Shift_Down(Grid& grid, int at, const std::vector<Row_Cells>& placed, Grid_Mode mode) {
    const int n = static_cast<int>(placed.size());
    for (int k = Last(grid) - n; k >= at; --k) {
        Move_Row(grid, k, k + n, mode);
    }
    for (int i = 0; i < n; ++i) {
        Put_Row(grid, at + i, placed[static_cast<std::size_t>(i)], mode);
    }
}

// Rows below `at + n` move up by n, `ends` fill the last n rows.
void Shift_Up(Grid& grid, int at, const std::vector<Row_Cells>& ends, Grid_Mode mode) {
    const int n = static_cast<int>(ends.size());
    for (int k = at; k <= Last(grid) - n; ++k) {
        Move_Row(grid, k + n, k, mode);
    }
    for (int i = 0; i < n; ++i) {
        Put_Row(grid, Last(grid) - n + 1 + i, ends[static_cast<std::size_t>(i)], mode);
    }
}

// What a cell of the grid becomes when given `wanted`: its text, and its state when it has a check box.
Grid_Cell Merged(const Grid_Cell& current, const Grid_Cell& wanted) {
    Grid_Cell cell = current;
    cell.text = wanted.text;
    if (cell.has_check) {
        cell.checked = wanted.checked;
    }
    return cell;
}

bool Is_Field(const Grid& grid, int col, int row) {
    return col >= 1 && col < grid.Col_Count() && grid.Is_Data_Row(row);
}

} // namespace

int Grid_Step::First_Row() const {
    if (Is_Row_Step()) {
        return at;
    }
    int first = row;
    for (const Cell_Change& change : changes) {
        first = first == 0 ? change.row : std::min(first, change.row);
    }
    return first;
}

int Grid_Step::Last_Row(const Grid& grid) const {
    if (Is_Row_Step()) {
        return grid.Row_Count() - 1;
    }
    int last = row;
    for (const Cell_Change& change : changes) {
        last = std::max(last, change.row);
    }
    return last;
}

Row_Cells Grid_Row_Cells(const Grid& grid, int row) {
    Row_Cells cells;
    cells.reserve(static_cast<std::size_t>(grid.Col_Count() - 1));
    for (int c = 1; c < grid.Col_Count(); ++c) {
        cells.push_back(grid.Cell(c, row));
    }
    return cells;
}

std::optional<Grid_Step> Grid_Delete_Row_Step(Grid& grid, int row, Grid_Mode mode, bool enable_new_rows) {
    if (!grid.Is_Data_Row(row)) {
        return std::nullopt;
    }
    Grid_Step step;
    step.kind = Step_Kind::Delete_Row;
    step.mode = mode;
    step.row = row;
    step.at = row;
    step.placed.push_back(Grid_Row_Cells(grid, row));
    Grid_Delete_Row(grid, row, mode, enable_new_rows);
    step.ends.push_back(Grid_Row_Cells(grid, Last(grid)));
    return step;
}

std::optional<Grid_Step> Grid_Insert_Row_Step(Grid& grid, int row, Grid_Mode mode, bool enable_new_rows) {
    if (!grid.Is_Data_Row(row)) {
        return std::nullopt;
    }
    Grid_Step step;
    step.kind = Step_Kind::Insert_Row;
    step.mode = mode;
    step.row = row;
    step.inserts = true;
    step.at = row;
    step.ends.push_back(Grid_Row_Cells(grid, Last(grid)));
    Grid_Insert_Row(grid, row, mode, enable_new_rows);
    step.placed.push_back(Grid_Row_Cells(grid, row));
    return step;
}

std::optional<Grid_Step> Grid_Paste_Row_Step(Grid& grid, int row, Grid_Mode mode, bool copied,
                                             const Grid_Prompts& prompts, Paste_Result* result) {
    if (!grid.Is_Data_Row(row)) {
        if (result != nullptr) {
            *result = Paste_Result::Bad_Row;
        }
        return std::nullopt;
    }
    Grid_Block before;
    for (int c = 1; c < grid.Col_Count(); ++c) {
        before.push_back({c, row, grid.Cell(c, row)});
    }
    const Paste_Result pasted = Grid_Paste_Row(grid, row, mode, copied, prompts);
    if (result != nullptr) {
        *result = pasted;
    }
    if (pasted != Paste_Result::Pasted) {
        return std::nullopt;
    }
    auto step = Grid_Cells_Changed(grid, before, Step_Kind::Paste_Row);
    if (step) {
        step->mode = mode;
        step->row = row;
    }
    return step;
}

std::optional<Grid_Step> Grid_Insert_Rows_Step(Grid& grid, int row, std::vector<Row_Cells> rows, Grid_Mode mode) {
    const int n = static_cast<int>(rows.size());
    if (!grid.Is_Data_Row(row) || n < 1 || row + n > Last(grid)) {
        return std::nullopt;
    }
    Grid_Step step;
    step.kind = Step_Kind::Duplicate_Row;
    step.mode = mode;
    step.row = row;
    step.inserts = true;
    step.at = row + 1;
    for (int r = Last(grid) - n + 1; r <= Last(grid); ++r) {
        step.ends.push_back(Grid_Row_Cells(grid, r));
    }
    step.placed = std::move(rows);
    Shift_Down(grid, step.at, step.placed, mode);
    // Recorded as the grid holds them, so that a redo puts back exactly these cells.
    for (int i = 0; i < n; ++i) {
        step.placed[static_cast<std::size_t>(i)] = Grid_Row_Cells(grid, step.at + i);
    }
    return step;
}

std::optional<Grid_Step> Grid_Change_Cells(Grid& grid, const Grid_Block& after, Step_Kind kind) {
    Grid_Step step;
    step.kind = kind;
    for (const Cell_At& wanted : after) {
        if (!Is_Field(grid, wanted.col, wanted.row)) {
            continue;
        }
        Grid_Cell& cell = grid.Cell(wanted.col, wanted.row);
        Grid_Cell changed = Merged(cell, wanted.cell);
        if (changed == cell) {
            continue;
        }
        step.changes.push_back({wanted.col, wanted.row, cell, changed});
        cell = std::move(changed);
    }
    if (step.changes.empty()) {
        return std::nullopt;
    }
    step.col = step.changes.front().col;
    step.row = step.changes.front().row;
    return step;
}

std::optional<Grid_Step> Grid_Cells_Changed(const Grid& grid, const Grid_Block& before, Step_Kind kind) {
    Grid_Step step;
    step.kind = kind;
    for (const Cell_At& was : before) {
        if (!Is_Field(grid, was.col, was.row)) {
            continue;
        }
        const Grid_Cell& cell = grid.Cell(was.col, was.row);
        const Grid_Cell old = Merged(cell, was.cell);
        if (old != cell) {
            step.changes.push_back({was.col, was.row, old, cell});
        }
    }
    if (step.changes.empty()) {
        return std::nullopt;
    }
    step.col = step.changes.front().col;
    step.row = step.changes.front().row;
    return step;
}

void Grid_Undo(Grid& grid, const Grid_Step& step) {
    if (step.Is_Row_Step()) {
        if (step.inserts) {
            Shift_Up(grid, step.at, step.ends, step.mode);
        } else {
            Shift_Down(grid, step.at, step.placed, step.mode);
        }
        return;
    }
    // Backwards, so that a cell listed twice ends as it was before the first change.
    for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it) {
        grid.Cell(it->col, it->row) = it->before;
    }
}

void Grid_Redo(Grid& grid, const Grid_Step& step) {
    if (step.Is_Row_Step()) {
        if (step.inserts) {
            Shift_Down(grid, step.at, step.placed, step.mode);
        } else {
            Shift_Up(grid, step.at, step.ends, step.mode);
        }
        return;
    }
    for (const Cell_Change& change : step.changes) {
        grid.Cell(change.col, change.row) = change.after;
    }
}

} // namespace qm
