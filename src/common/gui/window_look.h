#pragma once
// The look shared by the shell's windows: form colour and font, grey labels, the title panel.

#include <QColor>
#include <QIcon>
#include <QFont>
#include <QString>
#include <QStyle>

#include <string>

class QAbstractButton;
class QLabel;
class QWidget;
class QFrame;

namespace qm::gui {

QColor Form_Colour();
// Verdana 8 pt where installed, else the closest sans-serif of the system.
QFont Form_Font();

// Colour, font and background of a window.
void Apply_Form_Look(QWidget* form);

// A grey label at x, y that sizes itself to its text.
QLabel* Make_Label(QWidget* parent, const char* name, int x, int y, bool bold = false);
// Sets the text and grows or shrinks the label to fit it.
void Set_Label_Text(QLabel* label, const QString& text);

// The large grey software code used in the title area of every window.
QLabel* Make_SW_Code_Label(QWidget* parent, int x, int y);

// The 69 pixel title panel across the top of a window, with the software code and a description.
struct Title_Panel {
    QFrame* panel = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
};
Title_Panel Make_Title_Panel(QWidget* form);

// An icon of the platform style; the fallback when the style has none for the first choice.
QIcon Style_Icon(const QWidget* widget, QStyle::StandardPixmap first, QStyle::StandardPixmap fallback);
// The same icon, set on the button when it is first shown: the windows are all made at start-up,
// but most are never opened in a run, and a style's icon costs a decode of every size.
void Set_Style_Icon_When_Shown(QAbstractButton* button, QStyle::StandardPixmap icon);

// Called as a window is shown: keeps its size where the screen has room for it, else shrinks it
// to the screen's available area (never below its layout's minimum) and centres it there; a
// window that fits but lies partly off the screen is centred too.
void Fit_Window_To_Screen(QWidget* window);

// UTF-8 from the core to a Qt text and back.
QString Qt_Text(const std::string& utf8);
std::string Utf8(const QString& text);

} // namespace qm::gui
