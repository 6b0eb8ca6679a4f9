#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <utility>

#include "common/gui/message_box.h"
#include "common/gui/qt_translations.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "shell/configurations.h"
#include "shell/maker_site.h"
#include "shell/new_project_window.h"
#include "shell/open_conf_window.h"
#include "shell/settings.h"
#include "common/gui/window_look.h"
#include "map/gui/data_map_window.h"
#include "review/gui/report_preview.h"

namespace qm::gui {
namespace {

constexpr int Client_Width = 694;
constexpr int Client_Height = 484;
constexpr int First_Check_Ms = 60000;
constexpr int Later_Checks_Ms = 7200000;

QString Lang_Text(int index) {
    return Qt_Text(Lang(index));
}

QString Link(const QString& url, const QString& text, bool bold = false) {
    const QString shown = text.toHtmlEscaped();
    return QStringLiteral("<a href=\"") + url.toHtmlEscaped() + QStringLiteral("\">") +
           (bold ? QStringLiteral("<b>") + shown + QStringLiteral("</b>") : shown) + QStringLiteral("</a>");
}

QLabel* Make_Link_Label(QWidget* parent, const char* name, int x, int y) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    label->setOpenExternalLinks(false);
    label->setCursor(Qt::PointingHandCursor);
    label->move(x, y);
    return label;
}

} // namespace

Main_Window::Main_Window(const std::string& exe_dir, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    Lang_Table.clear();
    Place_Controls();

    const Start_Up_Result start_up = Start_Up(exe_dir);
    start_up_problem_ = Qt_Text(start_up.problem);
    Load_Qt_Translations(State().Settings.Language);

    Apply_Update_Timer();
    setWindowTitle(QString::fromUtf8(Main_Window_Title));
    Set_Label_Text(L_SW_Code, QString::fromUtf8(SW_Code));
    Set_Label_Text(L_SW_Desc, QString::fromUtf8(SW_Desc));
    Set_Lang();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(Client_Width / 2, Client_Height / 2));
    }
}

void Main_Window::Place_Controls() {
    setObjectName(QStringLiteral("Main_Window"));
    Apply_Form_Look(this);
    setFixedSize(Client_Width, Client_Height);

    L_SW_Code = Make_SW_Code_Label(this, 16, 8);
    L_SW_Desc = Make_Label(this, "L_SW_Desc", 16, 42, true);
    L_Begin = Make_Label(this, "L_Begin", 16, 84, true);

    Shape2 = new QFrame(this);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape2->setLineWidth(1);
    QPalette outline = Shape2->palette();
    outline.setColor(QPalette::WindowText, QColor(192, 192, 192));
    Shape2->setPalette(outline);
    Shape2->setGeometry(80, 70, 348, 36);
    L_Name_Conf = Make_Label(this, "L_Name_Conf", 87, 75);
    L_Name_Conf_L2 = Make_Label(this, "L_Name_Conf_L2", 87, 88);

    LL_Update = Make_Link_Label(this, "LL_Update", 208, 19);
    LL_Update->hide();
    connect(LL_Update, &QLabel::linkActivated, this, &Main_Window::Open_Link);

    const auto icon_button = [this](const char* name, int x, QStyle::StandardPixmap first,
                                    QStyle::StandardPixmap fallback) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromUtf8(name));
        button->setGeometry(x, 8, 50, 50);
        button->setIcon(Style_Icon(button, first, fallback));
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QToolButton::clicked, this, [this, button] { Btn_Click(button); });
        return button;
    };
    Btn_Info = icon_button("Btn_Info", 516, QStyle::SP_MessageBoxInformation, QStyle::SP_FileDialogInfoView);
    Btn_Opz = icon_button("Btn_Opz", 574, QStyle::SP_FileDialogDetailedView, QStyle::SP_FileDialogListView);
    Btn_Close = icon_button("Btn_Close", 632, QStyle::SP_DialogCloseButton, QStyle::SP_DialogCancelButton);
    // The report of the open configuration, in the free space left of the icon buttons.
    Add_Report_Button(this);
    Add_Data_Map_Button(this);

    const auto step_button = [this](const char* name, int x, int y, QStyle::StandardPixmap first,
                                    QStyle::StandardPixmap fallback) {
        auto* button = new QPushButton(this);
        button->setObjectName(QString::fromUtf8(name));
        button->setGeometry(x, y, 170, 36);
        button->setIcon(Style_Icon(button, first, fallback));
        button->setIconSize(QSize(20, 20));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, button] { Btn_Click(button); });
        return button;
    };
    static const char* const step_names[6] = {"L_Step_1", "L_Step_2", "L_Step_3",
                                              "L_Step_4", "L_Step_5", "L_Step_6"};
    for (int i = 0; i < 6; ++i) {
        L_Step[i] = Make_Label(this, step_names[i], 16, 128 + 44 * i, true);
    }
    Btn_New = step_button("Btn_New", 80, 112, QStyle::SP_FileDialogNewFolder, QStyle::SP_FileIcon);
    Btn_Open = step_button("Btn_Open", 258, 112, QStyle::SP_DialogOpenButton, QStyle::SP_DirOpenIcon);
    Btn_Prm_Gen = step_button("Btn_Prm_Gen", 80, 156, QStyle::SP_DriveNetIcon, QStyle::SP_ComputerIcon);
    Btn_S7_Protocol_Access =
        step_button("Btn_S7_Protocol_Access", 80, 200, QStyle::SP_ComputerIcon, QStyle::SP_DriveHDIcon);
    Btn_IEC61850_Access =
        step_button("Btn_IEC61850_Access", 80, 244, QStyle::SP_FileDialogListView, QStyle::SP_FileIcon);
    Btn_TLS_List_Certificates =
        step_button("Btn_TLS_List_Certificates", 80, 288, QStyle::SP_VistaShield, QStyle::SP_DialogApplyButton);
    Btn_CreateBin = step_button("Btn_CreateBin", 80, 332, QStyle::SP_ArrowUp, QStyle::SP_BrowserReload);

    L_Velmor = Make_Link_Label(this, "L_Velmor", 565, 348);
    L_Velmor->setText(Link(Qt_Text(Home_Url()), Qt_Text(Maker_Host()), true));
    L_Velmor->adjustSize();
    // The address is the build's choice; keep it inside the window when it is a long one.
    if (L_Velmor->x() + L_Velmor->width() > Client_Width - 10) {
        L_Velmor->move(Client_Width - 10 - L_Velmor->width(), L_Velmor->y());
    }
    connect(L_Velmor, &QLabel::linkActivated, this, &Main_Window::Open_Link);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAutoFillBackground(true);
    QPalette line = Shape1->palette();
    line.setColor(QPalette::Window, QColor(192, 192, 192));
    Shape1->setPalette(line);
    Shape1->setGeometry(10, 383, 674, 1);

    Timer_Update = new QTimer(this);
    Timer_Update->setObjectName(QStringLiteral("Timer_Update"));
    Timer_Update->setInterval(First_Check_Ms);
    connect(Timer_Update, &QTimer::timeout, this, &Main_Window::Timer_UpdateTimer);
}

void Main_Window::Set_Lang() {
    Set_Label_Text(L_Begin, Lang_Text(0));
    for (int i = 0; i < 6; ++i) {
        Set_Label_Text(L_Step[i], Lang_Text(1 + i));
    }
    Btn_Info->setToolTip(Lang_Text(12));
    Btn_Opz->setToolTip(Lang_Text(13));
    Btn_Close->setToolTip(Lang_Text(14));
    Report_Button_Set_Lang(this);
    Data_Map_Button_Set_Lang(this);
    Btn_New->setText(Lang_Text(15));
    Btn_New->setToolTip(Lang_Text(22));
    Btn_Open->setText(Lang_Text(16));
    Btn_Open->setToolTip(Lang_Text(23));
    Btn_Prm_Gen->setText(Lang_Text(20));
    Btn_Prm_Gen->setToolTip(Lang_Text(24));
    Btn_S7_Protocol_Access->setText(Lang_Text(21));
    Btn_S7_Protocol_Access->setToolTip(Lang_Text(25));
    Btn_IEC61850_Access->setText(Lang_Text(31));
    Btn_IEC61850_Access->setToolTip(Lang_Text(32));
    Btn_TLS_List_Certificates->setText(Lang_Text(33));
    Btn_TLS_List_Certificates->setToolTip(Lang_Text(34));
    Btn_CreateBin->setText(Lang_Text(17));
    Btn_CreateBin->setToolTip(Lang_Text(26));
    LL_Update->setText(Link(Qt_Text(Download_Url()), Lang_Text(19)));
    LL_Update->adjustSize();
    Show_Configuration_Box();
}

void Main_Window::Show_Configuration_Box() {
    const App_State& state = State();
    const bool open = !state.Project.Project_Dir.empty();
    const QString first = Lang_Text(open ? 11 : 9);
    const QString second = open ? Qt_Text(state.Settings.Project_Name) : Lang_Text(10);

    // The box keeps its size unless a line needs more; it may grow up to the icon buttons.
    // Whatever is still too long (a long name) is shortened, and the hint keeps it whole.
    constexpr int padding = 7;
    const int widest_box = Btn_Info->x() - 8 - Shape2->x();
    const QFontMetrics metrics(L_Name_Conf->font());
    const int needed =
        std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second)) + 2 * padding + 4;
    Shape2->resize(std::clamp(needed, 348, widest_box), Shape2->height());
    const int room = Shape2->x() + Shape2->width() - L_Name_Conf->x() - 4;
    for (const auto& [label, text] : {std::pair{L_Name_Conf, first}, std::pair{L_Name_Conf_L2, second}}) {
        const QString shown = metrics.elidedText(text, Qt::ElideRight, room);
        Set_Label_Text(label, shown);
        label->setToolTip(shown == text ? QString() : text);
    }
}

void Main_Window::Change_Language() {
    Set_Lang();
    if (windows_.New_Project != nullptr) {
        windows_.New_Project->Set_Lang();
    }
    if (windows_.Open_Conf != nullptr) {
        windows_.Open_Conf->Set_Lang();
    }
    for (const Child_Window* child : {&windows_.Options, &windows_.Boot, &windows_.Par_Gen, &windows_.S7_Protocol,
                                      &windows_.IEC61850_Variables, &windows_.TLS_Known_Cert}) {
        if (child->Set_Lang) {
            child->Set_Lang();
        }
    }
}

void Main_Window::Btn_Click(QAbstractButton* sender) {
    if (sender == Btn_New) {
        Create_New_Project();
        return;
    }
    if (sender == Btn_Open) {
        Open_Project();
        return;
    }
    if (sender == Btn_Close) {
        close();
        return;
    }
    if (sender == Btn_Info) {
        Show_Modal(windows_.About);
        return;
    }
    if (sender == Btn_Opz) {
        if (windows_.Options.Dialog != nullptr && windows_.Options.Dialog->exec() == QDialog::Accepted) {
            Save_Setting();
            Apply_Update_Timer();
        }
        return;
    }
    if (State().Project.Project_Dir.empty()) {
        Show_Error(this, Lang_Text(18));
        return;
    }
    if (sender == Btn_Prm_Gen) {
        Show_Modal(windows_.Par_Gen.Dialog);
    } else if (sender == Btn_S7_Protocol_Access) {
        Show_Modal(windows_.S7_Protocol.Dialog);
    } else if (sender == Btn_TLS_List_Certificates) {
        Show_Modal(windows_.TLS_Known_Cert.Dialog);
    } else if (sender == Btn_IEC61850_Access) {
        Show_Modal(windows_.IEC61850_Variables.Dialog);
    } else if (sender == Btn_CreateBin) {
        Update_Device();
    }
}

void Main_Window::Create_New_Project() {
    if (windows_.New_Project == nullptr) {
        return;
    }
    // The window has already made the new configuration the open one.
    if (windows_.New_Project->exec() == QDialog::Accepted) {
        Show_Configuration_Box();
    }
}

void Main_Window::Open_Project() {
    if (windows_.Open_Conf == nullptr || windows_.Open_Conf->exec() != QDialog::Accepted) {
        return;
    }
    Open_Configuration(windows_.Open_Conf->Name_Conf());
    Show_Configuration_Box();
}

void Main_Window::Update_Device() {
    if (hooks_.Build_Device_Image) {
        const std::string failure = hooks_.Build_Device_Image();
        if (!failure.empty()) {
            Show_Error(this, Qt_Text(failure));
            return;
        }
    }
    if (windows_.Boot_Set_Form_Type) {
        windows_.Boot_Set_Form_Type(1);
    }
    Show_Modal(windows_.Boot.Dialog);
}

void Main_Window::Timer_UpdateTimer() {
    Timer_Update->stop();
    if (query_in_flight_) {
        return;
    }
    if (!hooks_.Query_Version) {
        Version_Answered(false);
        return;
    }
    query_in_flight_ = true;
    // The answer comes while the windows stay live: the window may be gone, or the options
    // switched off meanwhile.
    hooks_.Query_Version([self = QPointer<Main_Window>(this)](bool newer) {
        if (self != nullptr) {
            self->query_in_flight_ = false;
            self->Version_Answered(newer);
        }
    });
}

void Main_Window::Version_Answered(bool newer) {
    const Settings_Data& settings = State().Settings;
    if (settings.Enable_Internet && settings.Enable_Update) {
        if (newer) {
            LL_Update->setText(Link(Qt_Text(Download_Url()), Lang_Text(19)));
            LL_Update->adjustSize();
            LL_Update->show();
        } else {
            LL_Update->hide();
        }
    }
    Timer_Update->setInterval(Later_Checks_Ms);
    Apply_Update_Timer();
}

bool Main_Window::Save_Setting() {
    const Io_Result saved = qm::Save_Setting();
    if (!saved) {
        Show_Error(this, Lang_Text(93) + QStringLiteral("\n\n") + Qt_Text(saved.message));
    }
    return saved.ok;
}

void Main_Window::closeEvent(QCloseEvent* event) {
    Save_Setting();
    event->accept();
}

void Main_Window::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (start_up_reported_) {
        return;
    }
    start_up_reported_ = true;
    if (!start_up_problem_.isEmpty()) {
        // After the window is on screen, so the message has something to stand in front of.
        QTimer::singleShot(0, this, [this] { Show_Warning(this, start_up_problem_); });
    }
}

void Main_Window::Apply_Update_Timer() {
    const Settings_Data& settings = State().Settings;
    // The answer to a query in flight restarts the timer.
    if (settings.Enable_Internet && settings.Enable_Update && !query_in_flight_) {
        if (!Timer_Update->isActive()) {
            Timer_Update->start();
        }
    } else {
        Timer_Update->stop();
    }
}

void Main_Window::Open_Link(const QString& url) {
    if (hooks_.Open_Url) {
        hooks_.Open_Url(url);
    } else {
        QDesktopServices::openUrl(QUrl(url));
    }
}

void Main_Window::Show_Modal(QDialog* dialog) {
    if (dialog != nullptr) {
        dialog->exec();
    }
}

} // namespace qm::gui
