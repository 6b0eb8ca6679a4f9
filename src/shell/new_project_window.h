#pragma once
// Asks for the name of a new configuration and creates its folder under PROJECTS.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm::gui {

class New_Project_Window : public QDialog {
    Q_OBJECT

public:
    explicit New_Project_Window(QWidget* parent = nullptr);

    void Set_Lang();
    // Creates the configuration named in the edit box, or says why not and stays open.
    void Btn_OKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* E_New_Proj = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
};

} // namespace qm::gui
