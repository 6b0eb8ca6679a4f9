// The report button of the main window with its print preview, and the comparison started from
// the open-configuration window. With QM_REVIEW_SHOTS set to a folder, pictures of the windows
// in English and Italian are saved there.

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <fstream>
#include <memory>
#include <string>

#include "common/app_state.h"
#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "review/gui/compare_window.h"
#include "review_fixtures.h"
#include "shell/configurations.h"
#include "shell/main_window.h"
#include "shell/open_conf_window.h"

using namespace qm::test;

namespace {

// Whether this process has loaded a library whose file name holds the text (Linux).
bool Library_Loaded(const std::string& name) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(name) != std::string::npos) return true;
    }
    return false;
}

template <class T = QWidget>
T* Child(const QObject* parent, const char* name) {
    return parent->findChild<T*>(QString::fromUtf8(name));
}

// Runs action on the modal window that the next exec() shows.
void When_Modal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(50, [action = std::move(action)] {
        if (QWidget* modal = QApplication::activeModalWidget()) action(modal);
    });
}

void Shot(QWidget* widget, const QString& name) {
    const QByteArray dir = qgetenv("QM_REVIEW_SHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(QString::fromUtf8(dir));
    widget->grab().save(QString::fromUtf8(dir) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class Review_Windows_Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Scratch> dir;
    std::unique_ptr<qm::gui::Main_Window> window;
    qm::gui::Open_Conf_Window* open_window = nullptr;

    std::string Project(const std::string& name) const {
        const std::string folder = qm::Path_Join(qm::State().Paths.Projects_Dir, name);
        std::filesystem::create_directories(folder + "/bin");
        return folder;
    }

    void Use_Language(const char* language) {
        qm::Load_Default_Strings();
        if (std::string(language) != "English") {
            QVERIFY(qm::Load_Language_File(std::string(QM_SOURCE_DIR) + "/LANGUAGE/" + language + ".lng").ok);
        }
        window->Set_Lang();
        open_window->Set_Lang();
    }

private slots:
    void init() {
        dir = std::make_unique<Scratch>();
        qm::State() = qm::App_State{};
        window = std::make_unique<qm::gui::Main_Window>(dir->Path());
        open_window = new qm::gui::Open_Conf_Window(window.get());
        qm::gui::Child_Windows windows;
        windows.Open_Conf = open_window;
        window->Set_Windows(windows);
    }
    void cleanup() {
        window.reset();
        dir.reset();
    }

    void report_button_sits_left_of_the_icon_buttons() {
        auto* report = Child<QToolButton>(window.get(), "Btn_Report");
        QVERIFY(report != nullptr);
        QCOMPARE(report->geometry(), QRect(458, 8, 50, 50));
        QCOMPARE(report->toolTip(), QString::fromUtf8(qm::Lang(1566)));
        // The design's controls stay where they were; none of them shares the button's place.
        QCOMPARE(Child(window.get(), "Btn_Info")->geometry(), QRect(516, 8, 50, 50));
        auto overlaps = [&](const char* name) { return Child(window.get(), name)->geometry().intersects(report->geometry()); };
        for (const char* name : {"L_SW_Code", "L_SW_Desc", "Shape2", "Btn_Info", "Btn_Opz", "Btn_Close", "Btn_Open"}) {
            QVERIFY2(!overlaps(name), name);
        }
        // The new-version link, shown only when a newer version is found, reaches into that place;
        // while it shows, the button stands under the information button.
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        Child(window.get(), "LL_Update")->show();
        QCOMPARE(report->pos(), QPoint(516, 62));
        for (const char* name : {"LL_Update", "Shape2", "Btn_Info", "Btn_Opz", "Btn_Close", "L_Velmor"}) {
            QVERIFY2(!overlaps(name), name);
        }
        Child(window.get(), "LL_Update")->hide();
        QCOMPARE(report->pos(), QPoint(458, 8));
        window->hide();
    }

    void report_without_configuration_says_entry_18() {
        qm::gui::Message_Recorder messages;
        Child<QToolButton>(window.get(), "Btn_Report")->click();
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Messages().front().kind, qm::gui::Message_Kind::Error);
        QCOMPARE(messages.Last_Text(), QString::fromUtf8(qm::Lang(18)));
    }

    void report_opens_a_preview_with_save_as_pdf() {
        const std::string plant = Project("Plant");
        Put_Rules(plant, {Read_Rule(1), Read_Rule(2)});
        qm::Open_Configuration("Plant");
        // Print support is loaded with the first preview, not with the program.
        QVERIFY(!Library_Loaded("libQt6PrintSupport"));
        for (const char* language : {"English", "Italiano"}) {
            Use_Language(language);
            QString title;
            bool has_save = false;
            When_Modal([&](QWidget* modal) {
                title = modal->windowTitle();
                has_save = Child<QAction>(modal, "Save_As_Pdf") != nullptr;
                QTest::qWait(300); // the preview paints its pages
                Shot(modal, QStringLiteral("report_preview_") + QString::fromUtf8(language));
                Shot(window.get(), QStringLiteral("main_window_") + QString::fromUtf8(language));
                qobject_cast<QDialog*>(modal)->reject();
            });
            Child<QToolButton>(window.get(), "Btn_Report")->click();
            QCOMPARE(title, QString::fromUtf8(qm::Lang(1567) + " - Plant"));
            QVERIFY(has_save);
        }
        QVERIFY(Library_Loaded("libQt6PrintSupport"));
    }

    void compare_lists_the_differences_grouped_with_counts() {
        Put_Rules(Project("Old"), {Read_Rule(1), Read_Rule(2), Read_Rule(3)});
        Put_Rules(Project("New"), {Read_Rule(1), Read_Rule(9), Read_Rule(2), Read_Rule(3, 250)});
        qm::Open_Configuration("Old");
        for (const char* language : {"English", "Italiano"}) {
            Use_Language(language);
            QStringList groups;
            QStringList lines;
            QString summary;
            When_Modal([&](QWidget* open) {
                auto* list = Child<QListWidget>(open, "ListBox1");
                const auto found = list->findItems(QStringLiteral("New"), Qt::MatchExactly);
                QCOMPARE(found.size(), 1);
                list->setCurrentItem(found.front());
                auto* compare = Child<QPushButton>(open, "Btn_Compare");
                QVERIFY(compare->isVisible());
                QCOMPARE(compare->text(), QString::fromUtf8(qm::Lang(1561)));
                Shot(open, QStringLiteral("open_configuration_") + QString::fromUtf8(language));
                When_Modal([&](QWidget* shown) {
                    auto* tree = Child<QTreeWidget>(shown, "Tree_Lines");
                    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
                        groups << tree->topLevelItem(i)->text(0);
                        for (int j = 0; j < tree->topLevelItem(i)->childCount(); ++j) {
                            lines << tree->topLevelItem(i)->child(j)->text(0);
                        }
                    }
                    summary = Child<QLabel>(shown, "L_Summary")->text();
                    Shot(shown, QStringLiteral("compare_") + QString::fromUtf8(language));
                    qobject_cast<QDialog*>(shown)->accept();
                });
                compare->click();
                qobject_cast<QDialog*>(open)->reject();
            });
            Child<QPushButton>(window.get(), "Btn_Open")->click();
            QCOMPARE(groups, QStringList{QString::fromUtf8("S7_Protocol.xml: 2" + qm::Lang(1584))});
            QCOMPARE(lines.size(), 2);
            QVERIFY2(lines[0].contains(QString::fromUtf8(qm::Lang(1547))), qPrintable(lines[0]));
            QVERIFY2(lines[1].endsWith(QStringLiteral("\"1000\" -> \"250\"")), qPrintable(lines[1]));
            QCOMPARE(summary, QString::fromUtf8(qm::Lang(1551) + "2 (1" + qm::Lang(1575) + "0" + qm::Lang(1576) +
                                                "1" + qm::Lang(1577) + ")"));
        }
    }

    void compare_needs_an_open_configuration() {
        Project("Only");
        qm::gui::Message_Recorder messages;
        qm::gui::Compare_Window compare(window.get());
        qm::gui::Compare_With_Open(window.get(), compare, "Only");
        QCOMPARE(messages.Last_Text(), QString::fromUtf8(qm::Lang(1579)));
    }

    void compare_button_gives_way_when_the_window_is_narrow() {
        open_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(open_window));
        auto* compare = Child<QPushButton>(open_window, "Btn_Compare");
        auto* ok = Child<QPushButton>(open_window, "Btn_OK");
        QVERIFY(compare->isVisible());
        QVERIFY(compare->geometry().right() < ok->geometry().left());
        open_window->resize(300, 300);
        QTRY_VERIFY(!compare->isVisible());
        open_window->resize(500, 300);
        QTRY_VERIFY(compare->isVisible());
        open_window->hide();
    }
};

QTEST_MAIN(Review_Windows_Test)
#include "review_windows_test.moc"
