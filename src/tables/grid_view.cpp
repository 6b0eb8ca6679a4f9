#include "tables/grid_view.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <limits>
#include <utility>

#include "language/lang_table.h"
#include "tables/cell_delegate.h"
#include "tables/table_layout.h"
#include "tables/table_model.h"

namespace qm::gui {

namespace {

constexpr int Default_Row_Height = 24;
constexpr int Item_Padding = 14; // the item's text margins; the open editor's arrow may cover the end

QString To_Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

Grid_View::Grid_View(int col_count, int row_count, Grid_Mode mode, QWidget* parent)
    : QTableView(parent), grid_(col_count, row_count), mode_(mode),
      model_(new Table_Model(grid_, this)), text_delegate_(new Cell_Delegate(this)),
      list_delegate_(new List_Delegate(false, this)),
      free_list_delegate_(new List_Delegate(true, this)), check_delegate_(new Check_Delegate(this)),
      min_widths_(static_cast<std::size_t>(grid_.Col_Count()), 40) {
    setModel(model_);
    setItemDelegate(text_delegate_);
    for (Cell_Delegate* d : std::initializer_list<Cell_Delegate*>{
             text_delegate_, list_delegate_, free_list_delegate_, check_delegate_}) {
        connect(d, &Cell_Delegate::Enter_Pressed, this, &Grid_View::Enter_Jump);
    }

    // Column 0 is the fixed row-number column; the row numbers take the place of a vertical header.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(8);
    verticalHeader()->setDefaultSectionSize(Default_Row_Height);
    model_->Set_Column_Background(0, palette().color(QPalette::Button));
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setWordWrap(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // By item, the last columns of a wide table could never be scrolled fully into sight.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView* header = horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    // Fitting a column goes through the program's option, also from the section handle.
    disconnect(header, &QHeaderView::sectionHandleDoubleClicked, this, nullptr);
    connect(header, &QHeaderView::sectionHandleDoubleClicked, this,
            [this](int col) { Double_Click(col, 0); });
    connect(header, &QHeaderView::sectionDoubleClicked, this,
            [this](int col) { Double_Click(col, 0); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        Double_Click(index.column(), model_->Grid_Row(index));
    });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == 0) {
            selectRow(index.row());
        }
    });

    model_->Set_Edit_Handler([this](int col, int row, const Grid_Cell& before) {
        auto step = Grid_Cells_Changed(grid_, {{col, row, before}}, Step_Kind::Edit_Cell);
        if (step) {
            step->mode = mode_;
        }
        Record(std::move(step));
    });

    Make_Fixed_Column();
    Fit_Widths();
}

Grid_View::~Grid_View() {
    // An editor still open is committed while the view is taken apart: no step may come of it.
    model_->Set_Edit_Handler({});
}

void Grid_View::Record(std::optional<Grid_Step> step) {
    if (!step) {
        return;
    }
    emit Step_Made(*step);
    emit Content_Changed();
}

// The row numbers stay in sight when the table scrolls sideways: a second view showing only
// column 0 lies over the first, sharing its model, selection and vertical scrolling.
void Grid_View::Make_Fixed_Column() {
    fixed_column_ = new QTableView(this);
    fixed_column_->setObjectName(QStringLiteral("Fixed_Column"));
    fixed_column_->setModel(model_);
    fixed_column_->setSelectionModel(selectionModel());
    fixed_column_->setFocusPolicy(Qt::NoFocus);
    fixed_column_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fixed_column_->verticalHeader()->hide();
    fixed_column_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fixed_column_->verticalHeader()->setMinimumSectionSize(8);
    fixed_column_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    fixed_column_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fixed_column_->horizontalHeader()->setHighlightSections(false);
    fixed_column_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_column_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_column_->setFrameShape(QFrame::NoFrame);
    fixed_column_->setCornerButtonEnabled(false);
    fixed_column_->setWordWrap(false);
    for (int c = 1; c < grid_.Col_Count(); ++c) {
        fixed_column_->setColumnHidden(c, true);
    }
    viewport()->stackUnder(fixed_column_);

    // Both views scroll by pixel, so one scroll bar value means the same rows in both. The number
    // column only follows: it scrolls neither by itself (no auto-scroll to a current cell in a
    // hidden column, the wheel handed on) nor back, and catches up when its range is set late.
    fixed_column_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    fixed_column_->setAutoScroll(false);
    fixed_column_->viewport()->installEventFilter(this);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, fixed_column_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(fixed_column_->verticalScrollBar(), &QAbstractSlider::rangeChanged, this,
            [this] { fixed_column_->verticalScrollBar()->setValue(verticalScrollBar()->value()); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        // A width the user set (a drag, a double-click) is kept for the rest of the run.
        // (A stretched last column follows the window, not the user.)
        const bool stretched = horizontalHeader()->stretchLastSection() && col == grid_.Col_Count() - 1;
        if (!fitting_ && !stretched && col >= 0 && col < static_cast<int>(user_widths_.size())) {
            user_widths_[static_cast<std::size_t>(col)] = size;
        }
        if (col == 0) {
            fixed_column_->setColumnWidth(0, size);
            Place_Fixed_Column();
        }
    });
    connect(fixed_column_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        setFocus();
        selectRow(index.row());
    });
    connect(fixed_column_->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int col) { Double_Click(col, 0); });
    fixed_column_->show();
    Place_Fixed_Column();
}

void Grid_View::Place_Fixed_Column() {
    if (fixed_column_ == nullptr) {
        return;
    }
    fixed_column_->setColumnWidth(0, columnWidth(0));
    fixed_column_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    fixed_column_->setGeometry(frameWidth(), frameWidth(), columnWidth(0),
                               viewport()->height() + horizontalHeader()->height());
    fixed_column_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

bool Grid_View::eventFilter(QObject* object, QEvent* event) {
    if (fixed_column_ != nullptr && object == fixed_column_->viewport() && event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(viewport(), event);
        return true;
    }
    return QTableView::eventFilter(object, event);
}

void Grid_View::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    Place_Fixed_Column();
}

void Grid_View::updateGeometries() {
    QTableView::updateGeometries();
    Place_Fixed_Column();
}

QModelIndex Grid_View::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableView::moveCursor(action, modifiers);
    // Moving left must not end under the fixed column.
    if (action == MoveLeft && current.column() > 0 && visualRect(current).left() < columnWidth(0)) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + visualRect(current).left() -
                                        columnWidth(0));
    }
    return current;
}

void Grid_View::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (index.column() > 0) {
        QTableView::scrollTo(index, hint);
        // The fixed column lies over the left of the viewport: a cell under it is not in sight.
        const int hidden = columnWidth(0) - visualRect(index).left();
        if (hidden > 0) {
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
        }
        return;
    }
    // Column 0 is always in sight: only the row needs scrolling to.
    const int shown = std::max(1, columnAt(columnWidth(0) + 1));
    QTableView::scrollTo(index.siblingAtColumn(std::min(shown, model_->columnCount() - 1)), hint);
}

void Grid_View::Set_Column(int col, Cell_Editor editor, std::vector<std::string> items) {
    grid_.Column(col).editor = editor;
    grid_.Column(col).items = std::move(items);
    switch (editor) {
    case Cell_Editor::List:
        setItemDelegateForColumn(col, list_delegate_);
        break;
    case Cell_Editor::Free_List:
        setItemDelegateForColumn(col, free_list_delegate_);
        break;
    case Cell_Editor::Text_Check:
        setItemDelegateForColumn(col, check_delegate_);
        break;
    case Cell_Editor::Text:
        setItemDelegateForColumn(col, nullptr);
        break;
    }
    // Not refitted here: a window sets its columns one by one, then its smallest widths and
    // headers, which fit every column once.
}

void Grid_View::Set_Items(int col, std::vector<std::string> items) {
    grid_.Column(col).items = std::move(items);
    Fit_Widths();
}

void Grid_View::Set_Layout(const Table_Layout& layout) {
    for (int col = 1; col <= layout.Field_Count(); ++col) {
        const Column_Layout& column = layout.Column(col);
        switch (column.kind) {
        case Cell_Kind::Text:
            break;
        case Cell_Kind::Lines:
            Set_Multi_Line(col);
            break;
        case Cell_Kind::Check:
            if (mode_ == Grid_Mode::Check_Box) {
                Set_Check_Column(col);
            } else {
                Set_Column(col, Cell_Editor::Text_Check);
            }
            break;
        case Cell_Kind::List:
        case Cell_Kind::Free_List: {
            const Cell_Editor editor = column.kind == Cell_Kind::List ? Cell_Editor::List : Cell_Editor::Free_List;
            Set_Column(col, editor, column.items != nullptr ? *column.items : std::vector<std::string>{});
            break;
        }
        }
    }
}

QStringList Grid_View::Set_Layout_Texts(const Table_Layout& layout) {
    std::vector<std::string> headers;
    for (const int entry : layout.Header_Entries()) {
        headers.push_back(Lang(entry));
    }
    Set_Headers(headers);
    QStringList hints;
    for (const int entry : layout.Hint_Entries()) {
        hints.push_back(QString::fromStdString(Lang(entry)));
    }
    Set_Header_Hints(hints);
    return hints;
}

void Grid_View::Set_Check_Column(int col) {
    grid_.Set_Check_Column(col);
    setItemDelegateForColumn(col, check_delegate_);
    model_->Grid_Reset();
}

void Grid_View::Set_Multi_Line(int col) {
    if (memo_delegate_ == nullptr) {
        memo_delegate_ = new Memo_Delegate(this);
        connect(memo_delegate_, &Cell_Delegate::Enter_Pressed, this, &Grid_View::Enter_Jump);
    }
    setItemDelegateForColumn(col, memo_delegate_);
}

void Grid_View::Set_Row_Height(int pixels) {
    verticalHeader()->setDefaultSectionSize(pixels);
    fixed_column_->verticalHeader()->setDefaultSectionSize(pixels);
}

void Grid_View::Set_Headers(const std::vector<std::string>& headers) {
    const int n = std::min(static_cast<int>(headers.size()), grid_.Col_Count());
    for (int c = 0; c < n; ++c) {
        grid_.Set_Text(c, 0, headers[static_cast<std::size_t>(c)]);
    }
    model_->Headers_Changed();
    Fit_Widths();
}

void Grid_View::Set_Header_Hints(const QStringList& hints) { model_->Set_Header_Hints(hints); }

void Grid_View::Set_Min_Widths(std::vector<int> widths) {
    widths.resize(static_cast<std::size_t>(grid_.Col_Count()), 40);
    min_widths_ = std::move(widths);
    Fit_Widths();
}

// Widths from the header texts and the list items only: measuring 512 rows of cells at every
// opening is what makes a table slow to open.
void Grid_View::Fit_Widths() {
    const QFontMetrics header_metrics(horizontalHeader()->font());
    const QFontMetrics cell_metrics(font());
    const int margin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 10;
    user_widths_.resize(static_cast<std::size_t>(grid_.Col_Count()), 0);
    fitting_ = true;
    for (int c = 0; c < grid_.Col_Count(); ++c) {
        if (const int kept = user_widths_[static_cast<std::size_t>(c)]; kept > 0) {
            setColumnWidth(c, kept);
            continue;
        }
        int width = min_widths_[static_cast<std::size_t>(c)];
        width = std::max(width, header_metrics.horizontalAdvance(To_Q(grid_.Text(c, 0))) + margin);
        const Grid_Column& column = grid_.Column(c);
        if (column.editor == Cell_Editor::List || column.editor == Cell_Editor::Free_List) {
            int widest = 0;
            for (const auto& item : column.items) {
                widest = std::max(widest, cell_metrics.horizontalAdvance(To_Q(item)));
            }
            width = std::max(width, widest + Item_Padding);
        }
        setColumnWidth(c, width);
    }
    fitting_ = false;
}

void Grid_View::Reset_Rows() {
    Commit_Edit();
    Grid_Reset_Rows(grid_, mode_);
    model_->Grid_Reset();
    Show_Current();
}

void Grid_View::Fill_Rows(const std::vector<std::vector<std::string>>& rows) {
    Commit_Edit();
    Grid_Fill_Rows(grid_, rows);
    model_->Grid_Reset();
    Show_Current();
}

void Grid_View::Set_Current_Cell(int col, int row) {
    if (!grid_.Is_Cell(col, row) || row == 0) {
        return;
    }
    grid_.Col = col;
    grid_.Row = row;
    Show_Current();
}

void Grid_View::Show_Start() {
    clearSelection();
    Set_Current_Cell(1, 1);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

void Grid_View::Show_Current() {
    const QModelIndex index = model_->Cell_Index(grid_.Col, grid_.Row);
    if (index.isValid()) {
        setCurrentIndex(index);
        scrollTo(index);
    }
}

void Grid_View::Commit_Edit() {
    if (state() != QAbstractItemView::EditingState) {
        return;
    }
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

bool Grid_View::Delete_Row() {
    Commit_Edit();
    const int row = grid_.Row;
    auto step = Grid_Delete_Row_Step(grid_, row, mode_, true);
    if (!step) {
        return false;
    }
    model_->Rows_Changed(row, grid_.Row_Count() - 1);
    Record(std::move(step));
    return true;
}

bool Grid_View::Insert_Row() {
    Commit_Edit();
    const int row = grid_.Row;
    auto step = Grid_Insert_Row_Step(grid_, row, mode_, true);
    if (!step) {
        return false;
    }
    model_->Rows_Changed(row, grid_.Row_Count() - 1);
    Record(std::move(step));
    return true;
}

bool Grid_View::Copy_Row() {
    Commit_Edit();
    return Grid_Copy_Row(grid_, grid_.Row, mode_);
}

Paste_Result Grid_View::Paste_Row(bool copied, const Grid_Prompts& prompts) {
    Commit_Edit();
    const int row = grid_.Row;
    Paste_Result result = Paste_Result::Bad_Row;
    auto step = Grid_Paste_Row_Step(grid_, row, mode_, copied, prompts, &result);
    if (result == Paste_Result::Pasted) {
        model_->Rows_Changed(row, row);
    }
    Record(std::move(step));
    return result;
}

bool Grid_View::Insert_Copies(int row, std::vector<Row_Cells> copies) {
    Commit_Edit();
    auto step = Grid_Insert_Rows_Step(grid_, row, std::move(copies), mode_);
    if (!step) {
        return false;
    }
    model_->Rows_Changed(row, grid_.Row_Count() - 1);
    Set_Current_Cell(grid_.Col, row + 1);
    Record(std::move(step));
    return true;
}

bool Grid_View::Change_Cells(const Grid_Block& after, const std::string& name) {
    Commit_Edit();
    auto step = Grid_Change_Cells(grid_, after, Step_Kind::Cells);
    if (!step) {
        return false;
    }
    step->mode = mode_;
    step->name = name;
    model_->Rows_Changed(step->First_Row(), step->Last_Row(grid_));
    Record(std::move(step));
    return true;
}

void Grid_View::Apply_Step(const Grid_Step& step, bool redo) {
    if (redo) {
        Grid_Redo(grid_, step);
    } else {
        Grid_Undo(grid_, step);
    }
    model_->Rows_Changed(step.First_Row(), step.Last_Row(grid_));
    const int col = step.kind == Step_Kind::Edit_Cell || step.kind == Step_Kind::Cells ? step.col : grid_.Col;
    Set_Current_Cell(col, step.row);
    emit Content_Changed();
}

std::optional<std::pair<int, int>> Grid_View::Next_Cell(const std::function<bool(int, int)>& test, int col,
                                                        int row, bool forward, bool include_start) const {
    const int cols = grid_.Col_Count();
    const int last = grid_.Row_Count() - 1;
    if (last < 1) {
        return std::nullopt;
    }
    // Cells in reading order, numbered from 0; -1 and `count` lie before and after them all.
    const int count = last * cols;
    int at = row < 1 ? (forward ? -1 : count) : (row - 1) * cols + col;
    if (include_start && at >= 0 && at < count) {
        at += forward ? -1 : 1;
    }
    for (at += forward ? 1 : -1; at >= 0 && at < count; at += forward ? 1 : -1) {
        const int c = at % cols;
        const int r = at / cols + 1;
        if (test(c, r)) {
            return std::pair{c, r};
        }
    }
    return std::nullopt;
}

void Grid_View::Enter_Jump() {
    char key = 13;
    if (Grid_Enter_Jump(grid_, key)) {
        Show_Current();
    }
}

void Grid_View::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        emit Copy_Block_Requested();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        emit Paste_Block_Requested();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        char key = 13;
        if (Grid_Enter_Jump(grid_, key)) {
            Show_Current();
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void Grid_View::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid()) {
        grid_.Col = current.column();
        grid_.Row = model_->Grid_Row(current);
    }
}

void Grid_View::Double_Click(int col, int row) {
    if (Grid_Auto_Size(grid_, col, row)) {
        resizeColumnToContents(col);
    }
}

bool Grid_View::Selected_Block(int& top, int& bottom, int& left, int& right) const {
    top = left = std::numeric_limits<int>::max();
    bottom = right = 0;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        const int row = model_->Grid_Row(index);
        const int col = std::max(1, index.column());
        top = std::min(top, row);
        bottom = std::max(bottom, row);
        left = std::min(left, col);
        right = std::max(right, col);
    }
    if (bottom == 0) {
        top = bottom = grid_.Row;
        left = right = std::max(1, grid_.Col);
    }
    return grid_.Is_Data_Row(top) && grid_.Is_Data_Row(bottom) && right < grid_.Col_Count();
}

bool Grid_View::Set_Block(int top, int left, const std::vector<std::vector<std::string>>& cells,
                          const std::string& name) {
    Grid_Block block;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int row = top + static_cast<int>(i);
        if (!grid_.Is_Data_Row(row)) {
            break;
        }
        for (std::size_t j = 0; j < cells[i].size(); ++j) {
            const int col = left + static_cast<int>(j);
            if (col < 1 || col >= grid_.Col_Count()) {
                break;
            }
            Grid_Cell cell = grid_.Cell(col, row);
            if (cell.has_check) {
                cell.checked = cells[i][j] != "N";
            } else {
                cell.text = cells[i][j];
            }
            block.push_back({col, row, std::move(cell)});
        }
    }
    return Change_Cells(block, name);
}

} // namespace qm::gui
