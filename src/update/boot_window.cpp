#include "update/boot_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

#include "common/conversions.h"
#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "update/boot_file.h"

namespace qm::gui {
namespace {

constexpr int Client_Width = 449;
constexpr int Title_Height = 69;
constexpr int IP_Height = 49;
constexpr int Options_Height = 72;
constexpr int Button_Height = 40;

QString Text(int entry) {
    return QString::fromStdString(Lang(entry));
}

QFrame* Make_Panel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromUtf8(name));
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

template <class Widget>
Widget* Make(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

// Disables the input while the device check runs, so a second click cannot start a second check.
class Check_Guard {
public:
    Check_Guard(bool& checking, std::initializer_list<QWidget*> widgets) : checking_(checking), widgets_(widgets) {
        checking_ = true;
        for (QWidget* w : widgets_) {
            w->setEnabled(false);
        }
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~Check_Guard() {
        QApplication::restoreOverrideCursor();
        for (QWidget* w : widgets_) {
            w->setEnabled(true);
        }
        checking_ = false;
    }
    Check_Guard(const Check_Guard&) = delete;
    Check_Guard& operator=(const Check_Guard&) = delete;

private:
    bool& checking_;
    std::vector<QWidget*> widgets_;
};

// The width a drop-down list needs for its widest item in the language in use; its own size
// hint is worked out once and would keep the width of the first language.
int Combo_Width(const QComboBox* combo) {
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i) {
        widest = std::max(widest, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
    }
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    const QSize text(widest, combo->fontMetrics().height());
    return combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, combo).width();
}

} // namespace

Boot_Window::Boot_Window(QWidget* parent)
    : QDialog(parent), Echo_Factory_(Make_System_Echo_Transport), Clock_(Steady_Ping_Clock()) {
    setObjectName(QStringLiteral("TFBoot"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    Create_Controls();
    Lay_Out();
    Set_Lang();
}

Boot_Window::~Boot_Window() = default;

void Boot_Window::Create_Controls() {
    P_Title = Make_Panel(this, "P_Title");
    P_Title->setAutoFillBackground(true);
    QPalette title_palette = P_Title->palette();
    title_palette.setColor(QPalette::Window, Qt::white);
    P_Title->setPalette(title_palette);
    L_SW_Code = Make<QLabel>(P_Title, "L_SW_Code");
    QFont code_font = L_SW_Code->font();
    code_font.setPixelSize(32);
    code_font.setBold(true);
    L_SW_Code->setFont(code_font);
    L_SW_Code->setStyleSheet(QStringLiteral("color: grey"));
    L_SW_Desc = Make<QLabel>(P_Title, "L_SW_Desc");
    QFont desc_font = L_SW_Desc->font();
    desc_font.setBold(true);
    L_SW_Desc->setFont(desc_font);

    P_IP_Address = Make_Panel(this, "P_IP_Address");
    L_IP_Address = Make<QLabel>(P_IP_Address, "L_IP_Address");
    static const char* const names[4] = {"E_IP1", "E_IP2", "E_IP3", "E_IP4"};
    for (int i = 0; i < 4; ++i) {
        E_IP[i] = Make<QLineEdit>(P_IP_Address, names[i]);
        E_IP[i]->setText(QStringLiteral("0"));
        E_IP[i]->setAlignment(Qt::AlignCenter);
        E_IP[i]->installEventFilter(this);
        if (i < 3) {
            L_Dot[i] = new QLabel(QStringLiteral("."), P_IP_Address);
            L_Dot[i]->setAlignment(Qt::AlignCenter);
        }
    }

    P_Options = Make_Panel(this, "P_Options");
    L_Update_Option = Make<QLabel>(P_Options, "L_Update_Option");
    CB_Update_Options = Make<QComboBox>(P_Options, "CB_Update_Options");
    CB_Update_Option_Read_Back = Make<QCheckBox>(P_Options, "CB_Update_Option_Read_Back");
    CB_Update_Option_Read_Back->setChecked(true);

    P_Button = Make_Panel(this, "P_Button");
    Btn_Cancel = Make<QPushButton>(P_Button, "Btn_Cancel");
    Btn_Update = Make<QPushButton>(P_Button, "Btn_Update");
    // Enter in an address field must neither close the window nor start an update.
    Btn_Cancel->setAutoDefault(false);
    Btn_Update->setAutoDefault(false);
    connect(Btn_Cancel, &QPushButton::clicked, this, &Boot_Window::reject);
    connect(Btn_Update, &QPushButton::clicked, this, &Boot_Window::Btn_UpdateClick);

    // Address panel, options panel, buttons.
    setTabOrder(E_IP[0], E_IP[1]);
    setTabOrder(E_IP[1], E_IP[2]);
    setTabOrder(E_IP[2], E_IP[3]);
    setTabOrder(E_IP[3], CB_Update_Options);
    setTabOrder(CB_Update_Options, CB_Update_Option_Read_Back);
    setTabOrder(CB_Update_Option_Read_Back, Btn_Cancel);
    setTabOrder(Btn_Cancel, Btn_Update);
}

void Boot_Window::Lay_Out() {
    // The sizes below are the window's own; a translation that needs more room widens the
    // labels, the controls and with them the window, rather than being cut off.
    constexpr int margin = 16;
    constexpr int label_width = 200;
    constexpr int input_width = 190; // four address fields and their dots
    const int labels = std::max({label_width, L_IP_Address->sizeHint().width(), L_Update_Option->sizeHint().width()});
    const int input_x = margin + labels + 11;
    const int inputs = std::max({input_width, Combo_Width(CB_Update_Options),
                                 CB_Update_Option_Read_Back->sizeHint().width()});
    const int cancel_width = std::max(150, Btn_Cancel->sizeHint().width());
    const int update_width = std::max(190, Btn_Update->sizeHint().width());
    const int width = std::max({Client_Width, input_x + inputs + margin,
                                margin + L_SW_Desc->sizeHint().width() + margin,
                                margin + cancel_width + 10 + update_width + margin});

    int top = 0;
    P_Title->setGeometry(0, top, width, Title_Height);
    top += Title_Height;
    P_IP_Address->setGeometry(0, top, width, IP_Height);
    top += IP_Height;
    P_Options->setGeometry(0, top, width, Options_Height);
    top += Options_Height;
    P_Button->setGeometry(0, top, width, Button_Height);
    top += Button_Height;
    setFixedSize(width, top);

    L_SW_Code->setGeometry(16, 4, 300, 38);
    L_SW_Desc->setGeometry(margin, 44, width - 2 * margin, 18);

    L_IP_Address->setGeometry(margin, 14, labels, 21);
    constexpr int field_width = 40;
    constexpr int dot_width = 10;
    int x = input_x;
    for (int i = 0; i < 4; ++i) {
        E_IP[i]->setGeometry(x, 14, field_width, 22);
        x += field_width;
        if (i < 3) {
            L_Dot[i]->setGeometry(x, 14, dot_width, 22);
            x += dot_width;
        }
    }

    L_Update_Option->setGeometry(margin, 10, labels, 22);
    CB_Update_Options->setGeometry(input_x, 10, inputs, 24);
    CB_Update_Option_Read_Back->setGeometry(input_x, 40, inputs, 22);

    Btn_Cancel->setGeometry(margin, 6, cancel_width, 28);
    Btn_Update->setGeometry(width - margin - update_width, 6, update_width, 28);
}

void Boot_Window::Set_Lang() {
    setWindowTitle(Text(1002));
    L_SW_Desc->setText(Text(1003));
    L_IP_Address->setText(Text(1006));
    L_Update_Option->setText(Text(1014));
    CB_Update_Options->clear();
    CB_Update_Options->addItem(Text(1015));
    CB_Update_Options->addItem(Text(1016));
    CB_Update_Options->addItem(Text(1017));
    CB_Update_Options->setCurrentIndex(0);
    CB_Update_Options->setToolTip(Text(1032));
    CB_Update_Option_Read_Back->setText(Text(1018));
    CB_Update_Option_Read_Back->setToolTip(Text(1033));
    Btn_Cancel->setText(Text(1019));
    Btn_Cancel->setToolTip(Text(1034));
    Btn_Update->setText(Text(1020));
    Btn_Update->setToolTip(Text(1035));
    for (int i = 0; i < 4; ++i) {
        E_IP[i]->setToolTip(Text(1021 + i));
    }
}

void Boot_Window::Set_Form_Type(int form_type) {
    Form_Type_ = form_type;
}

void Boot_Window::Set_Echo_Factory(Echo_Factory factory) {
    Echo_Factory_ = factory ? std::move(factory) : Echo_Factory(Make_System_Echo_Transport);
}

void Boot_Window::Set_Ping_Clock(Ping_Clock clock) {
    Clock_ = clock ? std::move(clock) : Steady_Ping_Clock();
}

void Boot_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void Boot_Window::FormShow() {
    Set_Lang();
    L_SW_Code->setText(QString::fromUtf8(SW_Code));
    Lay_Out();
    const std::string& remembered = State().Settings.Last_IP_Address;
    if (!remembered.empty()) {
        const Ip_Parts parts = Check_IP_Address(remembered);
        if (parts.valid) {
            for (int i = 0; i < 4; ++i) {
                E_IP[i]->setText(QString::fromStdString(parts.parts[static_cast<std::size_t>(i)]));
            }
        }
    }
    CB_Update_Options->setCurrentIndex(Last_Update_Option_);
    CB_Update_Option_Read_Back->setChecked(State().Last_Read_Back);
    E_IP[0]->setFocus();
}

bool Boot_Window::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() == QStringLiteral(".")) {
            for (int i = 0; i < 3; ++i) {
                if (watched == E_IP[i]) {
                    E_IP[i + 1]->setFocus();
                    E_IP[i + 1]->selectAll();
                    break;
                }
            }
            // Never inserted; in the last field it is simply dropped.
            for (QLineEdit* field : E_IP) {
                if (watched == field) {
                    return true;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::array<std::string, 4> Boot_Window::IP_Field_Texts() const {
    std::array<std::string, 4> texts;
    for (int i = 0; i < 4; ++i) {
        texts[static_cast<std::size_t>(i)] = E_IP[i]->text().toStdString();
    }
    return texts;
}

bool Boot_Window::Send_Ping() {
    Cancel_Check_ = false;
    const Check_Guard guard(Checking_, {P_IP_Address, P_Options, Btn_Update});
    std::unique_ptr<Echo_Transport> transport = Echo_Factory_();
    Last_Ping_ = qm::Send_Ping(Join_IP_Fields(IP_Field_Texts()), *transport, Clock_, [this] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return !Cancel_Check_;
    });
    return Last_Ping_.Answered();
}

void Boot_Window::reject() {
    // Closing during the device check ends the check; the update is then not started.
    if (Checking_) {
        Cancel_Check_ = true;
    }
    QDialog::reject();
}

void Boot_Window::Show_Check_Failure() {
    switch (Last_Ping_.outcome) {
    case Ping_Outcome::Answered:
    case Ping_Outcome::Cancelled:
        return;
    case Ping_Outcome::Not_Permitted:
        // Not the device's fault: say what is missing instead of "Device Not Found!".
        Show_Error(this, QString::fromStdString(Echo_Permission_Help(QCoreApplication::applicationFilePath().toStdString())));
        return;
    case Ping_Outcome::No_Answer:
    case Ping_Outcome::Bad_Address:
    case Ping_Outcome::Failed:
        break;
    }
    if (Last_Ping_.ping_res == Ping_Timed_Out) {
        Show_Warning(this, Text(1036));
        return;
    }
    QString text = Text(1037);
    if (!Last_Ping_.message.empty()) {
        text += QStringLiteral("\n\n") + QString::fromStdString(Last_Ping_.message);
    }
    Show_Error(this, text);
}

void Boot_Window::Btn_UpdateClick() {
    if (Checking_) {
        return;
    }
    if (!Send_Ping()) {
        Show_Check_Failure();
        return;
    }
    App_State& state = State();
    Boot_Request request;
    request.IP_Fields = IP_Field_Texts();
    request.Option = CB_Update_Options->currentIndex();
    request.Read_Back = CB_Update_Option_Read_Back->isChecked();
    request.Exe_Dir = state.Paths.Exe_Dir;
    request.Master_Dir = state.Paths.Master_Dir;
    request.Project_Dir = state.Project.Project_Dir;

    state.Settings.Last_IP_Address = Join_IP_Fields(request.IP_Fields);
    Last_Update_Option_ = request.Option;
    state.Last_Read_Back = request.Read_Back;

    const Io_Result saved = Compile_XML_Parameter_New_Boot(Doc_, request);
    if (!saved) {
        Show_Error(this, QString::fromStdString(saved.message));
        return;
    }
    Start_Update_Tool(state.Paths.Exe_Dir);
}

} // namespace qm::gui
