#include "tables/grid_window.h"

#include <QAction>
#include <QBoxLayout>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

#include "common/conversions.h"
#include "common/file_io.h"
#include "common/file_texts.h"
#include "common/gui/faults_line.h"
#include "common/gui/message_box.h"
#include "common/gui/window_look.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "tables/duplicate_dialog.h"
#include "tables/exchange_texts.h"
#include "tables/grid_texts.h"
#include "tables/grid_view.h"
#include "tables/table_model.h"

namespace qm::gui {

QString To_Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Lang_Q(int entry) { return To_Q(Lang(entry)); }

Grid_Prompts Message_Prompts(QWidget* parent) {
    return {[parent](const std::string& text) { Show_Error(parent, To_Q(text)); },
            [parent](const std::string& text) { return Ask_Yes_No(parent, To_Q(text)); }};
}

void Show_Read_Problems(QWidget* window, const std::string& message) {
    if (message.empty()) {
        return;
    }
    // Queued, so that the box comes up over the window rather than before it.
    QTimer::singleShot(0, window, [window, text = To_Q(message)] { Show_Error(window, text); });
}

QString Step_Name(const Grid& grid, const Grid_Step& step) {
    const QString row = QString::number(step.row);
    switch (step.kind) {
    case Step_Kind::Edit_Cell: {
        const QString header = grid.Is_Cell(step.col, 0) ? To_Q(grid.Text(step.col, 0)) : QString();
        return Lang_Q(1327) + header + Lang_Q(1328) + row;
    }
    case Step_Kind::Delete_Row:
        return Lang_Q(1329) + row;
    case Step_Kind::Insert_Row:
        return Lang_Q(1330) + row;
    case Step_Kind::Paste_Row:
        return Lang_Q(1331) + row;
    case Step_Kind::Duplicate_Row:
        return Lang_Q(1332) + row;
    case Step_Kind::Cells:
        break;
    }
    return step.name.empty() ? Lang_Q(1333) : To_Q(step.name);
}

QString Faults_Status(int count, const QString& first) {
    // The marks are cells, one per failing check of a rule: the line counts cells, not rules.
    return Faults_Line(count, first, Lang_Q(1344), Lang_Q(grid_text::One_Faulty_Cell), Lang_Q(grid_text::Faulty_Cells));
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

Grid_Window::Grid_Window(const char* object_name, Grid_Window_Texts texts, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setObjectName(QString::fromUtf8(object_name));
}

void Grid_Window::Set_Up(QWidget* body, QSize client, bool fit_width) {
    auto* layout = new QVBoxLayout(this);
    Add_Title_Area(layout);
    layout->addWidget(body, 1);
    Make_Find_Bar(layout);
    L_Faults = new QLabel(this);
    L_Faults->setObjectName(QStringLiteral("L_Faults"));
    L_Faults->setTextFormat(Qt::PlainText);
    L_Faults->setVisible(Has_Check());
    layout->addWidget(L_Faults);

    Add_Button_Bar(layout);
    connect(Btn_OK, &QPushButton::clicked, this, &Grid_Window::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Delete_Row, &QPushButton::clicked, this, &Grid_Window::Delete_Row);
    connect(Btn_Insert_Row, &QPushButton::clicked, this, [this] { Shown_Table()->Insert_Row(); });
    connect(Btn_Copy_Row, &QPushButton::clicked, this, [this] {
        Grid_View* table = Shown_Table();
        if (!table->Copy_Row()) {
            return;
        }
        for (Grid_View* other : Tables()) {
            Copied_Flag(other) = other == table;
        }
    });
    connect(Btn_Paste_Row, &QPushButton::clicked, this, [this] {
        Grid_View* table = Shown_Table();
        table->Paste_Row(Copied_Flag(table), Message_Prompts(this));
    });
    connect(Btn_Import, &QPushButton::clicked, this, &Grid_Window::Import_File);
    connect(Btn_Export, &QPushButton::clicked, this, &Grid_Window::Export_File);
    for (Grid_View* table : Tables()) {
        connect(table, &Grid_View::Copy_Block_Requested, this, [this, table] { Copy_Block(table); });
        connect(table, &Grid_View::Paste_Block_Requested, this, [this, table] { Paste_Block(table); });
    }
    // After the four row buttons, which keep their places.
    Btn_Duplicate = new QPushButton(this);
    Btn_Duplicate->setObjectName(QStringLiteral("Btn_Duplicate"));
    Btn_Duplicate->setAutoDefault(false);
    Btn_Duplicate->setMinimumWidth(100);
    if (auto* bar = qobject_cast<QBoxLayout*>(layout->itemAt(layout->count() - 1)->layout())) {
        bar->addWidget(Btn_Duplicate);
    }
    connect(Btn_Duplicate, &QPushButton::clicked, this, &Grid_Window::Duplicate_Row);

    Undo_Stack = new QUndoStack(this);
    Make_Actions();
    for (Grid_View* table : Tables()) {
        Wire_Table(table);
    }

    Return_Focus_To_Table();
    resize(client);
    Set_Lang();
    if (fit_width) {
        Fit_Width_To_Table();
    }
}

// The software code (L_SW_Code, bold) and the window's description (L_SW_Desc) on one line.
void Grid_Window::Add_Title_Area(QBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    L_SW_Code = new QLabel(QString::fromUtf8(SW_Code), this);
    L_SW_Code->setObjectName(QStringLiteral("L_SW_Code"));
    QFont bold = L_SW_Code->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    L_SW_Code->setFont(bold);
    L_SW_Desc = new QLabel(this);
    L_SW_Desc->setObjectName(QStringLiteral("L_SW_Desc"));
    L_SW_Desc->setFont(bold);
    row->addWidget(L_SW_Code);
    row->addSpacing(24);
    row->addWidget(L_SW_Desc);
    row->addStretch(1);
    layout->addLayout(row);
}

// OK and Cancel at the left, then Import and Export; the four row buttons at the right.
void Grid_Window::Add_Button_Bar(QBoxLayout* layout) {
    const auto make = [this](const char* name) {
        auto* button = new QPushButton(this);
        button->setObjectName(QString::fromUtf8(name));
        button->setAutoDefault(false);
        button->setMinimumWidth(100);
        return button;
    };
    Btn_OK = make("Btn_OK");
    Btn_Cancel = make("Btn_Cancel");
    Btn_Delete_Row = make("Btn_Delete_Row");
    Btn_Insert_Row = make("Btn_Insert_Row");
    Btn_Copy_Row = make("Btn_Copy_Row");
    Btn_Paste_Row = make("Btn_Paste_Row");
    Btn_Import = make("Btn_Import");
    Btn_Export = make("Btn_Export");
    auto* row = new QHBoxLayout;
    row->addWidget(Btn_OK);
    row->addWidget(Btn_Cancel);
    row->addSpacing(24);
    row->addWidget(Btn_Import);
    row->addWidget(Btn_Export);
    row->addStretch(1);
    row->addWidget(Btn_Delete_Row);
    row->addWidget(Btn_Insert_Row);
    row->addWidget(Btn_Copy_Row);
    row->addWidget(Btn_Paste_Row);
    layout->addLayout(row);
}

// A row button takes the focus when clicked; the keyboard goes back to the table it acted on, so
// that the arrows and typing carry on there. Connected after the buttons' own work.
void Grid_Window::Return_Focus_To_Table() {
    for (QPushButton* button : {Btn_Delete_Row, Btn_Insert_Row, Btn_Copy_Row, Btn_Paste_Row, Btn_Duplicate}) {
        connect(button, &QPushButton::clicked, this, [this] {
            if (isVisible()) {
                Shown_Table()->setFocus(Qt::OtherFocusReason);
            }
        });
    }
}

// Asks the question (entry, then the row number) and deletes on Yes.
void Grid_Window::Delete_Row() {
    Grid_View* table = Shown_Table();
    table->Commit_Edit();
    const int row = table->Current_Row();
    if (!table->grid().Is_Data_Row(row)) {
        return;
    }
    if (Ask_Yes_No(this, Lang_Q(texts_.delete_question) + QString::number(row))) {
        table->Delete_Row();
    }
}

// Widens the window when its table's columns need more room than it has (a translated header,
// say), up to the screen's width; a window whose columns fit keeps its size.
void Grid_Window::Fit_Width_To_Table() {
    const Grid_View* table = Tables().front();
    int columns = 0;
    for (int c = 0; c < table->grid().Col_Count(); ++c) {
        columns += table->columnWidth(c);
    }
    int chrome = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    if (const QLayout* own = layout()) {
        const QMargins margins = own->contentsMargins();
        chrome += margins.left() + margins.right();
    }
    int needed = columns + chrome;
    if (const QScreen* screen = this->screen()) {
        needed = std::min(needed, screen->availableGeometry().width());
    }
    if (needed > width()) {
        resize(needed, height());
    }
}

void Grid_Window::Set_Lang() {
    setWindowTitle(Lang_Q(texts_.title));
    L_SW_Desc->setText(Lang_Q(texts_.description));
    // Captions from six consecutive entries (OK first) and hints from the six that follow them.
    QPushButton* const buttons[] = {Btn_OK, Btn_Cancel, Btn_Delete_Row, Btn_Insert_Row, Btn_Copy_Row, Btn_Paste_Row};
    int i = 0;
    for (QPushButton* button : buttons) {
        button->setText(Lang_Q(texts_.first_caption + i));
        button->setToolTip(Lang_Q(texts_.first_hint + i));
        ++i;
    }
    Btn_Import->setText(Lang_Q(1107));
    Btn_Import->setToolTip(Lang_Q(1109));
    Btn_Export->setText(Lang_Q(1108));
    Btn_Export->setToolTip(Lang_Q(1110));
    Btn_Duplicate->setText(Lang_Q(1334));
    Btn_Duplicate->setToolTip(Lang_Q(1335));
    Act_Duplicate->setText(Lang_Q(1334));
    Act_Find->setText(Lang_Q(1336));
    Act_Find_Next->setText(Lang_Q(1338));
    Act_Find_Previous->setText(Lang_Q(1339));
    Act_Next_Fault->setText(Lang_Q(1342));
    Act_Previous_Fault->setText(Lang_Q(1343));
    L_Find->setText(Lang_Q(1337));
    Btn_Find_Next->setText(Lang_Q(1338));
    Btn_Find_Previous->setText(Lang_Q(1339));
    Btn_Find_Close->setToolTip(Lang_Q(1341));
    Update_Undo_Texts();
    Set_Table_Texts();
    // The messages of the marks follow the language too.
    Mark_Faults();
}

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
    Act_Undo->setText(Lang_Q(1325) + Undo_Stack->undoText());
    Act_Redo->setText(Lang_Q(1326) + Undo_Stack->redoText());
    Act_Undo->setEnabled(Undo_Stack->canUndo());
    Act_Redo->setEnabled(Undo_Stack->canRedo());
}

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

Grid_Window::~Grid_Window() {
    // The tables outlive this part of the window; what they signal while going must not reach it.
    for (Grid_View* table : tables_) {
        disconnect(table, nullptr, this, nullptr);
    }
    // Its commands go with it; clearing them signals a change of index.
    disconnect(Undo_Stack, nullptr, this, nullptr);
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

void Grid_Window::Show_Context_Menu(Grid_View* table, const QPoint& pos) {
    table->Commit_Edit();
    QMenu menu(this);
    menu.addAction(Act_Undo);
    menu.addAction(Act_Redo);
    menu.addSeparator();
    menu.addAction(Act_Duplicate);
    menu.addSeparator();
    Add_Cell_Actions(menu, table);
    menu.addSeparator();
    menu.addAction(Act_Find);
    if (Has_Check()) {
        menu.addAction(Act_Next_Fault);
        menu.addAction(Act_Previous_Fault);
    }
    menu.exec(table->viewport()->mapToGlobal(pos));
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
    L_Find_Status->setText(found ? QString() : Lang_Q(1340));
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

namespace {

// The marks of one table among a window's faults or warnings.
std::vector<Table_Model::Mark> Marks_Of(const std::vector<Grid_Fault>& cells, const Grid_View* table) {
    std::vector<Table_Model::Mark> marks;
    for (const Grid_Fault& cell : cells) {
        if (cell.table == table) {
            marks.push_back({cell.col, cell.row, cell.text});
        }
    }
    return marks;
}

} // namespace

void Grid_Window::Mark_Faults() {
    faults_ = Has_Check() ? All_Faults() : std::vector<Grid_Fault>{};
    for (Grid_View* table : Tables()) {
        table->Model()->Set_Marks(Marks_Of(faults_, table));
    }
    Mark_Warnings();
    L_Faults->setText(Faults_Status(static_cast<int>(faults_.size()),
                                    faults_.empty() ? QString() : faults_.front().text));
    QPalette palette = L_Faults->palette();
    palette.setColor(QPalette::WindowText, faults_.empty() ? this->palette().color(QPalette::WindowText)
                                                           : QColor(176, 0, 0));
    L_Faults->setPalette(palette);
    Mark_Rows_After_End();
}

// Rows below the end of a list that hold something are not saved by OK, as designed; they are
// marked and counted so that the user sees it before pressing OK.
void Grid_Window::Mark_Rows_After_End() {
    int lost = 0;
    int first_end = 0;
    for (Grid_View* table : Tables()) {
        const Grid& grid = table->grid();
        const int key = Key_Column(table);
        int end = 0;
        while (grid.Is_Data_Row(end + 1) && !Trim(grid.Text(key, end + 1)).empty()) {
            ++end;
        }
        std::vector<int> rows;
        for (int row = end + 1; grid.Is_Data_Row(row); ++row) {
            // Enable is set on every reset row: only the other cells say that a row was filled.
            for (int col = 2; col < grid.Col_Count(); ++col) {
                if (!Trim(grid.Text(col, row)).empty()) {
                    rows.push_back(row);
                    break;
                }
            }
        }
        if (!rows.empty() && lost == 0) {
            first_end = end;
        }
        lost += static_cast<int>(rows.size());
        table->Model()->Set_Rows_After_End(std::move(rows),
                                           Lang_Q(exchange_text::Not_Saved) + QString::number(end));
    }
    L_Faults->setVisible(Has_Check() || lost > 0);
    if (lost == 0) {
        return;
    }
    const QString after_end = lost == 1 ? Lang_Q(exchange_text::One_Row_Lost) + QString::number(first_end)
                                        : QString::number(lost) + Lang_Q(exchange_text::Rows_Lost) +
                                              QString::number(first_end);
    L_Faults->setText(Has_Check() ? L_Faults->text() + Lang_Q(exchange_text::Status_Separator) + after_end
                                  : after_end);
}

void Grid_Window::Add_Cell_Actions(QMenu& menu, Grid_View* table) {
    menu.addAction(Lang_Q(exchange_text::Copy_Cells), this, [this, table] { Copy_Block(table); });
    menu.addAction(Lang_Q(exchange_text::Paste_Cells), this, [this, table] { Paste_Block(table); });
}

void Grid_Window::Mark_Warnings() {
    const std::vector<Grid_Fault> warnings = All_Warnings();
    for (Grid_View* table : Tables()) {
        table->Model()->Set_Warnings(Marks_Of(warnings, table));
    }
}

void Grid_Window::Duplicate_Row() {
    Grid_View* table = Shown_Table();
    table->Commit_Edit();
    const int row = table->Current_Row();
    if (!table->grid().Is_Data_Row(row)) {
        return;
    }
    const int key = Key_Column(table);
    if (!Duplicate_Row_In_List(table->grid(), row, key)) {
        Show_Error(this, Lang_Q(grid_text::Row_After_List));
        return;
    }
    if (Duplicate_Max_Copies(table->grid(), row, key) < 1) {
        Show_Error(this, Lang_Q(1359));
        return;
    }
    std::vector<int> text_cols{Mnemonic_Column(table)};
    if (const int name = Name_Column(table); name > 0) {
        text_cols.insert(text_cols.begin(), name);
    }
    Duplicate_Dialog dialog(table->grid(), row, key, Count_Columns(table), std::move(text_cols), this);
    if (dialog.exec() != QDialog::Accepted || dialog.Plan().error != Duplicate_Error::None) {
        return;
    }
    table->Insert_Copies(row, dialog.Plan().copies);
}

void Grid_Window::keyPressEvent(QKeyEvent* event) {
    // Escape closes the find bar first; only then does it close the window, as Cancel.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && P_Find->isVisible()) {
        Hide_Find_Bar();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Grid_Window::reject() {
    // Escape, Cancel and the title bar's close button all come here: with changes made, one of
    // them must not throw a session's work away unasked.
    for (Grid_View* table : Tables()) {
        table->Commit_Edit();
    }
    if (Undo_Stack->canUndo() && !Ask_Yes_No(this, Lang_Q(grid_text::Discard_Changes))) {
        return;
    }
    QDialog::reject();
}

void Grid_Window::done(int result) {
    Undo_Stack->clear();
    QDialog::done(result);
}

void Grid_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        // The designed size where the screen has room for it; on a smaller screen the table
        // gives up the room, the bars keep theirs.
        Fit_Window_To_Screen(this);
        FormShow();
    }
}


void Grid_Window::FormShow() {
    // The window reloads its file: nothing from an earlier opening can be undone.
    Undo_Stack->clear();
    for (Grid_View* table : Tables()) {
        table->Reset_Rows();
        Copied_Flag(table) = false;
    }
    Prepare_Opening();
    file_read_complete_ = true;
    const std::string& path = File_Path();
    if (!path.empty()) {
        file_stamp_ = Stamp_File(path);
        stamped_path_ = path;
        const Table_Read_Info info = Load(path);
        file_read_complete_ = info.complete;
        Show_Read_Problems(this, info.Message());
    }
    Mark_Faults();
    // Every opening starts at the top, whatever configuration the last one left off in.
    for (Grid_View* table : Tables()) {
        table->Show_Start();
    }
}

void Grid_Window::Btn_OKClick() {
    for (Grid_View* table : Tables()) {
        table->Commit_Edit();
    }
    if (!Controllo_dati()) {
        return;
    }
    const std::string& path = File_Path();
    if (path.empty()) {
        Show_Error(this, Lang_Q(18));
        return;
    }
    if (!Overwrite_Allowed(path)) {
        return;
    }
    const Table_Save_Result saved = Save(path, !file_read_complete_);
    if (!saved.ok) {
        Show_Error(this, To_Q(saved.message));
        return;
    }
    if (!saved.backup_path.empty()) {
        Show_Information(this, To_Q(saved.message));
    }
    accept();
}

bool Grid_Window::Overwrite_Allowed(const std::string& path) {
    // Another window, program or colleague changed the file after this opening read it: saving
    // now would silently drop that change. Cancel keeps the window open with the user's edits.
    if (path != stamped_path_ || Stamp_File(path) == file_stamp_) {
        return true;
    }
    if (Ask_Choice(this, Lang_Q(file_text::Changed_Question), {Lang_Q(file_text::Overwrite), Lang_Q(file_text::Cancel)}) != 0) {
        return false;
    }
    file_stamp_ = Stamp_File(path);
    return true;
}

namespace {

Grid_Window::File_Chooser& Chooser() {
    static Grid_Window::File_Chooser chooser;
    return chooser;
}

QString Choose_File(QWidget* parent, bool save, const QStringList& filters, int* filter) {
    if (Chooser()) {
        return Chooser()(parent, save, filters, filter);
    }
    // The folder of the last file, for the rest of the run.
    static QString folder;
    QString picked = filters.value(filter != nullptr ? *filter : 0);
    const QString path = save ? QFileDialog::getSaveFileName(parent, Lang_Q(1117), folder, filters.join(QStringLiteral(";;")), &picked)
                              : QFileDialog::getOpenFileName(parent, Lang_Q(1116), folder, filters.join(QStringLiteral(";;")), &picked);
    if (!path.isEmpty()) {
        folder = QFileInfo(path).absolutePath();
        if (filter != nullptr) {
            *filter = static_cast<int>(std::max<qsizetype>(0, filters.indexOf(picked)));
        }
    }
    return path;
}

QString Lines(const std::vector<std::string>& lines) {
    QStringList texts;
    for (const std::string& line : lines) {
        texts.append(To_Q(line));
    }
    return texts.join(QLatin1Char('\n'));
}

// A refusal with its first reasons in the box itself, where they are read; the rest behind the
// box's details button.
void Show_Refusal(QWidget* parent, const QString& head, const std::vector<std::string>& reasons) {
    constexpr std::size_t shown = 3;
    QString text = head;
    for (std::size_t i = 0; i < reasons.size() && i < shown; ++i) {
        text += QLatin1Char('\n') + To_Q(reasons[i]);
    }
    if (reasons.size() <= shown) {
        Show_Error(parent, text);
        return;
    }
    text += QLatin1Char('\n') + Lang_Q(1075) + QString::number(reasons.size() - shown) +
            Lang_Q(exchange_text::More_In_Details);
    Show_Error(parent, text, Lines({reasons.begin() + shown, reasons.end()}));
}

} // namespace

void Grid_Window::Set_File_Chooser(File_Chooser chooser) {
    Chooser() = std::move(chooser);
}

void Grid_Window::Import_File() {
    Grid_View* table = Shown_Table();
    table->Commit_Edit();
    int filter = 0;
    const QString path = Choose_File(this, false, {Lang_Q(1114), Lang_Q(1115)}, &filter);
    if (path.isEmpty()) {
        return;
    }
    std::string bytes;
    if (const auto reason = Read_Exchange_File(Utf8(path), bytes)) {
        Show_Refusal(this, Lang_Q(1122) + path, {*reason});
        return;
    }
    const Exchange_Table kind = Exchange_Kind(table);
    const Table_Rows current = table->Rows();
    Import_Mode mode = Import_Mode::Replace;
    if (List_Length(current, Exchange_Key_Column(kind), Exchange_Capacity(kind)) > 0) {
        // Append is the default: it is the choice that loses nothing.
        switch (Ask_Choice(this, Lang_Q(1118), {Lang_Q(1119), Lang_Q(1120), Lang_Q(1121)}, 1)) {
        case 0:
            break;
        case 1:
            mode = Import_Mode::Append;
            break;
        default:
            return;
        }
    }
    const Import_Result result =
        Import_Table(kind, bytes, mode, current, Other_List(table), Get_Decimal_Separator());
    if (!result.errors.empty()) {
        std::vector<std::string> lines;
        for (const Exchange_Error& error : result.errors) {
            lines.push_back(error.text);
        }
        Show_Refusal(this, Lang_Q(1122) + path, lines);
        return;
    }
    // The rows go into the grid, not into the file: OK checks and saves them as typed rows. One
    // step, so Ctrl+Z takes the whole import back.
    table->Set_Block(1, 1, result.rows, Lang(1127));
    table->Set_Current_Cell(1, std::max(1, result.first_row));
    if (!result.faults.empty()) {
        std::vector<std::string> lines;
        for (const Import_Fault& fault : result.faults) {
            lines.push_back(fault.text);
        }
        Show_Warning(this, Lang_Q(1123) + QLatin1Char('\n') + To_Q(lines.front()), Lines(lines));
    }
}

void Grid_Window::Export_File() {
    Grid_View* table = Shown_Table();
    table->Commit_Edit();
    int filter = 0;
    QString path = Choose_File(this, true, {Lang_Q(1111), Lang_Q(1112), Lang_Q(1113)}, &filter);
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        // The dialog asked about overwriting the name typed, not this one.
        path += filter == 2 ? QStringLiteral(".tsv") : QStringLiteral(".csv");
        if (QFileInfo::exists(path) && !Ask_Yes_No(this, Lang_Q(1103) + QLatin1Char('\n') + path)) {
            return;
        }
    }
    // The filter picks the separator; a ".tsv" or ".txt" name is tab-separated whatever was picked.
    char separator = filter == 1 ? ';' : filter == 2 ? '\t' : ',';
    if (Separator_For_Path(Utf8(path)) == '\t') {
        separator = '\t';
    }
    const Io_Result written = Write_File_Atomic(Utf8(path), Export_Table(Exchange_Kind(table), table->Rows(), separator));
    if (!written) {
        Show_Error(this, Lang_Q(1124), To_Q(written.message));
    }
}

void Grid_Window::Copy_Block(Grid_View* table) {
    int top = 0, bottom = 0, left = 0, right = 0;
    if (!table->Selected_Block(top, bottom, left, right)) {
        return;
    }
    QGuiApplication::clipboard()->setText(To_Q(Export_Selection(table->Rows(), top, bottom, left, right)));
}

void Grid_Window::Paste_Block(Grid_View* table) {
    const int row = table->Current_Row();
    const int col = std::max(1, table->grid().Col);
    if (!table->grid().Is_Data_Row(row)) {
        return;
    }
    const Table_Rows current = table->Rows();
    const Block_Paste block =
        Parse_Block(Exchange_Kind(table), Utf8(QGuiApplication::clipboard()->text()), row, col, &current);
    if (!block.ok()) {
        Show_Refusal(this, Lang_Q(1125), block.errors);
        return;
    }
    table->Set_Block(row, col, block.cells, Lang(1126));
}

} // namespace qm::gui
