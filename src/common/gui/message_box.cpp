#include "common/gui/message_box.h"

#include <QList>
#include <QMessageBox>

namespace qm::gui {
namespace {

Message_Handler& Handler() {
    static Message_Handler handler;
    return handler;
}

bool Show(QWidget* parent, Message_Kind kind, const QString& text) {
    if (Handler()) {
        return Handler()(Message{kind, text});
    }
    const QString title = QStringLiteral("Quillmaker");
    switch (kind) {
    case Message_Kind::Error:
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
        return true;
    case Message_Kind::Information:
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
        return true;
    case Message_Kind::Warning:
        QMessageBox::warning(parent, title, text, QMessageBox::Ok);
        return true;
    case Message_Kind::Question:
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
               QMessageBox::Yes;
    }
    return false;
}

} // namespace

void Show_Error(QWidget* parent, const QString& text) {
    Show(parent, Message_Kind::Error, text);
}

void Show_Information(QWidget* parent, const QString& text) {
    Show(parent, Message_Kind::Information, text);
}

void Show_Warning(QWidget* parent, const QString& text) {
    Show(parent, Message_Kind::Warning, text);
}

bool Ask_Yes_No(QWidget* parent, const QString& text) {
    return Show(parent, Message_Kind::Question, text);
}

void Set_Message_Handler(Message_Handler handler) {
    Handler() = std::move(handler);
}

Message_Recorder::Message_Recorder(bool answer) : answer_(answer) {
    Set_Message_Handler([this](const Message& message) {
        messages_.append(message);
        return message.kind == Message_Kind::Question ? answer_ : true;
    });
}

Message_Recorder::~Message_Recorder() {
    Set_Message_Handler({});
}

} // namespace qm::gui
