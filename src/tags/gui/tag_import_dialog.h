#pragma once
// "Import PLC Tags": a file of the PLC project, the connection the new rules get, and a preview
// of the rules to add with the tags left out. A thin window over tags/tag_rules.h: the rules it
// shows are the ones OK hands back, already checked as the S7comm window checks them.

#include <QDialog>

#include <string>

#include "tags/tag_rules.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace qm::gui {

class Tag_Import_Dialog : public QDialog {
    Q_OBJECT
public:
    // current: both S7comm lists as the window's grids hold them; variables: the variable list
    // the new variables would follow.
    Tag_Import_Dialog(S7_Protocol_Data current, Table_Rows variables, QWidget* parent = nullptr);

    QLineEdit* E_File;
    QPushButton* Btn_Browse;
    QLineEdit* E_PLC_Address;
    QLineEdit* E_Port;
    QComboBox* CB_PLC_Type;
    QLineEdit* E_Rack;
    QLineEdit* E_Slot;
    QLineEdit* E_Poll_Time;
    QComboBox* CB_List; // read list, write list
    QComboBox* CB_Area_Identifier;
    QComboBox* CB_Db_Area;
    QLineEdit* E_Db_Number;
    QLineEdit* E_First_Position;
    QCheckBox* CK_Variables;
    QTableWidget* T_Rules;
    QTableWidget* T_Left_Out;
    QLabel* L_Problems;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;

    // Reads the file again (when its name changed) and remakes the preview from the fields.
    void Refresh();

    const Tag_Import_Options& Options() const { return options_; }
    // What OK gives: the rules made and both lists after them; valid when OK is enabled.
    const Tag_Rules& Rules() const { return rules_; }
    const Tag_Merge& Merge() const { return merge_; }

private:
    void Browse();
    void Show_Preview();

    S7_Protocol_Data current_;
    Table_Rows variables_;
    std::string read_path_; // the file the bytes are of
    std::string bytes_;
    std::string read_problem_;
    Tag_Import_Options options_;
    Tag_Read_Result read_;
    Tag_Rules rules_;
    Tag_Merge merge_;
};

} // namespace qm::gui
