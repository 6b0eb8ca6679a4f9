#pragma once
// Lists the configurations under PROJECTS and lets the user choose the one to open.

#include <QDialog>

#include <string>
#include <vector>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace qm::gui {

class Open_Conf_Window : public QDialog {
    Q_OBJECT

public:
    explicit Open_Conf_Window(QWidget* parent = nullptr);

    void Set_Lang();
    // The configuration chosen in the list; empty when the list is empty.
    const std::string& Name_Conf() const { return name_conf_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Place_Controls();
    void Lay_Out();

    std::string name_conf_;
    std::vector<std::string> names_;
    QFrame* P_Title = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QFrame* P_Button = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
};

} // namespace qm::gui
