#pragma once
// The Data Map window: the 1500 bytes of the data array as a grid of cells coloured by who fills
// and who shows them, with a legend and the findings; and the main window's button that opens it.

#include <QDialog>
#include <QImage>
#include <QWidget>

#include "map/data_map.h"

class QListWidget;
class QPushButton;
class QToolButton;

namespace qm::gui {

class IEC61850_Variables_Window;
class S7_Protocol_Window;

// The array drawn once per map into an image; a cell's tooltip names its rows.
class Data_Map_Picture : public QWidget {
    Q_OBJECT
public:
    explicit Data_Map_Picture(QWidget* parent = nullptr);
    void Set_Map(const Map_Lists* lists, const Data_Map* map);
    // The byte under a point of the widget, -1 outside the grid.
    int Byte_At(QPoint point) const;
    // What the tooltip of a byte says.
    QString Byte_Text(int byte) const;
    QSize sizeHint() const override;

    static constexpr int Per_Line = 50;
    static constexpr int Cell = 14;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    const Map_Lists* lists_ = nullptr;
    const Data_Map* map_ = nullptr;
    QImage image_;
};

class Data_Map_Window : public QDialog {
    Q_OBJECT
public:
    // The map of the configuration in folder, read as the device gets the lists.
    explicit Data_Map_Window(const std::string& folder, QWidget* parent = nullptr);
    // The map of lists as given, such as a table window's grid as it is being edited.
    explicit Data_Map_Window(Map_Lists lists, QWidget* parent = nullptr);

    Data_Map_Picture* I_Map = nullptr;
    QListWidget* LB_Findings = nullptr;
    const Data_Map& Map() const { return map_; }

signals:
    // A finding or left-out row was clicked: the first row it names.
    void Row_Chosen(qm::Map_List list, int row);

private:
    Map_Lists lists_;
    Data_Map map_;
};

// Byte_Colour as a QColor.
QColor Colour_Of(Byte_Kind kind);

// The button beside the main window's report button, and its hint.
QToolButton* Add_Data_Map_Button(QWidget* main_window);
void Data_Map_Button_Set_Lang(QWidget* main_window);
// A "Data Map" button after Export in a table window: the map of its grid as it stands, with the
// other lists as saved; a click on a finding of the window's own list selects that row there.
QPushButton* Add_Data_Map_Button(S7_Protocol_Window* window);
QPushButton* Add_Data_Map_Button(IEC61850_Variables_Window* window);

// Entry 18 when no configuration is open; a file that cannot be read is said and nothing shown.
void Show_Data_Map(QWidget* parent);

} // namespace qm::gui
