#include "common/gui/window_look.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/app_state.h"

namespace qm::gui {

QColor Form_Colour() {
    return QColor(248, 247, 237);
}

QFont Form_Font() {
    QFont font;
    // Verdana first; the others are close in width so that the fixed layout still fits.
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("Bitstream Vera Sans"),
                      QStringLiteral("Tahoma"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void Apply_Form_Look(QWidget* form) {
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, Form_Colour());
    form->setPalette(palette);
    form->setAutoFillBackground(true);
    form->setFont(Form_Font());
}

QLabel* Make_Label(QWidget* parent, const char* name, int x, int y, bool bold) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(name));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(128, 128, 128));
    label->setPalette(palette);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->move(x, y);
    return label;
}

void Set_Label_Text(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

QLabel* Make_SW_Code_Label(QWidget* parent, int x, int y) {
    QLabel* label = Make_Label(parent, "L_SW_Code", x, y);
    QFont font = label->font();
    font.setPixelSize(32);
    label->setFont(font);
    Set_Label_Text(label, QString::fromUtf8(SW_Code));
    return label;
}

Title_Panel Make_Title_Panel(QWidget* form) {
    Title_Panel title;
    title.panel = new QFrame(form);
    title.panel->setObjectName(QStringLiteral("P_Title"));
    title.panel->setAutoFillBackground(true);
    QPalette palette = title.panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    title.panel->setPalette(palette);
    title.panel->setGeometry(0, 0, form->width(), 69);
    title.L_SW_Code = Make_SW_Code_Label(title.panel, 16, 8);
    title.L_SW_Desc = Make_Label(title.panel, "L_SW_Desc", 16, 42, true);
    return title;
}

QIcon Style_Icon(const QWidget* widget, QStyle::StandardPixmap first, QStyle::StandardPixmap fallback) {
    // A style's icon reads and decodes every size of its picture; the windows ask for the same
    // few icons again and again at start-up, so each is made once per style.
    struct Key {
        const QStyle* style;
        QStyle::StandardPixmap first;
        QStyle::StandardPixmap fallback;
        bool operator==(const Key&) const = default;
    };
    static std::vector<std::pair<Key, QIcon>> made;
    const Key key{widget->style(), first, fallback};
    for (const auto& [k, icon] : made) {
        if (k == key) {
            return icon;
        }
    }
    QIcon icon = widget->style()->standardIcon(first, nullptr, widget);
    if (icon.isNull() || icon.pixmap(32, 32).isNull()) {
        icon = widget->style()->standardIcon(fallback, nullptr, widget);
    }
    // Kept at the sizes the windows draw (menus, tool bars, the 32-pixel buttons) and the
    // screen's pixel ratio only: the style's icon holds every size up to 128 pixels, 64 KB each.
    QIcon kept;
    const qreal ratio = widget->devicePixelRatioF();
    for (const int size : {16, 24, 32}) {
        kept.addPixmap(icon.pixmap(QSize(size, size), ratio)); // disabled looks are made from it
    }
    made.emplace_back(key, kept);
    return kept;
}

namespace {

class Icon_On_Show : public QObject {
public:
    Icon_On_Show(QAbstractButton* button, QStyle::StandardPixmap icon) : QObject(button), icon_(icon) {
        button->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* button = static_cast<QAbstractButton*>(watched);
            button->removeEventFilter(this);
            button->setIcon(Style_Icon(button, icon_, icon_));
            deleteLater();
        }
        return false;
    }

private:
    QStyle::StandardPixmap icon_;
};

} // namespace

void Set_Style_Icon_When_Shown(QAbstractButton* button, QStyle::StandardPixmap icon) {
    new Icon_On_Show(button, icon);
}

void Fit_Window_To_Screen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    // The frame is known once the window has been on screen; until then the title bar is a guess.
    QSize frame = window->frameGeometry().size() - window->size();
    if (frame.width() <= 0 && frame.height() <= 0) {
        const QStyle* style = window->style();
        const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
        frame = QSize(2 * border, style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + 2 * border);
    }
    const QSize room = (available.size() - frame).expandedTo(window->minimumSizeHint());
    const QSize fitted = window->size().boundedTo(room);
    const bool shrunk = fitted != window->size();
    if (shrunk) {
        window->resize(fitted);
    }
    const QRect outer(window->pos(), fitted + frame); // pos() is the frame's corner
    if (shrunk || !available.contains(outer)) {
        window->move(available.left() + std::max(0, available.width() - outer.width()) / 2,
                     available.top() + std::max(0, available.height() - outer.height()) / 2);
    }
}

QString Qt_Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

} // namespace qm::gui
