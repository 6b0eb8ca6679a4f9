#pragma once
// The Duplicate dialog: how many copies of a row, the increment of each numeric column, a preview
// of the first and the last copy, and a refusal that names the range a copy would leave.

#include <QDialog>

#include <vector>

#include "tables/grid_duplicate.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace qm::gui {

class Duplicate_Dialog : public QDialog {
    Q_OBJECT
public:
    // columns: the numeric columns that may be counted up; text_cols: the texts whose trailing
    // number counts up by one per copy (a Name, a Mnemonic). The table's header row names them.
    Duplicate_Dialog(const Grid& grid, int row, int key_col, std::vector<Count_Column> columns,
                     std::vector<int> text_cols, QWidget* parent);

    // The spin box of a column's increment; nullptr for a column that cannot be counted up.
    QSpinBox* Increment_Of(int col) const;
    // The copies as the dialog stands; its error says why there are none.
    const Duplicate_Plan& Plan() const { return plan_; }

    QSpinBox* E_Copies = nullptr;
    QLabel* L_Mnemonic = nullptr;
    QLabel* L_Preview = nullptr;
    QLabel* L_Error = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;

private:
    void Update();
    QString Header(int col) const;
    QString Fields_Of(const Row_Cells& copy) const;

    const Grid& grid_;
    int row_;
    int key_col_;
    std::vector<int> text_cols_;
    std::vector<Count_Column> columns_;
    std::vector<QSpinBox*> increments_;
    Duplicate_Plan plan_;
};

} // namespace qm::gui
