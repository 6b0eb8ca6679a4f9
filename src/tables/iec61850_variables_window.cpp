#include "tables/iec61850_variables_window.h"

#include "common/app_state.h"
#include "common/conversions.h"
#include "common/gui/message_box.h"
#include "map/map_marks.h"
#include "tables/grid_texts.h"
#include "tables/grid_view.h"
#include "tables/iec61850_variables.h"
#include "tables/table_check.h"
#include "tables/table_layout.h"

namespace qm::gui {

namespace {

constexpr int Client_Width = 1055;
constexpr int Client_Height = 337;

} // namespace

IEC61850_Variables_Window::IEC61850_Variables_Window(QWidget* parent)
    : Grid_Window("TFIEC61850_Variables", {1500, 1501, 1502, 1508, 1531}, parent) {
    ACG = new Grid_View(Var_Col::Col_Count, Variable_Rows + 1, Grid_Mode::Text, this);
    ACG->setObjectName(QStringLiteral("ACG"));
    ACG->Set_Layout(Layout_Of(Table_Id::Variables));
    ACG->Set_Min_Widths({30, 50, 150, 80, 50, 60, 60, 60, 90, 80, 45, 60, 130});
    Set_Up(ACG, QSize(Client_Width, Client_Height), true);
}

void IEC61850_Variables_Window::Set_Table_Texts() {
    Hint_List = ACG->Set_Layout_Texts(Layout_Of(Table_Id::Variables));
}

const std::string& IEC61850_Variables_Window::File_Path() const {
    return State().Project.IEC61850_Variables_File;
}

void IEC61850_Variables_Window::Prepare_Opening() { NByte_IN = Variables_NByte_IN; }

Table_Read_Info IEC61850_Variables_Window::Load(const std::string& path) {
    Table_Read_Result result = Read_IEC61850_Variables_File(path);
    ACG->Fill_Rows(result.rows);
    return std::move(result.info);
}

Table_Save_Result IEC61850_Variables_Window::Save(const std::string& path, bool keep_backup) {
    return Save_IEC61850_Variables_File(path, ACG->Rows(), keep_backup);
}

bool IEC61850_Variables_Window::Controllo_dati() {
    if (const auto fault = Check_IEC61850_Variables(ACG->Rows(), Get_Decimal_Separator(), NByte_IN)) {
        Show_Error(this, To_Q(Fault_Text(*fault, Table_Check::IEC61850_Variables)));
        return false;
    }
    return true;
}

std::vector<Grid_Fault> IEC61850_Variables_Window::All_Faults() const {
    std::vector<Grid_Fault> faults;
    for (const Cell_Fault& fault : IEC61850_Variables_Cell_Faults(ACG->Rows(), Get_Decimal_Separator(), NByte_IN)) {
        faults.push_back({ACG, fault.column, fault.fault.row,
                          To_Q(Fault_Text(fault.fault, Table_Check::IEC61850_Variables))});
    }
    return faults;
}

std::vector<Grid_Fault> IEC61850_Variables_Window::All_Warnings() const {
    std::vector<Grid_Fault> warnings;
    for (const Name_Clash& clash : IEC61850_Duplicate_Names(ACG->Rows())) {
        warnings.push_back({ACG, Var_Col::Name, clash.row,
                            Lang_Q(grid_text::Same_Name) + QString::number(clash.other_row)});
    }
    // Unfed read-only variables, against the read rules as saved.
    for (const Map_Mark& mark : Variable_Window_Marks(Saved_Read_Rules(State().Project.S7_Protocol_File), ACG->Rows())) {
        warnings.push_back({ACG, mark.column, mark.row, QString::fromStdString(mark.text)});
    }
    return warnings;
}

int IEC61850_Variables_Window::Key_Column(Grid_View*) const { return Var_Col::Name; }

std::vector<Count_Column> IEC61850_Variables_Window::Count_Columns(Grid_View*) const {
    std::vector<Count_Column> columns;
    for (const Column_Range& range : IEC61850_Count_Ranges(NByte_IN)) {
        columns.push_back({range.column, range.low, range.high});
    }
    return columns;
}

int IEC61850_Variables_Window::Mnemonic_Column(Grid_View*) const { return Var_Col::Mnemonic; }

int IEC61850_Variables_Window::Name_Column(Grid_View*) const { return Var_Col::Name; }

} // namespace qm::gui
