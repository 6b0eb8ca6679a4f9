#pragma once
// The start page of the configurator: software code, the open configuration and the numbered steps.

#include <QString>
#include <QWidget>

#include <functional>
#include <string>

class QAbstractButton;
class QDialog;
class QFrame;
class QLabel;
class QTimer;

namespace qm::gui {

class New_Project_Window;
class Open_Conf_Window;

// A window opened from a step; Set_Lang re-applies its texts after a language change.
struct Child_Window {
    QDialog* Dialog = nullptr;
    std::function<void()> Set_Lang;
};

// Wraps any window class that has Set_Lang().
template <class Window>
Child_Window Child_Of(Window* window) {
    return {window, [window] { window->Set_Lang(); }};
}

// Every window the main window opens. Any of them may be missing: its button then does nothing.
struct Child_Windows {
    QDialog* About = nullptr; // fixed English texts, so no Set_Lang
    New_Project_Window* New_Project = nullptr;
    Open_Conf_Window* Open_Conf = nullptr;
    Child_Window Options;
    Child_Window Par_Gen;
    Child_Window Boot;
    Child_Window S7_Protocol;
    Child_Window IEC61850_Variables;
    Child_Window TLS_Known_Cert;
    std::function<void(int)> Boot_Set_Form_Type;
};

// Services that live in other subsystems.
struct Main_Window_Hooks {
    // Compiles the open configuration and writes its bank files into its bin folder.
    // Returns why that failed, or an empty text; on failure the update window stays closed,
    // so stale or missing images never reach the device.
    std::function<std::string()> Build_Device_Image;
    // Asks the maker's service and returns at once; done gets true when a newer version is
    // offered, false on every failure.
    std::function<void(std::function<void(bool newer)> done)> Query_Version;
    // Opens a web address; the user's browser when not set.
    std::function<void(const QString&)> Open_Url;
};

class Main_Window : public QWidget {
    Q_OBJECT

public:
    // Runs the start-up: workspace beside exe_dir, settings, string table, remembered configuration.
    explicit Main_Window(const std::string& exe_dir, QWidget* parent = nullptr);

    void Set_Windows(const Child_Windows& windows) { windows_ = windows; }
    Main_Window_Hooks& Hooks() { return hooks_; }

    // What start-up could not read (settings or language file); empty when all was well.
    const QString& Start_Up_Problem() const { return start_up_problem_; }

    void Set_Lang();
    // Re-applies the texts of every window after the string table was reloaded.
    void Change_Language();

    void Btn_Click(QAbstractButton* sender);
    void Create_New_Project();
    void Open_Project();
    void Update_Device();
    void Timer_UpdateTimer();
    bool Query_In_Flight() const { return query_in_flight_; }

    // Saves the settings; a failure is shown to the user. True when saved.
    bool Save_Setting();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Place_Controls();
    void Show_Configuration_Box();
    void Apply_Update_Timer();
    void Version_Answered(bool newer);
    void Open_Link(const QString& url);
    static void Show_Modal(QDialog* dialog);

    Child_Windows windows_;
    Main_Window_Hooks hooks_;
    QString start_up_problem_;
    bool start_up_reported_ = false;
    // A version query has been sent and not yet answered: no other tick starts meanwhile.
    bool query_in_flight_ = false;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* L_Begin = nullptr;
    QFrame* Shape2 = nullptr;
    QLabel* L_Name_Conf = nullptr;
    QLabel* L_Name_Conf_L2 = nullptr;
    QLabel* LL_Update = nullptr;
    QAbstractButton* Btn_Info = nullptr;
    QAbstractButton* Btn_Opz = nullptr;
    QAbstractButton* Btn_Close = nullptr;
    QLabel* L_Step[6] = {};
    QAbstractButton* Btn_New = nullptr;
    QAbstractButton* Btn_Open = nullptr;
    QAbstractButton* Btn_Prm_Gen = nullptr;
    QAbstractButton* Btn_S7_Protocol_Access = nullptr;
    QAbstractButton* Btn_IEC61850_Access = nullptr;
    QAbstractButton* Btn_TLS_List_Certificates = nullptr;
    QAbstractButton* Btn_CreateBin = nullptr;
    QLabel* L_Velmor = nullptr;
    QFrame* Shape1 = nullptr;
    QTimer* Timer_Update = nullptr;
};

} // namespace qm::gui
