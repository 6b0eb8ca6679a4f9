#pragma once
// The comparison of two configurations in a read-only window: the lines of
// `quillmaker-cli diff`, grouped by file with their counts.

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace qm {
struct Diff_Result;
}

namespace qm::gui {

class Compare_Window : public QDialog {
    Q_OBJECT

public:
    explicit Compare_Window(QWidget* parent = nullptr);

    void Set_Lang();
    // heading: what is compared with what; the lines read "old -> new".
    // warnings: where a window reads a list otherwise than the device gets it, shown last.
    void Show_Diff(const std::string& heading, const Diff_Result& result, const std::vector<std::string>& warnings = {});

    QTreeWidget* Lines() const { return Tree_Lines; }
    QLabel* Summary() const { return L_Summary; }

private:
    QLabel* L_Heading = nullptr;
    QTreeWidget* Tree_Lines = nullptr;
    QLabel* L_Summary = nullptr;
    QPushButton* Btn_Close = nullptr;
};

// Adds "Compare..." at the left of the open-configuration window's button strip. It compares the
// configuration that selected() names with the open one, in a window made on first use.
QPushButton* Add_Compare_Button(QDialog* open_conf_window, QWidget* button_panel,
                                std::function<std::string()> selected);
void Compare_Button_Set_Lang(QDialog* open_conf_window);

// The comparison the button makes: the configuration named selected under PROJECTS against the
// open one, shown in window; a message instead when that cannot be done.
void Compare_With_Open(QWidget* parent, Compare_Window& window, const std::string& selected);

} // namespace qm::gui
