#pragma once
// The one seam through which every window shows a message or asks a question,
// so that window tests can read the exact text and answer Yes or No.

#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace qm::gui {

enum class Message_Kind { Error, Information, Warning, Question };

struct Message {
    Message_Kind kind;
    QString text;
};

// Modal box with the error icon and one OK button.
void Show_Error(QWidget* parent, const QString& text);
// Modal box with the information icon and one OK button.
void Show_Information(QWidget* parent, const QString& text);
// Modal box with the warning icon and one OK button.
void Show_Warning(QWidget* parent, const QString& text);
// Modal question with Yes and No; true for Yes.
bool Ask_Yes_No(QWidget* parent, const QString& text);

// Replaces the real boxes: the handler sees every message and, for a question, returns the answer.
// An empty handler restores the real boxes.
using Message_Handler = std::function<bool(const Message&)>;
void Set_Message_Handler(Message_Handler handler);

// Records messages and answers questions with a fixed answer while it lives; for tests.
class Message_Recorder {
public:
    explicit Message_Recorder(bool answer = true);
    ~Message_Recorder();
    Message_Recorder(const Message_Recorder&) = delete;
    Message_Recorder& operator=(const Message_Recorder&) = delete;

    void Set_Answer(bool answer) { answer_ = answer; }
    const QList<Message>& Messages() const { return messages_; }
    QString Last_Text() const { return messages_.isEmpty() ? QString() : messages_.last().text; }
    void Clear() { messages_.clear(); }

private:
    bool answer_;
    QList<Message> messages_;
};

} // namespace qm::gui
