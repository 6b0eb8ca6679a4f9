#pragma once
// The software options: language of the user interface, the internet connection with the
// version check, and the two behaviours of every rule table.

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

namespace qm::gui {

class Version_Check;

// What the options window asks of the main window.
struct Options_Hooks {
    // Re-applies the texts of every window, this one included; only this one when not set.
    std::function<void()> Change_Language;
};

// The language files of a folder that may be offered, sorted ignoring case. A file anyone can
// only read, a folder, a link, or a file with an attribute of its own is left out.
QStringList List_Language_Files(const QString& language_dir);

class Options_Window : public QDialog {
    Q_OBJECT

public:
    static constexpr int Slots_Per_Page = 6;

    explicit Options_Window(QWidget* parent = nullptr);

    Options_Hooks& Hooks() { return hooks_; }
    // The version query used by the check button; the main window may share it.
    Version_Check* Version_Checker() const { return version_check_; }

    void Set_Lang();
    void Create_Lang_List();
    void Update_Lang_Page(int num_page);
    void Update_CheckBox();
    void Btn_OKClick();
    void Btn_Check_UpdateClick();

    const QStringList& SL_Languages() const { return languages_; }
    int Show_Page() const { return show_page_; }
    const QString& Language_In_Use() const { return language_in_use_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Check_Result { None, Newer, Not_Newer };

    void Form_Show();
    void Btn_NextClick(QPushButton* sender);
    void LangClick(int slot);
    void Show_Check_Result();
    int Page_Count() const;
    QString Slot_Language(int slot) const;

    Options_Hooks hooks_;
    Version_Check* version_check_ = nullptr;
    QStringList languages_;
    int show_page_ = 1;
    QString language_in_use_;
    Check_Result check_result_ = Check_Result::None;
    bool checking_ = false;
    int showing_ = 0; // counts the showings, so a late answer lands only in its own

    QLabel* L_SW_Desc = nullptr;
    QTabWidget* PC_Options = nullptr;
    QWidget* TS_Language = nullptr;
    QWidget* TS_Con_Options = nullptr;
    QWidget* TS_Soft_Settings = nullptr;
    QLabel* L_Sel_Lang = nullptr;
    QLabel* I_L[Slots_Per_Page] = {};
    QLabel* L_L[Slots_Per_Page] = {};
    QLabel* L_Page_Lang = nullptr;
    QPushButton* Btn_Prev = nullptr;
    QPushButton* Btn_Next = nullptr;
    QCheckBox* CB_En_Con = nullptr;
    QCheckBox* CB_Update = nullptr;
    QPushButton* Btn_Check_Update = nullptr;
    QLabel* LL_Check_Update = nullptr;
    QCheckBox* CB_Soft_Set_Jump_Table = nullptr;
    QCheckBox* CB_DoubleClick_Auto_Size = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
};

} // namespace qm::gui
