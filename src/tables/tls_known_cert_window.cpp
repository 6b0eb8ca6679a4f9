#include "tables/tls_known_cert_window.h"

#include <QHeaderView>

#include "common/app_state.h"
#include "tables/grid_view.h"
#include "tables/table_layout.h"
#include "tables/table_model.h"
#include "tables/tls_known_cert.h"

namespace qm::gui {

namespace {

constexpr int Client_Width = 800;
constexpr int Client_Height = 337;
constexpr int Row_Height = 60; // room for several lines of a certificate

} // namespace

TLS_Known_Cert_Window::TLS_Known_Cert_Window(QWidget* parent)
    : Grid_Window("TFTLS_Server_Known_Cert", {1600, 1601, 1602, 1608, 1621}, parent) {
    ASG = new Grid_View(Cert_Col::Col_Count, Cert_Rows + 1, Grid_Mode::Check_Box, this);
    ASG->setObjectName(QStringLiteral("ASG"));
    Init_Table();
    Set_Up(ASG, QSize(Client_Width, Client_Height), true);
}

void TLS_Known_Cert_Window::Init_Table() {
    ASG->Set_Layout_Texts(Layout_Of(Table_Id::Certificates));
    ASG->Set_Min_Widths({40, 50, 500, 160});
    ASG->horizontalHeader()->setStretchLastSection(false); // the widths are fixed here
    ASG->Set_Layout(Layout_Of(Table_Id::Certificates));
    ASG->Set_Row_Height(Row_Height);
    ASG->setWordWrap(true);
    ASG->Model()->Set_Column_Background(Cert_Col::Enable, QColor(255, 216, 176));
    ASG->Model()->Set_Column_Background(Cert_Col::Certificate, QColor(224, 250, 254));
    ASG->Model()->Set_Column_Background(Cert_Col::Mnemonic, QColor(255, 255, 255));
    ASG->Reset_Rows();
}

void TLS_Known_Cert_Window::Set_Table_Texts() {
    Hint_List = ASG->Set_Layout_Texts(Layout_Of(Table_Id::Certificates));
}

const std::string& TLS_Known_Cert_Window::File_Path() const {
    return State().Project.TLS_Known_Cert_File;
}

Table_Read_Info TLS_Known_Cert_Window::Load(const std::string& path) {
    Table_Read_Result result = Read_TLS_Known_Cert_File(path);
    ASG->Fill_Rows(result.rows);
    return std::move(result.info);
}

Table_Save_Result TLS_Known_Cert_Window::Save(const std::string& path, bool keep_backup) {
    return Save_TLS_Known_Cert_File(path, ASG->Rows(), keep_backup);
}

int TLS_Known_Cert_Window::Key_Column(Grid_View*) const { return Cert_Col::Certificate; }

int TLS_Known_Cert_Window::Mnemonic_Column(Grid_View*) const { return Cert_Col::Mnemonic; }

} // namespace qm::gui
