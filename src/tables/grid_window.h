#pragma once
// What every table window shares: the title area, the button bar with its texts and hints, the
// row buttons, the opening that reloads the file, and OK's check-and-save; plus the texts from the
// string table and the message boxes handed to the row operations.

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <functional>

#include "common/file_io.h"
#include "tables/grid_duplicate.h"
#include "tables/grid_edit.h"
#include "tables/grid_history.h"
#include "tables/table_exchange.h"
#include "tables/table_file.h"

class QAction;
class QBoxLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QShowEvent;
class QToolButton;
class QUndoStack;
class QWidget;

namespace qm::gui {

class Grid_View;

QString Lang_Q(int entry);
QString To_Q(const std::string& text);

// The paste's error box and question, as the message seam shows them.
Grid_Prompts Message_Prompts(QWidget* parent);

// Shows the problems met reading a file once the window is on screen.
void Show_Read_Problems(QWidget* window, const std::string& message);

// What the undo menu calls a step: "Delete Row 3", "Change of PLC Port in Row 3".
QString Step_Name(const Grid& grid, const Grid_Step& step);

// A fault of a window's check, where it is marked: the table, the cell and the message OK shows.
struct Grid_Fault {
    Grid_View* table = nullptr;
    int col = 0;
    int row = 0;
    QString text;
};

// The line under the tables: no faults, or how many faulty cells and the first of them.
QString Faults_Status(int count, const QString& first);

// The string-table entries of a table window: title, description, the six button captions and
// the six hints that follow them, and the Delete Row question.
struct Grid_Window_Texts {
    int title;
    int description;
    int first_caption;
    int first_hint;
    int delete_question;
};

// A table window: a subclass makes its tables, hands the widget that holds them to Set_Up, and
// says how its file is read, checked and saved. Everything else is here, once for all three.
class Grid_Window : public QDialog {
    Q_OBJECT
public:
    ~Grid_Window() override;

    // Applies the texts of the string table: the shared ones here, the table's own in Set_Table_Texts.
    void Set_Lang();
    // The window's check of its rows; shows the first fault and returns false, or returns true.
    virtual bool Controllo_dati() = 0;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QPushButton* Btn_Delete_Row = nullptr;
    QPushButton* Btn_Insert_Row = nullptr;
    QPushButton* Btn_Copy_Row = nullptr;
    QPushButton* Btn_Paste_Row = nullptr;
    // Exchange with spreadsheets, beside Cancel; they act on the shown table.
    QPushButton* Btn_Import = nullptr;
    QPushButton* Btn_Export = nullptr;

    // Which file Import reads or Export writes: the file dialog, or a test's stand-in. save is
    // false for Import; filters are the dialog's, and *filter the one picked (Export's separator).
    // An empty result is a cancel.
    using File_Chooser = std::function<QString(QWidget* parent, bool save, const QStringList& filters, int* filter)>;
    static void Set_File_Chooser(File_Chooser chooser);

    void Import_File();
    void Export_File();
    // Ctrl+C and Ctrl+V of a table: the selected cells as tab-separated text, and a tab-separated
    // block pasted at the current cell with the import's value rules (all or nothing).
    void Copy_Block(Grid_View* table);
    void Paste_Block(Grid_View* table);
    QPushButton* Btn_Duplicate = nullptr;

    // Every change to the tables during one opening; empty at each opening, cleared by OK and Cancel.
    QUndoStack* Undo_Stack = nullptr;
    QAction* Act_Undo = nullptr;
    QAction* Act_Redo = nullptr;
    QAction* Act_Duplicate = nullptr;
    QAction* Act_Find = nullptr;
    QAction* Act_Find_Next = nullptr;
    QAction* Act_Find_Previous = nullptr;
    QAction* Act_Next_Fault = nullptr;
    QAction* Act_Previous_Fault = nullptr;

    // The find bar, hidden until Ctrl+F.
    QWidget* P_Find = nullptr;
    QLabel* L_Find = nullptr;
    QLineEdit* E_Find = nullptr;
    QPushButton* Btn_Find_Next = nullptr;
    QPushButton* Btn_Find_Previous = nullptr;
    QLabel* L_Find_Status = nullptr;
    QToolButton* Btn_Find_Close = nullptr;

    // Under the tables: the number of faults and the first of them.
    QLabel* L_Faults = nullptr;

    // The faults of the last marking, as the check found them (the first is what OK shows).
    const std::vector<Grid_Fault>& Faults() const { return faults_; }
    // Runs the check over every enabled row and marks each faulty cell; done after every change.
    void Mark_Faults();

    // Moves to the next or previous cell that holds the find text, or the next or previous faulty
    // cell: from the current cell on through the shown table, then the other tables, wrapping.
    bool Find_Next(bool forward);
    bool Go_To_Fault(bool forward);
    // Opens the find bar with the cursor in its text.
    void Show_Find_Bar();
    void Hide_Find_Bar();

    // The Duplicate dialog on the current row of the shown table; the copies on OK.
    void Duplicate_Row();

    // Escape, Cancel and closing: asks before discarding changes that could still be undone.
    void reject() override;

protected:
    Grid_Window(const char* object_name, Grid_Window_Texts texts, QWidget* parent);

    // Lays out the title area, body (the tables or their pages) and the button bar, wires the
    // buttons, sizes the window and applies the texts. Called once at the end of the subclass's
    // constructor; fit_width widens the window to its table's columns.
    void Set_Up(QWidget* body, QSize client, bool fit_width);

    // Every table of the window, and the one the row buttons act on.
    virtual std::vector<Grid_View*> Tables() const = 0;
    virtual Grid_View* Shown_Table() const { return Tables().front(); }
    // The "row copied" flag of a table: a row pastes only into the table it was copied from.
    virtual bool& Copied_Flag(Grid_View* table) = 0;
    // Headers and header hints of the tables.
    virtual void Set_Table_Texts() = 0;
    // The open configuration's file of this window.
    virtual const std::string& File_Path() const = 0;
    // At every opening, after the rows were reset and before the file is read.
    virtual void Prepare_Opening() {}
    // Fills the tables from the file, returning the read's report.
    virtual Table_Read_Info Load(const std::string& path) = 0;
    virtual Table_Save_Result Save(const std::string& path, bool keep_backup) = 0;
    // The list a table holds, for the exchange; the other list of the same file (the S7comm
    // lists share the ten-connection rule), none by default.
    virtual Exchange_Table Exchange_Kind(const Grid_View* table) const = 0;
    virtual Table_Rows Other_List(const Grid_View*) const { return {}; }
    // Every fault of the check in its order, each with its cell; none for a window without a check.
    virtual std::vector<Grid_Fault> All_Faults() const { return {}; }
    // Cells worth a look that OK does not refuse (as faults, each with its cell and text).
    virtual std::vector<Grid_Fault> All_Warnings() const { return {}; }
    virtual bool Has_Check() const { return true; }
    // Shows the page that holds a table (the S7comm window has two).
    virtual void Show_Table(Grid_View*) {}
    // For Duplicate: the column whose blank ends the list, the columns that may be counted up with
    // their ranges, and the Mnemonic column.
    virtual int Key_Column(Grid_View* table) const = 0;
    virtual std::vector<Count_Column> Count_Columns(Grid_View*) const { return {}; }
    virtual int Mnemonic_Column(Grid_View* table) const = 0;
    // A column of names the list's users address its rows by, counted up as the Mnemonic is.
    virtual int Name_Column(Grid_View*) const { return 0; }

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;
    void FormShow();
    void Btn_OKClick();

private:
    bool Overwrite_Allowed(const std::string& path);
    void Add_Title_Area(QBoxLayout* layout);
    void Add_Button_Bar(QBoxLayout* layout);
    void Delete_Row();
    void Fit_Width_To_Table();
    void Return_Focus_To_Table();
    void Mark_Warnings();
    void Make_Actions();
    void Make_Find_Bar(QBoxLayout* layout);
    void Mark_Rows_After_End();
    void Add_Cell_Actions(QMenu& menu, Grid_View* table);
    void Wire_Table(Grid_View* table);
    void Show_Context_Menu(Grid_View* table, const QPoint& pos);
    void Update_Undo_Texts();
    // Visits the tables from the current cell of the shown one, as Find_Next and Go_To_Fault do.
    bool Go_To_Cell(const std::function<bool(Grid_View*, int col, int row)>& test, bool forward,
                    bool include_current);
    bool Find_From(bool forward, bool include_current);

    Grid_Window_Texts texts_;
    QBoxLayout* button_bar_ = nullptr; // OK to Paste Row; Duplicate joins it at its end
    std::vector<Grid_View*> tables_; // as Tables() gave them, for the destructor
    std::vector<Grid_Fault> faults_;
    // False when the last opening could not read the whole file: the save then keeps it.
    bool file_read_complete_ = true;
    // The list file as this opening read it; OK asks before it overwrites a change made since.
    File_Stamp file_stamp_;
    std::string stamped_path_;
};

} // namespace qm::gui
