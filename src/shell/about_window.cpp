#include "shell/about_window.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

#include "common/app_state.h"
#include "shell/version_check.h"
#include "common/gui/window_look.h"

namespace qm::gui {
namespace {

constexpr int Client_Width = 425;
constexpr int Client_Height = 148;
constexpr const char* Document_Code = "UM39174";

// The maker's logo, drawn so that the program needs no picture file beside it.
QPixmap Logo() {
    QPixmap logo(162, 162);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(31, 78, 121));
    painter.drawRoundedRect(QRectF(4, 4, 154, 154), 28, 28);
    // A quill: a leaf-shaped vane leaning right, with its shaft.
    QPainterPath vane;
    vane.moveTo(44, 126);
    vane.cubicTo(52, 80, 86, 40, 126, 28);
    vane.cubicTo(118, 70, 90, 108, 44, 126);
    painter.setBrush(QColor(248, 247, 237));
    painter.drawPath(vane);
    painter.setPen(QPen(QColor(31, 78, 121), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(50, 118), QPointF(112, 44));
    painter.setPen(QPen(QColor(248, 247, 237), 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(44, 126), QPointF(32, 140));
    return logo;
}

} // namespace

About_Window::About_Window(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About_Window"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Apply_Form_Look(this);
    setFixedSize(Client_Width, Client_Height);
    setWindowTitle(QStringLiteral("About..."));

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(32, 24, 81, 81);
    Image2->setScaledContents(true);
    Image2->setPixmap(Logo());

    const auto label = [this](const char* name, int x, int y, const char* text) {
        QLabel* made = Make_Label(this, name, x, y);
        Set_Label_Text(made, QString::fromUtf8(text));
        return made;
    };
    Label1 = label("Label1", 128, 24, "Software Quillmaker ");
    Label2 = label("Label2", 128, 39, "");
    Label6 = label("Label6", 128, 62, "Software Code : ");
    Label9 = label("Label9", 240, 62, "");
    Label3 = label("Label3", 128, 77, "Version :");
    Label10 = label("Label10", 240, 77, "");
    Label8 = label("Label8", 128, 93, "Document Code :");
    Label12 = label("Label12", 240, 93, "");

    Label4 = Make_Label(this, "Label4", 316, 131);
    QPalette link = Label4->palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label4->setPalette(link);
    Set_Label_Text(Label4, Maker_Host());
    // The address is the build's choice; a long one is moved left to stay inside the window.
    if (Label4->x() + Label4->width() > Client_Width - 8) {
        Label4->move(std::max(128, Client_Width - 8 - Label4->width()), Label4->y());
    }

    for (QLabel* clickable : {Image2, Label4}) {
        clickable->setCursor(Qt::PointingHandCursor);
        clickable->installEventFilter(this);
    }

    LbButton1 = new QPushButton(QStringLiteral("OK"), this);
    LbButton1->setObjectName(QStringLiteral("LbButton1"));
    LbButton1->setGeometry(32, 115, 81, 22);
    connect(LbButton1, &QPushButton::clicked, this, &QDialog::accept);
}

void About_Window::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Show();
}

void About_Window::Form_Show() {
    Set_Label_Text(Label2, QString::fromUtf8(SW_Desc));
    Set_Label_Text(Label9, QString::fromUtf8(SW_Code));
    Set_Label_Text(Label10, QString::fromUtf8(Program_Version));
    Set_Label_Text(Label12, QString::fromUtf8(Document_Code));
    setFixedSize(Client_Width, Client_Height);
}

bool About_Window::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Image2 || watched == Label4) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label4Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void About_Window::Label4Click() {
    Open_Url(Home_Url());
}

} // namespace qm::gui
