#pragma once
// One delegate per kind of table column. Editors exist only while a cell is edited, so a table of
// 512 rows opens without creating a widget per cell.

#include <QStyledItemDelegate>

namespace qm::gui {

// Plain text; the base of the others. With the Enter-jump option on, Enter in an open editor
// commits the cell and asks the table to jump (Enter_Pressed) instead of only closing the editor.
class Cell_Delegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit Cell_Delegate(QObject* parent) : QStyledItemDelegate(parent) {}

signals:
    void Enter_Pressed();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

// Drop-down list with the column's items (Grid_Column::items). Pick-only unless free_text.
class List_Delegate : public Cell_Delegate {
    Q_OBJECT
public:
    List_Delegate(bool free_text, QObject* parent) : Cell_Delegate(parent), free_text_(free_text) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    bool free_text_;
};

// Several lines of text (certificates): Enter adds a line unless the Enter jump is on.
class Memo_Delegate : public Cell_Delegate {
    Q_OBJECT
public:
    using Cell_Delegate::Cell_Delegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};

// A centred check box, text ("Y"/"N") or state, through Qt::CheckStateRole; a click or the space
// bar toggles it. No editor widget.
class Check_Delegate : public Cell_Delegate {
    Q_OBJECT
public:
    using Cell_Delegate::Cell_Delegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override {
        return nullptr;
    }

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};

} // namespace qm::gui
