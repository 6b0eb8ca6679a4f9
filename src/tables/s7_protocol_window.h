#pragma once
// "S7comm Access": the read and write rules of S7_Protocol.xml on two pages.

#include <QDialog>
#include <QStringList>

#include "tables/grid_window.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace qm::gui {

class Grid_View;

class S7_Protocol_Window : public QDialog {
    Q_OBJECT
public:
    explicit S7_Protocol_Window(QWidget* parent = nullptr);

    void Set_Lang();
    // The check of both lists; shows the first fault and returns false, or returns true.
    bool Controllo_dati();

    QLabel* L_SW_Code;
    QLabel* L_SW_Desc;
    QTabWidget* PageControl1;
    QWidget* TS_S7_Read;
    QWidget* TS_S7_Write;
    Grid_View* ACG_S7_Read;
    Grid_View* ACG_S7_Write;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
    QPushButton* Btn_Delete_Row;
    QPushButton* Btn_Insert_Row;
    QPushButton* Btn_Copy_Row;
    QPushButton* Btn_Paste_Row;

    int NByte_IN = 1500;
    int NByte_OUT = 1500;
    bool Do_Copy_In_Read = false;
    bool Do_Copy_In_Write = false;
    QStringList Hint_S7_Set_Access_Read;
    QStringList Hint_S7_Set_Access_Write;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void Btn_OKClick();
    void Btn_Delete_RowClick();
    void Btn_Insert_RowClick();
    void Btn_Copy_RowClick();
    void Btn_Paste_RowClick();
    Grid_View* Shown_Table() const;

    // False when the last opening could not read the whole file: the save then keeps it.
    bool file_read_complete_ = true;
};

} // namespace qm::gui
