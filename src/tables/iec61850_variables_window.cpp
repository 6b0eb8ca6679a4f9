#include "tables/iec61850_variables_window.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "common/conversions.h"
#include "common/gui/message_box.h"
#include "common/app_state.h"
#include "tables/grid_view.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/table_check.h"

namespace qm::gui {

namespace {

constexpr int Client_Width = 1055;
constexpr int Client_Height = 337;

} // namespace

IEC61850_Variables_Window::IEC61850_Variables_Window(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFIEC61850_Variables"));
    auto* layout = new QVBoxLayout(this);
    const Title_Area title = Add_Title_Area(this, layout);
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;

    ACG = new Grid_View(Var_Col::Col_Count, Variable_Rows + 1, Grid_Mode::Text, this);
    ACG->setObjectName(QStringLiteral("ACG"));
    ACG->Set_Column(Var_Col::Enable, Cell_Editor::Text_Check);
    ACG->Set_Column(Var_Col::Type, Cell_Editor::List, Variable_Type_Items);
    ACG->Set_Column(Var_Col::ReadOnly, Cell_Editor::Text_Check);
    ACG->Set_Column(Var_Col::StartBit, Cell_Editor::List, Bit_Items);
    ACG->Set_Column(Var_Col::Conversion, Cell_Editor::List, Variable_Conversion_Items);
    ACG->Set_Column(Var_Col::MultiplicationFactor, Cell_Editor::Free_List, Variable_Factor_Items);
    ACG->Set_Column(Var_Col::Swap, Cell_Editor::Text_Check);
    ACG->Set_Column(Var_Col::SwapWord, Cell_Editor::Text_Check);
    ACG->Set_Min_Widths({30, 50, 150, 80, 50, 60, 60, 60, 90, 80, 45, 60, 130});
    layout->addWidget(ACG, 1);

    const Table_Buttons buttons = Add_Button_Bar(this, layout);
    Btn_OK = buttons.Btn_OK;
    Btn_Cancel = buttons.Btn_Cancel;
    Btn_Delete_Row = buttons.Btn_Delete_Row;
    Btn_Insert_Row = buttons.Btn_Insert_Row;
    Btn_Copy_Row = buttons.Btn_Copy_Row;
    Btn_Paste_Row = buttons.Btn_Paste_Row;
    connect(Btn_OK, &QPushButton::clicked, this, &IEC61850_Variables_Window::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Delete_Row, &QPushButton::clicked, this, [this] { Ask_And_Delete_Row(this, ACG, 1531); });
    connect(Btn_Insert_Row, &QPushButton::clicked, this, [this] { ACG->Insert_Row(); });
    connect(Btn_Copy_Row, &QPushButton::clicked, this, [this] {
        if (ACG->Copy_Row()) {
            Do_Copy = true;
        }
    });
    connect(Btn_Paste_Row, &QPushButton::clicked, this,
            [this] { ACG->Paste_Row(Do_Copy, Message_Prompts(this)); });

    resize(Client_Width, Client_Height);
    Set_Lang();
    Fit_Width_To_Table(this, ACG);
}

void IEC61850_Variables_Window::Set_Lang() {
    setWindowTitle(Lang_Q(1500));
    L_SW_Desc->setText(Lang_Q(1501));
    Set_Button_Texts({Btn_OK, Btn_Cancel, Btn_Delete_Row, Btn_Insert_Row, Btn_Copy_Row, Btn_Paste_Row},
                     1502, 1508);
    ACG->Set_Headers(
        Lang_Texts({1514, 1515, 1516, 1517, 1518, 1519, 1520, 1532, 1533, 1534, 1542, 1543, 1521}));
    Hint_List = Lang_List({1522, 1523, 1524, 1525, 1526, 1527, 1535, 1536, 1537, 1544, 1545, 1528});
    ACG->Set_Header_Hints(Hint_List);
}

void IEC61850_Variables_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void IEC61850_Variables_Window::FormShow() {
    ACG->Reset_Rows();
    NByte_IN = Variables_NByte_IN;
    file_read_complete_ = true;
    const std::string& path = State().Project.IEC61850_Variables_File;
    if (!path.empty()) {
        const Table_Read_Result result = Read_IEC61850_Variables_File(path);
        ACG->Fill_Rows(result.rows);
        file_read_complete_ = result.info.complete;
        Show_Read_Problems(this, result.info.Message());
    }
    Do_Copy = false;
}

bool IEC61850_Variables_Window::Controllo_dati() {
    if (const auto fault = Check_IEC61850_Variables(ACG->Rows(), Get_Decimal_Separator(), NByte_IN)) {
        Show_Error(this, To_Q(Fault_Text(*fault, Table_Check::IEC61850_Variables)));
        return false;
    }
    return true;
}

void IEC61850_Variables_Window::Btn_OKClick() {
    ACG->Commit_Edit();
    if (!Controllo_dati()) {
        return;
    }
    const std::string& path = State().Project.IEC61850_Variables_File;
    if (path.empty()) {
        Show_Error(this, Lang_Q(18));
        return;
    }
    const Table_Save_Result saved = Save_IEC61850_Variables_File(path, ACG->Rows(), !file_read_complete_);
    if (!saved.ok) {
        Show_Error(this, To_Q(saved.message));
        return;
    }
    if (!saved.backup_path.empty()) {
        Show_Information(this, To_Q(saved.message));
    }
    accept();
}

} // namespace qm::gui
