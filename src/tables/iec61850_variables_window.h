#pragma once
// "Set Variables Access for IEC61850": the variable list of IEC61850_Variables.xml.

#include <QStringList>

#include "tables/grid_window.h"

namespace qm::gui {

class Grid_View;

class IEC61850_Variables_Window : public Grid_Window {
    Q_OBJECT
public:
    explicit IEC61850_Variables_Window(QWidget* parent = nullptr);

    // The check of the list; shows the first fault and returns false, or returns true.
    bool Controllo_dati() override;

    Grid_View* ACG;

    int NByte_IN = 1438;
    bool Do_Copy = false;
    QStringList Hint_List;

protected:
    std::vector<Grid_View*> Tables() const override { return {ACG}; }
    bool& Copied_Flag(Grid_View*) override { return Do_Copy; }
    void Set_Table_Texts() override;
    const std::string& File_Path() const override;
    void Prepare_Opening() override;
    Table_Read_Info Load(const std::string& path) override;
    Table_Save_Result Save(const std::string& path, bool keep_backup) override;
    Exchange_Table Exchange_Kind(const Grid_View*) const override { return Exchange_Table::Variables; }
    std::vector<Grid_Fault> All_Faults() const override;
    std::vector<Grid_Fault> All_Warnings() const override;
    int Key_Column(Grid_View*) const override;
    std::vector<Count_Column> Count_Columns(Grid_View*) const override;
    int Mnemonic_Column(Grid_View*) const override;
    int Name_Column(Grid_View*) const override;
};

} // namespace qm::gui
