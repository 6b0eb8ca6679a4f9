#include "tables/tls_known_cert_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "common/gui/message_box.h"
#include "common/app_state.h"
#include "tables/grid_view.h"
#include "tables/table_model.h"
#include "tables/tls_known_cert.h"

namespace qm::gui {

namespace {

constexpr int Client_Width = 800;
constexpr int Client_Height = 337;
constexpr int Row_Height = 60; // room for several lines of a certificate

} // namespace

TLS_Known_Cert_Window::TLS_Known_Cert_Window(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFTLS_Server_Known_Cert"));
    auto* layout = new QVBoxLayout(this);
    const Title_Area title = Add_Title_Area(this, layout);
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;

    ASG = new Grid_View(Cert_Col::Col_Count, Cert_Rows + 1, Grid_Mode::Check_Box, this);
    ASG->setObjectName(QStringLiteral("ASG"));
    layout->addWidget(ASG, 1);
    Init_Table();

    const Table_Buttons buttons = Add_Button_Bar(this, layout);
    Btn_OK = buttons.Btn_OK;
    Btn_Cancel = buttons.Btn_Cancel;
    Btn_Delete_Row = buttons.Btn_Delete_Row;
    Btn_Insert_Row = buttons.Btn_Insert_Row;
    Btn_Copy_Row = buttons.Btn_Copy_Row;
    Btn_Paste_Row = buttons.Btn_Paste_Row;
    connect(Btn_OK, &QPushButton::clicked, this, &TLS_Known_Cert_Window::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Delete_Row, &QPushButton::clicked, this, [this] { Ask_And_Delete_Row(this, ASG, 1621); });
    connect(Btn_Insert_Row, &QPushButton::clicked, this, [this] { ASG->Insert_Row(); });
    connect(Btn_Copy_Row, &QPushButton::clicked, this, [this] {
        if (ASG->Copy_Row()) {
            Do_Copy = true;
        }
    });
    connect(Btn_Paste_Row, &QPushButton::clicked, this,
            [this] { ASG->Paste_Row(Do_Copy, Message_Prompts(this)); });

    resize(Client_Width, Client_Height);
    Set_Lang();
    Fit_Width_To_Table(this, ASG);
}

void TLS_Known_Cert_Window::Init_Table() {
    ASG->Set_Headers(Lang_Texts({1614, 1615, 1616, 1617}));
    ASG->Set_Min_Widths({40, 50, 500, 160});
    ASG->horizontalHeader()->setStretchLastSection(false); // the widths are fixed here
    ASG->Set_Check_Column(Cert_Col::Enable);
    ASG->Set_Multi_Line(Cert_Col::Certificate);
    ASG->Set_Row_Height(Row_Height);
    ASG->setWordWrap(true);
    ASG->Model()->Set_Column_Background(Cert_Col::Enable, QColor(255, 216, 176));
    ASG->Model()->Set_Column_Background(Cert_Col::Certificate, QColor(224, 250, 254));
    ASG->Model()->Set_Column_Background(Cert_Col::Mnemonic, QColor(255, 255, 255));
    ASG->Reset_Rows();
}

void TLS_Known_Cert_Window::Set_Lang() {
    setWindowTitle(Lang_Q(1600));
    L_SW_Desc->setText(Lang_Q(1601));
    Set_Button_Texts({Btn_OK, Btn_Cancel, Btn_Delete_Row, Btn_Insert_Row, Btn_Copy_Row, Btn_Paste_Row},
                     1602, 1608);
    ASG->Set_Headers(Lang_Texts({1614, 1615, 1616, 1617}));
    Hint_List = Lang_List({1618, 1619, 1620});
    ASG->Set_Header_Hints(Hint_List);
}

void TLS_Known_Cert_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TLS_Known_Cert_Window::FormShow() {
    ASG->Reset_Rows();
    file_read_complete_ = true;
    const std::string& path = State().Project.TLS_Known_Cert_File;
    if (!path.empty()) {
        const Table_Read_Result result = Read_TLS_Known_Cert_File(path);
        ASG->Fill_Rows(result.rows);
        file_read_complete_ = result.info.complete;
        Show_Read_Problems(this, result.info.Message());
    }
    Do_Copy = false;
}

void TLS_Known_Cert_Window::Btn_OKClick() {
    ASG->Commit_Edit();
    if (!Controllo_dati()) {
        return;
    }
    const std::string& path = State().Project.TLS_Known_Cert_File;
    if (path.empty()) {
        Show_Error(this, Lang_Q(18));
        return;
    }
    const Table_Save_Result saved = Save_TLS_Known_Cert_File(path, ASG->Rows(), !file_read_complete_);
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
