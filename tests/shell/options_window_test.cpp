#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "common/gui/qt_translations.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "shell/main_window.h"
#include "shell/options_window.h"
#include "shell/version_check.h"
#include "temp_dir.h"
#include "version_test_server.h"
#include "window_test_util.h"

using qm::gui::Message_Kind;
using qm::gui::Message_Recorder;
using qm::gui::Options_Window;
using namespace qm::test;

namespace {

const char* const Seven[] = {"Svenska", "Deutsch", "francais", "English", "Polski", "Italiano", "Nederlands"};
const char* const Slot_Names[] = {"L_L1", "L_L2", "L_L3", "L_L4", "L_L5", "L_L6"};
const char* const Picture_Names[] = {"I_L1", "I_L2", "I_L3", "I_L4", "I_L5", "I_L6"};

void Save_Flag(const std::string& path, QRgb colour) {
    QImage flag(16, 12, QImage::Format_RGB32);
    flag.fill(colour);
    QVERIFY(flag.save(QString::fromStdString(path), "BMP"));
}

} // namespace

class Options_Window_Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Temp_Dir> dir;
    std::unique_ptr<Options_Window> window;
    int language_changes = 0;

    std::string Lang_Dir(const std::string& name = {}) const {
        return name.empty() ? qm::State().Paths.Language_Dir : qm::Path_Join(qm::State().Paths.Language_Dir, name);
    }
    void Add_Languages(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            Write_Text(Lang_Dir(std::string(name) + ".lng"), std::string("STR302 = ") + name + "\n");
        }
    }
    void Add_Shipped(const char* name) {
        const std::string from = std::string(QM_SOURCE_DIR) + "/LANGUAGE/" + name + ".lng";
        std::filesystem::copy_file(from, Lang_Dir(std::string(name) + ".lng"));
    }
    void Show() {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    QStringList Shown_Languages() const {
        QStringList shown;
        for (const char* name : Slot_Names) {
            if (!Child<QLabel>(window.get(), name)->isHidden()) {
                shown.append(Label_Text(window.get(), name));
            }
        }
        return shown;
    }
    bool Hidden(const char* name) const { return Child<QWidget>(window.get(), name)->isHidden(); }
    QCheckBox* Box(const char* name) const { return Child<QCheckBox>(window.get(), name); }
    void Click_Slot(int k) { QTest::mouseClick(Child<QLabel>(window.get(), Slot_Names[k]), Qt::LeftButton); }

private slots:
    void init() {
        dir = std::make_unique<Temp_Dir>();
        qm::State() = qm::App_State{};
        qm::State().Paths.Language_Dir = *dir / "LANGUAGE";
        QVERIFY(qm::Make_Dir(Lang_Dir()));
        qm::Load_Default_Strings();
        window = std::make_unique<Options_Window>();
        language_changes = 0;
        window->Hooks().Change_Language = [this] {
            ++language_changes;
            window->Set_Lang();
        };
    }
    void cleanup() {
        window.reset();
        dir.reset();
        QVERIFY(!qm::gui::Load_Qt_Translations("English")); // Qt's built-in texts again
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    }

    void seven_languages_make_two_pages() {
        for (const char* name : Seven) {
            Add_Languages({name});
        }
        Show();
        QCOMPARE(Shown_Languages(), Names({"Deutsch", "English", "francais", "Italiano", "Nederlands", "Polski"}));
        QCOMPARE(Label_Text(window.get(), "L_Page_Lang"), QStringLiteral("Page 1 / 2"));
        QCOMPARE(Label_Text(window.get(), "L_Sel_Lang"), QStringLiteral("Selected Language : English"));
        QVERIFY(Hidden("Btn_Prev"));
        QVERIFY(!Hidden("Btn_Next"));

        Child(window.get(), "Btn_Next")->click();
        QCOMPARE(window->Show_Page(), 2);
        QCOMPARE(Shown_Languages(), Names({"Svenska"}));
        QCOMPARE(Label_Text(window.get(), "L_Page_Lang"), QStringLiteral("Page 2 / 2"));
        QVERIFY(!Hidden("Btn_Prev"));
        QVERIFY(Hidden("Btn_Next"));

        Child(window.get(), "Btn_Prev")->click();
        QCOMPARE(window->Show_Page(), 1);
        QCOMPARE(Shown_Languages().size(), 6);
    }

    void six_or_no_languages_make_one_page() {
        QFETCH(int, count);
        for (int i = 0; i < count; ++i) {
            Add_Languages({Seven[i]});
        }
        Show();
        QCOMPARE(Shown_Languages().size(), count);
        QCOMPARE(Label_Text(window.get(), "L_Page_Lang"), QStringLiteral("Page 1 / 1"));
        QVERIFY(Hidden("Btn_Prev"));
        QVERIFY(Hidden("Btn_Next"));
    }
    void six_or_no_languages_make_one_page_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("six") << 6;
        QTest::newRow("none") << 0;
    }

    void only_writable_language_files_are_offered() {
        Add_Languages({"Good", "Locked", "Hidden_Not", "Shared"});
        std::filesystem::rename(Lang_Dir("Hidden_Not.lng"), Lang_Dir(".Hidden.lng"));
        using std::filesystem::perms;
        std::filesystem::permissions(Lang_Dir("Locked.lng"), perms::owner_read | perms::group_read | perms::others_read);
        // Writable by someone, not by its owner: like a file an administrator installed, it is offered.
        std::filesystem::permissions(Lang_Dir("Shared.lng"),
                                     perms::owner_read | perms::group_read | perms::group_write | perms::others_read);
        QVERIFY(qm::Make_Dir(Lang_Dir("Folder.lng")));
        std::filesystem::create_symlink(Lang_Dir("Good.lng"), Lang_Dir("Link.lng"));
        Write_Text(Lang_Dir("Upper.LNG"), "STR302 = x\n");
        Write_Text(Lang_Dir(".lng"), "STR302 = x\n");
        Write_Text(Lang_Dir("Notes.txt"), "STR302 = x\n");
        Show();
        QCOMPARE(window->SL_Languages(), Names({".Hidden.lng", "Good.lng", "Shared.lng"}));
        QCOMPARE(Shown_Languages(), Names({".Hidden", "Good", "Shared"}));
    }

    void pictures_fall_back_to_the_default_flag_then_none() {
        Add_Languages({"Alpha", "Beta", "Gamma"});
        Save_Flag(Lang_Dir("Alpha.bmp"), qRgb(255, 0, 0));
        Write_Text(Lang_Dir("Beta.bmp"), "not a picture");
        Show();
        // Without a default flag: Alpha has its own, Beta's is damaged, Gamma has none.
        QVERIFY(!Hidden("I_L1"));
        QCOMPARE(Child<QLabel>(window.get(), "I_L1")->pixmap().toImage().pixel(0, 0), qRgb(255, 0, 0));
        QVERIFY(Hidden("I_L2"));
        QVERIFY(Hidden("I_L3"));
        QCOMPARE(Shown_Languages(), Names({"Alpha", "Beta", "Gamma"}));

        Save_Flag(Lang_Dir("DefaultFlag.bmp"), qRgb(0, 0, 255));
        window->Create_Lang_List();
        for (const char* name : {"I_L2", "I_L3"}) {
            QVERIFY(!Hidden(name));
            QCOMPARE(Child<QLabel>(window.get(), name)->pixmap().toImage().pixel(0, 0), qRgb(0, 0, 255));
        }
    }

    void answering_no_changes_nothing() {
        Add_Shipped("Italiano");
        Show();
        Message_Recorder recorder(false);
        Click_Slot(0);
        QCOMPARE(recorder.Messages().size(), 1);
        QCOMPARE(recorder.Messages().first().kind, Message_Kind::Question);
        QCOMPARE(recorder.Last_Text(), QStringLiteral("Do you want to change the Language from English to Italiano?"));
        QCOMPARE(language_changes, 0);
        QCOMPARE(window->Language_In_Use(), QStringLiteral("English"));
        QCOMPARE(QString::fromStdString(qm::Lang(302)), QStringLiteral("Language"));
    }

    // The texts switch at once; the setting only on OK.
    void picked_language_is_kept_only_on_ok() {
        QFETCH(bool, ok);
        Add_Shipped("Italiano");
        Show();
        Message_Recorder recorder(true);
        Click_Slot(0);
        QCOMPARE(language_changes, 1);
        QCOMPARE(QString::fromStdString(qm::Lang(302)), QStringLiteral("Lingua"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Opzioni Software"));
        QCOMPARE(Label_Text(window.get(), "L_Sel_Lang"), QStringLiteral("Lingua selezionata : Italiano"));
        QCOMPARE(Child<QTabWidget>(window.get(), "PC_Options")->tabText(0), QStringLiteral("Lingua"));
        // Qt's own texts follow (Debian's qt6-translations-l10n): file dialogs, message boxes.
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Cerca in:"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sì"));
        QCOMPARE(QCoreApplication::translate("QMessageBox", "Show Details..."), QStringLiteral("Mostra dettagli..."));
        Child(window.get(), ok ? "Btn_OK" : "Btn_Cancel")->click();
        QCOMPARE(window->result(), ok ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(qm::State().Settings.Language, std::string(ok ? "Italiano" : "English"));
        QCOMPARE(QString::fromStdString(qm::Lang(302)), QStringLiteral("Lingua"));

        // The next showing starts from the stored setting.
        Show();
        QCOMPARE(window->Language_In_Use(), ok ? QStringLiteral("Italiano") : QStringLiteral("English"));
    }
    void picked_language_is_kept_only_on_ok_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void page_label_follows_a_language_picked_on_page_two() {
        for (const char* name : {"A1", "A2", "A3", "A4", "A5", "A6"}) {
            Add_Languages({name});
        }
        Add_Shipped("Italiano");
        Show();
        Child(window.get(), "Btn_Next")->click();
        QCOMPARE(Shown_Languages(), Names({"Italiano"}));
        Message_Recorder recorder(true);
        Click_Slot(0);
        QCOMPARE(Label_Text(window.get(), "L_Page_Lang"), QStringLiteral("Pagina 2 / 2"));
        QCOMPARE(Shown_Languages(), Names({"Italiano"}));
    }

    void unreadable_language_file_keeps_the_texts_in_use() {
        Add_Shipped("Italiano");
        QFile broken(QString::fromStdString(Lang_Dir("Broken.lng")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray("STR302 = \0\0\0", 12));
        broken.close();
        Show();
        Message_Recorder recorder(true);
        Click_Slot(1); // Italiano
        QCOMPARE(window->Language_In_Use(), QStringLiteral("Italiano"));
        recorder.Clear();
        Click_Slot(0); // Broken
        QCOMPARE(recorder.Messages().size(), 2);
        QCOMPARE(recorder.Messages().last().kind, Message_Kind::Error);
        QVERIFY2(recorder.Last_Text().contains(QStringLiteral("Broken.lng")), qPrintable(recorder.Last_Text()));
        QCOMPARE(window->Language_In_Use(), QStringLiteral("Italiano"));
        QCOMPARE(QString::fromStdString(qm::Lang(302)), QStringLiteral("Lingua"));
    }

    void connection_page_enabling_rule() {
        QFETCH(bool, internet);
        QFETCH(bool, update);
        qm::State().Settings.Enable_Internet = internet;
        qm::State().Settings.Enable_Update = update;
        Show();
        QCheckBox* en_con = Box("CB_En_Con");
        QCheckBox* cb_update = Box("CB_Update");
        QWidget* check_button = Child<QWidget>(window.get(), "Btn_Check_Update");
        const auto expect = [&](bool update_enabled, bool button_enabled) {
            QCOMPARE(cb_update->isEnabled(), update_enabled);
            QCOMPARE(check_button->isEnabled(), button_enabled);
            QCOMPARE(cb_update->isChecked(), update); // greying out keeps the check mark
        };
        expect(internet, internet && update);
        en_con->click();
        expect(!internet, !internet && update);
        en_con->click();
        expect(internet, internet && update);
    }
    void connection_page_enabling_rule_data() {
        QTest::addColumn<bool>("internet");
        QTest::addColumn<bool>("update");
        QTest::newRow("both off") << false << false;
        QTest::newRow("internet only") << true << false;
        QTest::newRow("update only") << false << true;
        QTest::newRow("both on") << true << true;
    }

    void ok_stores_every_option() {
        Show();
        QCOMPARE(Child<QTabWidget>(window.get(), "PC_Options")->currentIndex(), 0);
        Box("CB_En_Con")->click();
        Box("CB_Update")->click();
        Box("CB_En_Con")->click(); // update now greyed out, still checked
        Box("CB_Soft_Set_Jump_Table")->click();
        Child(window.get(), "Btn_OK")->click();
        const qm::Settings_Data& settings = qm::State().Settings;
        QVERIFY(!settings.Enable_Internet);
        QVERIFY(settings.Enable_Update);
        QVERIFY(settings.Enable_Jump_Field_Tables);
        QVERIFY(!settings.Double_Click_Auto_Size);

        Show();
        QVERIFY(!Box("CB_En_Con")->isChecked());
        QVERIFY(Box("CB_Update")->isChecked());
        QVERIFY(Box("CB_Soft_Set_Jump_Table")->isChecked());
        Box("CB_En_Con")->click();
        Box("CB_DoubleClick_Auto_Size")->click();
        Child(window.get(), "Btn_OK")->click();
        QVERIFY(settings.Enable_Internet && settings.Double_Click_Auto_Size);
    }

    void cancel_stores_nothing() {
        qm::State().Settings.Enable_Internet = true;
        const qm::Settings_Data before = qm::State().Settings;
        Show();
        for (const char* name : {"CB_En_Con", "CB_Update", "CB_Soft_Set_Jump_Table", "CB_DoubleClick_Auto_Size"}) {
            Box(name)->click();
        }
        Child(window.get(), "Btn_Cancel")->click();
        QVERIFY(qm::State().Settings == before);
    }

    void check_button_shows_the_answer() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, newer);
        Version_Server server;
        server.body = reply;
        window->Version_Checker()->Set_Server(QStringLiteral("127.0.0.1"), server.Port());
        qm::State().Settings.Enable_Internet = true;
        qm::State().Settings.Enable_Update = true;
        QStringList opened;
        qm::gui::Set_Url_Opener([&opened](const QString& url) { opened.append(url); });
        Show();
        auto* link = Child<QLabel>(window.get(), "LL_Check_Update");
        QVERIFY(link->isHidden());
        Child<QTabWidget>(window.get(), "PC_Options")->setCurrentIndex(1);
        Child(window.get(), "Btn_Check_Update")->click();
        QTRY_VERIFY(!link->isHidden());
        if (newer) {
            QVERIFY(link->text().contains(QStringLiteral(">New Version Available. Click Here for more Details</a>")));
            emit link->linkActivated(qm::gui::Download_Url());
            QCOMPARE(opened, QStringList{qm::gui::Download_Url()});
            QVERIFY(link->text().contains(qm::gui::Download_Url().toHtmlEscaped()));
        } else {
            QCOMPARE(link->text(), QStringLiteral("No Update Available"));
            QCOMPARE(link->textFormat(), Qt::PlainText);
        }
        qm::gui::Set_Url_Opener({});
        // Hidden again at the next showing.
        window->hide();
        Show();
        QVERIFY(link->isHidden());
    }
    void check_button_shows_the_answer_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("newer");
        QTest::newRow("newer") << QByteArray("VER. 1.001") << true;
        QTest::newRow("none offered") << QByteArray("VER. 0.000") << false;
    }

    // With the main window: a picked language reaches every window, and Cancel leaves the stored
    // setting alone.
    void pick_then_cancel_through_the_main_window() {
        window.reset();
        Temp_Dir exe;
        qm::State() = qm::App_State{};
        qm::gui::Main_Window main_window(exe.Path());
        std::filesystem::copy_file(std::string(QM_SOURCE_DIR) + "/LANGUAGE/Italiano.lng",
                                   qm::Path_Join(qm::State().Paths.Language_Dir, "Italiano.lng"));
        auto* options = new Options_Window(&main_window);
        qm::gui::Child_Windows windows;
        windows.Options = qm::gui::Child_Of(options);
        main_window.Set_Windows(windows);
        options->Hooks().Change_Language = [&main_window] { main_window.Change_Language(); };
        QCOMPARE(Label_Text(&main_window, "L_Begin"), QStringLiteral("Begin"));

        Message_Recorder recorder(true);
        bool shown = false;
        When_Modal([&shown](QDialog* dialog) {
            shown = true;
            QTest::mouseClick(Child<QLabel>(dialog, "L_L1"), Qt::LeftButton);
            Child(dialog, "Btn_Cancel")->click();
        });
        Child(&main_window, "Btn_Opz")->click();
        QVERIFY(shown);
        QCOMPARE(Label_Text(&main_window, "L_Begin"), QStringLiteral("Inizio"));
        QCOMPARE(options->windowTitle(), QStringLiteral("Opzioni Software"));
        QCOMPARE(qm::State().Settings.Language, std::string("English"));
        QVERIFY(!qm::File_Exists(exe / "Quillmaker.xml")); // Cancel saves nothing
    }
};

QTEST_MAIN(Options_Window_Test)
#include "options_window_test.moc"
