#include "tables/grid_window.h"

#include <QBoxLayout>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "common/conversions.h"
#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "common/gui/window_look.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "tables/grid_view.h"

namespace qm::gui {

QString To_Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Lang_Q(int entry) { return To_Q(Lang(entry)); }

QStringList Lang_List(std::initializer_list<int> entries) {
    QStringList texts;
    for (int entry : entries) {
        texts.push_back(Lang_Q(entry));
    }
    return texts;
}

std::vector<std::string> Lang_Texts(std::initializer_list<int> entries) {
    std::vector<std::string> texts;
    for (int entry : entries) {
        texts.push_back(Lang(entry));
    }
    return texts;
}

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

Grid_Window::Grid_Window(const char* object_name, Grid_Window_Texts texts, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setObjectName(QString::fromUtf8(object_name));
}

void Grid_Window::Set_Up(QWidget* body, QSize client, bool fit_width) {
    auto* layout = new QVBoxLayout(this);
    Add_Title_Area(layout);
    layout->addWidget(body, 1);
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
    Set_Table_Texts();
}

void Grid_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void Grid_Window::FormShow() {
    for (Grid_View* table : Tables()) {
        table->Reset_Rows();
        Copied_Flag(table) = false;
    }
    Prepare_Opening();
    file_read_complete_ = true;
    const std::string& path = File_Path();
    if (!path.empty()) {
        const Table_Read_Info info = Load(path);
        file_read_complete_ = info.complete;
        Show_Read_Problems(this, info.Message());
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
        Show_Error(this, Lang_Q(1122) + path, To_Q(*reason));
        return;
    }
    const Exchange_Table kind = Exchange_Kind(table);
    const Table_Rows current = table->Rows();
    Import_Mode mode = Import_Mode::Replace;
    if (List_Length(current, Exchange_Key_Column(kind), Exchange_Capacity(kind)) > 0) {
        switch (Ask_Choice(this, Lang_Q(1118), {Lang_Q(1119), Lang_Q(1120), Lang_Q(1121)})) {
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
        Show_Error(this, Lang_Q(1122) + path, Lines(lines));
        return;
    }
    // The rows go into the grid, not into the file: OK checks and saves them as typed rows.
    table->Fill_Rows(result.rows);
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
    const QString path = Choose_File(this, true, {Lang_Q(1111), Lang_Q(1112), Lang_Q(1113)}, &filter);
    if (path.isEmpty()) {
        return;
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
    const Block_Paste block = Parse_Block(Exchange_Kind(table), Utf8(QGuiApplication::clipboard()->text()), row, col);
    if (!block.ok()) {
        Show_Error(this, Lang_Q(1125), Lines(block.errors));
        return;
    }
    table->Set_Block(row, col, block.cells);
}

} // namespace qm::gui
