#include "shell/new_project_window.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "shell/configurations.h"
#include "common/gui/window_look.h"

namespace qm::gui {
namespace {

constexpr int Client_Width = 331;
constexpr int Client_Height = 162;

QPushButton* Make_Panel_Button(QWidget* panel, const char* name, int x, QStyle::StandardPixmap icon) {
    auto* button = new QPushButton(panel);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(x, 6, 110, 28);
    Set_Style_Icon_When_Shown(button, icon);
    // Enter belongs to the edit box; a default button would act on it a second time.
    button->setAutoDefault(false);
    return button;
}

} // namespace

New_Project_Window::New_Project_Window(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("New_Project_Window"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Apply_Form_Look(this);
    setFixedSize(Client_Width, Client_Height);

    const Title_Panel title = Make_Title_Panel(this);
    L_SW_Desc = title.L_SW_Desc;
    Label1 = Make_Label(this, "Label1", 16, 70);

    E_New_Proj = new QLineEdit(this);
    E_New_Proj->setObjectName(QStringLiteral("E_New_Proj"));
    E_New_Proj->setGeometry(16, 94, 297, 21);
    connect(E_New_Proj, &QLineEdit::returnPressed, this, &New_Project_Window::Btn_OKClick);

    auto* P_Button = new QFrame(this);
    P_Button->setObjectName(QStringLiteral("P_Button"));
    P_Button->setGeometry(0, Client_Height - 40, Client_Width, 40);
    Btn_OK = Make_Panel_Button(P_Button, "Btn_OK", 85, QStyle::SP_DialogOkButton);
    Btn_Cancel = Make_Panel_Button(P_Button, "Btn_Cancel", 203, QStyle::SP_DialogCancelButton);
    connect(Btn_OK, &QPushButton::clicked, this, &New_Project_Window::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    Set_Lang();
}

void New_Project_Window::Set_Lang() {
    setWindowTitle(Qt_Text(Lang(100)));
    Set_Label_Text(L_SW_Desc, Qt_Text(Lang(101)));
    Set_Label_Text(Label1, Qt_Text(Lang(102)));
    Btn_OK->setText(Qt_Text(Lang(103)));
    Btn_Cancel->setText(Qt_Text(Lang(104)));
    E_New_Proj->setToolTip(Qt_Text(Lang(108)));
    Btn_OK->setToolTip(Qt_Text(Lang(109)));
    Btn_Cancel->setToolTip(Qt_Text(Lang(110)));
}

void New_Project_Window::Btn_OKClick() {
    // The name is taken exactly as typed: blanks are part of it.
    const int refusal = Create_Configuration(Utf8(E_New_Proj->text()));
    if (refusal != 0) {
        Show_Error(this, Qt_Text(Lang(refusal)));
        E_New_Proj->setFocus();
        return;
    }
    accept();
}

void New_Project_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    E_New_Proj->clear();
    E_New_Proj->setFocus();
}

} // namespace qm::gui
