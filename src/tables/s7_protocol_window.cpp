#include "tables/s7_protocol_window.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "tables/grid_view.h"
#include "tables/s7_protocol.h"
#include "tables/table_check.h"

namespace qm::gui {

namespace {

constexpr int Client_Width = 1350;
constexpr int Client_Height = 620;

// The columns both tables share (1 to 13); the rest differ.
void Common_Columns(Grid_View* table) {
    table->Set_Column(S7_Read_Col::Enable, Cell_Editor::Text_Check);
    table->Set_Column(S7_Read_Col::PLC_Type, Cell_Editor::List, PLC_Type_Items);
    table->Set_Column(S7_Read_Col::Data_Type, Cell_Editor::List, Data_Type_Items);
    table->Set_Column(S7_Read_Col::Data_Identifier, Cell_Editor::List, Data_Identifier_Items);
    table->Set_Column(S7_Read_Col::PLC_Area, Cell_Editor::List, PLC_Area_Items);
    table->Set_Column(S7_Read_Col::PLC_Bit, Cell_Editor::List, Bit_Items);
}

Grid_View* Make_Read_Table(QWidget* parent) {
    auto* table = new Grid_View(S7_Read_Col::Col_Count, S7_Rows + 1, Grid_Mode::Text, parent);
    table->setObjectName(QStringLiteral("ACG_S7_Read"));
    Common_Columns(table);
    table->Set_Column(S7_Read_Col::Position, Cell_Editor::List);
    table->Set_Column(S7_Read_Col::Bit, Cell_Editor::List, Bit_Items);
    table->Set_Column(S7_Read_Col::Swap, Cell_Editor::Text_Check);
    table->Set_Column(S7_Read_Col::SwapWord, Cell_Editor::Text_Check);
    table->Set_Min_Widths({40, 50, 110, 60, 60, 45, 45, 60, 60, 80, 60, 70, 50, 80, 60, 50, 50, 60, 220});
    return table;
}

Grid_View* Make_Write_Table(QWidget* parent) {
    auto* table = new Grid_View(S7_Write_Col::Col_Count, S7_Rows + 1, Grid_Mode::Text, parent);
    table->setObjectName(QStringLiteral("ACG_S7_Write"));
    Common_Columns(table);
    table->Set_Column(S7_Write_Col::OnChange, Cell_Editor::Text_Check);
    table->Set_Column(S7_Write_Col::OnCMD, Cell_Editor::Text_Check);
    table->Set_Column(S7_Write_Col::Position, Cell_Editor::List);
    table->Set_Column(S7_Write_Col::Bit, Cell_Editor::List, Bit_Items);
    table->Set_Column(S7_Write_Col::Swap, Cell_Editor::Text_Check);
    table->Set_Column(S7_Write_Col::SwapWord, Cell_Editor::Text_Check);
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

S7_Protocol_Window::S7_Protocol_Window(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFS7_Protocol_Set_Access"));
    auto* layout = new QVBoxLayout(this);
    const Title_Area title = Add_Title_Area(this, layout);
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;

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
    layout->addWidget(PageControl1, 1);

    const Table_Buttons buttons = Add_Button_Bar(this, layout);
    Btn_OK = buttons.Btn_OK;
    Btn_Cancel = buttons.Btn_Cancel;
    Btn_Delete_Row = buttons.Btn_Delete_Row;
    Btn_Insert_Row = buttons.Btn_Insert_Row;
    Btn_Copy_Row = buttons.Btn_Copy_Row;
    Btn_Paste_Row = buttons.Btn_Paste_Row;
    connect(Btn_OK, &QPushButton::clicked, this, &S7_Protocol_Window::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Delete_Row, &QPushButton::clicked, this, &S7_Protocol_Window::Btn_Delete_RowClick);
    connect(Btn_Insert_Row, &QPushButton::clicked, this, &S7_Protocol_Window::Btn_Insert_RowClick);
    connect(Btn_Copy_Row, &QPushButton::clicked, this, &S7_Protocol_Window::Btn_Copy_RowClick);
    connect(Btn_Paste_Row, &QPushButton::clicked, this, &S7_Protocol_Window::Btn_Paste_RowClick);

    resize(Client_Width, Client_Height);
    Set_Lang();
}

void S7_Protocol_Window::Set_Lang() {
    setWindowTitle(Lang_Q(1200));
    L_SW_Desc->setText(Lang_Q(1201));
    Set_Button_Texts({Btn_OK, Btn_Cancel, Btn_Delete_Row, Btn_Insert_Row, Btn_Copy_Row, Btn_Paste_Row},
                     1202, 1208);
    PageControl1->setTabText(0, Lang_Q(1214));
    PageControl1->setTabText(1, Lang_Q(1215));

    ACG_S7_Read->Set_Headers(Lang_Texts({1216, 1217, 1218, 1219, 1220, 1313, 1314, 1221, 1222, 1289,
                                         1290, 1291, 1292, 1223, 1224, 1225, 1226, 1227, 1228}));
    ACG_S7_Write->Set_Headers(Lang_Texts({1229, 1230, 1231, 1232, 1233, 1315, 1316, 1234, 1235, 1293,
                                          1294, 1295, 1296, 1236, 1237, 1238, 1239, 1240, 1241, 1242,
                                          1243}));
    Hint_S7_Set_Access_Read = Lang_List({1244, 1245, 1246, 1247, 1317, 1318, 1248, 1249, 1297, 1298,
                                         1299, 1300, 1250, 1251, 1252, 1253, 1254, 1255});
    Hint_S7_Set_Access_Write = Lang_List({1256, 1257, 1258, 1259, 1319, 1320, 1260, 1261, 1301, 1302,
                                          1303, 1304, 1262, 1263, 1264, 1265, 1266, 1267, 1268, 1269});
    ACG_S7_Read->Set_Header_Hints(Hint_S7_Set_Access_Read);
    ACG_S7_Write->Set_Header_Hints(Hint_S7_Set_Access_Write);
}

void S7_Protocol_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void S7_Protocol_Window::FormShow() {
    ACG_S7_Read->Reset_Rows();
    ACG_S7_Write->Reset_Rows();
    PageControl1->setCurrentWidget(TS_S7_Read);

    NByte_IN = qm::NByte_IN;
    NByte_OUT = qm::NByte_OUT;
    ACG_S7_Read->Set_Items(S7_Read_Col::Position, Position_Items(NByte_IN));
    ACG_S7_Write->Set_Items(S7_Write_Col::Position, Position_Items(NByte_OUT));

    file_read_complete_ = true;
    const std::string& path = State().Project.S7_Protocol_File;
    if (!path.empty()) {
        const S7_Protocol_Read_Result result = Read_S7_Protocol_File(path);
        ACG_S7_Read->Fill_Rows(result.data.Read);
        ACG_S7_Write->Fill_Rows(result.data.Write);
        file_read_complete_ = result.info.complete;
        Show_Read_Problems(this, result.info.Message());
    }

    Do_Copy_In_Read = false;
    Do_Copy_In_Write = false;
}

Grid_View* S7_Protocol_Window::Shown_Table() const {
    return PageControl1->currentWidget() == TS_S7_Write ? ACG_S7_Write : ACG_S7_Read;
}

bool S7_Protocol_Window::Controllo_dati() {
    const S7_Protocol_Data data{ACG_S7_Read->Rows(), ACG_S7_Write->Rows()};
    if (const auto fault = Check_S7_Protocol(data, NByte_IN, NByte_OUT)) {
        Show_Error(this, To_Q(Fault_Text(*fault, Table_Check::S7_Protocol)));
        return false;
    }
    return true;
}

void S7_Protocol_Window::Btn_OKClick() {
    ACG_S7_Read->Commit_Edit();
    ACG_S7_Write->Commit_Edit();
    if (!Controllo_dati()) {
        return;
    }
    const std::string& path = State().Project.S7_Protocol_File;
    if (path.empty()) {
        Show_Error(this, Lang_Q(18));
        return;
    }
    const S7_Protocol_Data data{ACG_S7_Read->Rows(), ACG_S7_Write->Rows()};
    const Table_Save_Result saved = Save_S7_Protocol_File(path, data, !file_read_complete_);
    if (!saved.ok) {
        Show_Error(this, To_Q(saved.message));
        return;
    }
    if (!saved.backup_path.empty()) {
        Show_Information(this, To_Q(saved.message));
    }
    accept();
}

void S7_Protocol_Window::Btn_Delete_RowClick() { Ask_And_Delete_Row(this, Shown_Table(), 1531); }

void S7_Protocol_Window::Btn_Insert_RowClick() { Shown_Table()->Insert_Row(); }

void S7_Protocol_Window::Btn_Copy_RowClick() {
    Grid_View* table = Shown_Table();
    if (!table->Copy_Row()) {
        return;
    }
    // A row pastes only into the table it was copied from.
    Do_Copy_In_Read = table == ACG_S7_Read;
    Do_Copy_In_Write = table == ACG_S7_Write;
}

void S7_Protocol_Window::Btn_Paste_RowClick() {
    Grid_View* table = Shown_Table();
    table->Paste_Row(table == ACG_S7_Read ? Do_Copy_In_Read : Do_Copy_In_Write,
                     Message_Prompts(this));
}

} // namespace qm::gui
