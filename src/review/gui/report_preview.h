#pragma once
// The report button of the main window and the print preview it opens.

class QToolButton;
class QWidget;

namespace qm::gui {

// The icon button left of the main window's three icon buttons.
QToolButton* Add_Report_Button(QWidget* main_window);
// Its hint in the current language.
void Report_Button_Set_Lang(QWidget* main_window);

// A print preview of the open configuration's report, with Print and Save as PDF; entry 18
// when no configuration is open. The preview is made for each showing and not kept.
void Show_Report_Preview(QWidget* parent);

} // namespace qm::gui
