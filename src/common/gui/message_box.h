#pragma once
// The one seam through which every window shows a message or asks a question,
// so that window tests can read the exact text and answer Yes or No.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace qm::gui {

enum class Message_Kind { Error, Information, Warning, Question, Choice };

struct Message {
    Message_Kind kind;
    QString text;
    QString details;     // a list shown behind the box's details button; empty for none
    QStringList choices; // the buttons of a Choice
    int default_choice = -1; // the choice Enter presses; -1 for the box's own
};

// Modal box with the error icon and one OK button; details, when given, behind its details button.
void Show_Error(QWidget* parent, const QString& text, const QString& details = {});
// Modal box with the information icon and one OK button.
void Show_Information(QWidget* parent, const QString& text);
// Modal box with the warning icon and one OK button; details as for Show_Error.
void Show_Warning(QWidget* parent, const QString& text, const QString& details = {});
// Modal question with Yes and No; true for Yes.
bool Ask_Yes_No(QWidget* parent, const QString& text);
// Modal question with one button per choice; the index of the one pressed. The last choice is
// the one Escape and the title bar's close button press (a Cancel); default_choice, when given,
// the one Enter presses.
int Ask_Choice(QWidget* parent, const QString& text, const QStringList& choices, int default_choice = -1);

// Replaces the real boxes: the handler sees every message and, for a question, returns the answer
// (1 Yes, 0 No; for a choice its index). An empty handler restores the real boxes.
using Message_Handler = std::function<int(const Message&)>;
void Set_Message_Handler(Message_Handler handler);

// Records messages and answers questions with a fixed answer while it lives; for tests.
class Message_Recorder {
public:
    explicit Message_Recorder(bool answer = true);
    ~Message_Recorder();
    Message_Recorder(const Message_Recorder&) = delete;
    Message_Recorder& operator=(const Message_Recorder&) = delete;

    void Set_Answer(bool answer) { answer_ = answer; }
    void Set_Choice(int choice) { choice_ = choice; }
    const QList<Message>& Messages() const { return messages_; }
    QString Last_Text() const { return messages_.isEmpty() ? QString() : messages_.last().text; }
    void Clear() { messages_.clear(); }

private:
    bool answer_;
    int choice_ = 0;
    QList<Message> messages_;
};

} // namespace qm::gui
