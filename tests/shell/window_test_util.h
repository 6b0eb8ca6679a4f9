#pragma once
// Helpers for the shell's window tests: stand-in windows and answers to modal windows.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <string>

#include "language/lang_table.h"

namespace qm::test {

// Stands in for a window of another subsystem: logs each showing and closes itself with result.
class Fake_Window : public QDialog {
public:
    Fake_Window(QWidget* parent, QString name, QStringList* log) : QDialog(parent), name_(std::move(name)), log_(log) {}

    int result = QDialog::Rejected;
    std::function<void()> on_show;

    const QString& Name() const { return name_; }

protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        log_->append(name_);
        if (on_show) {
            on_show();
        }
        QTimer::singleShot(0, this, [this] { done(result); });
    }

private:
    QString name_;
    QStringList* log_;
};

// Runs action on the modal window that the next exec() shows.
inline void When_Modal(std::function<void(QDialog*)> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            action(dialog);
        }
    });
}

template <class T = QAbstractButton>
T* Child(const QObject* parent, const char* name) {
    return parent->findChild<T*>(QString::fromUtf8(name));
}

inline QString Label_Text(const QObject* parent, const char* name) {
    const QLabel* label = Child<QLabel>(parent, name);
    return label != nullptr ? label->text() : QStringLiteral("<no label>");
}

inline QStringList Names(std::initializer_list<const char*> names) {
    QStringList list;
    for (const char* name : names) {
        list.append(QString::fromUtf8(name));
    }
    return list;
}

inline QString Entry(int index) {
    return QString::fromStdString(Lang(index));
}

// Gives entries texts of the test's own, so that a check shows which entry was used.
inline void Set_Entries(std::initializer_list<std::pair<int, const char*>> entries) {
    for (const auto& [index, text] : entries) {
        Lang_Table.at(static_cast<std::size_t>(index)) = text;
    }
}

} // namespace qm::test
