#pragma once
// "Set Variables Access for IEC61850": the variable list of IEC61850_Variables.xml.

#include <QDialog>
#include <QStringList>

#include "tables/grid_window.h"

class QLabel;
class QPushButton;

namespace qm::gui {

class Grid_View;

class IEC61850_Variables_Window : public QDialog {
    Q_OBJECT
public:
    explicit IEC61850_Variables_Window(QWidget* parent = nullptr);

    void Set_Lang();
    // The check of the list; shows the first fault and returns false, or returns true.
    bool Controllo_dati();

    QLabel* L_SW_Code;
    QLabel* L_SW_Desc;
    Grid_View* ACG;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
    QPushButton* Btn_Delete_Row;
    QPushButton* Btn_Insert_Row;
    QPushButton* Btn_Copy_Row;
    QPushButton* Btn_Paste_Row;

    int NByte_IN = 1438;
    bool Do_Copy = false;
    QStringList Hint_List;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void Btn_OKClick();

    bool file_read_complete_ = true;
};

} // namespace qm::gui
