#include "shell/main_window.h"

#include <QAbstractButton>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <utility>

#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "common/app_state.h"
#include "shell/configurations.h"
#include "shell/new_project_window.h"
#include "shell/open_conf_window.h"
#include "shell/settings.h"
#include "shell/version_check.h"
#include "temp_dir.h"
#include "version_test_server.h"
#include "window_test_util.h"

using qm::gui::Main_Window;
using qm::gui::Message_Kind;
using qm::gui::Message_Recorder;
using namespace qm::test;

namespace {

const char* const Step_Buttons[] = {"Btn_Prm_Gen", "Btn_S7_Protocol_Access", "Btn_IEC61850_Access",
                                    "Btn_TLS_List_Certificates", "Btn_CreateBin"};

// The main window's English texts, for the checks that depend on text widths.
void Set_English_Texts() {
    Set_Entries({{0, "Begin"},
                 {1, "Step 1"},
                 {6, "Step 6"},
                 {9, "None Configuration Opened "},
                 {10, "Use Step1 to open or create new configuration"},
                 {11, "Opened Configuration of the Converter : "},
                 {15, "New Configuration"},
                 {16, "Open Configuration"},
                 {17, "Update Device UDP"},
                 {19, "New Version Available. Click Here for more Details"},
                 {20, "Set Communication"},
                 {21, "S7comm Access"},
                 {31, "IEC61850 Access"},
                 {33, "TLS Known Certificates"}});
}

} // namespace

class Main_Window_Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Temp_Dir> dir;
    QStringList log;

    // A main window over a fresh workspace, with stand-ins for every window it opens.
    struct Fixture {
        std::unique_ptr<Main_Window> window;
        Fake_Window* about = nullptr;
        Fake_Window* options = nullptr;
        Fake_Window* par_gen = nullptr;
        Fake_Window* boot = nullptr;
        Fake_Window* s7 = nullptr;
        Fake_Window* iec = nullptr;
        Fake_Window* tls = nullptr;
        QTimer* timer = nullptr;
    };

    Fixture Make(bool with_project_windows = false) {
        qm::State() = qm::App_State{};
        Fixture f;
        f.window = std::make_unique<Main_Window>(dir->Path());
        Main_Window* w = f.window.get();
        const auto fake = [&](const char* name) { return new Fake_Window(w, QString::fromUtf8(name), &log); };
        f.about = fake("About");
        f.options = fake("Options");
        f.par_gen = fake("Par_Gen");
        f.boot = fake("Boot");
        f.s7 = fake("S7_Protocol");
        f.iec = fake("IEC61850_Variables");
        f.tls = fake("TLS_Known_Cert");
        qm::gui::Child_Windows windows;
        windows.About = f.about;
        const auto child = [this](Fake_Window* window) {
            return qm::gui::Child_Window{window, [this, window] { log.append(QStringLiteral("Set_Lang ") + window->Name()); }};
        };
        windows.Options = child(f.options);
        windows.Par_Gen = child(f.par_gen);
        windows.Boot = child(f.boot);
        windows.S7_Protocol = child(f.s7);
        windows.IEC61850_Variables = child(f.iec);
        windows.TLS_Known_Cert = child(f.tls);
        windows.Boot_Set_Form_Type = [this](int type) { log.append(QStringLiteral("Form_Type %1").arg(type)); };
        if (with_project_windows) {
            windows.New_Project = new qm::gui::New_Project_Window(w);
            windows.Open_Conf = new qm::gui::Open_Conf_Window(w);
        }
        w->Set_Windows(windows);
        w->Hooks().Build_Device_Image = [this] {
            log.append(QStringLiteral("Build"));
            return build_failure;
        };
        w->Hooks().Open_Url = [this](const QString& url) { log.append(QStringLiteral("Open ") + url); };
        f.timer = Child<QTimer>(w, "Timer_Update");
        log.clear();
        return f;
    }

    std::string build_failure;

    std::string Settings_Text() const { return Read_Text(*dir / "Quillmaker.xml"); }

private slots:
    void init() {
        dir = std::make_unique<Temp_Dir>();
        log.clear();
    }
    void cleanup() { dir.reset(); }

    void steps_refuse_without_configuration() {
        Fixture f = Make();
        Set_Entries({{18, "No configuration (18)"}});
        Message_Recorder recorder;
        for (const char* name : Step_Buttons) {
            recorder.Clear();
            Child(f.window.get(), name)->click();
            QCOMPARE(recorder.Messages().size(), 1);
            QCOMPARE(recorder.Messages().first().kind, Message_Kind::Error);
            QCOMPARE(recorder.Last_Text(), QStringLiteral("No configuration (18)"));
        }
        QCOMPARE(log, QStringList());
    }

    void steps_open_their_windows() {
        Fixture f = Make();
        QCOMPARE(qm::Create_Configuration("Plant"), 0);
        Message_Recorder recorder;
        for (const char* name : Step_Buttons) {
            Child(f.window.get(), name)->click();
        }
        QCOMPARE(recorder.Messages().size(), 0);
        QCOMPARE(log, Names({"Par_Gen", "S7_Protocol", "IEC61850_Variables", "TLS_Known_Cert", "Build",
                                   "Form_Type 1", "Boot"}));
    }

    // A failed build must not open the update window, or stale images would go to the device.
    void failed_build_keeps_update_window_closed() {
        Fixture f = Make();
        QCOMPARE(qm::Create_Configuration("Plant"), 0);
        build_failure = "ParGen.xml: not well-formed XML at line 3, column 7";
        Message_Recorder recorder;
        Child(f.window.get(), "Btn_CreateBin")->click();
        build_failure.clear();
        QCOMPARE(log, Names({"Build"}));
        QCOMPARE(recorder.Messages().size(), 1);
        QCOMPARE(recorder.Messages().first().kind, Message_Kind::Error);
        QCOMPARE(recorder.Last_Text(), QStringLiteral("ParGen.xml: not well-formed XML at line 3, column 7"));
    }

    void buttons_work_without_configuration() {
        Fixture f = Make(true);
        Message_Recorder recorder;
        Child(f.window.get(), "Btn_Info")->click();
        Child(f.window.get(), "Btn_Opz")->click();
        for (const char* name : {"Btn_New", "Btn_Open"}) {
            QString shown;
            When_Modal([&shown](QDialog* dialog) {
                shown = dialog->objectName();
                dialog->reject();
            });
            Child(f.window.get(), name)->click();
            QVERIFY2(!shown.isEmpty(), name);
        }
        QCOMPARE(log, Names({"About", "Options"}));
        QCOMPARE(recorder.Messages().size(), 0);
        QVERIFY(qm::State().Project.Project_Dir.empty());

        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        Child(f.window.get(), "Btn_Close")->click();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(Settings_Text(), qm::Settings_To_Xml(qm::Settings_Data{}));
    }

    void options_ok_saves_and_sets_timer() {
        Fixture f = Make();
        QVERIFY(!f.timer->isActive());
        f.options->result = QDialog::Accepted;
        f.options->on_show = [] {
            qm::State().Settings.Enable_Internet = true;
            qm::State().Settings.Enable_Update = true;
        };
        Child(f.window.get(), "Btn_Opz")->click();
        QVERIFY(f.timer->isActive());
        QCOMPARE(f.timer->interval(), 60000);
        QVERIFY(Settings_Text().find("<enable_internet>1</enable_internet><enable_update>1</enable_update>") !=
                std::string::npos);

        f.options->on_show = [] { qm::State().Settings.Enable_Internet = false; };
        Child(f.window.get(), "Btn_Opz")->click();
        QVERIFY(!f.timer->isActive());
        QVERIFY(Settings_Text().find("<enable_internet>0</enable_internet><enable_update>1</enable_update>") !=
                std::string::npos);
    }

    void options_cancel_neither_saves_nor_changes_timer() {
        Fixture f = Make();
        f.options->result = QDialog::Rejected;
        f.options->on_show = [] {
            qm::State().Settings.Enable_Internet = true;
            qm::State().Settings.Enable_Update = true;
        };
        Child(f.window.get(), "Btn_Opz")->click();
        QCOMPARE(log, Names({"Options"}));
        QVERIFY(!f.timer->isActive());
        QVERIFY(!qm::File_Exists(*dir / "Quillmaker.xml"));
    }

    void timer_at_start_up_data() {
        QTest::addColumn<QString>("internet");
        QTest::addColumn<QString>("update");
        QTest::addColumn<bool>("active");
        QTest::newRow("both off") << QStringLiteral("0") << QStringLiteral("0") << false;
        QTest::newRow("internet only") << QStringLiteral("1") << QStringLiteral("0") << false;
        QTest::newRow("update only") << QStringLiteral("0") << QStringLiteral("1") << false;
        QTest::newRow("both on") << QStringLiteral("1") << QStringLiteral("1") << true;
        QTest::newRow("true is not 1") << QStringLiteral("true") << QStringLiteral("1") << false;
    }
    void timer_at_start_up() {
        QFETCH(QString, internet);
        QFETCH(QString, update);
        QFETCH(bool, active);
        Write_Text(*dir / "Quillmaker.xml", "<Conf_Settings><lastinternet><enable_internet>" + internet.toStdString() +
                                                "</enable_internet><enable_update>" + update.toStdString() +
                                                "</enable_update></lastinternet></Conf_Settings>");
        Fixture f = Make();
        QCOMPARE(f.timer->isActive(), active);
        QCOMPARE(f.timer->interval(), 60000);
    }

    void version_check_shows_and_hides_link() {
        Fixture f = Make();
        qm::State().Settings.Enable_Internet = true;
        qm::State().Settings.Enable_Update = true;
        Set_English_Texts();
        bool newer = true;
        f.window->Hooks().Query_Version = [&newer](const std::function<void(bool)>& done) { done(newer); };
        auto* link = Child<QLabel>(f.window.get(), "LL_Update");
        QVERIFY(!link->isVisibleTo(f.window.get()));

        f.window->Timer_UpdateTimer();
        QVERIFY(link->isVisibleTo(f.window.get()));
        QVERIFY(link->text().contains(Entry(19)));
        QVERIFY(link->text().contains(QStringLiteral("/Home/download/download.asp#GW39174")));
        QVERIFY(f.timer->isActive());
        QCOMPARE(f.timer->interval(), 7200000);
        emit link->linkActivated(QStringLiteral("http://127.0.0.1/download"));
        QCOMPARE(log, Names({"Open http://127.0.0.1/download"}));

        newer = false;
        f.window->Timer_UpdateTimer();
        QVERIFY(!link->isVisibleTo(f.window.get()));
        QCOMPARE(f.timer->interval(), 7200000);

        QVERIFY(Label_Text(f.window.get(), "L_Velmor").contains(QStringLiteral("/HOME/default.asp?frompg=CF39174")));
    }

    // The query keeps the windows live, so the options can be switched off and confirmed while it
    // runs; its answer must then leave the link and the timer alone, and restart the timer only
    // when both are on. The query is real, to a server on 127.0.0.1 that answers slowly and keeps
    // its connection open.
    void options_changed_during_a_query_decide_the_timer() {
        QFETCH(bool, internet);
        QFETCH(bool, update);
        Fixture f = Make();
        qm::State().Settings.Enable_Internet = true;
        qm::State().Settings.Enable_Update = true;
        Version_Server server;
        server.body = "VER. 9.999";
        server.delay_ms = 300;
        server.keep_open = true;
        qm::gui::Version_Check check;
        check.Set_Server(QStringLiteral("127.0.0.1"), server.Port());
        f.window->Hooks().Query_Version = [&check](std::function<void(bool)> done) { check.Query(std::move(done)); };
        auto* link = Child<QLabel>(f.window.get(), "LL_Update");

        f.timer->start();
        f.window->Timer_UpdateTimer();
        QVERIFY(f.window->Query_In_Flight());
        QVERIFY(!f.timer->isActive());
        // A second tick while the first query runs sends nothing.
        f.window->Timer_UpdateTimer();
        f.options->result = QDialog::Accepted;
        f.options->on_show = [internet, update] {
            qm::State().Settings.Enable_Internet = internet;
            qm::State().Settings.Enable_Update = update;
        };
        Child(f.window.get(), "Btn_Opz")->click();
        QVERIFY(!f.timer->isActive());

        QTRY_VERIFY_WITH_TIMEOUT(!f.window->Query_In_Flight(), 5000);
        QCOMPARE(server.requests.size(), 1);
        QCOMPARE(link->isVisibleTo(f.window.get()), internet && update);
        QCOMPARE(f.timer->isActive(), internet && update);
        QCOMPARE(f.timer->interval(), 7200000);
    }
    void options_changed_during_a_query_decide_the_timer_data() {
        QTest::addColumn<bool>("internet");
        QTest::addColumn<bool>("update");
        QTest::newRow("update unticked") << true << false;
        QTest::newRow("internet unticked") << false << true;
        QTest::newRow("left on") << true << true;
    }

    void configuration_box_follows_language_change() {
        Fixture f = Make(true);
        Set_Entries({{9, "none (9) "}, {10, "use step 1 (10)"}, {11, "open (11) "}, {100, "new (100)"},
                     {200, "open window (200)"}});
        f.window->Change_Language();
        QCOMPARE(Label_Text(f.window.get(), "L_Name_Conf"), QStringLiteral("none (9) "));
        QCOMPARE(Label_Text(f.window.get(), "L_Name_Conf_L2"), QStringLiteral("use step 1 (10)"));

        qm::Open_Configuration("Plant");
        Set_Entries({{11, "opened (11) "}});
        f.window->Change_Language();
        QCOMPARE(Label_Text(f.window.get(), "L_Name_Conf"), QStringLiteral("opened (11) "));
        QCOMPARE(Label_Text(f.window.get(), "L_Name_Conf_L2"), QStringLiteral("Plant"));

        // Every window follows, in the fixed order; the About window keeps its English.
        QCOMPARE(Child<QWidget>(f.window.get(), "New_Project_Window")->windowTitle(), QStringLiteral("new (100)"));
        QCOMPARE(Child<QWidget>(f.window.get(), "Open_Conf_Window")->windowTitle(), QStringLiteral("open window (200)"));
        const QStringList order = Names({"Set_Lang Options", "Set_Lang Boot", "Set_Lang Par_Gen", "Set_Lang S7_Protocol",
                                   "Set_Lang IEC61850_Variables", "Set_Lang TLS_Known_Cert"});
        QCOMPARE(log, order + order);
    }

    void remembered_configuration_whose_folder_is_gone() {
        Write_Text(*dir / "Quillmaker.xml",
                   "<Conf_Settings><lastproj><projectname>gone</projectname></lastproj></Conf_Settings>");
        Fixture f = Make();
        QCOMPARE(Label_Text(f.window.get(), "L_Name_Conf"), Entry(9));
        QCOMPARE(Label_Text(f.window.get(), "L_Name_Conf_L2"), Entry(10));
        Message_Recorder recorder;
        Child(f.window.get(), "Btn_Prm_Gen")->click();
        QCOMPARE(recorder.Last_Text(), Entry(18));
        f.window->close();
        QVERIFY(Settings_Text().find("<projectname>gone</projectname>") != std::string::npos);
    }

    void close_reports_a_failed_save() {
        Fixture f = Make();
        QVERIFY(qm::Make_Dir(*dir / "Quillmaker.xml"));
        Message_Recorder recorder;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.window->close();
        QCOMPARE(recorder.Messages().size(), 1);
        QCOMPARE(recorder.Messages().first().kind, Message_Kind::Error);
        QVERIFY2(recorder.Last_Text().contains(QString::fromStdString(*dir / "Quillmaker.xml")),
                 qPrintable(recorder.Last_Text()));
        QVERIFY(!f.window->isVisible());
    }

    void unreadable_settings_are_reported_once() {
        Write_Text(*dir / "Quillmaker.xml", "<Conf_Settings><lastproj>");
        Message_Recorder recorder;
        Fixture f = Make();
        QVERIFY(!f.window->Start_Up_Problem().isEmpty());
        f.window->show();
        QTRY_COMPARE(recorder.Messages().size(), 1);
        QCOMPARE(recorder.Messages().first().kind, Message_Kind::Warning);
        QVERIFY(recorder.Last_Text().contains(QString::fromStdString(*dir / "Quillmaker.xml")));
        f.window->hide();
        f.window->show();
        QTest::qWait(20);
        QCOMPARE(recorder.Messages().size(), 1);
    }

    void layout_fits_and_every_button_has_an_icon() {
        Fixture f = Make();
        Set_English_Texts();
        qm::Open_Configuration(std::string(120, 'N'));
        f.window->Change_Language();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.window->size(), QSize(694, 484));

        const QRect client = f.window->rect();
        for (QWidget* child : f.window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (child->isVisibleTo(f.window.get())) {
                QVERIFY2(client.contains(child->geometry()), qPrintable(child->objectName()));
            }
        }
        for (auto* button : f.window->findChildren<QAbstractButton*>()) {
            QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
            const int needed = button->fontMetrics().horizontalAdvance(button->text()) + button->iconSize().width() + 12;
            QVERIFY2(needed <= button->width(), qPrintable(button->objectName()));
        }
        // The configuration box holds both lines; a long name is shortened, the hint keeps it.
        const QRect box = Child<QFrame>(f.window.get(), "Shape2")->geometry();
        for (const char* name : {"L_Name_Conf", "L_Name_Conf_L2"}) {
            QVERIFY2(box.contains(Child<QLabel>(f.window.get(), name)->geometry()), name);
        }
        QCOMPARE(Child<QLabel>(f.window.get(), "L_Name_Conf_L2")->toolTip(), QString(120, QLatin1Char('N')));
        QCOMPARE(f.window->windowTitle(), QString::fromUtf8(qm::Main_Window_Title));
    }

    // A translated line a little longer than the box widens it; one that no box could hold is
    // shortened, its hint keeping it whole; the box never reaches the icon buttons.
    void configuration_box_makes_room_for_a_translation() {
        Fixture f = Make();
        Set_English_Texts();
        const QString longer = QStringLiteral("Usare il Passo 1 per aprire oppure creare una nuova configurazione");
        const QString too_long = longer + QStringLiteral(" oppure chiedere al responsabile di reparto");
        for (const QString& text : {longer, too_long}) {
            qm::Lang_Table[10] = text.toStdString();
            f.window->Change_Language();
            f.window->show();
            QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
            const QRect box = Child<QFrame>(f.window.get(), "Shape2")->geometry();
            const QLabel* line = Child<QLabel>(f.window.get(), "L_Name_Conf_L2");
            QVERIFY2(box.contains(line->geometry()), qPrintable(text));
            QVERIFY(box.right() < Child<QAbstractButton>(f.window.get(), "Btn_Info")->x());
            QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->width());
            if (text == longer) {
                QCOMPARE(line->text(), text);
                QVERIFY(line->toolTip().isEmpty());
            } else {
                QVERIFY(line->text() != text);
                QCOMPARE(line->toolTip(), text);
            }
        }
    }
};

QTEST_MAIN(Main_Window_Test)
#include "main_window_test.moc"
