// qm-screenshots: starts the configurator's windows in a scratch workspace, in every shipped
// language, empty and filled with the example configuration, and saves a picture of each window,
// so that a translated text that does not fit is seen without clicking through the program.
//
//   qm-screenshots [--out DIR] [--source DIR]
//
// DIR of --source holds LANGUAGE/ and examples/Example (the repository by default). Run it under
// Xvfb or with QT_QPA_PLATFORM=offscreen; no message box ever waits for an answer.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "parameters/par_gen_window.h"
#include "shell/about_window.h"
#include "common/app_state.h"
#include "shell/configurations.h"
#include "map/gui/data_map_window.h"
#include "shell/main_window.h"
#include "shell/new_project_window.h"
#include "shell/open_conf_window.h"
#include "shell/options_window.h"
#include "shell/program_windows.h"
#include "shell/settings.h"
#include "tables/grid_view.h"
#include "tables/iec61850_variables_window.h"
#include "tables/s7_protocol_window.h"
#include "tables/iec61850_variables.h"
#include "tables/tls_known_cert_window.h"
#include "tags/gui/tag_import_dialog.h"
#include "update/boot_window.h"

#ifndef QM_SOURCE_DIR
#define QM_SOURCE_DIR "."
#endif

namespace {

using namespace qm::gui;

struct Options {
    QString out = QStringLiteral("/tmp/screens");
    QString source = QString::fromUtf8(QM_SOURCE_DIR);
};

// Lets layouts, show events and queued calls run before a picture is taken.
void Settle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

bool Copy_Tree(const QString& from, const QString& to) {
    if (!QDir().mkpath(to)) {
        return false;
    }
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target)) {
                return false;
            }
        } else if (!QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

// The program's windows, made as the program makes them at start.
struct Window_Set {
    std::unique_ptr<Main_Window> main;
    Program_Windows windows;
};

Window_Set Make_Windows(const std::string& exe_dir) {
    Window_Set set;
    set.main = std::make_unique<Main_Window>(exe_dir);
    set.windows = Create_Program_Windows(*set.main);
    // Nothing here may reach for the network or the browser.
    set.main->Hooks().Query_Version = [](const std::function<void(bool)>& done) { done(false); };
    set.main->Hooks().Open_Url = [](const QString&) {};
    return set;
}

class Shooter {
public:
    Shooter(QString out, QString prefix) : out_(std::move(out)), prefix_(std::move(prefix)) {}

    void Save(QWidget* window, const QString& name) {
        Settle();
        const QString path = out_ + QLatin1Char('/') + prefix_ + QLatin1Char('_') + name + QStringLiteral(".png");
        if (window->grab().save(path)) {
            std::printf("%s\n", path.toUtf8().constData());
            std::fflush(stdout);
            ++saved_;
        } else {
            std::fprintf(stderr, "could not save %s\n", path.toUtf8().constData());
            ++failed_;
        }
    }

    // Shows the window as the program would, pictures it, and hides it again.
    template <class Prepare>
    void Shoot(QDialog* dialog, const QString& name, Prepare prepare) {
        dialog->show();
        Settle();
        prepare();
        Save(dialog, name);
        dialog->hide();
        Settle();
    }
    void Shoot(QDialog* dialog, const QString& name) {
        Shoot(dialog, name, [] {});
    }

    int Saved() const { return saved_; }
    int Failed() const { return failed_; }

private:
    QString out_;
    QString prefix_;
    int saved_ = 0;
    int failed_ = 0;
};

template <class T>
T* Child(QObject* parent, const char* name) {
    return parent->findChild<T*>(QString::fromUtf8(name));
}

// The parameters window with every panel in sight: the height is the user's to choose.
void Show_All_Panels(Par_Gen_Window* window) {
    auto* group = Child<QScrollArea>(window, "CPG");
    if (group == nullptr || group->widget() == nullptr) {
        return;
    }
    const int missing = group->widget()->height() - group->viewport()->height();
    if (missing > 0) {
        window->resize(window->width(), window->height() + missing);
    }
}

void Show_Write_Page(S7_Protocol_Window* window) {
    window->PageControl1->setCurrentWidget(window->TS_S7_Write);
}

void Open_Cell_Editor(Grid_View* table, int col, int row) {
    if (table == nullptr) {
        return;
    }
    table->Set_Current_Cell(col, row);
    table->edit(table->currentIndex());
}

QString Text_Of(int entry) { return QString::fromStdString(qm::Lang(entry)); }

// Qt's own dialogs, whose texts come from Qt's translations rather than the string table: the
// file dialog of Import... (Qt's, as on a desktop without a native one), a message with a details
// button and a Yes/No question.
void Shoot_Qt_Dialogs(QWidget* parent, const std::string& folder, Shooter& shots) {
    QFileDialog files(parent, Text_Of(1116), QString::fromStdString(folder),
                      Text_Of(1114) + QStringLiteral(";;") + Text_Of(1115));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setFileMode(QFileDialog::ExistingFile);
    shots.Shoot(&files, QStringLiteral("import_file_dialog"));
    QMessageBox details(QMessageBox::Critical, QStringLiteral("Quillmaker"), Text_Of(1122), QMessageBox::Ok, parent);
    details.setDetailedText(QStringLiteral("1: ..."));
    shots.Shoot(&details, QStringLiteral("message_with_details"));
    QMessageBox question(QMessageBox::Question, QStringLiteral("Quillmaker"), Text_Of(1362),
                         QMessageBox::Yes | QMessageBox::No, parent);
    shots.Shoot(&question, QStringLiteral("question"));
}

void Shoot_Language(const std::string& exe_dir, const QString& language, Shooter& shots) {
    // A fresh start of the program with this language remembered, as a user would see it.
    qm::State() = qm::App_State{};
    qm::Settings_Data settings;
    settings.Language = language.toStdString();
    const qm::Io_Result written =
        qm::Write_File_Atomic(qm::Path_Join(exe_dir, "Quillmaker.xml"), qm::Settings_To_Xml(settings));
    if (!written) {
        std::fprintf(stderr, "%s\n", written.message.c_str());
        return;
    }

    Window_Set set = Make_Windows(exe_dir);
    Main_Window* main = set.main.get();
    const Program_Windows& w = set.windows;

    // Nothing open.
    qm::Open_Configuration("");
    main->Set_Lang();
    main->show();
    shots.Save(main, QStringLiteral("main_empty"));
    shots.Shoot(w.New_Project, QStringLiteral("new_configuration"));
    shots.Shoot(w.Open_Conf, QStringLiteral("open_configuration"));
    auto* pages = Child<QTabWidget>(w.Options, "PC_Options");
    shots.Shoot(w.Options, QStringLiteral("options_language"));
    for (const char* page : {"TS_Con_Options", "TS_Soft_Settings"}) {
        shots.Shoot(w.Options, QStringLiteral("options_") + QString::fromUtf8(page).mid(3).toLower(), [&] {
            if (pages != nullptr) {
                pages->setCurrentWidget(Child<QWidget>(w.Options, page));
            }
        });
    }
    shots.Shoot(w.About, QStringLiteral("about"));
    shots.Shoot(w.Boot, QStringLiteral("update"));

    // A new configuration: every editor shows its defaults or an empty list.
    qm::Open_Configuration("Empty");
    main->Set_Lang();
    shots.Shoot(w.Par_Gen, QStringLiteral("parameters_empty"));
    shots.Shoot(w.S7_Protocol, QStringLiteral("s7_read_empty"));
    shots.Shoot(w.S7_Protocol, QStringLiteral("s7_write_empty"), [&] { Show_Write_Page(w.S7_Protocol); });
    shots.Shoot(w.IEC61850_Variables, QStringLiteral("iec61850_empty"));
    shots.Shoot(w.TLS_Known_Cert, QStringLiteral("tls_empty"));

    // The example configuration.
    qm::Open_Configuration("Example");
    main->Set_Lang();
    shots.Save(main, QStringLiteral("main_full"));
    {
        qm::gui::Data_Map_Window map(qm::State().Project.Project_Dir, main);
        shots.Shoot(&map, QStringLiteral("data_map"));
    }
    shots.Shoot(w.Par_Gen, QStringLiteral("parameters_tls_on"), [&] {
        if (auto* tls = Child<QCheckBox>(w.Par_Gen, "CB_TLS_Server_Enable")) {
            tls->setChecked(true);
        }
    });
    shots.Shoot(w.Par_Gen, QStringLiteral("parameters_tls_on_all_panels"), [&] {
        if (auto* tls = Child<QCheckBox>(w.Par_Gen, "CB_TLS_Server_Enable")) {
            tls->setChecked(true);
        }
        Settle();
        Show_All_Panels(w.Par_Gen);
    });
    w.Par_Gen->resize(w.Par_Gen->width(), 700);
    shots.Shoot(w.Par_Gen, QStringLiteral("parameters_tls_off"), [&] {
        if (auto* tls = Child<QCheckBox>(w.Par_Gen, "CB_TLS_Server_Enable")) {
            tls->setChecked(false);
        }
    });
    shots.Shoot(w.S7_Protocol, QStringLiteral("s7_read_full"));
    shots.Shoot(w.S7_Protocol, QStringLiteral("s7_read_full_list_open"),
                [&] { Open_Cell_Editor(Child<Grid_View>(w.S7_Protocol, "ACG_S7_Read"), 4, 2); });
    shots.Shoot(w.S7_Protocol, QStringLiteral("s7_write_full"), [&] { Show_Write_Page(w.S7_Protocol); });
    {
        // Import PLC Tags... over a small DB source, with its preview filled in.
        const std::string source = qm::Path_Join(exe_dir, "DB12.awl");
        qm::Write_File_Atomic(source, "DATA_BLOCK DB 12\r\n  STRUCT\r\n   Running : BOOL ;\r\n   Alarm : BOOL ;\r\n"
                                      "   Speed : INT ;\r\n   Level : REAL ;\r\n   Timer : TIMER ;\r\n  END_STRUCT ;\r\n"
                                      "BEGIN\r\nEND_DATA_BLOCK\r\n");
        qm::gui::Tag_Import_Dialog dialog(
            qm::S7_Protocol_Data{Child<Grid_View>(w.S7_Protocol, "ACG_S7_Read")->Rows(),
                                 Child<Grid_View>(w.S7_Protocol, "ACG_S7_Write")->Rows()},
            qm::Read_IEC61850_Variables_File(qm::State().Project.IEC61850_Variables_File).rows, w.S7_Protocol);
        dialog.E_File->setText(QString::fromStdString(source));
        dialog.E_PLC_Address->setText(QStringLiteral("192.168.10.20"));
        dialog.E_First_Position->setText(QStringLiteral("200"));
        dialog.Refresh();
        shots.Shoot(&dialog, QStringLiteral("tag_import"));
    }
    shots.Shoot(w.IEC61850_Variables, QStringLiteral("iec61850_full"));
    shots.Shoot(w.IEC61850_Variables, QStringLiteral("iec61850_full_list_open"),
                [&] { Open_Cell_Editor(Child<Grid_View>(w.IEC61850_Variables, "ACG"), 9, 1); });
    shots.Shoot(w.TLS_Known_Cert, QStringLiteral("tls_full"));
    Shoot_Qt_Dialogs(main, qm::State().Project.Project_Dir, shots);

    main->hide();
    Settle();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Options options;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--out") && i + 1 < args.size()) {
            options.out = args[++i];
        } else if (args[i] == QStringLiteral("--source") && i + 1 < args.size()) {
            options.source = args[++i];
        } else {
            std::fprintf(stderr, "usage: qm-screenshots [--out DIR] [--source DIR]\n");
            return 2;
        }
    }
    if (!QDir().mkpath(options.out)) {
        std::fprintf(stderr, "cannot create %s\n", options.out.toUtf8().constData());
        return 1;
    }

    // A scratch workspace, so the user's own settings and configurations are never touched.
    QTemporaryDir workspace;
    if (!workspace.isValid()) {
        std::fprintf(stderr, "cannot create a scratch workspace\n");
        return 1;
    }
    const QString root = workspace.path();
    const QString language_dir = options.source + QStringLiteral("/LANGUAGE");
    const QString example_dir = options.source + QStringLiteral("/examples/Example");
    if (!QFileInfo(language_dir).isDir() || !QFileInfo(example_dir).isDir()) {
        std::fprintf(stderr, "%s needs LANGUAGE/ and examples/Example\n", options.source.toUtf8().constData());
        return 1;
    }
    if (!Copy_Tree(language_dir, root + QStringLiteral("/LANGUAGE")) ||
        !Copy_Tree(example_dir, root + QStringLiteral("/PROJECTS/Example")) ||
        !QDir().mkpath(root + QStringLiteral("/PROJECTS/Empty/bin"))) {
        std::fprintf(stderr, "cannot fill the scratch workspace %s\n", root.toUtf8().constData());
        return 1;
    }

    // Read problems and questions are recorded, not shown: nobody is there to answer them.
    Message_Recorder messages;
    const std::string exe_dir = root.toStdString();
    int saved = 0;
    int failed = 0;
    const std::pair<const char*, const char*> languages[] = {{"English", "en"}, {"Italiano", "it"}};
    for (const auto& [language, prefix] : languages) {
        Shooter shots(options.out, QString::fromUtf8(prefix));
        Shoot_Language(exe_dir, QString::fromUtf8(language), shots);
        saved += shots.Saved();
        failed += shots.Failed();
    }
    for (const Message& message : messages.Messages()) {
        std::fprintf(stderr, "message: %s\n", message.text.toUtf8().constData());
    }
    std::printf("%d pictures in %s\n", saved, options.out.toUtf8().constData());
    return failed == 0 && saved > 0 ? 0 : 1;
}
