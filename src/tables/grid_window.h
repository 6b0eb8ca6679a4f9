#pragma once
// Pieces every table window is built from: the title area, the button bar, texts from the string
// table and the message boxes handed to the row operations.

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <string>

#include "tables/grid_edit.h"

class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace qm::gui {

class Grid_View;

QString Lang_Q(int entry);
QString To_Q(const std::string& text);
QStringList Lang_List(std::initializer_list<int> entries);
std::vector<std::string> Lang_Texts(std::initializer_list<int> entries);

// The software code (L_SW_Code, bold) and the window's description (L_SW_Desc) on one line.
struct Title_Area {
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
};
Title_Area Add_Title_Area(QWidget* window, QBoxLayout* layout);

// OK, Cancel and the four row buttons, with their object names.
struct Table_Buttons {
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QPushButton* Btn_Delete_Row = nullptr;
    QPushButton* Btn_Insert_Row = nullptr;
    QPushButton* Btn_Copy_Row = nullptr;
    QPushButton* Btn_Paste_Row = nullptr;
};
Table_Buttons Add_Button_Bar(QWidget* window, QBoxLayout* layout);
// Captions from six consecutive entries (OK first) and hints from the six that follow them.
void Set_Button_Texts(const Table_Buttons& buttons, int first_caption, int first_hint);

// The paste's error box and question, as the message seam shows them.
Grid_Prompts Message_Prompts(QWidget* parent);

// Delete Row of a window: asks the question (entry, then the row number) and deletes on Yes.
bool Ask_And_Delete_Row(QWidget* parent, Grid_View* table, int question_entry);

// Widens a window whose table's columns need more room than it has (a translated header, say),
// up to the screen's width; a window whose columns fit keeps its size.
void Fit_Width_To_Table(QWidget* window, const Grid_View* table);

// Shows the problems met reading a file once the window is on screen.
void Show_Read_Problems(QWidget* window, const std::string& message);

} // namespace qm::gui
