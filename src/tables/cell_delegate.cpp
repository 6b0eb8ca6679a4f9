#include "tables/cell_delegate.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>

#include "common/app_state.h"
#include "tables/table_model.h"

namespace qm::gui {

namespace {

bool Is_Enter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QStringList Column_Items(const QModelIndex& index) {
    QStringList items;
    const auto* model = qobject_cast<const Table_Model*>(index.model());
    if (model == nullptr) {
        return items;
    }
    const Grid& grid = model->grid();
    if (index.column() < 0 || index.column() >= grid.Col_Count()) {
        return items;
    }
    const auto& texts = grid.Column(index.column()).items;
    items.reserve(static_cast<qsizetype>(texts.size()));
    for (const auto& text : texts) {
        items.push_back(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    return items;
}

QRect Check_Rect(const QStyleOptionViewItem& option) {
    const QWidget* widget = option.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, widget);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, widget);
    return QStyle::alignedRect(option.direction, Qt::AlignCenter, QSize(w, h), option.rect);
}

} // namespace

bool Cell_Delegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor != nullptr && Is_Enter(event) && State().Settings.Enable_Jump_Field_Tables) {
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        emit Enter_Pressed();
        return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

QWidget* List_Delegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                     const QModelIndex& index) const {
    auto* combo = new QComboBox(parent);
    combo->setEditable(free_text_);
    combo->addItems(Column_Items(index));
    combo->setMaxVisibleItems(16);
    combo->setFrame(false);
    return combo;
}

void List_Delegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = static_cast<QComboBox*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (free_text_) {
        combo->setEditText(text);
        // As in a text cell: the key that opened the editor replaces the text rather than
        // being added to it ("10" and a typed 5 give 5, not 105).
        if (QLineEdit* line = combo->lineEdit()) {
            line->selectAll();
        }
        return;
    }
    // A text that is no item (an old file, an empty cell) shows as nothing picked.
    combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void List_Delegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                 const QModelIndex& index) const {
    auto* combo = static_cast<QComboBox*>(editor);
    if (free_text_) {
        model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    // Only a pick changes a list cell: leaving the editor never empties a loaded value.
    if (combo->currentIndex() >= 0 && combo->currentText() != index.data(Qt::EditRole).toString()) {
        model->setData(index, combo->currentText(), Qt::EditRole);
    }
}

QWidget* Memo_Delegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                     const QModelIndex&) const {
    auto* edit = new QPlainTextEdit(parent);
    edit->setTabChangesFocus(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    return edit;
}

void Memo_Delegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = static_cast<QPlainTextEdit*>(editor);
    edit->setPlainText(index.data(Qt::EditRole).toString());
    edit->document()->setModified(false);
}

void Memo_Delegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                 const QModelIndex& index) const {
    auto* edit = static_cast<QPlainTextEdit*>(editor);
    // The editor would turn CR LF into LF; a cell only looked at keeps its text as loaded.
    if (edit->document()->isModified()) {
        model->setData(index, edit->toPlainText(), Qt::EditRole);
    }
}

void Memo_Delegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                         const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

void Check_Delegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();

    const Qt::CheckState state = opt.checkState;
    opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    QStyleOptionViewItem box = option;
    box.rect = Check_Rect(option);
    box.state &= ~QStyle::State_HasFocus;
    box.state |= state == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);
}

bool Check_Delegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    const Qt::ItemFlags flags = model->flags(index);
    if (!(flags & Qt::ItemIsUserCheckable) || !(flags & Qt::ItemIsEnabled)) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonDblClick: {
        // Taken here so that a double-click never opens an editor on a check box. A press is
        // left to the view, which makes the cell current.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        return mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint());
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint())) {
            return false;
        }
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select) {
            return false;
        }
        break;
    }
    default:
        return false;
    }
    const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

} // namespace qm::gui
