#include "shell/open_conf_window.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>

#include "language/lang_table.h"
#include "common/app_state.h"
#include "shell/configurations.h"
#include "common/gui/window_look.h"
#include "review/gui/compare_window.h"

namespace qm::gui {
namespace {

constexpr int Client_Width = 377;
constexpr int Client_Height = 351;

} // namespace

Open_Conf_Window::Open_Conf_Window(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Open_Conf_Window"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    Apply_Form_Look(this);
    Place_Controls();
    setMinimumSize(300, 220);
    resize(Client_Width, Client_Height);
    Lay_Out();
    Set_Lang();
}

void Open_Conf_Window::Place_Controls() {
    resize(Client_Width, Client_Height);
    const Title_Panel title = Make_Title_Panel(this);
    P_Title = title.panel;
    L_SW_Desc = title.L_SW_Desc;
    Label1 = Make_Label(this, "Label1", 16, 70);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    // Arrow keys choose as a click does.
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && static_cast<std::size_t>(row) < names_.size()) {
            name_conf_ = names_[static_cast<std::size_t>(row)];
        }
    });

    P_Button = new QFrame(this);
    P_Button->setObjectName(QStringLiteral("P_Button"));
    const auto button = [this](const char* name, QStyle::StandardPixmap icon) {
        auto* b = new QPushButton(P_Button);
        b->setObjectName(QString::fromUtf8(name));
        b->resize(110, 28);
        Set_Style_Icon_When_Shown(b, icon);
        b->setAutoDefault(false);
        return b;
    };
    Btn_OK = button("Btn_OK", QStyle::SP_DialogOkButton);
    Btn_Cancel = button("Btn_Cancel", QStyle::SP_DialogCancelButton);
    connect(Btn_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Compares the selected configuration with the open one.
    Add_Compare_Button(this, P_Button, [this] { return name_conf_; });
}

void Open_Conf_Window::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Lay_Out();
}

void Open_Conf_Window::Lay_Out() {
    const int w = width();
    const int h = height();
    P_Title->setGeometry(0, 0, w, 69);
    P_Button->setGeometry(0, h - 40, w, 40);
    ListBox1->setGeometry(16, 94, w - 32, h - 40 - 6 - 94);
    // Both buttons keep their distance from the right edge.
    Btn_OK->move(w - 254, 6);
    Btn_Cancel->move(w - 136, 6);
}

void Open_Conf_Window::Set_Lang() {
    setWindowTitle(Qt_Text(Lang(200)));
    Set_Label_Text(L_SW_Desc, Qt_Text(Lang(201)));
    Set_Label_Text(Label1, Qt_Text(Lang(202)));
    Btn_OK->setText(Qt_Text(Lang(203)));
    Btn_Cancel->setText(Qt_Text(Lang(204)));
    ListBox1->setToolTip(Qt_Text(Lang(205)));
    Btn_OK->setToolTip(Qt_Text(Lang(206)));
    Btn_Cancel->setToolTip(Qt_Text(Lang(207)));
    Compare_Button_Set_Lang(this);
}

void Open_Conf_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    names_ = Load_Existing_Configuration(State().Paths.Projects_Dir);
    name_conf_.clear();
    {
        const QSignalBlocker quiet(ListBox1);
        ListBox1->clear();
        for (const auto& name : names_) {
            ListBox1->addItem(Qt_Text(name));
        }
    }
    if (names_.empty()) {
        return;
    }
    const int found = Search_Open_Conf(names_, Open_Configuration_Name());
    ListBox1->setCurrentRow(found >= 0 ? found : 0);
    name_conf_ = names_[static_cast<std::size_t>(found >= 0 ? found : 0)];
    ListBox1->setFocus();
}

} // namespace qm::gui
