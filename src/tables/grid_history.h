#pragma once
// What one undoable change of a table records, and how it is taken back and done again. A step
// keeps only what it needs to go back: a row operation the row it removed or pushed out of the
// table, a change of cells each cell before and after. Qt-free; the windows wrap steps in their
// undo stack.

#include <optional>
#include <string>
#include <vector>

#include "tables/grid_edit.h"

namespace qm {

// One cell of a grid by position.
struct Cell_At {
    int col = 0;
    int row = 0;
    Grid_Cell cell;
};
// Any set of cells: a block pasted from the clipboard, a whole imported table, one edited cell.
using Grid_Block = std::vector<Cell_At>;

// The field cells (columns 1..N-1) of one row.
using Row_Cells = std::vector<Grid_Cell>;

struct Cell_Change {
    int col = 0;
    int row = 0;
    Grid_Cell before;
    Grid_Cell after;
};

// What the user did, so the window can name the step ("Delete Row 3").
enum class Step_Kind { Edit_Cell, Cells, Delete_Row, Insert_Row, Paste_Row, Duplicate_Row };

struct Grid_Step {
    Step_Kind kind = Step_Kind::Cells;
    Grid_Mode mode = Grid_Mode::Text;
    int col = 0; // Edit_Cell: the cell's column
    int row = 0; // the row the user acted on (for a duplicate the source row)
    std::string name; // Cells: what the window calls the step ("Paste Block"); empty for the default

    // Cells steps (Edit_Cell, Cells, Paste_Row): every cell that changed.
    std::vector<Cell_Change> changes;

    // Row steps: rows from `at` down move by placed.size() rows. Inserting moves them down, puts
    // `placed` at `at` and pushes the last rows, kept in `ends`, out of the table; deleting is the
    // reverse: `placed` are the rows taken out and `ends` the rows that fill the table's end.
    bool inserts = false;
    int at = 0;
    std::vector<Row_Cells> placed;
    std::vector<Row_Cells> ends;

    bool Is_Row_Step() const { return !placed.empty(); }
    // The data rows a step may change, for repainting.
    int First_Row() const;
    int Last_Row(const Grid& grid) const;
};

// The field cells of a row as they are.
Row_Cells Grid_Row_Cells(const Grid& grid, int row);

// Each operation does what its grid_edit function does and returns the step that records it;
// nothing when nothing changed (a row that is not a data row, a paste refused or declined).
std::optional<Grid_Step> Grid_Delete_Row_Step(Grid& grid, int row, Grid_Mode mode, bool enable_new_rows = true);
std::optional<Grid_Step> Grid_Insert_Row_Step(Grid& grid, int row, Grid_Mode mode, bool enable_new_rows = true);
std::optional<Grid_Step> Grid_Paste_Row_Step(Grid& grid, int row, Grid_Mode mode, bool copied,
                                             const Grid_Prompts& prompts, Paste_Result* result = nullptr);
// Puts rows right below `row`, moving the rows under it down as that many Insert Rows would; the
// last rows of the table are lost. Nothing when the rows do not fit below `row`.
std::optional<Grid_Step> Grid_Insert_Rows_Step(Grid& grid, int row, std::vector<Row_Cells> rows, Grid_Mode mode);

// The one call for any operation that changes a set of cells (a block paste, an import, an edit):
// writes `after` into the grid and returns the step with every cell that really changed; nothing
// when none did. A cell's has_check is the table's layout and stays as the grid has it.
std::optional<Grid_Step> Grid_Change_Cells(Grid& grid, const Grid_Block& after, Step_Kind kind = Step_Kind::Cells);
// The same for cells the caller has already changed: `before` holds them as they were.
std::optional<Grid_Step> Grid_Cells_Changed(const Grid& grid, const Grid_Block& before,
                                            Step_Kind kind = Step_Kind::Cells);

// Takes a step back (undo) or does it again (redo); the grid must be as the step left it, or as
// it found it, respectively.
void Grid_Undo(Grid& grid, const Grid_Step& step);
void Grid_Redo(Grid& grid, const Grid_Step& step);

} // namespace qm
