#pragma once
// "S7comm Access": the read and write rules of S7_Protocol.xml on two pages.

#include <QStringList>

#include "tables/grid_window.h"

class QPushButton;
class QTabWidget;

namespace qm::gui {

class Grid_View;

class S7_Protocol_Window : public Grid_Window {
    Q_OBJECT
public:
    explicit S7_Protocol_Window(QWidget* parent = nullptr);

    // The check of both lists; shows the first fault and returns false, or returns true.
    bool Controllo_dati() override;

    QTabWidget* PageControl1;
    QWidget* TS_S7_Read;
    QWidget* TS_S7_Write;
    Grid_View* ACG_S7_Read;
    Grid_View* ACG_S7_Write;

    int NByte_IN = 1500;
    int NByte_OUT = 1500;
    bool Do_Copy_In_Read = false;
    bool Do_Copy_In_Write = false;
    QStringList Hint_S7_Set_Access_Read;
    QStringList Hint_S7_Set_Access_Write;

    // "Import PLC Tags...", in the corner of the pages: rules from the PLC project's files into a
    // grid as one undoable step; their IEC 61850 variables, when asked for, are saved by OK.
    QPushButton* Btn_Import_Tags = nullptr;
    void Import_Tags();

protected:
    std::vector<Grid_View*> Tables() const override { return {ACG_S7_Read, ACG_S7_Write}; }
    Grid_View* Shown_Table() const override;
    bool& Copied_Flag(Grid_View* table) override;
    void Set_Table_Texts() override;
    const std::string& File_Path() const override;
    void Prepare_Opening() override;
    Table_Read_Info Load(const std::string& path) override;
    Table_Save_Result Save(const std::string& path, bool keep_backup) override;
    Exchange_Table Exchange_Kind(const Grid_View* table) const override;
    Table_Rows Other_List(const Grid_View* table) const override;
    std::vector<Grid_Fault> All_Faults() const override;
    std::vector<Grid_Fault> All_Warnings() const override; // the data map's overlaps and rules past the end
    void Show_Table(Grid_View* table) override;
    int Key_Column(Grid_View*) const override;
    std::vector<Count_Column> Count_Columns(Grid_View* table) const override;
    int Mnemonic_Column(Grid_View* table) const override;

private:
    // The sizes the Position lists were last made for.
    int items_in_ = -1;
    int items_out_ = -1;
    // Variables of imported read rules, waiting for OK (see Save_Tag_Variables).
    Table_Rows pending_variables_;
};

} // namespace qm::gui
