#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "common/app_state.h"
#include "shell/configurations.h"
#include "shell/main_window.h"
#include "shell/new_project_window.h"
#include "shell/open_conf_window.h"
#include "temp_dir.h"
#include "window_test_util.h"

using qm::gui::Main_Window;
using qm::gui::Message_Recorder;
using namespace qm::test;

class Project_Windows_Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Temp_Dir> dir;
    std::unique_ptr<Main_Window> window;
    qm::gui::New_Project_Window* new_window = nullptr;
    qm::gui::Open_Conf_Window* open_window = nullptr;

    std::string Projects(const std::string& name) const { return qm::Path_Join(qm::State().Paths.Projects_Dir, name); }

    void Make_Folders(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            QVERIFY(qm::Make_Dir(Projects(name)));
        }
    }

    bool Configuration_Box_Shows(const QString& first, const QString& second) const {
        return Label_Text(window.get(), "L_Name_Conf") == first && Label_Text(window.get(), "L_Name_Conf_L2") == second;
    }

    // Shows the open window through Step 1, lets check look at it, then presses the named button.
    void Through_Open_Window(const char* button, const std::function<void(QListWidget*)>& check = {}) {
        bool shown = false;
        When_Modal([&](QDialog* dialog) {
            shown = true;
            if (check) {
                check(Child<QListWidget>(dialog, "ListBox1"));
            }
            Child(dialog, button)->click();
        });
        Child(window.get(), "Btn_Open")->click();
        QVERIFY(shown);
    }

private slots:
    void init() {
        dir = std::make_unique<Temp_Dir>();
        qm::State() = qm::App_State{};
        window = std::make_unique<Main_Window>(dir->Path());
        new_window = new qm::gui::New_Project_Window(window.get());
        open_window = new qm::gui::Open_Conf_Window(window.get());
        qm::gui::Child_Windows windows;
        windows.New_Project = new_window;
        windows.Open_Conf = open_window;
        window->Set_Windows(windows);
        Set_Entries({{9, "none (9) "}, {10, "use step 1 (10)"}, {11, "open (11) "}, {18, "no project (18)"},
                     {105, "not valid (105)"}, {106, "exists (106)"}, {107, "empty (107)"}});
        window->Set_Lang();
    }
    void cleanup() {
        window.reset();
        dir.reset();
    }

    void new_configuration_is_created_and_opened() {
        When_Modal([](QDialog* dialog) {
            QTest::keyClicks(Child<QLineEdit>(dialog, "E_New_Proj"), QStringLiteral("Plant_A"));
            Child(dialog, "Btn_OK")->click();
        });
        Message_Recorder recorder;
        Child(window.get(), "Btn_New")->click();
        QCOMPARE(recorder.Messages().size(), 0);
        QVERIFY(qm::Dir_Exists(Projects("Plant_A")));
        QVERIFY(qm::Dir_Exists(qm::Path_Join(Projects("Plant_A"), "bin")));
        QCOMPARE(qm::State().Project.Project_Dir, Projects("Plant_A"));
        QVERIFY(Configuration_Box_Shows(QStringLiteral("open (11) "), QStringLiteral("Plant_A")));
    }

    void new_configuration_refusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QString() << QStringLiteral("empty (107)");
        QTest::newRow("exists") << QStringLiteral("Existing") << QStringLiteral("exists (106)");
        QTest::newRow("climbs out") << QStringLiteral("../Outside") << QStringLiteral("not valid (105)");
    }
    void new_configuration_refusals() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        Make_Folders({"Existing"});
        Message_Recorder recorder;
        bool stayed_open = false;
        When_Modal([&](QDialog* dialog) {
            auto* edit = Child<QLineEdit>(dialog, "E_New_Proj");
            QTest::keyClicks(edit, name);
            QTest::keyClick(edit, Qt::Key_Return); // Enter acts as OK
            stayed_open = dialog->isVisible();
            Child(dialog, "Btn_Cancel")->click();
        });
        Child(window.get(), "Btn_New")->click();
        QVERIFY(stayed_open);
        QCOMPARE(recorder.Messages().size(), 1);
        QCOMPARE(recorder.Messages().first().kind, qm::gui::Message_Kind::Error);
        QCOMPARE(recorder.Last_Text(), message);
        QVERIFY(!qm::Dir_Exists(qm::Path_Join(dir->Path(), "Outside")));
        QVERIFY(qm::State().Project.Project_Dir.empty());
        QVERIFY(Configuration_Box_Shows(QStringLiteral("none (9) "), QStringLiteral("use step 1 (10)")));
    }

    void new_window_starts_empty_each_time() {
        When_Modal([](QDialog* dialog) {
            QTest::keyClicks(Child<QLineEdit>(dialog, "E_New_Proj"), QStringLiteral("draft"));
            dialog->reject();
        });
        Child(window.get(), "Btn_New")->click();
        QString text = QStringLiteral("<not shown>");
        When_Modal([&text](QDialog* dialog) {
            auto* edit = Child<QLineEdit>(dialog, "E_New_Proj");
            text = edit->text();
            QVERIFY(edit->hasFocus());
            dialog->reject();
        });
        Child(window.get(), "Btn_New")->click();
        QCOMPARE(text, QString());
        QVERIFY(!qm::Dir_Exists(Projects("draft")));
    }

    void open_preselects_ignoring_case() {
        Make_Folders({"gamma", "Beta", "alpha"});
        qm::Open_Configuration("beta"); // as a file system that ignores case would have reopened it
        Through_Open_Window("Btn_OK", [](QListWidget* list) {
            QCOMPARE(list->count(), 3);
            QCOMPARE(list->item(0)->text(), QStringLiteral("alpha"));
            QCOMPARE(list->currentItem()->text(), QStringLiteral("Beta"));
        });
        QCOMPARE(qm::State().Settings.Project_Name, std::string("Beta"));
        QCOMPARE(qm::State().Project.Project_Dir, Projects("Beta"));
    }

    void open_with_nothing_open_takes_the_first() {
        Make_Folders({"zulu", "Mike"});
        Through_Open_Window("Btn_OK", [](QListWidget* list) { QCOMPARE(list->currentRow(), 0); });
        QCOMPARE(qm::State().Project.Project_Dir, Projects("Mike"));
        QCOMPARE(qm::State().Project.ParGen_File, qm::Path_Join(Projects("Mike"), "ParGen.xml"));
        QVERIFY(Configuration_Box_Shows(QStringLiteral("open (11) "), QStringLiteral("Mike")));
    }

    void open_takes_the_clicked_name() {
        Make_Folders({"one", "two", "three"});
        Through_Open_Window("Btn_OK", [](QListWidget* list) {
            QListWidgetItem* item = list->item(2);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        });
        QCOMPARE(qm::State().Settings.Project_Name, std::string("two"));
    }

    void open_with_empty_projects_leaves_none_open() {
        qm::Open_Configuration("old"); // the open one is replaced, even by nothing
        Through_Open_Window("Btn_OK", [](QListWidget* list) {
            QCOMPARE(list->count(), 0);
            QVERIFY(list->currentItem() == nullptr);
        });
        QVERIFY(qm::State().Project.Project_Dir.empty());
        QVERIFY(Configuration_Box_Shows(QStringLiteral("none (9) "), QStringLiteral("use step 1 (10)")));
        Message_Recorder recorder;
        Child(window.get(), "Btn_CreateBin")->click();
        QCOMPARE(recorder.Last_Text(), QStringLiteral("no project (18)"));
    }

    void open_cancel_changes_nothing() {
        Make_Folders({"alpha", "beta"});
        qm::Open_Configuration("alpha");
        window->Set_Lang();
        Through_Open_Window("Btn_Cancel", [](QListWidget* list) { list->setCurrentRow(1); });
        QCOMPARE(qm::State().Settings.Project_Name, std::string("alpha"));
        QCOMPARE(qm::State().Project.Project_Dir, Projects("alpha"));
        QVERIFY(Configuration_Box_Shows(QStringLiteral("open (11) "), QStringLiteral("alpha")));
    }

    void open_window_grows_with_its_list() {
        QCOMPARE(open_window->size(), QSize(377, 351));
        open_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(open_window));
        open_window->resize(500, 420);
        QCOMPARE(Child<QWidget>(open_window, "ListBox1")->geometry(), QRect(16, 94, 468, 280));
        QCOMPARE(Child(open_window, "Btn_OK")->pos(), QPoint(246, 6));
        QCOMPARE(Child(open_window, "Btn_Cancel")->pos(), QPoint(364, 6));
        QCOMPARE(Child<QWidget>(open_window, "P_Button")->geometry(), QRect(0, 380, 500, 40));
        open_window->hide();
        QCOMPARE(new_window->size(), QSize(331, 162));
    }
};

QTEST_MAIN(Project_Windows_Test)
#include "project_windows_test.moc"
