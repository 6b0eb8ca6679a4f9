#pragma once
// The "Set Communication" window: edits the communication parameters of the open configuration.
// Created once; every showing reads ParGen.xml again, OK checks and saves, Cancel discards.

#include "parameters/par_gen.h"

#include <QDialog>
#include <QString>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;
class QWheelEvent;

namespace qm::gui {

class Collapsible_Panel;
class Panel_Group;

class Par_Gen_Window : public QDialog {
    Q_OBJECT
public:
    explicit Par_Gen_Window(QWidget* parent = nullptr);
    ~Par_Gen_Window() override;

    // Copies the texts of the current language into title, labels, buttons and hints.
    void Set_Lang();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void Order_TAB_Panels();
    void Move_GroupBoxs();
    void Set_Tab_Order();
    void Btn_OKClick();
    bool Controllo_Dati();
    bool KeyPress(QLineEdit* field);
    bool FormMouseWheel(QWheelEvent* event);

    void Build_Address_Row(QWidget* body, int y, Par_Id first);
    QLineEdit* Build_Line(QWidget* body, int y, Par_Id id, QLabel* label);
    QPlainTextEdit* Build_Memo(QWidget* body, int y, Par_Id id, QLabel* label);
    QLabel* Build_Label(QWidget* body, int y, const char* name);
    QCheckBox* Build_Check(QWidget* body, int x, int y, int width, Par_Id id);

    void Make_Faults_Line(QVBoxLayout* layout);
    void Mark_Faults();

    void Set_Fields(const Par_Gen_Read& read);
    Par_Gen_Set Fields() const;
    QString Field_Text(Par_Id id) const;
    void Set_Field_Text(Par_Id id, const QString& text);

    // Controls by parameter; only the member matching the kind is set.
    std::array<QLineEdit*, Par_Count> edit_{};
    std::array<QPlainTextEdit*, Par_Count> memo_{};
    std::array<QCheckBox*, Par_Count> check_{};

    // The octet fields in their "." order: S7comm chain, then the IEC 61850 chain.
    std::array<QLineEdit*, 12> s7_chain_{};
    std::array<QLineEdit*, 16> iec_chain_{};

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    Panel_Group* CPG = nullptr;
    Collapsible_Panel* CP_S7_Protocol = nullptr;
    Collapsible_Panel* CP_IEC61850_Server = nullptr;
    Collapsible_Panel* CP_TLS_Server = nullptr;
    Collapsible_Panel* CP_NTP = nullptr;
    QLabel* L_S7_Protocol_IP = nullptr;
    QLabel* L_S7_Protocol_SM = nullptr;
    QLabel* L_IEC61850_Server_IP = nullptr;
    QLabel* L_IEC61850_Server_SM = nullptr;
    QLabel* L_IEC61850_Server_Port = nullptr;
    QLabel* L_IEC61850_Server_Password = nullptr;
    QLabel* L_TLS_Server_Key = nullptr;
    QLabel* L_TLS_Server_Key_Pass = nullptr;
    QLabel* L_TLS_Server_Server_Cert = nullptr;
    QLabel* L_TLS_Server_Root_Cert = nullptr;
    QLabel* L_NTP_Server_URL = nullptr;
    QLabel* L_NTP_Poll_Time = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QLabel* L_Faults = nullptr;
    std::array<QString, Par_Count> hint_; // the hints of the fields, shown while they pass

    // What the last read gave, so that a text the user left alone is saved byte for byte even
    // where a control cannot show it exactly (a carriage return, bytes that are not UTF-8).
    Par_Gen_Set loaded_;
    std::array<QString, Par_Count> shown_;
    // The file could not be read completely: keep it aside before the first save replaces it.
    bool keep_old_file_ = false;
    int wheel_rest_ = 0;
};

} // namespace qm::gui
