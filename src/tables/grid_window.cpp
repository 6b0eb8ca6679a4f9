// The table windows' frame: title, buttons, OK and Cancel, the marks of faults and lost rows.
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

QString Faults_Status(int count, const QString& first) {
    // The marks are cells, one per failing check of a rule: the line counts cells, not rules.
    return Faults_Line(count, first, Lang_Q(grid_text::No_Faults), Lang_Q(grid_text::One_Faulty_Cell), Lang_Q(grid_text::Faulty_Cells));
}


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
    button_bar_->addWidget(Btn_Duplicate);
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
    button_bar_ = row;
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
    Btn_Import->setText(Lang_Q(exchange_text::Import));
    Btn_Import->setToolTip(Lang_Q(exchange_text::Import_Hint));
    Btn_Export->setText(Lang_Q(exchange_text::Export));
    Btn_Export->setToolTip(Lang_Q(exchange_text::Export_Hint));
    Btn_Duplicate->setText(Lang_Q(grid_text::Duplicate));
    Btn_Duplicate->setToolTip(Lang_Q(grid_text::Duplicate_Hint));
    Act_Duplicate->setText(Lang_Q(grid_text::Duplicate));
    Act_Find->setText(Lang_Q(grid_text::Find));
    Act_Find_Next->setText(Lang_Q(grid_text::Next));
    Act_Find_Previous->setText(Lang_Q(grid_text::Previous));
    Act_Next_Fault->setText(Lang_Q(grid_text::Next_Fault));
    Act_Previous_Fault->setText(Lang_Q(grid_text::Previous_Fault));
    L_Find->setText(Lang_Q(grid_text::Find_Label));
    Btn_Find_Next->setText(Lang_Q(grid_text::Next));
    Btn_Find_Previous->setText(Lang_Q(grid_text::Previous));
    Btn_Find_Close->setToolTip(Lang_Q(grid_text::Close_Find_Hint));
    Update_Undo_Texts();
    Set_Table_Texts();
    // The messages of the marks follow the language too.
    Mark_Faults();
}

Grid_Window::~Grid_Window() {
    // The tables outlive this part of the window; what they signal while going must not reach it.
    for (Grid_View* table : tables_) {
        disconnect(table, nullptr, this, nullptr);
    }
    // Its commands go with it; clearing them signals a change of index.
    disconnect(Undo_Stack, nullptr, this, nullptr);
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
        Show_Error(this, Lang_Q(grid_text::No_Free_Row));
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
        Show_Error(this, Lang_Q(file_text::Project_Not_Valid));
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

} // namespace qm::gui
