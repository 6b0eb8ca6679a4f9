#pragma once
// "Definition the list of Known Certificates": the certificates of TLS_Known_Cert.xml, whose
// Enable cells are check boxes with a state of their own.

#include <QDialog>
#include <QStringList>

#include "tables/grid_window.h"

class QLabel;
class QPushButton;

namespace qm::gui {

class Grid_View;

class TLS_Known_Cert_Window : public QDialog {
    Q_OBJECT
public:
    explicit TLS_Known_Cert_Window(QWidget* parent = nullptr);

    void Set_Lang();
    // Nothing typed is refused: always true.
    bool Controllo_dati() { return true; }

    QLabel* L_SW_Code;
    QLabel* L_SW_Desc;
    Grid_View* ASG;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
    QPushButton* Btn_Delete_Row;
    QPushButton* Btn_Insert_Row;
    QPushButton* Btn_Copy_Row;
    QPushButton* Btn_Paste_Row;

    bool Do_Copy = false;
    QStringList Hint_List;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Init_Table();
    void FormShow();
    void Btn_OKClick();

    bool file_read_complete_ = true;
};

} // namespace qm::gui
