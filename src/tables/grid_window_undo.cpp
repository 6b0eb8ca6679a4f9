// The table windows' undo stack: each table's steps become commands, and the window's actions
// (undo, redo, duplicate, find, faults) with their shortcuts.
#include "tables/grid_window.h"

#include <QAction>
#include <QLineEdit>
#include <QUndoCommand>
#include <QUndoStack>

#include <functional>
#include <utility>

#include "tables/grid_texts.h"
#include "tables/grid_view.h"

namespace qm::gui {

QString Step_Name(const Grid& grid, const Grid_Step& step) {
    const QString row = QString::number(step.row);
    switch (step.kind) {
    case Step_Kind::Edit_Cell: {
        const QString header = grid.Is_Cell(step.col, 0) ? To_Q(grid.Text(step.col, 0)) : QString();
        return Lang_Q(grid_text::Change_Of) + header + Lang_Q(grid_text::In_Row) + row;
    }
    case Step_Kind::Delete_Row:
        return Lang_Q(grid_text::Delete_Row) + row;
    case Step_Kind::Insert_Row:
        return Lang_Q(grid_text::Insert_Row) + row;
    case Step_Kind::Paste_Row:
        return Lang_Q(grid_text::Paste_Row) + row;
    case Step_Kind::Duplicate_Row:
        return Lang_Q(grid_text::Duplicate_Row) + row;
    case Step_Kind::Cells:
        break;
    }
    return step.name.empty() ? Lang_Q(grid_text::Change_Of_Cells) : To_Q(step.name);
}

namespace {

// One step of a table on the window's undo stack. It is pushed after the change was made, so its
// first redo (QUndoStack::push calls it) does nothing.
class Grid_Command : public QUndoCommand {
public:
    // show brings the table's page to the front, so that what is undone is seen.
    Grid_Command(Grid_View* table, Grid_Step step, std::function<void()> show)
        : QUndoCommand(Step_Name(table->grid(), step)), table_(table), step_(std::move(step)),
          show_(std::move(show)) {}

    void undo() override {
        show_();
        table_->Apply_Step(step_, false);
    }
    void redo() override {
        if (done_) {
            done_ = false;
            return;
        }
        show_();
        table_->Apply_Step(step_, true);
    }

private:
    Grid_View* table_;
    Grid_Step step_;
    std::function<void()> show_;
    bool done_ = true;
};

} // namespace

void Grid_Window::Make_Actions() {
    auto make = [this](const char* name, std::initializer_list<QKeySequence> keys) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromUtf8(name));
        action->setShortcuts(QList<QKeySequence>(keys));
        // Anywhere in the window; an open cell editor keeps its own Ctrl+Z and Ctrl+Y.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        return action;
    };
    Act_Undo = make("Act_Undo", {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    Act_Redo = make("Act_Redo", {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Act_Duplicate = make("Act_Duplicate", {});
    Act_Find = make("Act_Find", {QKeySequence(Qt::CTRL | Qt::Key_F)});
    Act_Find_Next = make("Act_Find_Next", {QKeySequence(Qt::Key_F3)});
    Act_Find_Previous = make("Act_Find_Previous", {QKeySequence(Qt::SHIFT | Qt::Key_F3)});
    Act_Next_Fault = make("Act_Next_Fault", {QKeySequence(Qt::Key_F8)});
    Act_Previous_Fault = make("Act_Previous_Fault", {QKeySequence(Qt::SHIFT | Qt::Key_F8)});

    // What is being typed into a cell is taken over first, so that it is a step of its own.
    connect(Act_Undo, &QAction::triggered, this, [this] {
        for (Grid_View* table : Tables()) {
            table->Commit_Edit();
        }
        Undo_Stack->undo();
    });
    connect(Act_Redo, &QAction::triggered, this, [this] {
        for (Grid_View* table : Tables()) {
            table->Commit_Edit();
        }
        Undo_Stack->redo();
    });
    connect(Undo_Stack, &QUndoStack::indexChanged, this, &Grid_Window::Update_Undo_Texts);
    connect(Undo_Stack, &QUndoStack::cleanChanged, this, &Grid_Window::Update_Undo_Texts);
    connect(Act_Duplicate, &QAction::triggered, this, &Grid_Window::Duplicate_Row);
    connect(Act_Find, &QAction::triggered, this, &Grid_Window::Show_Find_Bar);
    connect(Act_Find_Next, &QAction::triggered, this, [this] {
        if (E_Find->text().isEmpty()) {
            Show_Find_Bar();
        } else {
            Find_Next(true);
        }
    });
    connect(Act_Find_Previous, &QAction::triggered, this, [this] {
        if (E_Find->text().isEmpty()) {
            Show_Find_Bar();
        } else {
            Find_Next(false);
        }
    });
    connect(Act_Next_Fault, &QAction::triggered, this, [this] { Go_To_Fault(true); });
    connect(Act_Previous_Fault, &QAction::triggered, this, [this] { Go_To_Fault(false); });
}

void Grid_Window::Update_Undo_Texts() {
    Act_Undo->setText(Lang_Q(grid_text::Undo) + Undo_Stack->undoText());
    Act_Redo->setText(Lang_Q(grid_text::Redo) + Undo_Stack->redoText());
    Act_Undo->setEnabled(Undo_Stack->canUndo());
    Act_Redo->setEnabled(Undo_Stack->canRedo());
}

void Grid_Window::Wire_Table(Grid_View* table) {
    tables_.push_back(table);
    connect(table, &Grid_View::Step_Made, this, [this, table](const Grid_Step& step) {
        Undo_Stack->push(new Grid_Command(table, step, [this, table] { Show_Table(table); }));
    });
    connect(table, &Grid_View::Content_Changed, this, &Grid_Window::Mark_Faults);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this,
            [this, table](const QPoint& pos) { Show_Context_Menu(table, pos); });
}

} // namespace qm::gui
