#pragma once
// The update window: device address, what to transfer, the device check and the start of the tool.

#include <QDialog>

#include <pugixml.hpp>

#include <functional>
#include <memory>

#include "update/ping.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm::gui {

class Boot_Window : public QDialog {
    Q_OBJECT

public:
    explicit Boot_Window(QWidget* parent = nullptr);
    ~Boot_Window() override;

    void Set_Lang();
    // 1 is the Ethernet (UDP) form, the only one this model opens.
    void Set_Form_Type(int form_type);
    int Form_Type() const { return Form_Type_; }

    // Prepares the controls from the remembered values; runs on every showing.
    void FormShow();
    // Checks that the device answers; leaves the outcome in Last_Ping().
    bool Send_Ping();
    // Execute: device check, then the instruction file and the update tool.
    void Btn_UpdateClick();

    const Ping_Result& Last_Ping() const { return Last_Ping_; }
    int Last_Update_Option() const { return Last_Update_Option_; }

    // Where echo requests go and how time is read; tests put fakes here.
    using Echo_Factory = std::function<std::unique_ptr<Echo_Transport>()>;
    void Set_Echo_Factory(Echo_Factory factory);
    void Set_Ping_Clock(Ping_Clock clock);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override;

private:
    void Create_Controls();
    void Lay_Out();
    std::array<std::string, 4> IP_Field_Texts() const;
    void Show_Check_Failure();

    QFrame* P_Title = nullptr;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QFrame* P_IP_Address = nullptr;
    QLabel* L_IP_Address = nullptr;
    QLineEdit* E_IP[4] = {};
    QLabel* L_Dot[3] = {};
    QFrame* P_Options = nullptr;
    QLabel* L_Update_Option = nullptr;
    QComboBox* CB_Update_Options = nullptr;
    QCheckBox* CB_Update_Option_Read_Back = nullptr;
    QFrame* P_Button = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QPushButton* Btn_Update = nullptr;

    int Form_Type_ = 1;
    int Last_Update_Option_ = 0; // kept while the program runs, not stored
    bool Checking_ = false;
    bool Cancel_Check_ = false;
    Ping_Result Last_Ping_;
    Echo_Factory Echo_Factory_;
    Ping_Clock Clock_;
    pugi::xml_document Doc_;
};

} // namespace qm::gui
