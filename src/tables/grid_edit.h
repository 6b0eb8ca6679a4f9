#pragma once
// The rule tables as a grid of text cells, and the editing every table window shares: the row
// operations behind Delete/Insert/Copy/Paste Row, the one row clipboard, the Enter-key jump and
// the header double-click. Qt-free, so the windows only bind it to a view and tests drive it here.

#include <functional>
#include <string>
#include <vector>

namespace qm {

// Text mode: check boxes are "Y"/"N" texts. Check-box mode: some cells carry a checked state
// of their own besides their text (the certificate table).
enum class Grid_Mode { Text, Check_Box };

enum class Cell_Editor {
    Text,       // plain text
    List,       // drop-down list: only an item may be picked
    Free_List,  // drop-down with free text
    Text_Check  // check box whose text is its state, "Y" or "N"
};

struct Grid_Cell {
    std::string text;
    bool has_check = false; // a state check box (check-box mode)
    bool checked = false;

    bool operator==(const Grid_Cell&) const = default;
};

struct Grid_Column {
    Cell_Editor editor = Cell_Editor::Text;
    std::vector<std::string> items; // items of a List or Free_List column, replaceable at run time
};

// Row 0 is the header row and column 0 the row-number column; data rows are 1 to Row_Count() - 1
// and the fields of a row are columns 1 to Col_Count() - 1.
class Grid {
public:
    Grid(int col_count, int row_count);

    int Col_Count() const { return col_count_; }
    int Row_Count() const { return row_count_; }
    bool Is_Cell(int col, int row) const;
    bool Is_Data_Row(int row) const { return row >= 1 && row < row_count_; }

    // Cells by column and row; an index outside the grid is a programming error (asserted).
    // A reference stays valid as long as the grid.
    Grid_Cell& Cell(int col, int row);
    const Grid_Cell& Cell(int col, int row) const;
    const std::string& Text(int col, int row) const { return Cell(col, row).text; }
    void Set_Text(int col, int row, std::string text) { Cell(col, row).text = std::move(text); }

    Grid_Column& Column(int col);
    const Grid_Column& Column(int col) const;
    bool Is_Text_Check(int col) const { return Column(col).editor == Cell_Editor::Text_Check; }

    // Gives every cell of a column a state check box, unchecked.
    void Set_Check_Column(int col);

    // The current cell.
    int Col = 1;
    int Row = 1;

private:
    int col_count_;
    int row_count_;
    // A row's cells are made when it is first written: a window made at start-up and not yet
    // shown holds its header row alone (512 rows of 21 cells would be 430 KB). Until then a row
    // reads as blank_row_, which carries the check boxes of Set_Check_Column.
    std::vector<std::vector<Grid_Cell>> rows_;
    std::vector<Grid_Cell> blank_row_;
    std::vector<Grid_Column> columns_;
};

// The one row clipboard shared by every table of the program: the field texts of the last copied
// row, and for each of them whether it came from a state check box (its text is then "Y" or "N").
extern std::vector<std::string> Clip_Row;
extern std::vector<bool> Clip_Row_Check;

// How the paste asks and complains; the windows pass their message boxes.
struct Grid_Prompts {
    std::function<void(const std::string&)> Show_Error;
    std::function<bool(const std::string&)> Ask_Yes_No; // true for Yes
};

enum class Paste_Result { Pasted, Not_Copied, Wrong_Size, Declined, Bad_Row };

// Each opening of a window: column 0 the row number, Enable (column 1) on, every other field empty.
void Grid_Reset_Rows(Grid& grid, Grid_Mode mode);

// Removes a row: the rows below move up one and the last row is cleared. False for a row that
// is not a data row.
bool Grid_Delete_Row(Grid& grid, int row, Grid_Mode mode, bool enable_new_rows = true);
// Inserts an empty row: the rows from there move down one and the last row's content is lost.
bool Grid_Insert_Row(Grid& grid, int row, Grid_Mode mode, bool enable_new_rows = true);
// Copies a row's fields into Clip_Row (and Clip_Row_Check). The caller sets its copied flag.
bool Grid_Copy_Row(const Grid& grid, int row, Grid_Mode mode);
// Pastes Clip_Row into a row: refuses (entry 1102) when this table's copied flag is clear and
// (entry 1101) when the clipboard has another number of fields; asks (entry 1100) before it
// overwrites a row in use.
Paste_Result Grid_Paste_Row(Grid& grid, int row, Grid_Mode mode, bool copied,
                            const Grid_Prompts& prompts);

// True when a double-click on (col, row) should fit column col to its content: only on the
// header row, and only with the Double_Click_Auto_Size option on.
bool Grid_Auto_Size(const Grid& grid, int col, int row);

// With the Enable_Jump_Field_Tables option on, Enter (13) moves the current cell to the next
// field, wrapping to column 1 of the next row and from the last row back to row 1. The key is then
// consumed (set to 0, result true), also when the current cell is on row or column 0 and so stays.
bool Grid_Enter_Jump(Grid& grid, char& key);

// The field cells (columns 1..N-1) of every data row, a state check box given as "Y"/"N".
std::vector<std::vector<std::string>> Grid_Rows(const Grid& grid);
// Fills data rows from the top with field cells as Grid_Rows gives them; a state check box is
// unchecked only by "N". Rows beyond the grid and cells beyond its columns are ignored.
void Grid_Fill_Rows(Grid& grid, const std::vector<std::vector<std::string>>& rows);

} // namespace qm
