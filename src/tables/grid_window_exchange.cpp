// The table windows' exchange actions: import and export of files, cells to and from the clipboard.
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
#include "tables/xlsx_texts.h"


namespace qm::gui {

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

void Grid_Window::Add_Cell_Actions(QMenu& menu, Grid_View* table) {
    menu.addAction(Lang_Q(exchange_text::Copy_Cells), this, [this, table] { Copy_Block(table); });
    menu.addAction(Lang_Q(exchange_text::Paste_Cells), this, [this, table] { Paste_Block(table); });
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
    const QString path = save ? QFileDialog::getSaveFileName(parent, Lang_Q(exchange_text::Export_Title), folder, filters.join(QStringLiteral(";;")), &picked)
                              : QFileDialog::getOpenFileName(parent, Lang_Q(exchange_text::Import_Title), folder, filters.join(QStringLiteral(";;")), &picked);
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
    text += QLatin1Char('\n') + Lang_Q(exchange_text::More) + QString::number(reasons.size() - shown) +
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
    QStringList filters{Lang_Q(exchange_text::Filter_Spreadsheets)};
    if (Workbooks_Supported()) {
        filters.append(Lang_Q(xlsx_text::Filter_Workbook));
    }
    filters.append(Lang_Q(exchange_text::Filter_All));
    const QString path = Choose_File(this, false, filters, &filter);
    if (path.isEmpty()) {
        return;
    }
    std::string bytes;
    if (const auto reason = Read_Exchange_File(Utf8(path), bytes)) {
        Show_Refusal(this, Lang_Q(exchange_text::Nothing_Imported) + path, {*reason});
        return;
    }
    const Exchange_Table kind = Exchange_Kind(table);
    const Table_Rows current = table->Rows();
    Import_Mode mode = Import_Mode::Replace;
    if (List_Length(current, Exchange_Key_Column(kind), Exchange_Capacity(kind)) > 0) {
        // Append is the default: it is the choice that loses nothing.
        switch (Ask_Choice(this, Lang_Q(exchange_text::Replace_Or_Append), {Lang_Q(exchange_text::Replace), Lang_Q(exchange_text::Append), Lang_Q(exchange_text::Cancel)}, 1)) {
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
        Show_Refusal(this, Lang_Q(exchange_text::Nothing_Imported) + path, lines);
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
        Show_Warning(this, Lang_Q(exchange_text::Imported_With_Faults) + QLatin1Char('\n') + To_Q(lines.front()), Lines(lines));
    }
}

void Grid_Window::Export_File() {
    Grid_View* table = Shown_Table();
    table->Commit_Edit();
    int filter = 0;
    QStringList filters{Lang_Q(exchange_text::Filter_Comma), Lang_Q(exchange_text::Filter_Semicolon), Lang_Q(exchange_text::Filter_Tab)};
    constexpr int workbook_filter = 3;
    if (Workbooks_Supported()) {
        filters.append(Lang_Q(xlsx_text::Filter_Workbook));
    }
    QString path = Choose_File(this, true, filters, &filter);
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        // The dialog asked about overwriting the name typed, not this one.
        path += filter == 2                 ? QStringLiteral(".tsv")
                : filter == workbook_filter ? QStringLiteral(".xlsx")
                                            : QStringLiteral(".csv");
        if (QFileInfo::exists(path) && !Ask_Yes_No(this, Lang_Q(exchange_text::Overwrite) + QLatin1Char('\n') + path)) {
            return;
        }
    }
    std::string bytes;
    if (Is_Workbook_Path(Utf8(path))) {
        Workbook_Export exported = Export_Workbook(Exchange_Kind(table), table->Rows());
        if (!exported.ok()) {
            Show_Error(this, Lang_Q(exchange_text::Not_Exported), To_Q(exported.error));
            return;
        }
        bytes = std::move(exported.bytes);
    } else {
        // The filter picks the separator, under the rule every export follows (a ".tsv" or
        // ".txt" name is tab-separated whatever was picked).
        const char separator = Export_Separator(Utf8(path), filter == 1 ? ';' : filter == 2 ? '\t' : ',');
        bytes = Export_Table(Exchange_Kind(table), table->Rows(), separator);
    }
    const Io_Result written = Write_File_Atomic(Utf8(path), bytes);
    if (!written) {
        Show_Error(this, Lang_Q(exchange_text::Not_Exported), To_Q(written.message));
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
        Show_Refusal(this, Lang_Q(exchange_text::Block_Refused), block.errors);
        return;
    }
    table->Set_Block(row, col, block.cells, Lang(1126));
}

} // namespace qm::gui
