#pragma once
// The table control of the table windows: a QTableView that owns its Grid, the model over it and
// one delegate per kind of column, and binds the shared row operations, the Enter-key jump, the
// header double-click and the row selection by column 0 to it.

#include <QStringList>
#include <QTableView>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tables/grid_edit.h"
#include "tables/grid_history.h"

namespace qm {
struct Table_Layout;
}

namespace qm::gui {

class Table_Model;
class Cell_Delegate;
class List_Delegate;
class Memo_Delegate;
class Check_Delegate;

class Grid_View : public QTableView {
    Q_OBJECT
public:
    // col_count and row_count include the row-number column and the header row.
    Grid_View(int col_count, int row_count, Grid_Mode mode, QWidget* parent);
    ~Grid_View() override;

    Grid& grid() { return grid_; }
    const Grid& grid() const { return grid_; }
    Table_Model* Model() const { return model_; }
    Grid_Mode Mode() const { return mode_; }

    // Layout, fixed when the window is created. Items of a list may be replaced at any time.
    // Set_Column does not refit the widths; Set_Min_Widths, Set_Headers and Set_Items do.
    void Set_Column(int col, Cell_Editor editor, std::vector<std::string> items = {});
    // The editor of every column from the table's layout: check boxes (state check boxes in
    // check-box mode), lists with their items, several-line texts. A Position list gets its
    // items later, through Set_Items, when the size of its data array is known.
    void Set_Layout(const Table_Layout& layout);
    // Header texts and hints from the layout's entries, in the current language; the hints.
    QStringList Set_Layout_Texts(const Table_Layout& layout);
    void Set_Items(int col, std::vector<std::string> items);
    void Set_Check_Column(int col);  // state check boxes (check-box mode)
    void Set_Multi_Line(int col);    // a text column whose cells hold several lines
    void Set_Row_Height(int pixels);
    // Header texts (grid row 0) and hints; column widths follow the new header texts.
    void Set_Headers(const std::vector<std::string>& headers);
    void Set_Header_Hints(const QStringList& hints);
    // Smallest widths per column; a column is widened to its header text and its list items.
    void Set_Min_Widths(std::vector<int> widths);

    // Opening: every data row reset, then the file's rows, shown in one go.
    void Reset_Rows();
    void Fill_Rows(const std::vector<std::vector<std::string>>& rows);
    std::vector<std::vector<std::string>> Rows() const { return Grid_Rows(grid_); }

    // The row operations on the current row; they first take over a cell being edited.
    int Current_Row() const { return grid_.Row; }
    void Set_Current_Cell(int col, int row);
    // Row 1, column 1 current and in sight, nothing else selected: how every opening starts.
    void Show_Start();
    bool Delete_Row();
    bool Insert_Row();
    bool Copy_Row();
    Paste_Result Paste_Row(bool copied, const Grid_Prompts& prompts);
    // Puts copies right below `row`, as Insert Row would place them; one step.
    bool Insert_Copies(int row, std::vector<Row_Cells> copies);

    // Any operation that changes a set of cells (a block paste, an import) goes through here: the
    // cells of `after` are written, the change becomes one undoable step named `name` (empty: a
    // plain "Change of Cells") and the faults are marked again. False when no cell changed.
    bool Change_Cells(const Grid_Block& after, const std::string& name = {});

    // Takes a recorded step back or does it again, and shows where it acted.
    void Apply_Step(const Grid_Step& step, bool redo);

    // The next cell from (col, row) in reading order, forwards or backwards, for which the test
    // holds; the start itself counts only with include_start. (0, 0) starts before the first
    // cell, or after the last going backwards. Nothing when no cell of the table passes.
    std::optional<std::pair<int, int>> Next_Cell(const std::function<bool(int col, int row)>& test, int col, int row,
                                                 bool forward, bool include_start) const;

    // Ends an edit in progress, keeping what was typed (before OK and the row operations).
    void Commit_Edit();

    // The selected cells' bounding rectangle in grid rows and field columns (1-based, both ends
    // included); the current cell when nothing is selected. False when not even that lies on a
    // field (a row-number click selects whole rows, which count from column 1).
    bool Selected_Block(int& top, int& bottom, int& left, int& right) const;
    // Writes a block of texts from (top, left) rightward and downward, as typing them would
    // (a state check box takes "N" as unchecked, anything else as checked), as one undoable step
    // named `name`; cells outside the grid are dropped. False when no cell changed.
    bool Set_Block(int top, int left, const std::vector<std::vector<std::string>>& cells, const std::string& name);

signals:
    // Ctrl+C and Ctrl+V on the table (not in an open editor): the window decides what they mean.
    void Copy_Block_Requested();
    void Paste_Block_Requested();
    // A change the user made (an edit, a row operation), already done, to be recorded for undo.
    void Step_Made(const qm::Grid_Step& step);
    // The cells changed: by an edit, a row operation, an undo or redo.
    void Content_Changed();

public slots:
    void Enter_Jump();

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void updateGeometries() override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void Record(std::optional<Grid_Step> step);
    void Double_Click(int col, int row);
    void Fit_Widths();
    void Show_Current();
    void Make_Fixed_Column();
    void Place_Fixed_Column();

    Grid grid_;
    Grid_Mode mode_;
    Table_Model* model_;
    Cell_Delegate* text_delegate_;
    List_Delegate* list_delegate_;
    List_Delegate* free_list_delegate_;
    Check_Delegate* check_delegate_;
    Memo_Delegate* memo_delegate_ = nullptr;
    QTableView* fixed_column_ = nullptr; // column 0 drawn over the view, so it stays when scrolling
    std::vector<int> min_widths_;
    std::vector<int> user_widths_; // 0: not set by the user, fitted to header and items
    bool fitting_ = false;
};

} // namespace qm::gui
