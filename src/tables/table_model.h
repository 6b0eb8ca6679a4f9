#pragma once
// A Qt model over a Grid the window owns: model row i is data row i + 1 of the grid (the grid's
// row 0 is the horizontal header), model column c is grid column c (column 0 the row numbers).
// Check boxes, text ("Y"/"N") or state, are read and written through Qt::CheckStateRole.

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

#include "tables/grid_edit.h"

namespace qm::gui {

class Table_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    Table_Model(Grid& grid, QObject* parent);

    Grid& grid() { return grid_; }
    const Grid& grid() const { return grid_; }

    int Grid_Row(const QModelIndex& index) const { return index.row() + 1; }
    QModelIndex Cell_Index(int col, int row) const { return index(row - 1, col); }

    // Hint of the header of column c (c >= 1) is item c - 1; other cells get none.
    void Set_Header_Hints(QStringList hints);
    // Background of every data cell of a column; an invalid colour keeps the view's own.
    void Set_Column_Background(int col, const QColor& colour);

    // Called after an edit through setData (typing, a check-box click) changed a cell, with the
    // cell as it was: how the window records the edit for undo.
    using Edit_Handler = std::function<void(int col, int row, const Grid_Cell& before)>;
    void Set_Edit_Handler(Edit_Handler handler) { on_edit_ = std::move(handler); }

    // Faulty cells: a background of their own and the check's message as their tooltip. Replaces
    // every earlier mark; only the rows whose marks changed are repainted.
    struct Mark {
        int col = 0;
        int row = 0;
        QString text;
    };
    void Set_Marks(const std::vector<Mark>& marks);
    bool Has_Mark(int col, int row) const;
    QString Mark_Text(int col, int row) const;
    int Mark_Count() const { return static_cast<int>(mark_texts_.size()); }

    // Rows below the end of the list that hold something, which no save keeps: a background of
    // their own and the tooltip given (which says where the list ends). Replaces the earlier set.
    void Set_Rows_After_End(std::vector<int> rows, const QString& tooltip);
    bool Is_After_End(int row) const;
    int Rows_After_End_Count() const { return static_cast<int>(after_end_.size()); }
    // Cells to look at that OK does not refuse: a colour of their own and the warning as their
    // tooltip, under a fault's mark where a cell has both. Replaces every earlier warning.
    void Set_Warnings(const std::vector<Mark>& warnings);
    bool Has_Warning(int col, int row) const;

    // Cells that contain the text, letter case ignored, are highlighted; an empty text none.
    void Set_Find_Text(const QString& text);
    const QString& Find_Text() const { return find_text_; }
    // Whether a field shows the text; the row numbers and check boxes show none.
    bool Cell_Contains(int col, int row, const QString& text) const;

    // Tell the view that grid rows first..last (data rows) changed behind its back.
    void Rows_Changed(int first, int last);
    // The whole grid changed (opening): cheaper for the view than one change per cell.
    void Grid_Reset();
    // Header texts (grid row 0) changed.
    void Headers_Changed();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool Is_Check(int col, int row) const;

    std::size_t Mark_Slot(int col, int row) const;

    Grid& grid_;
    QStringList hints_;
    std::vector<QColor> backgrounds_;
    Edit_Handler on_edit_;
    std::vector<int> mark_of_cell_; // per cell, an index into mark_texts_ or -1
    std::vector<QString> mark_texts_;
    QString find_text_;
    std::vector<int> after_end_; // sorted grid rows
    QString after_end_tip_;
    std::map<std::size_t, QString> warnings_; // by cell slot; few, and only in some tables
};

} // namespace qm::gui
