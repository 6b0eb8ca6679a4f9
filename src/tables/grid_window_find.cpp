// The table windows' find bar, and the moves to the next match or fault.
#include "tables/grid_window.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "tables/grid_texts.h"
#include "tables/grid_view.h"
#include "tables/table_model.h"

namespace qm::gui {

void Grid_Window::Make_Find_Bar(QBoxLayout* layout) {
    P_Find = new QWidget(this);
    P_Find->setObjectName(QStringLiteral("P_Find"));
    auto* row = new QHBoxLayout(P_Find);
    row->setContentsMargins(0, 0, 0, 0);
    L_Find = new QLabel(P_Find);
    L_Find->setObjectName(QStringLiteral("L_Find"));
    E_Find = new QLineEdit(P_Find);
    E_Find->setObjectName(QStringLiteral("E_Find"));
    E_Find->setClearButtonEnabled(true);
    E_Find->setMinimumWidth(240);
    L_Find->setBuddy(E_Find);
    Btn_Find_Next = new QPushButton(P_Find);
    Btn_Find_Next->setObjectName(QStringLiteral("Btn_Find_Next"));
    Btn_Find_Next->setAutoDefault(false);
    Btn_Find_Previous = new QPushButton(P_Find);
    Btn_Find_Previous->setObjectName(QStringLiteral("Btn_Find_Previous"));
    Btn_Find_Previous->setAutoDefault(false);
    L_Find_Status = new QLabel(P_Find);
    L_Find_Status->setObjectName(QStringLiteral("L_Find_Status"));
    Btn_Find_Close = new QToolButton(P_Find);
    Btn_Find_Close->setObjectName(QStringLiteral("Btn_Find_Close"));
    Btn_Find_Close->setAutoRaise(true);
    Btn_Find_Close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    row->addWidget(L_Find);
    row->addWidget(E_Find);
    row->addWidget(Btn_Find_Next);
    row->addWidget(Btn_Find_Previous);
    row->addWidget(L_Find_Status, 1);
    row->addWidget(Btn_Find_Close);
    layout->addWidget(P_Find);
    P_Find->hide();

    // Typing looks from the current cell on, so that a longer text stays on a cell that still matches.
    connect(E_Find, &QLineEdit::textEdited, this, [this] { Find_From(true, true); });
    connect(E_Find, &QLineEdit::returnPressed, this, [this] { Find_Next(true); });
    connect(Btn_Find_Next, &QPushButton::clicked, this, [this] { Find_Next(true); });
    connect(Btn_Find_Previous, &QPushButton::clicked, this, [this] { Find_Next(false); });
    connect(Btn_Find_Close, &QToolButton::clicked, this, &Grid_Window::Hide_Find_Bar);
}

void Grid_Window::Show_Find_Bar() {
    P_Find->show();
    E_Find->setFocus(Qt::ShortcutFocusReason);
    E_Find->selectAll();
    for (Grid_View* table : Tables()) {
        table->Model()->Set_Find_Text(E_Find->text());
    }
}

void Grid_Window::Hide_Find_Bar() {
    P_Find->hide();
    L_Find_Status->clear();
    for (Grid_View* table : Tables()) {
        table->Model()->Set_Find_Text(QString());
    }
    Shown_Table()->setFocus();
}

bool Grid_Window::Go_To_Cell(const std::function<bool(Grid_View*, int, int)>& test, bool forward,
                             bool include_current) {
    const std::vector<Grid_View*> tables = Tables();
    Grid_View* shown = Shown_Table();
    const auto n = static_cast<int>(tables.size());
    const int start = static_cast<int>(std::find(tables.begin(), tables.end(), shown) - tables.begin());
    auto go = [&](Grid_View* table, std::pair<int, int> cell) {
        Show_Table(table);
        table->Set_Current_Cell(cell.first, cell.second);
        return true;
    };
    // The shown table from its current cell, then the others from their start, then the shown
    // one again from its start: the cells before the current one, and the current one when it is
    // the only one left.
    for (int i = 0; i <= n; ++i) {
        Grid_View* table = tables[static_cast<std::size_t>(((start + (forward ? i : -i)) % n + n) % n)];
        const auto cell_test = [&](int col, int row) { return test(table, col, row); };
        const auto found = i == 0 ? table->Next_Cell(cell_test, table->grid().Col, table->Current_Row(), forward,
                                                     include_current)
                                  : table->Next_Cell(cell_test, 0, 0, forward, false);
        if (found) {
            return go(table, *found);
        }
    }
    return false;
}

bool Grid_Window::Find_From(bool forward, bool include_current) {
    const QString text = E_Find->text();
    for (Grid_View* table : Tables()) {
        table->Model()->Set_Find_Text(text);
    }
    if (text.isEmpty()) {
        L_Find_Status->clear();
        return false;
    }
    const bool found = Go_To_Cell(
        [&text](Grid_View* table, int col, int row) { return table->Model()->Cell_Contains(col, row, text); },
        forward, include_current);
    L_Find_Status->setText(found ? QString() : Lang_Q(grid_text::Not_Found));
    return found;
}

bool Grid_Window::Find_Next(bool forward) {
    if (!P_Find->isVisible()) {
        P_Find->show();
    }
    return Find_From(forward, false);
}

bool Grid_Window::Go_To_Fault(bool forward) {
    if (faults_.empty()) {
        return false;
    }
    Grid_View* table = Shown_Table();
    table->Commit_Edit();
    const bool moved = Go_To_Cell(
        [](Grid_View* t, int col, int row) { return t->Model()->Has_Mark(col, row); }, forward, false);
    if (moved) {
        Shown_Table()->setFocus();
    }
    return moved;
}

} // namespace qm::gui
