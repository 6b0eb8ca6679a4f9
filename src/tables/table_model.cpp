#include "tables/table_model.h"

#include <algorithm>
#include <utility>

namespace qm::gui {

namespace {

// A faulty cell, and a cell that contains the text looked for: light, so the text stays readable.
const QColor Mark_Colour(255, 180, 180);
const QColor Found_Colour(255, 236, 130);
// A row that will not be saved: grey-blue, unlike any column's own colour or a fault.
const QColor After_End_Colour(205, 210, 228);

const QColor Warning_Colour(255, 214, 153);

QString To_Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string From_Q(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

} // namespace

Table_Model::Table_Model(Grid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid),
      backgrounds_(static_cast<std::size_t>(grid.Col_Count())) {}

void Table_Model::Set_Header_Hints(QStringList hints) {
    hints_ = std::move(hints);
    emit headerDataChanged(Qt::Horizontal, 0, grid_.Col_Count() - 1);
}

void Table_Model::Set_Column_Background(int col, const QColor& colour) {
    if (col < 0 || col >= grid_.Col_Count()) {
        return;
    }
    backgrounds_[static_cast<std::size_t>(col)] = colour;
    if (rowCount() > 0) {
        emit dataChanged(index(0, col), index(rowCount() - 1, col), {Qt::BackgroundRole});
    }
}

std::size_t Table_Model::Mark_Slot(int col, int row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(grid_.Col_Count()) +
           static_cast<std::size_t>(col);
}

void Table_Model::Set_Marks(const std::vector<Mark>& marks) {
    const std::size_t cells = static_cast<std::size_t>(grid_.Col_Count()) * static_cast<std::size_t>(grid_.Row_Count());
    std::vector<int> next(cells, -1);
    std::vector<QString> texts;
    texts.reserve(marks.size());
    for (const Mark& mark : marks) {
        if (!grid_.Is_Cell(mark.col, mark.row) || !grid_.Is_Data_Row(mark.row)) {
            continue;
        }
        int& slot = next[Mark_Slot(mark.col, mark.row)];
        if (slot < 0) { // the first message of a cell is the one its OK would show
            slot = static_cast<int>(texts.size());
            texts.push_back(mark.text);
        }
    }
    // Repaint only the rows between the first and the last cell whose mark came, went or changed.
    int first = -1;
    int last = -1;
    const bool had = mark_of_cell_.size() == cells;
    for (std::size_t i = 0; i < cells; ++i) {
        const int was = had ? mark_of_cell_[i] : -1;
        const int now = next[i];
        const bool same = (was < 0 && now < 0) ||
                          (was >= 0 && now >= 0 && mark_texts_[static_cast<std::size_t>(was)] ==
                                                       texts[static_cast<std::size_t>(now)]);
        if (!same) {
            const int row = static_cast<int>(i / static_cast<std::size_t>(grid_.Col_Count()));
            first = first < 0 ? row : first;
            last = row;
        }
    }
    mark_of_cell_ = std::move(next);
    mark_texts_ = std::move(texts);
    if (first >= 1) {
        emit dataChanged(index(first - 1, 0), index(last - 1, columnCount() - 1),
                         {Qt::BackgroundRole, Qt::ToolTipRole});
    }
}

bool Table_Model::Has_Mark(int col, int row) const {
    return grid_.Is_Cell(col, row) && Mark_Slot(col, row) < mark_of_cell_.size() &&
           mark_of_cell_[Mark_Slot(col, row)] >= 0;
}

QString Table_Model::Mark_Text(int col, int row) const {
    if (!Has_Mark(col, row)) {
        return {};
    }
    return mark_texts_[static_cast<std::size_t>(mark_of_cell_[Mark_Slot(col, row)])];
}

void Table_Model::Set_Rows_After_End(std::vector<int> rows, const QString& tooltip) {
    std::sort(rows.begin(), rows.end());
    if (rows == after_end_ && tooltip == after_end_tip_) {
        return;
    }
    // Repaint from the first row that was or is marked to the last.
    int first = grid_.Row_Count();
    int last = 0;
    for (const std::vector<int>* set : {&after_end_, &rows}) {
        if (!set->empty()) {
            first = std::min(first, set->front());
            last = std::max(last, set->back());
        }
    }
    after_end_ = std::move(rows);
    after_end_tip_ = tooltip;
    Rows_Changed(first, last);
}

bool Table_Model::Is_After_End(int row) const {
    return std::binary_search(after_end_.begin(), after_end_.end(), row);
}

void Table_Model::Set_Warnings(const std::vector<Mark>& warnings) {
    std::map<std::size_t, QString> next;
    for (const Mark& warning : warnings) {
        if (grid_.Is_Cell(warning.col, warning.row) && grid_.Is_Data_Row(warning.row)) {
            next.emplace(Mark_Slot(warning.col, warning.row), warning.text);
        }
    }
    if (next == warnings_) {
        return;
    }
    warnings_ = std::move(next);
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole, Qt::ToolTipRole});
    }
}

bool Table_Model::Has_Warning(int col, int row) const {
    return grid_.Is_Cell(col, row) && warnings_.count(Mark_Slot(col, row)) > 0;
}

void Table_Model::Set_Find_Text(const QString& text) {
    if (text == find_text_) {
        return;
    }
    find_text_ = text;
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
    }
}

bool Table_Model::Cell_Contains(int col, int row, const QString& text) const {
    // The row numbers are no content: "511" must find a value, not row 511.
    if (text.isEmpty() || col < 1 || !grid_.Is_Cell(col, row) || !grid_.Is_Data_Row(row) || Is_Check(col, row)) {
        return false;
    }
    return To_Q(grid_.Text(col, row)).contains(text, Qt::CaseInsensitive);
}

void Table_Model::Rows_Changed(int first, int last) {
    if (first > last || rowCount() == 0) {
        return;
    }
    const int top = std::max(first, 1) - 1;
    const int bottom = std::min(last, grid_.Row_Count() - 1) - 1;
    if (top <= bottom) {
        emit dataChanged(index(top, 0), index(bottom, columnCount() - 1));
    }
}

void Table_Model::Grid_Reset() {
    beginResetModel();
    endResetModel();
}

void Table_Model::Headers_Changed() {
    emit headerDataChanged(Qt::Horizontal, 0, grid_.Col_Count() - 1);
}

int Table_Model::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.Row_Count() - 1;
}

int Table_Model::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.Col_Count();
}

bool Table_Model::Is_Check(int col, int row) const {
    return col >= 1 && (grid_.Is_Text_Check(col) || grid_.Cell(col, row).has_check);
}

QVariant Table_Model::data(const QModelIndex& index, int role) const {
    const int col = index.column();
    const int row = Grid_Row(index);
    if (!index.isValid() || !grid_.Is_Data_Row(row) || col < 0 || col >= grid_.Col_Count()) {
        return {};
    }
    const Grid_Cell& cell = grid_.Cell(col, row);
    const bool check = Is_Check(col, row);
    switch (role) {
    case Qt::DisplayRole:
        // A check box shows its state only; its text is the state itself or unused.
        return check ? QVariant() : QVariant(To_Q(cell.text));
    case Qt::EditRole:
        return To_Q(cell.text);
    case Qt::CheckStateRole:
        if (!check) {
            return {};
        }
        if (cell.has_check) {
            return cell.checked ? Qt::Checked : Qt::Unchecked;
        }
        return cell.text == "Y" ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        if (col == 0 || check) {
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        }
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::BackgroundRole: {
        if (Has_Mark(col, row)) {
            return Mark_Colour;
        }
        if (Has_Warning(col, row)) {
            return Warning_Colour;
        }
        if (!find_text_.isEmpty() && Cell_Contains(col, row, find_text_)) {
            return Found_Colour;
        }
        if (col >= 1 && Is_After_End(row)) {
            return After_End_Colour;
        }
        const QColor& colour = backgrounds_[static_cast<std::size_t>(col)];
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    case Qt::ToolTipRole:
        if (Has_Mark(col, row)) {
            return Mark_Text(col, row);
        }
        if (Has_Warning(col, row)) {
            return warnings_.at(Mark_Slot(col, row));
        }
        return Is_After_End(row) ? QVariant(after_end_tip_) : QVariant();
    default:
        return {};
    }
}

bool Table_Model::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int col = index.column();
    const int row = Grid_Row(index);
    if (!index.isValid() || !grid_.Is_Data_Row(row) || col < 1 || col >= grid_.Col_Count()) {
        return false;
    }
    Grid_Cell& cell = grid_.Cell(col, row);
    const Grid_Cell before = cell;
    if (role == Qt::CheckStateRole) {
        if (!Is_Check(col, row)) {
            return false;
        }
        const bool on = value.toInt() == Qt::Checked;
        if (cell.has_check) {
            cell.checked = on;
        } else {
            cell.text = on ? "Y" : "N";
        }
    } else if (role == Qt::EditRole) {
        cell.text = From_Q(value.toString());
    } else {
        return false;
    }
    emit dataChanged(index, index);
    if (on_edit_ && !(before == cell)) {
        on_edit_(col, row, before);
    }
    return true;
}

QVariant Table_Model::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section < 0) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && grid_.Is_Data_Row(section + 1)) {
            return To_Q(grid_.Text(0, section + 1));
        }
        return {};
    }
    if (section >= grid_.Col_Count()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return To_Q(grid_.Text(section, 0));
    }
    if (role == Qt::ToolTipRole && section >= 1 && section - 1 < hints_.size()) {
        return hints_[section - 1];
    }
    return {};
}

Qt::ItemFlags Table_Model::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int col = index.column();
    if (col == 0) {
        return base;
    }
    if (Is_Check(col, Grid_Row(index))) {
        return base | Qt::ItemIsUserCheckable;
    }
    return base | Qt::ItemIsEditable;
}

} // namespace qm::gui
