#include "shell/options_window.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>

#include <algorithm>
#include <string>

#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "common/gui/qt_translations.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "shell/settings.h"
#include "shell/version_check.h"
#include "common/gui/window_look.h"

namespace qm::gui {
namespace {

constexpr int Client_Width = 509;
constexpr int Client_Height = 373;
constexpr int Title_Height = 69;
constexpr int Button_Panel_Height = 40;

// Left, top of each slot's picture and name: three in the left column, three in the right.
constexpr QPoint Picture_At[Options_Window::Slots_Per_Page] = {{24, 40},  {26, 94},  {24, 148},
                                                               {254, 40}, {254, 94}, {254, 148}};
constexpr QPoint Name_At[Options_Window::Slots_Per_Page] = {{80, 56},  {80, 110},  {80, 164},
                                                            {310, 56}, {310, 110}, {310, 164}};
// A name may run up to the next column's pictures (left) or to the page's edge (right).
constexpr int Name_Room[Options_Window::Slots_Per_Page] = {168, 168, 168, 185, 185, 185};

constexpr QRect Prev_At{12, 204, 110, 28};
constexpr QRect Next_At{379, 205, 110, 28};
constexpr QRect Check_Update_At{36, 78, 204, 28};
constexpr QRect OK_At{16, 6, 110, 28};
constexpr QRect Cancel_At{134, 6, 110, 28};

const QString Language_Suffix = QStringLiteral(".lng");

QString Text(int index) {
    return Qt_Text(Lang(index));
}

bool Is_Offered(const QFileInfo& info) {
    return Is_Offered_Language_File(info.absoluteFilePath().toStdString());
}

// The language's own flag, else the default flag, else none.
QPixmap Language_Picture(const QString& language_dir, const QString& name) {
    for (const QString& file : {name + QStringLiteral(".bmp"), QStringLiteral("DefaultFlag.bmp")}) {
        const QString path = QDir(language_dir).filePath(file);
        QPixmap picture;
        // A damaged picture counts as missing; it never stops the page from being drawn.
        if (QFileInfo(path).isFile() && picture.load(path)) {
            return picture;
        }
    }
    return {};
}

QPushButton* Make_Button(QWidget* parent, const char* name, QRect geometry, QStyle::StandardPixmap icon) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(geometry);
    button->setIcon(Style_Icon(button, icon, icon));
    button->setAutoDefault(false);
    return button;
}

QCheckBox* Make_Check_Box(QWidget* parent, const char* name, int x, int y) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->move(x, y);
    return box;
}

// A button keeps its size unless a translation needs more; then it grows away from its anchor.
void Fit_Button(QPushButton* button, const QString& text, QRect design, bool grow_left = false) {
    button->setText(text);
    const int width = std::max(design.width(), button->sizeHint().width());
    const int x = grow_left ? design.right() + 1 - width : design.x();
    button->setGeometry(x, design.y(), width, design.height());
}

void Set_Check_Box_Text(QCheckBox* box, const QString& text) {
    box->setText(text);
    box->adjustSize();
}

QWidget* Make_Page(QTabWidget* pages, const char* name) {
    auto* page = new QWidget(pages);
    page->setObjectName(QString::fromUtf8(name));
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, Form_Colour());
    page->setPalette(palette);
    pages->addTab(page, QString());
    return page;
}

} // namespace

QStringList List_Language_Files(const QString& language_dir) {
#ifdef _WIN32
    constexpr Qt::CaseSensitivity suffix_case = Qt::CaseInsensitive;
#else
    // The file is opened as <name>.lng, so only that spelling can be loaded.
    constexpr Qt::CaseSensitivity suffix_case = Qt::CaseSensitive;
#endif
    QStringList names;
    const QFileInfoList entries = QDir(language_dir).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        // ".lng" alone would be a language without a name.
        if (name.size() > Language_Suffix.size() && name.endsWith(Language_Suffix, suffix_case) && Is_Offered(entry)) {
            names.append(name);
        }
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

Options_Window::Options_Window(QWidget* parent) : QDialog(parent), version_check_(new Version_Check(this)) {
    setObjectName(QStringLiteral("Options_Window"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Apply_Form_Look(this);
    setFixedSize(Client_Width, Client_Height);

    const Title_Panel title = Make_Title_Panel(this);
    L_SW_Desc = title.L_SW_Desc;
    // The code's box would reach into the description below; its glyphs have no descenders.
    title.L_SW_Code->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    title.L_SW_Code->resize(title.L_SW_Code->width(), L_SW_Desc->y() - title.L_SW_Code->y());

    PC_Options = new QTabWidget(this);
    PC_Options->setObjectName(QStringLiteral("PC_Options"));
    PC_Options->setGeometry(0, Title_Height, Client_Width, Client_Height - Title_Height - Button_Panel_Height);
    TS_Language = Make_Page(PC_Options, "TS_Language");
    TS_Con_Options = Make_Page(PC_Options, "TS_Con_Options");
    TS_Soft_Settings = Make_Page(PC_Options, "TS_Soft_Settings");

    L_Sel_Lang = Make_Label(TS_Language, "L_Sel_Lang", 12, 11);
    for (int k = 0; k < Slots_Per_Page; ++k) {
        const QByteArray number = QByteArray::number(k + 1);
        I_L[k] = new QLabel(TS_Language);
        I_L[k]->setObjectName(QStringLiteral("I_L") + QString::fromLatin1(number));
        I_L[k]->setGeometry(QRect(Picture_At[k], QSize(48, 48)));
        I_L[k]->setScaledContents(true);
        L_L[k] = Make_Label(TS_Language, ("L_L" + number).constData(), Name_At[k].x(), Name_At[k].y());
        for (QLabel* control : {I_L[k], L_L[k]}) {
            control->setCursor(Qt::PointingHandCursor);
            control->installEventFilter(this);
            control->hide();
        }
    }
    L_Page_Lang = Make_Label(TS_Language, "L_Page_Lang", 220, 212);
    Btn_Prev = Make_Button(TS_Language, "Btn_Prev", Prev_At, QStyle::SP_ArrowLeft);
    Btn_Next = Make_Button(TS_Language, "Btn_Next", Next_At, QStyle::SP_ArrowRight);
    Btn_Next->setLayoutDirection(Qt::RightToLeft); // its arrow on the right
    connect(Btn_Prev, &QPushButton::clicked, this, [this] { Btn_NextClick(Btn_Prev); });
    connect(Btn_Next, &QPushButton::clicked, this, [this] { Btn_NextClick(Btn_Next); });

    CB_En_Con = Make_Check_Box(TS_Con_Options, "CB_En_Con", 12, 16);
    CB_Update = Make_Check_Box(TS_Con_Options, "CB_Update", 36, 47);
    Btn_Check_Update = Make_Button(TS_Con_Options, "Btn_Check_Update", Check_Update_At, QStyle::SP_BrowserReload);
    connect(Btn_Check_Update, &QPushButton::clicked, this, &Options_Window::Btn_Check_UpdateClick);
    LL_Check_Update = Make_Label(TS_Con_Options, "LL_Check_Update", 40, 120);
    LL_Check_Update->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    LL_Check_Update->setOpenExternalLinks(false);
    connect(LL_Check_Update, &QLabel::linkActivated, this, [](const QString& link) { Open_Url(link); });
    LL_Check_Update->hide();

    CB_Soft_Set_Jump_Table = Make_Check_Box(TS_Soft_Settings, "CB_Soft_Set_Jump_Table", 12, 16);
    CB_DoubleClick_Auto_Size = Make_Check_Box(TS_Soft_Settings, "CB_DoubleClick_Auto_Size", 12, 39);
    for (QCheckBox* box : {CB_En_Con, CB_Update, CB_Soft_Set_Jump_Table, CB_DoubleClick_Auto_Size}) {
        connect(box, &QCheckBox::toggled, this, &Options_Window::Update_CheckBox);
    }

    auto* P_Button = new QFrame(this);
    P_Button->setObjectName(QStringLiteral("P_Button"));
    P_Button->setGeometry(0, Client_Height - Button_Panel_Height, Client_Width, Button_Panel_Height);
    Btn_OK = Make_Button(P_Button, "Btn_OK", OK_At, QStyle::SP_DialogOkButton);
    Btn_Cancel = Make_Button(P_Button, "Btn_Cancel", Cancel_At, QStyle::SP_DialogCancelButton);
    connect(Btn_OK, &QPushButton::clicked, this, &Options_Window::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    PC_Options->setTabVisible(PC_Options->indexOf(TS_Con_Options), true);
    Set_Lang();
}

void Options_Window::Set_Lang() {
    setWindowTitle(Text(300));
    Set_Label_Text(L_SW_Desc, Text(301));
    PC_Options->setTabText(PC_Options->indexOf(TS_Language), Text(302));
    PC_Options->setTabText(PC_Options->indexOf(TS_Con_Options), Text(303));
    PC_Options->setTabText(PC_Options->indexOf(TS_Soft_Settings), Text(319));
    Set_Label_Text(L_Sel_Lang, Text(304) + language_in_use_);
    // The page shown, not page 1 of 1: a language is usually picked on some page of the list.
    Set_Label_Text(L_Page_Lang, Text(305) + QString::number(show_page_) + Text(306) + QString::number(Page_Count()));
    Fit_Button(Btn_Prev, Text(307), Prev_At);
    Fit_Button(Btn_Next, Text(308), Next_At, true);
    Fit_Button(Btn_Check_Update, Text(311), Check_Update_At);
    Fit_Button(Btn_OK, Text(312), OK_At);
    // Cancel keeps its gap to a widened OK.
    const int cancel_shift = std::max(0, Btn_OK->geometry().right() + 9 - Cancel_At.x());
    Fit_Button(Btn_Cancel, Text(313), Cancel_At.translated(cancel_shift, 0));
    Set_Check_Box_Text(CB_En_Con, Text(309));
    Set_Check_Box_Text(CB_Update, Text(310));
    Set_Check_Box_Text(CB_Soft_Set_Jump_Table, Text(320));
    Set_Check_Box_Text(CB_DoubleClick_Auto_Size, Text(321));
    Show_Check_Result();
}

void Options_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Restoring a minimised window is no new showing.
    if (!event->spontaneous()) {
        Form_Show();
    }
}

void Options_Window::Form_Show() {
    ++showing_;
    checking_ = false;
    language_in_use_ = Qt_Text(State().Settings.Language);
    Create_Lang_List();
    check_result_ = Check_Result::None;
    Show_Check_Result();
    PC_Options->setCurrentWidget(TS_Language);

    const Settings_Data& settings = State().Settings;
    CB_En_Con->setChecked(settings.Enable_Internet);
    CB_Update->setChecked(settings.Enable_Update);
    CB_Soft_Set_Jump_Table->setChecked(settings.Enable_Jump_Field_Tables);
    CB_DoubleClick_Auto_Size->setChecked(settings.Double_Click_Auto_Size);
    Update_CheckBox();
}

void Options_Window::Create_Lang_List() {
    languages_ = List_Language_Files(Qt_Text(State().Paths.Language_Dir));
    show_page_ = 1;
    Update_Lang_Page(1);
}

int Options_Window::Page_Count() const {
    // No language files still make one (empty) page, so neither page button is offered.
    return std::max(1, static_cast<int>((languages_.size() + Slots_Per_Page - 1) / Slots_Per_Page));
}

QString Options_Window::Slot_Language(int slot) const {
    const qsizetype index = static_cast<qsizetype>(Slots_Per_Page) * (show_page_ - 1) + slot;
    if (slot < 0 || slot >= Slots_Per_Page || index < 0 || index >= languages_.size()) {
        return {};
    }
    const QString& file = languages_.at(index);
    return file.left(file.size() - Language_Suffix.size());
}

void Options_Window::Update_Lang_Page(int num_page) {
    const int pages = Page_Count();
    show_page_ = std::clamp(num_page, 1, pages);
    Set_Label_Text(L_Sel_Lang, Text(304) + language_in_use_);
    Set_Label_Text(L_Page_Lang, Text(305) + QString::number(show_page_) + Text(306) + QString::number(pages));
    Btn_Prev->setVisible(show_page_ != 1);
    Btn_Next->setVisible(show_page_ != pages);

    const QString language_dir = Qt_Text(State().Paths.Language_Dir);
    for (int k = 0; k < Slots_Per_Page; ++k) {
        const QString name = Slot_Language(k);
        if (name.isNull()) {
            I_L[k]->hide();
            L_L[k]->hide();
            continue;
        }
        const QString shown = QFontMetrics(L_L[k]->font()).elidedText(name, Qt::ElideRight, Name_Room[k]);
        Set_Label_Text(L_L[k], shown);
        L_L[k]->setToolTip(shown == name ? QString() : name);
        L_L[k]->show();
        const QPixmap picture = Language_Picture(language_dir, name);
        I_L[k]->setPixmap(picture);
        I_L[k]->setVisible(!picture.isNull());
    }
}

void Options_Window::Btn_NextClick(QPushButton* sender) {
    if (sender == Btn_Next && Page_Count() >= show_page_ + 1) {
        ++show_page_;
    } else if (sender == Btn_Prev && show_page_ > 1) {
        --show_page_;
    }
    Update_Lang_Page(show_page_);
}

bool Options_Window::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int k = 0; k < Slots_Per_Page; ++k) {
            if (watched == I_L[k] || watched == L_L[k]) {
                LangClick(k);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Options_Window::LangClick(int slot) {
    const QString name = Slot_Language(slot);
    if (name.isNull()) {
        return;
    }
    if (!Ask_Yes_No(this, Text(316) + language_in_use_ + Text(317) + name + Text(318))) {
        return;
    }
    // Only the texts change now; the Language setting waits for OK.
    const std::string& language_dir = State().Paths.Language_Dir;
    std::string language = Utf8(name);
    const Language_Load_Result loaded = Init_Language(language_dir, language);
    if (!loaded.ok) {
        // Back to the texts in use, so that no window is left half in the defaults.
        std::string previous = Utf8(language_in_use_);
        Init_Language(language_dir, previous);
    } else {
        // The file may have gone since the list was made; then English is what was loaded.
        language_in_use_ = Qt_Text(language);
    }
    Load_Qt_Translations(Utf8(language_in_use_));
    if (hooks_.Change_Language) {
        hooks_.Change_Language();
    } else {
        Set_Lang();
    }
    Set_Label_Text(L_Sel_Lang, Text(304) + language_in_use_);
    if (!loaded.ok) {
        Show_Error(this, Qt_Text(loaded.message));
    }
}

void Options_Window::Update_CheckBox() {
    CB_Update->setEnabled(CB_En_Con->isChecked());
    Btn_Check_Update->setEnabled(CB_En_Con->isChecked() && CB_Update->isChecked());
}

void Options_Window::Btn_OKClick() {
    Settings_Data& settings = State().Settings;
    settings.Language = Utf8(language_in_use_);
    // A greyed-out check mark still counts.
    settings.Enable_Internet = CB_En_Con->isChecked();
    settings.Enable_Update = CB_Update->isChecked();
    settings.Enable_Jump_Field_Tables = CB_Soft_Set_Jump_Table->isChecked();
    settings.Double_Click_Auto_Size = CB_DoubleClick_Auto_Size->isChecked();
    accept();
}

void Options_Window::Btn_Check_UpdateClick() {
    if (checking_) {
        return;
    }
    checking_ = true;
    check_result_ = Check_Result::None;
    Show_Check_Result();
    version_check_->Query([self = QPointer<Options_Window>(this), showing = showing_](bool newer) {
        if (self == nullptr || self->showing_ != showing) {
            return;
        }
        self->checking_ = false;
        self->check_result_ = newer ? Check_Result::Newer : Check_Result::Not_Newer;
        self->Show_Check_Result();
    });
}

void Options_Window::Show_Check_Result() {
    switch (check_result_) {
    case Check_Result::None:
        LL_Check_Update->hide();
        return;
    case Check_Result::Newer:
        LL_Check_Update->setTextFormat(Qt::RichText);
        LL_Check_Update->setCursor(Qt::PointingHandCursor);
        Set_Label_Text(LL_Check_Update, QStringLiteral("<a href=\"") + Download_Url().toHtmlEscaped() +
                                            QStringLiteral("\">") + Text(314).toHtmlEscaped() + QStringLiteral("</a>"));
        break;
    case Check_Result::Not_Newer:
        LL_Check_Update->setTextFormat(Qt::PlainText);
        LL_Check_Update->unsetCursor();
        Set_Label_Text(LL_Check_Update, Text(315));
        break;
    }
    LL_Check_Update->show();
}

} // namespace qm::gui
