#include "tables/table_model.h"

#include <algorithm>
#include <utility>

namespace qm::gui {

namespace {

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
        const QColor& colour = backgrounds_[static_cast<std::size_t>(col)];
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
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
