#include "parameters/par_gen_window.h"

#include "common/gui/faults_line.h"
#include "common/gui/message_box.h"
#include "common/gui/window_look.h"
#include "language/lang_table.h"
#include "parameters/collapsible_panel.h"
#include "parameters/par_gen_check.h"
#include "common/app_state.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <span>

namespace qm::gui {
namespace {

constexpr int Client_Width = 460;
constexpr int Client_Height = 700;
constexpr int Title_Height = 69;
constexpr int Button_Strip_Height = 40;
// Below the last visible control of a panel, before the next header.
constexpr int Panel_Bottom_Margin = 12;

constexpr int Lead_X = 14;
constexpr int Lead_Width = 175;
constexpr int Field_X = 191;
constexpr int Field_Width = 238;
constexpr int Field_Height = 21;
constexpr int Memo_Height = 23;
constexpr int Check_Height = 17;
constexpr int Label_Height = 16;
constexpr std::array<int, 4> Octet_X = {191, 252, 313, 374};
constexpr std::array<int, 3> Dot_X = {247, 308, 369};
constexpr int Octet_Width = 55;

const QColor Background(248, 247, 237);
const QColor Fault_Colour(255, 180, 180); // as a faulty cell of the tables

QString Text(int entry) {
    return QString::fromUtf8(Lang(entry));
}

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::size_t At(Par_Id id) {
    return static_cast<std::size_t>(id);
}

Par_Id Offset(Par_Id id, int k) {
    return static_cast<Par_Id>(static_cast<int>(id) + k);
}

// The multi-line fields are one line high: the viewport is cut to exactly one line so that
// the next line of a key or certificate does not show as a stripe of half letters.
class Memo_Field : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

    void Fit_One_Line() {
        document()->setDocumentMargin(0);
        // The cut-off margins take the field's colour, not the window's.
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
        const int line = fontMetrics().lineSpacing();
        const int inner = height() - 2 * frameWidth();
        const int top = std::max(0, (inner - line) / 2);
        setViewportMargins(3, top, 3, std::max(0, inner - top - line));
    }
};

int Bottom(const QWidget* w) {
    return w->y() + w->height();
}

} // namespace

Par_Gen_Window::Par_Gen_Window(QWidget* parent) : QDialog(parent) {
    FormCreate();
}

Par_Gen_Window::~Par_Gen_Window() {
    // The fields outlive this part of the window; a focus leaving them while they go must not
    // mark faults on it.
    for (QObject* field : findChildren<QLineEdit*>()) {
        disconnect(field, nullptr, this, nullptr);
    }
    for (QObject* box : findChildren<QCheckBox*>()) {
        disconnect(box, nullptr, this, nullptr);
    }
}

void Par_Gen_Window::FormCreate() {
    setObjectName(QStringLiteral("FParGen"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFont(Window_Font(11));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Background);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* title = new QWidget(this);
    title->setObjectName(QStringLiteral("P_Title"));
    title->setFixedHeight(Title_Height);
    L_SW_Code = new QLabel(title);
    L_SW_Code->setObjectName(QStringLiteral("L_SW_Code"));
    L_SW_Code->setFont(Window_Font(32));
    L_SW_Code->setStyleSheet(QStringLiteral("color: rgb(128, 128, 128);"));
    L_SW_Code->setText(Q(SW_Code));
    L_SW_Code->move(16, 8);
    L_SW_Code->adjustSize();
    L_SW_Desc = new QLabel(title);
    L_SW_Desc->setObjectName(QStringLiteral("L_SW_Desc"));
    L_SW_Desc->setFont(Window_Font(11, true));
    L_SW_Desc->setStyleSheet(QStringLiteral("color: rgb(128, 128, 128);"));
    L_SW_Desc->setGeometry(16, 42, Client_Width - 32, Label_Height);
    layout->addWidget(title);

    CPG = new Panel_Group(this);
    CPG->setObjectName(QStringLiteral("CPG"));
    CPG->viewport()->setAutoFillBackground(true);
    CPG->viewport()->setBackgroundRole(QPalette::Window);
    layout->addWidget(CPG, 1);

    // S7comm side.
    CP_S7_Protocol = new Collapsible_Panel;
    CP_S7_Protocol->setObjectName(QStringLiteral("CP_S7_Protocol"));
    {
        QWidget* body = CP_S7_Protocol->Body();
        L_S7_Protocol_IP = Build_Label(body, 9, "L_S7_Protocol_IP");
        Build_Address_Row(body, 9, Par_Id::S7_Protocol_IP1);
        L_S7_Protocol_SM = Build_Label(body, 37, "L_S7_Protocol_SM");
        Build_Address_Row(body, 37, Par_Id::S7_Protocol_SM1);
        Build_Check(body, Lead_X, 66 + 2, Lead_Width, Par_Id::S7_Protocol_EN_GAT);
        Build_Address_Row(body, 66, Par_Id::S7_Protocol_GAT1);
    }

    // IEC 61850 server side.
    CP_IEC61850_Server = new Collapsible_Panel;
    CP_IEC61850_Server->setObjectName(QStringLiteral("CP_IEC61850_Server"));
    {
        QWidget* body = CP_IEC61850_Server->Body();
        L_IEC61850_Server_IP = Build_Label(body, 9, "L_IEC61850_Server_IP");
        Build_Address_Row(body, 9, Par_Id::IEC61850_Server_IP1);
        L_IEC61850_Server_SM = Build_Label(body, 37, "L_IEC61850_Server_SM");
        Build_Address_Row(body, 37, Par_Id::IEC61850_Server_SM1);
        Build_Check(body, Lead_X, 66 + 2, Lead_Width, Par_Id::IEC61850_Server_EN_GAT);
        Build_Address_Row(body, 66, Par_Id::IEC61850_Server_GAT1);
        Build_Check(body, Lead_X, 94 + 2, Lead_Width, Par_Id::IEC61850_Server_EN_DNS);
        Build_Address_Row(body, 94, Par_Id::IEC61850_Server_DNS1);
        L_IEC61850_Server_Port = Build_Label(body, 121, "L_IEC61850_Server_Port");
        Build_Line(body, 121, Par_Id::IEC61850_Server_Port, L_IEC61850_Server_Port);
        L_IEC61850_Server_Password = Build_Label(body, 149, "L_IEC61850_Server_Password");
        Build_Line(body, 149, Par_Id::IEC61850_Server_Password, L_IEC61850_Server_Password);
    }

    // TLS of the server.
    CP_TLS_Server = new Collapsible_Panel;
    CP_TLS_Server->setObjectName(QStringLiteral("CP_TLS_Server"));
    {
        QWidget* body = CP_TLS_Server->Body();
        QCheckBox* enable = Build_Check(body, Lead_X, 12, 415, Par_Id::TLS_Server_Enable);
        L_TLS_Server_Key = Build_Label(body, 37, "L_TLS_Server_Key");
        Build_Memo(body, 37, Par_Id::TLS_Server_Key, L_TLS_Server_Key);
        L_TLS_Server_Key_Pass = Build_Label(body, 65, "L_TLS_Server_Key_Pass");
        Build_Line(body, 65, Par_Id::TLS_Server_Key_Password, L_TLS_Server_Key_Pass);
        L_TLS_Server_Server_Cert = Build_Label(body, 93, "L_TLS_Server_Server_Cert");
        Build_Memo(body, 93, Par_Id::TLS_Server_Server_Certificate, L_TLS_Server_Server_Cert);
        L_TLS_Server_Root_Cert = Build_Label(body, 121, "L_TLS_Server_Root_Cert");
        Build_Memo(body, 121, Par_Id::TLS_Server_Root_Certificate, L_TLS_Server_Root_Cert);
        Build_Check(body, Lead_X, 152, 415, Par_Id::TLS_Server_Enable_Known_Cert);
        // On_Click: only the TLS box changes the layout; the others just hold their state.
        connect(enable, &QCheckBox::toggled, this, [this] { Move_GroupBoxs(); });
    }

    // NTP time source.
    CP_NTP = new Collapsible_Panel;
    CP_NTP->setObjectName(QStringLiteral("CP_NTP"));
    {
        QWidget* body = CP_NTP->Body();
        L_NTP_Server_URL = Build_Label(body, 9, "L_NTP_Server_URL");
        Build_Line(body, 9, Par_Id::NTP_Server_URL, L_NTP_Server_URL);
        L_NTP_Poll_Time = Build_Label(body, 37, "L_NTP_Poll_Time");
        Build_Line(body, 37, Par_Id::NTP_Poll_Time, L_NTP_Poll_Time);
        CP_NTP->Set_Expanded_Height(Bottom(L_NTP_Poll_Time->buddy()) + Collapsible_Panel::Header_Height +
                                    Panel_Bottom_Margin);
    }

    auto* buttons = new QWidget(this);
    buttons->setObjectName(QStringLiteral("P_Button"));
    buttons->setFixedHeight(Button_Strip_Height);
    auto* button_row = new QHBoxLayout(buttons);
    // OK at x 219 and Cancel at 335 of the 460-pixel strip, kept to the right edge.
    button_row->setContentsMargins(0, 6, Client_Width - 335 - 110, 6);
    button_row->setSpacing(335 - 219 - 110);
    button_row->addStretch(1);
    const QString button_style = QStringLiteral(
        "QPushButton { background-color: rgb(240, 240, 240); border: 1px solid rgb(160, 160, 160); }"
        "QPushButton:hover { background-color: rgb(255, 255, 0); }"
        "QPushButton:pressed { background-color: rgb(255, 128, 0); }");
    Btn_OK = new QPushButton(buttons);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_Cancel = new QPushButton(buttons);
    Btn_Cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    for (QPushButton* button : {Btn_OK, Btn_Cancel}) {
        button->setFixedSize(110, 28);
        button->setStyleSheet(button_style);
        // Enter in a field must not save the whole set behind the user's back.
        button->setAutoDefault(false);
        button_row->addWidget(button);
    }
    connect(Btn_OK, &QPushButton::clicked, this, [this] { Btn_OKClick(); });
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    Make_Faults_Line(layout);
    layout->addWidget(buttons);

    // IP, mask, gateway (and DNS) octets follow each other in the parameter order; the IEC 61850
    // chain steps over the gateway flag that stands between gateway and DNS.
    for (int k = 0; k < 12; ++k) {
        s7_chain_[static_cast<std::size_t>(k)] = edit_[At(Offset(Par_Id::S7_Protocol_IP1, k))];
    }
    for (int k = 0; k < 16; ++k) {
        const int skip = k >= 12 ? 1 : 0;
        iec_chain_[static_cast<std::size_t>(k)] = edit_[At(Offset(Par_Id::IEC61850_Server_IP1, k + skip))];
    }

    // Client area of 460 by 700; the height may change, the width may not.
    setFixedWidth(Client_Width);
    setMinimumHeight(Title_Height + Button_Strip_Height + 2 * Collapsible_Panel::Header_Height);
    resize(Client_Width, Client_Height);

    Order_TAB_Panels();
    Move_GroupBoxs();
    Set_Lang();
    Set_Tab_Order();

    // The wheel over the panels scrolls the group whichever control is under the pointer.
    CPG->viewport()->installEventFilter(this);
    for (QWidget* child : CPG->viewport()->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }

    Set_Fields(Par_Gen_Read{Par_Gen_Defaults(), false, true, {}});
}

QLabel* Par_Gen_Window::Build_Label(QWidget* body, int y, const char* name) {
    auto* label = new QLabel(body);
    label->setObjectName(Q(name));
    label->setGeometry(Lead_X, y + 3, Lead_Width, Label_Height);
    return label;
}

QCheckBox* Par_Gen_Window::Build_Check(QWidget* body, int x, int y, int width, Par_Id id) {
    auto* box = new QCheckBox(body);
    box->setObjectName(Q(Par_Def_Of(id).field));
    box->setGeometry(x, y, width, Check_Height);
    check_[At(id)] = box;
    return box;
}

void Par_Gen_Window::Build_Address_Row(QWidget* body, int y, Par_Id first) {
    for (int k = 0; k < 4; ++k) {
        const Par_Id id = Offset(first, k);
        auto* field = new QLineEdit(body);
        field->setObjectName(Q(Par_Def_Of(id).field));
        field->setGeometry(Octet_X[static_cast<std::size_t>(k)], y, Octet_Width, Field_Height);
        field->setMaxLength(32767);
        edit_[At(id)] = field;
        if (k < 3) {
            auto* dot = new QLabel(QStringLiteral("."), body);
            dot->setGeometry(Dot_X[static_cast<std::size_t>(k)], y + 3, Octet_X[static_cast<std::size_t>(k + 1)] -
                                                                          Dot_X[static_cast<std::size_t>(k)] - 1,
                             Label_Height);
            dot->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        }
    }
}

QLineEdit* Par_Gen_Window::Build_Line(QWidget* body, int y, Par_Id id, QLabel* label) {
    auto* field = new QLineEdit(body);
    field->setObjectName(Q(Par_Def_Of(id).field));
    field->setGeometry(Field_X, y, Field_Width, Field_Height);
    field->setMaxLength(32767);
    label->setBuddy(field);
    edit_[At(id)] = field;
    return field;
}

QPlainTextEdit* Par_Gen_Window::Build_Memo(QWidget* body, int y, Par_Id id, QLabel* label) {
    auto* memo = new Memo_Field(body);
    memo->setObjectName(Q(Par_Def_Of(id).field));
    memo->setGeometry(Field_X, y, Field_Width, Memo_Height);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->Fit_One_Line();
    // Tab moves on to the next control, as in the single-line fields.
    memo->setTabChangesFocus(true);
    label->setBuddy(memo);
    memo_[At(id)] = memo;
    return memo;
}

void Par_Gen_Window::Order_TAB_Panels() {
    // Captions are composed here only, so they keep the language of program start.
    const std::array<std::pair<Collapsible_Panel*, int>, 4> panels = {
        {{CP_S7_Protocol, 406}, {CP_IEC61850_Server, 872}, {CP_TLS_Server, 906}, {CP_NTP, 720}}};
    int number = 1;
    for (const auto& [panel, entry] : panels) {
        panel->Set_Caption(QString::number(number++) + QStringLiteral(". ") + Text(entry));
        CPG->Add_Panel(panel);
    }
}

void Par_Gen_Window::Set_Tab_Order() {
    // The panels joined the window after the buttons, so the default chain would visit OK and
    // Cancel first. Rows top to bottom, panel after panel (each body's controls were made in row
    // order, check boxes before their fields), then OK and Cancel.
    std::vector<QWidget*> chain;
    for (Collapsible_Panel* panel : {CP_S7_Protocol, CP_IEC61850_Server, CP_TLS_Server, CP_NTP}) {
        for (QWidget* child : panel->Body()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if ((child->focusPolicy() & Qt::TabFocus) != 0) {
                chain.push_back(child);
            }
        }
    }
    chain.push_back(Btn_OK);
    chain.push_back(Btn_Cancel);
    for (std::size_t i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
}

void Par_Gen_Window::Move_GroupBoxs() {
    const int extra = Collapsible_Panel::Header_Height + Panel_Bottom_Margin;
    CP_S7_Protocol->Set_Expanded_Height(Bottom(edit_[At(Par_Id::S7_Protocol_GAT4)]) + extra);
    CP_IEC61850_Server->Set_Expanded_Height(Bottom(edit_[At(Par_Id::IEC61850_Server_Password)]) + extra);

    const bool tls = check_[At(Par_Id::TLS_Server_Enable)]->isChecked();
    QWidget* const tls_rows[] = {L_TLS_Server_Key,
                                 memo_[At(Par_Id::TLS_Server_Key)],
                                 L_TLS_Server_Key_Pass,
                                 edit_[At(Par_Id::TLS_Server_Key_Password)],
                                 L_TLS_Server_Server_Cert,
                                 memo_[At(Par_Id::TLS_Server_Server_Certificate)],
                                 L_TLS_Server_Root_Cert,
                                 memo_[At(Par_Id::TLS_Server_Root_Certificate)],
                                 check_[At(Par_Id::TLS_Server_Enable_Known_Cert)]};
    for (QWidget* w : tls_rows) {
        // Hidden rows keep their texts, and they are saved with the rest.
        w->setVisible(tls);
    }
    const QWidget* last = tls ? check_[At(Par_Id::TLS_Server_Enable_Known_Cert)] : check_[At(Par_Id::TLS_Server_Enable)];
    CP_TLS_Server->Set_Expanded_Height(Bottom(last) + extra);
}

void Par_Gen_Window::Set_Lang() {
    setWindowTitle(Text(400));
    L_SW_Desc->setText(Text(401));
    Btn_OK->setText(Text(402));
    Btn_Cancel->setText(Text(403));
    Btn_OK->setToolTip(Text(404));
    Btn_Cancel->setToolTip(Text(405));

    auto hints = [this](Par_Id first, int entry) {
        for (int k = 0; k < 4; ++k) {
            edit_[At(Offset(first, k))]->setToolTip(Text(entry + k));
        }
    };
    auto box = [this](Par_Id id, int caption, int hint) {
        check_[At(id)]->setText(Text(caption));
        check_[At(id)]->setToolTip(Text(hint));
    };

    L_S7_Protocol_IP->setText(Text(407));
    hints(Par_Id::S7_Protocol_IP1, 408);
    L_S7_Protocol_SM->setText(Text(412));
    hints(Par_Id::S7_Protocol_SM1, 413);
    box(Par_Id::S7_Protocol_EN_GAT, 417, 418);
    hints(Par_Id::S7_Protocol_GAT1, 419);

    L_IEC61850_Server_Port->setText(Text(873));
    edit_[At(Par_Id::IEC61850_Server_Port)]->setToolTip(Text(874));
    L_IEC61850_Server_Password->setText(Text(875));
    edit_[At(Par_Id::IEC61850_Server_Password)]->setToolTip(Text(876));
    L_IEC61850_Server_IP->setText(Text(877));
    hints(Par_Id::IEC61850_Server_IP1, 878);
    L_IEC61850_Server_SM->setText(Text(882));
    hints(Par_Id::IEC61850_Server_SM1, 883);
    box(Par_Id::IEC61850_Server_EN_GAT, 887, 888);
    hints(Par_Id::IEC61850_Server_GAT1, 889);
    box(Par_Id::IEC61850_Server_EN_DNS, 919, 920);
    hints(Par_Id::IEC61850_Server_DNS1, 921);

    box(Par_Id::TLS_Server_Enable, 907, 908);
    L_TLS_Server_Key->setText(Text(909));
    memo_[At(Par_Id::TLS_Server_Key)]->setToolTip(Text(910));
    L_TLS_Server_Key_Pass->setText(Text(911));
    edit_[At(Par_Id::TLS_Server_Key_Password)]->setToolTip(Text(912));
    L_TLS_Server_Server_Cert->setText(Text(913));
    memo_[At(Par_Id::TLS_Server_Server_Certificate)]->setToolTip(Text(914));
    L_TLS_Server_Root_Cert->setText(Text(915));
    memo_[At(Par_Id::TLS_Server_Root_Certificate)]->setToolTip(Text(916));
    box(Par_Id::TLS_Server_Enable_Known_Cert, 917, 918);

    L_NTP_Server_URL->setText(Text(721));
    edit_[At(Par_Id::NTP_Server_URL)]->setToolTip(Text(722));
    L_NTP_Poll_Time->setText(Text(723));
    edit_[At(Par_Id::NTP_Poll_Time)]->setToolTip(Text(724));

    // A marked field shows its message instead of its hint, and the hint again once it is right.
    for (const Par_Id id : All_Par_Ids()) {
        if (const QLineEdit* field = edit_[At(id)]) {
            hint_[At(id)] = field->toolTip();
        }
    }
    Mark_Faults();
}

// Under the panels: what OK would refuse, counted and the first named. Each field is marked as
// it is left, and again when a gateway or DNS box turns its check on or off.
void Par_Gen_Window::Make_Faults_Line(QVBoxLayout* layout) {
    L_Faults = new QLabel(this);
    L_Faults->setObjectName(QStringLiteral("L_Faults"));
    L_Faults->setTextFormat(Qt::PlainText);
    L_Faults->setWordWrap(true);
    L_Faults->setContentsMargins(14, 4, 14, 4);
    layout->addWidget(L_Faults);
    for (QLineEdit* field : edit_) {
        if (field != nullptr) {
            connect(field, &QLineEdit::editingFinished, this, &Par_Gen_Window::Mark_Faults);
        }
    }
    for (QCheckBox* box : check_) {
        if (box != nullptr) {
            connect(box, &QCheckBox::toggled, this, &Par_Gen_Window::Mark_Faults);
        }
    }
}

void Par_Gen_Window::Mark_Faults() {
    if (L_Faults == nullptr) {
        return;
    }
    const std::vector<Check_Fault> faults = par_gen::All_Faults(Fields());
    std::array<QString, Par_Count> message_of{};
    for (const Check_Fault& fault : faults) {
        for (const Par_Id id : All_Par_Ids()) {
            if (fault.field == Par_Def_Of(id).field && message_of[At(id)].isEmpty()) {
                message_of[At(id)] = QString::fromUtf8(par_gen::Fault_Text(fault));
            }
        }
    }
    for (const Par_Id id : All_Par_Ids()) {
        QLineEdit* field = edit_[At(id)];
        if (field == nullptr) {
            continue;
        }
        const QString& message = message_of[At(id)];
        if (message.isEmpty()) {
            field->setPalette(QPalette()); // the window's again
            field->setToolTip(hint_[At(id)]);
        } else {
            QPalette marked = field->palette();
            marked.setColor(QPalette::Base, Fault_Colour);
            field->setPalette(marked);
            field->setToolTip(message);
        }
    }
    const QString first = faults.empty() ? QString() : QString::fromUtf8(par_gen::Fault_Text(faults.front()));
    L_Faults->setText(Faults_Line(static_cast<int>(faults.size()), first, Text(1344), Text(1345), Text(1346)));
    QPalette palette = L_Faults->palette();
    palette.setColor(QPalette::WindowText, faults.empty() ? QColor(Qt::black) : QColor(176, 0, 0));
    L_Faults->setPalette(palette);
}

void Par_Gen_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return; // brought back by the platform, not shown by the program
    }
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    // A screen lower than the 700 pixels: the panels scroll in what there is.
    Fit_Window_To_Screen(this);
    FormShow();
}

void Par_Gen_Window::FormShow() {
    const Par_Gen_Read read = Read_Par_Gen(State().Project.ParGen_File);
    Set_Fields(read);
    keep_old_file_ = read.file_found && !read.complete;
    Move_GroupBoxs();
    Mark_Faults();
    // Typing goes straight into the first field; the group scrolls to it.
    edit_[At(Par_Id::S7_Protocol_IP1)]->setFocus(Qt::OtherFocusReason);
    if (!read.complete) {
        const QString text =
            QString::fromUtf8(read.message) +
            QStringLiteral("\n\n") + Text(95);
        // After the window is up, so the message stands over it.
        QTimer::singleShot(0, this, [this, text] { Show_Error(this, text); });
    }
}

void Par_Gen_Window::Set_Fields(const Par_Gen_Read& read) {
    loaded_ = read.set;
    for (const Par_Id id : All_Par_Ids()) {
        if (QCheckBox* box = check_[At(id)]) {
            box->setChecked(read.set.Flag(id));
            continue;
        }
        Set_Field_Text(id, QString::fromUtf8(read.set[id]));
        shown_[At(id)] = Field_Text(id);
    }
}

QString Par_Gen_Window::Field_Text(Par_Id id) const {
    if (const QPlainTextEdit* memo = memo_[At(id)]) {
        return memo->toPlainText();
    }
    return edit_[At(id)]->text();
}

void Par_Gen_Window::Set_Field_Text(Par_Id id, const QString& text) {
    if (QPlainTextEdit* memo = memo_[At(id)]) {
        memo->setPlainText(text);
        return;
    }
    edit_[At(id)]->setText(text);
}

Par_Gen_Set Par_Gen_Window::Fields() const {
    Par_Gen_Set set;
    for (const Par_Id id : All_Par_Ids()) {
        if (const QCheckBox* box = check_[At(id)]) {
            set.Set_Flag(id, box->isChecked());
            continue;
        }
        const QString text = Field_Text(id);
        set[id] = text == shown_[At(id)] ? loaded_[id] : text.toUtf8().toStdString();
    }
    return set;
}

bool Par_Gen_Window::Controllo_Dati() {
    const std::optional<Check_Fault> fault = par_gen::Controllo_Dati(Fields());
    if (!fault) {
        return true;
    }
    Show_Error(this, QString::fromUtf8(par_gen::Fault_Text(*fault)));
    return false;
}

void Par_Gen_Window::Btn_OKClick() {
    if (!Controllo_Dati()) {
        return;
    }
    const std::string& path = State().Project.ParGen_File;
    if (path.empty()) {
        Show_Error(this, Text(18));
        return;
    }
    const Par_Gen_Save save = Save_Par_Gen(Fields(), path, keep_old_file_);
    if (!save.ok) {
        // The old file is intact and the window keeps the input, so the user can retry.
        Show_Error(this, QString::fromUtf8(save.message));
        return;
    }
    keep_old_file_ = false;
    if (!save.backup.empty()) {
        Show_Information(this, Text(94) + QStringLiteral("\n") +
                                   QString::fromUtf8(save.backup));
    }
    accept();
}

bool Par_Gen_Window::KeyPress(QLineEdit* field) {
    for (const std::span<QLineEdit* const> chain : {std::span<QLineEdit* const>(s7_chain_),
                                                   std::span<QLineEdit* const>(iec_chain_)}) {
        const auto at = std::find(chain.begin(), chain.end(), field);
        if (at == chain.end()) {
            continue;
        }
        if (at + 1 != chain.end()) {
            QLineEdit* next = *(at + 1);
            if (next->isVisible() && next->isEnabled()) {
                next->setFocus(Qt::TabFocusReason);
            }
        }
        return true; // the "." itself is never typed
    }
    return false;
}

bool Par_Gen_Window::FormMouseWheel(QWheelEvent* event) {
    QWidget* viewport = CPG->viewport();
    if (!viewport->rect().contains(viewport->mapFromGlobal(event->globalPosition().toPoint()))) {
        return false;
    }
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        return true;
    }
    // Fine-grained wheels send parts of a notch; a notch is 120.
    if ((wheel_rest_ > 0) != (delta > 0)) {
        wheel_rest_ = 0;
    }
    wheel_rest_ += delta;
    const int notches = wheel_rest_ / 120;
    wheel_rest_ -= notches * 120;
    const int lines = QApplication::wheelScrollLines();
    if (lines < 1 || notches == 0) {
        return true;
    }
    CPG->Scroll_Lines(-notches * lines);
    return true;
}

bool Par_Gen_Window::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() == QStringLiteral(".")) {
            if (auto* field = qobject_cast<QLineEdit*>(watched); field != nullptr && KeyPress(field)) {
                return true;
            }
        }
    } else if (event->type() == QEvent::Wheel) {
        return FormMouseWheel(static_cast<QWheelEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

void Par_Gen_Window::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (width() != Client_Width) {
        resize(Client_Width, height());
    }
}

} // namespace qm::gui
