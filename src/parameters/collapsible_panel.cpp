#include "parameters/collapsible_panel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace qm::gui {

QFont Window_Font(int pixel_size, bool bold) {
    QFont font;
    // Verdana where installed, else DejaVu Sans: resolved when the font is first used, without
    // listing every installed family (which loads the whole font database at start-up).
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    return font;
}

class Panel_Header : public QWidget {
public:
    explicit Panel_Header(Collapsible_Panel* panel) : QWidget(panel), panel_(panel) {
        setObjectName(QStringLiteral("Header"));
        setFixedHeight(Collapsible_Panel::Header_Height);
        setMouseTracking(true);
        setCursor(Qt::PointingHandCursor);
    }

    QString caption;

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), QColor(231, 216, 216));
        const QColor grey(128, 128, 128);
        const int mid = height() / 2;

        // The state picture: a filled triangle pointing down while expanded, right while collapsed.
        QPainterPath arrow;
        if (panel_->Collapsed()) {
            arrow.moveTo(7, mid - 5);
            arrow.lineTo(13, mid);
            arrow.lineTo(7, mid + 5);
        } else {
            arrow.moveTo(5, mid - 3);
            arrow.lineTo(15, mid - 3);
            arrow.lineTo(10, mid + 3);
        }
        arrow.closeSubpath();
        p.fillPath(arrow, grey);

        p.setFont(Window_Font(15, true));
        p.setPen(grey);
        p.drawText(QRect(22, 0, width() - 22 - 28, height()), Qt::AlignVCenter | Qt::AlignLeft, caption);

        // The chevron: pointing up to collapse, down to expand.
        p.setPen(QPen(hovered_ ? QColor(255, 0, 0) : grey, 1.6));
        const int x = width() - 16;
        const int dir = panel_->Collapsed() ? 1 : -1;
        for (const int y : {mid - 3, mid + 2}) {
            const int tip = y + (dir > 0 ? 3 : 0);
            const int base = y + (dir > 0 ? 0 : 3);
            p.drawLine(x - 4, base, x, tip);
            p.drawLine(x, tip, x + 4, base);
        }
    }

    void enterEvent(QEnterEvent* /*event*/) override {
        hovered_ = true;
        update();
    }
    void leaveEvent(QEvent* /*event*/) override {
        hovered_ = false;
        update();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            panel_->Set_Collapsed(!panel_->Collapsed());
        }
    }

private:
    Collapsible_Panel* panel_;
    bool hovered_ = false;
};

Collapsible_Panel::Collapsible_Panel(QWidget* parent)
    : QWidget(parent), header_(new Panel_Header(this)), body_(new QWidget(this)) {
    body_->setObjectName(QStringLiteral("Body"));
    Apply_Height();
}

void Collapsible_Panel::Set_Caption(const QString& caption) {
    header_->caption = caption;
    header_->update();
}

QString Collapsible_Panel::Caption() const {
    return header_->caption;
}

QWidget* Collapsible_Panel::Header() const {
    return header_;
}

void Collapsible_Panel::Set_Expanded_Height(int height) {
    expanded_height_ = std::max(height, Header_Height);
    Apply_Height();
}

void Collapsible_Panel::Set_Collapsed(bool collapsed) {
    collapsed_ = collapsed;
    header_->update();
    Apply_Height();
}

void Collapsible_Panel::Apply_Height() {
    // Hiding the body keeps its controls from taking the focus while the panel is collapsed.
    body_->setVisible(!collapsed_);
    const int height = collapsed_ ? Header_Height : expanded_height_;
    if (height != this->height()) {
        setFixedHeight(height);
        emit Height_Changed();
    }
}

void Collapsible_Panel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    header_->setGeometry(0, 0, width(), Header_Height);
    body_->setGeometry(0, Header_Height, width(), std::max(0, expanded_height_ - Header_Height));
}

Panel_Group::Panel_Group(QWidget* parent) : QScrollArea(parent), content_(new QWidget) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(false);
    setWidget(content_);
    // Follow the thumb while it is dragged.
    verticalScrollBar()->setTracking(true);
    // The group itself takes no keys: the focus belongs to the fields inside it.
    setFocusPolicy(Qt::NoFocus);
    // A field that gets the focus by any means (Tab, a jump from another field, a click, the
    // program) is scrolled into view, so typing never lands where the user cannot see.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && content_->isAncestorOf(now)) {
            // The whole field, frame included: ensureWidgetVisible shows only a text field's cursor.
            const QRect field(now->mapTo(content_, QPoint(0, 0)), now->size());
            ensureVisible(field.center().x(), field.center().y(), field.width() / 2,
                          field.height() / 2 + Focus_Margin);
        }
    });
}

void Panel_Group::Add_Panel(Collapsible_Panel* panel) {
    panel->setParent(content_);
    panels_.push_back(panel);
    connect(panel, &Collapsible_Panel::Height_Changed, this, &Panel_Group::Restack);
    panel->show();
    Restack();
}

void Panel_Group::Restack() {
    const int width = viewport()->width();
    int y = 0;
    for (Collapsible_Panel* panel : panels_) {
        if (panel->isHidden()) {
            continue;
        }
        panel->setGeometry(0, y, width, panel->height());
        y += panel->height();
    }
    content_->resize(width, y);
    // setWidget derives the line from the content size; lines here are fixed.
    verticalScrollBar()->setSingleStep(Line_Step);
}

void Panel_Group::Scroll_Lines(int lines) {
    const auto action = lines < 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd;
    for (int i = 0; i < std::abs(lines); ++i) {
        verticalScrollBar()->triggerAction(action);
    }
}

void Panel_Group::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    Restack();
}

} // namespace qm::gui
