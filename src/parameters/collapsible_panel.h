#pragma once
// A vertical stack of panels that collapse to their header when it is clicked, in a scroll area
// that scrolls line by line.

#include <QFont>
#include <QScrollArea>
#include <QWidget>

#include <vector>

namespace qm::gui {

// Verdana at a pixel size, or a close sans-serif where Verdana is not installed.
QFont Window_Font(int pixel_size, bool bold = false);

class Panel_Header;

class Collapsible_Panel : public QWidget {
    Q_OBJECT
public:
    static constexpr int Header_Height = 24;

    explicit Collapsible_Panel(QWidget* parent = nullptr);

    void Set_Caption(const QString& caption);
    QString Caption() const;

    // Parent of the panel's controls, which sit at fixed positions below the header.
    QWidget* Body() const { return body_; }
    // The clickable header, for tests.
    QWidget* Header() const;

    // Height of the expanded panel, header included.
    void Set_Expanded_Height(int height);
    int Expanded_Height() const { return expanded_height_; }

    bool Collapsed() const { return collapsed_; }
    void Set_Collapsed(bool collapsed);

signals:
    void Height_Changed();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Apply_Height();

    Panel_Header* header_;
    QWidget* body_;
    int expanded_height_ = Header_Height;
    bool collapsed_ = false;
};

class Panel_Group : public QScrollArea {
    Q_OBJECT
public:
    // Pixels scrolled by one line request.
    static constexpr int Line_Step = 16;
    // Room kept above and below a field scrolled into view.
    static constexpr int Focus_Margin = 8;

    explicit Panel_Group(QWidget* parent = nullptr);

    // Appends a panel at the bottom of the stack; the group takes it as a child.
    void Add_Panel(Collapsible_Panel* panel);
    // Lays the visible panels out top to bottom; runs by itself after every height change.
    void Restack();
    // lines < 0 scrolls up, > 0 down, one line request at a time.
    void Scroll_Lines(int lines);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* content_;
    std::vector<Collapsible_Panel*> panels_;
};

} // namespace qm::gui
