#include "tables/s7_protocol_window.h"

#include "map/map_marks.h"

#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/app_state.h"
#include "common/gui/message_box.h"
#include "language/lang_strings.h"
#include "tables/grid_view.h"
#include "tables/s7_protocol.h"
#include "tables/table_check.h"
#include "tables/iec61850_variables.h"
#include "tables/table_layout.h"
#include "tags/gui/tag_import_dialog.h"
#include "tags/tags_texts.h"

namespace qm::gui {

namespace {

constexpr int Client_Width = 1350;
constexpr int Client_Height = 620;

Grid_View* Make_Read_Table(QWidget* parent) {
    auto* table = new Grid_View(S7_Read_Col::Col_Count, S7_Rows + 1, Grid_Mode::Text, parent);
    table->setObjectName(QStringLiteral("ACG_S7_Read"));
    table->Set_Layout(Layout_Of(Table_Id::S7_Read));
    table->Set_Min_Widths({40, 50, 110, 60, 60, 45, 45, 60, 60, 80, 60, 70, 50, 80, 60, 50, 50, 60, 220});
    return table;
}

Grid_View* Make_Write_Table(QWidget* parent) {
    auto* table = new Grid_View(S7_Write_Col::Col_Count, S7_Rows + 1, Grid_Mode::Text, parent);
    table->setObjectName(QStringLiteral("ACG_S7_Write"));
    table->Set_Layout(Layout_Of(Table_Id::S7_Write));
    table->Set_Min_Widths(
        {40, 50, 110, 60, 60, 45, 45, 60, 60, 80, 60, 70, 50, 80, 50, 50, 60, 50, 50, 60, 200});
    return table;
}

QWidget* Page_With(QWidget* table_parent_page, Grid_View* table) {
    auto* layout = new QVBoxLayout(table_parent_page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(table);
    return table_parent_page;
}

} // namespace

S7_Protocol_Window::S7_Protocol_Window(QWidget* parent)
    : Grid_Window("TFS7_Protocol_Set_Access", {1200, 1201, 1202, 1208, 1531}, parent) {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TS_S7_Read = new QWidget(PageControl1);
    TS_S7_Read->setObjectName(QStringLiteral("TS_S7_Read"));
    TS_S7_Write = new QWidget(PageControl1);
    TS_S7_Write->setObjectName(QStringLiteral("TS_S7_Write"));
    ACG_S7_Read = Make_Read_Table(TS_S7_Read);
    ACG_S7_Write = Make_Write_Table(TS_S7_Write);
    PageControl1->addTab(Page_With(TS_S7_Read, ACG_S7_Read), QString());
    PageControl1->addTab(Page_With(TS_S7_Write, ACG_S7_Write), QString());
    Btn_Import_Tags = new QPushButton(PageControl1);
    Btn_Import_Tags->setObjectName(QStringLiteral("Btn_Import_Tags"));
    Btn_Import_Tags->setAutoDefault(false);
    PageControl1->setCornerWidget(Btn_Import_Tags, Qt::TopRightCorner);
    connect(Btn_Import_Tags, &QPushButton::clicked, this, &S7_Protocol_Window::Import_Tags);
    Set_Up(PageControl1, QSize(Client_Width, Client_Height), false);
}

void S7_Protocol_Window::Set_Table_Texts() {
    PageControl1->setTabText(0, Lang_Q(Layout_Of(Table_Id::S7_Read).title));
    PageControl1->setTabText(1, Lang_Q(Layout_Of(Table_Id::S7_Write).title));

    Hint_S7_Set_Access_Read = ACG_S7_Read->Set_Layout_Texts(Layout_Of(Table_Id::S7_Read));
    Hint_S7_Set_Access_Write = ACG_S7_Write->Set_Layout_Texts(Layout_Of(Table_Id::S7_Write));
    Btn_Import_Tags->setText(Lang_Q(tags_text::Menu_Entry));
    Btn_Import_Tags->setToolTip(Lang_Q(tags_text::Menu_Hint));
}

void S7_Protocol_Window::Import_Tags() {
    ACG_S7_Read->Commit_Edit();
    ACG_S7_Write->Commit_Edit();
    // A second import of the same opening follows the variables of the first.
    Table_Rows variables = Read_IEC61850_Variables_File(State().Project.IEC61850_Variables_File).rows;
    const int length = List_Length(variables, Var_Col::Name, Variable_Rows);
    for (std::size_t i = 0; i < pending_variables_.size() && length + i < variables.size(); ++i) {
        variables[length + i] = pending_variables_[i];
    }
    Tag_Import_Dialog dialog(S7_Protocol_Data{ACG_S7_Read->Rows(), ACG_S7_Write->Rows()}, std::move(variables), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const Tag_Merge& merge = dialog.Merge();
    const bool write = dialog.Options().write_list;
    Grid_View* table = write ? ACG_S7_Write : ACG_S7_Read;
    table->Set_Block(1, 1, write ? merge.data.Write : merge.data.Read, Lang(tags_text::Dialog_Title));
    Show_Table(table);
    table->Set_Current_Cell(1, merge.first_row);
    if (merge.first_variable > 0) {
        pending_variables_.insert(pending_variables_.end(), dialog.Rules().variables.begin(), dialog.Rules().variables.end());
    }
}

const std::string& S7_Protocol_Window::File_Path() const {
    return State().Project.S7_Protocol_File;
}

void S7_Protocol_Window::Prepare_Opening() {
    PageControl1->setCurrentWidget(TS_S7_Read);
    pending_variables_.clear();
    NByte_IN = qm::NByte_IN;
    NByte_OUT = qm::NByte_OUT;
    // 1500 items to make and measure: only when the sizes changed, not at every opening.
    if (items_in_ != NByte_IN) {
        ACG_S7_Read->Set_Items(S7_Read_Col::Position, Position_Items(NByte_IN));
        items_in_ = NByte_IN;
    }
    if (items_out_ != NByte_OUT) {
        ACG_S7_Write->Set_Items(S7_Write_Col::Position, Position_Items(NByte_OUT));
        items_out_ = NByte_OUT;
    }
}

Table_Read_Info S7_Protocol_Window::Load(const std::string& path) {
    S7_Protocol_Read_Result result = Read_S7_Protocol_File(path);
    ACG_S7_Read->Fill_Rows(result.data.Read);
    ACG_S7_Write->Fill_Rows(result.data.Write);
    return std::move(result.info);
}

Table_Save_Result S7_Protocol_Window::Save(const std::string& path, bool keep_backup) {
    const Table_Save_Result saved =
        Save_S7_Protocol_File(path, S7_Protocol_Data{ACG_S7_Read->Rows(), ACG_S7_Write->Rows()}, keep_backup);
    if (saved.ok && !pending_variables_.empty()) {
        const Table_Save_Result variables =
            Save_Tag_Variables(State().Project.IEC61850_Variables_File, ACG_S7_Read->Rows(), pending_variables_);
        pending_variables_.clear();
        if (!variables.ok) {
            Show_Error(this, To_Q(variables.message));
        }
    }
    return saved;
}

Exchange_Table S7_Protocol_Window::Exchange_Kind(const Grid_View* table) const {
    return table == ACG_S7_Write ? Exchange_Table::S7_Write : Exchange_Table::S7_Read;
}

Table_Rows S7_Protocol_Window::Other_List(const Grid_View* table) const {
    return (table == ACG_S7_Write ? ACG_S7_Read : ACG_S7_Write)->Rows();
}

Grid_View* S7_Protocol_Window::Shown_Table() const {
    return PageControl1->currentWidget() == TS_S7_Write ? ACG_S7_Write : ACG_S7_Read;
}

bool& S7_Protocol_Window::Copied_Flag(Grid_View* table) {
    return table == ACG_S7_Write ? Do_Copy_In_Write : Do_Copy_In_Read;
}

bool S7_Protocol_Window::Controllo_dati() {
    const S7_Protocol_Data data{ACG_S7_Read->Rows(), ACG_S7_Write->Rows()};
    if (const auto fault = Check_S7_Protocol(data, NByte_IN, NByte_OUT)) {
        Show_Error(this, To_Q(Fault_Text(*fault, Table_Check::S7_Protocol)));
        return false;
    }
    return true;
}

std::vector<Grid_Fault> S7_Protocol_Window::All_Faults() const {
    std::vector<Grid_Fault> faults;
    const S7_Protocol_Data data{ACG_S7_Read->Rows(), ACG_S7_Write->Rows()};
    for (const Cell_Fault& fault : S7_Protocol_Cell_Faults(data, NByte_IN, NByte_OUT)) {
        Grid_View* table = fault.fault.table == S7_Write_Table ? ACG_S7_Write : ACG_S7_Read;
        faults.push_back({table, fault.column, fault.fault.row, To_Q(Fault_Text(fault.fault, Table_Check::S7_Protocol))});
    }
    return faults;
}

void S7_Protocol_Window::Show_Table(Grid_View* table) {
    PageControl1->setCurrentWidget(table == ACG_S7_Write ? TS_S7_Write : TS_S7_Read);
}

int S7_Protocol_Window::Key_Column(Grid_View*) const { return S7_Read_Col::PLC_Address; }

std::vector<Count_Column> S7_Protocol_Window::Count_Columns(Grid_View* table) const {
    const bool write = table == ACG_S7_Write;
    std::vector<Count_Column> columns;
    for (const Column_Range& range :
         S7_Count_Ranges(write ? S7_Write_Table : S7_Read_Table, write ? NByte_OUT : NByte_IN)) {
        columns.push_back({range.column, range.low, range.high});
    }
    return columns;
}

int S7_Protocol_Window::Mnemonic_Column(Grid_View* table) const {
    return table == ACG_S7_Write ? int{S7_Write_Col::Mnemonic} : int{S7_Read_Col::Mnemonic};
}

std::vector<Grid_Fault> S7_Protocol_Window::All_Warnings() const {
    std::vector<Grid_Fault> warnings;
    for (const Map_Mark& mark : S7_Window_Marks(ACG_S7_Read->Rows(), ACG_S7_Write->Rows())) {
        warnings.push_back({mark.list == Map_List::S7_Read ? ACG_S7_Read : ACG_S7_Write, mark.column, mark.row,
                            QString::fromStdString(mark.text)});
    }
    return warnings;
}

} // namespace qm::gui
