#include "common/gui/message_box.h"

#include <QList>
#include <QMessageBox>
#include <QPushButton>

namespace qm::gui {
namespace {

Message_Handler& Handler() {
    static Message_Handler handler;
    return handler;
}

const QString& Title() {
    static const QString title = QStringLiteral("Quillmaker");
    return title;
}

// A box with a list behind its "Show Details..." button, for messages that name many lines.
void Show_Box(QWidget* parent, QMessageBox::Icon icon, const QString& text, const QString& details) {
    if (details.isEmpty()) {
        switch (icon) {
        case QMessageBox::Warning:
            QMessageBox::warning(parent, Title(), text, QMessageBox::Ok);
            return;
        case QMessageBox::Information:
            QMessageBox::information(parent, Title(), text, QMessageBox::Ok);
            return;
        default:
            QMessageBox::critical(parent, Title(), text, QMessageBox::Ok);
            return;
        }
    }
    QMessageBox box(icon, Title(), text, QMessageBox::Ok, parent);
    box.setDetailedText(details);
    box.exec();
}

int Show(QWidget* parent, const Message& message) {
    if (Handler()) {
        return Handler()(message);
    }
    switch (message.kind) {
    case Message_Kind::Error:
        Show_Box(parent, QMessageBox::Critical, message.text, message.details);
        return 1;
    case Message_Kind::Information:
        Show_Box(parent, QMessageBox::Information, message.text, message.details);
        return 1;
    case Message_Kind::Warning:
        Show_Box(parent, QMessageBox::Warning, message.text, message.details);
        return 1;
    case Message_Kind::Question:
        return QMessageBox::question(parent, Title(), message.text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes
                   ? 1
                   : 0;
    case Message_Kind::Choice: {
        QMessageBox box(QMessageBox::Question, Title(), message.text, QMessageBox::NoButton, parent);
        QList<QPushButton*> buttons;
        for (const QString& choice : message.choices) {
            buttons.append(box.addButton(choice, QMessageBox::AcceptRole));
        }
        if (!buttons.isEmpty()) {
            box.setEscapeButton(buttons.last());
        }
        if (message.default_choice >= 0 && message.default_choice < buttons.size()) {
            box.setDefaultButton(buttons[message.default_choice]);
        }
        box.exec();
        const auto at = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
        return at < 0 ? static_cast<int>(message.choices.size()) - 1 : static_cast<int>(at);
    }
    }
    return 0;
}

} // namespace

void Show_Error(QWidget* parent, const QString& text, const QString& details) {
    Show(parent, Message{Message_Kind::Error, text, details, {}});
}

void Show_Information(QWidget* parent, const QString& text) {
    Show(parent, Message{Message_Kind::Information, text, {}, {}});
}

void Show_Warning(QWidget* parent, const QString& text, const QString& details) {
    Show(parent, Message{Message_Kind::Warning, text, details, {}});
}

bool Ask_Yes_No(QWidget* parent, const QString& text) {
    return Show(parent, Message{Message_Kind::Question, text, {}, {}}) != 0;
}

int Ask_Choice(QWidget* parent, const QString& text, const QStringList& choices, int default_choice) {
    return Show(parent, Message{Message_Kind::Choice, text, {}, choices, default_choice});
}

void Set_Message_Handler(Message_Handler handler) {
    Handler() = std::move(handler);
}

Message_Recorder::Message_Recorder(bool answer) : answer_(answer) {
    Set_Message_Handler([this](const Message& message) {
        messages_.append(message);
        switch (message.kind) {
        case Message_Kind::Question:
            return answer_ ? 1 : 0;
        case Message_Kind::Choice:
            return choice_;
        default:
            return 1;
        }
    });
}

Message_Recorder::~Message_Recorder() {
    Set_Message_Handler({});
}

} // namespace qm::gui
