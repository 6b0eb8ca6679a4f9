// The program as a user meets it, from an empty folder to the update tool's report: the real
// windows wired as at start-up, a new configuration, every editor confirmed, Update Device UDP
// with the device address typed, and the update tool stand-in really started.
// The device check runs on a scripted echo, so no packet leaves the process.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include <pugixml.hpp>

#include "common/gui/message_box.h"
#include "fake_echo.h"
#include "common/app_state.h"
#include "shell/main_window.h"
#include "shell/program_windows.h"
#include "common/start_program.h"
#include "update/boot_file.h"
#include "update/boot_window.h"

namespace fs = std::filesystem;
using namespace qm::gui;

namespace {

// Lends the window's check a fake that the test keeps, so its record outlives the check.
class Proxy_Echo final : public qm::Echo_Transport {
public:
    explicit Proxy_Echo(qm::test::Fake_Echo& fake) : fake_(fake) {}
    qm::Echo_Result Send(const std::array<std::uint8_t, 4>& target, std::string_view payload) override {
        return fake_.Send(target, payload);
    }
    qm::Echo_Result Wait_Reply(std::chrono::milliseconds max_wait) override { return fake_.Wait_Reply(max_wait); }

private:
    qm::test::Fake_Echo& fake_;
};

// Runs action on the modal window that the next exec() shows, as the user would act on it.
void When_Modal(std::function<void(QDialog*)> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            action(dialog);
        }
    });
}

template <class T = QAbstractButton>
T* Child(const QObject* parent, const char* name) {
    return parent->findChild<T*>(QString::fromUtf8(name));
}

void Click(const QObject* parent, const char* name) {
    auto* button = Child(parent, name);
    QVERIFY2(button != nullptr, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void Type_Over(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

std::string Read_Text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Starts a program for real through the program starter, its output going to report_file.
struct Recording_Starter {
    fs::path report_file;
    std::string program;
    std::string parameter;
    bool hidden = true;
    int calls = 0;
    qm::Program_Run run;

    void operator()(const std::string& p, const std::string& param, bool h) {
        ++calls;
        program = p;
        parameter = param;
        hidden = h;
        // The child inherits descriptor 1, so point it at the report file while the tool runs.
        std::fflush(stdout);
        const int saved = ::dup(1);
        const int out = ::open(report_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (saved < 0 || out < 0) {
            return;
        }
        ::dup2(out, 1);
        ::close(out);
        run = qm::Start_Program(p, {}, h, 60000);
        std::fflush(stdout);
        ::dup2(saved, 1);
        ::close(saved);
    }
};

} // namespace

class E2e_Test : public QObject {
    Q_OBJECT

private slots:
    void newConfigurationThroughUpdateDevice();
};

void E2e_Test::newConfigurationThroughUpdateDevice() {
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const fs::path exe_dir = temp.path().toStdString();
    // The update tool sits beside the program, where the configurator looks for it.
    const fs::path tool = exe_dir / fs::path(qm::Update_Tool_Path(exe_dir.string())).filename();
    fs::copy_file(QM_STANDIN_TOOL, tool);

    Message_Recorder messages;
    auto starter = std::make_shared<Recording_Starter>();
    starter->report_file = exe_dir / "tool_report.txt";
    qm::Set_Program_Starter([starter](const std::string& p, const std::string& param, bool h) { (*starter)(p, param, h); });

    qm::State() = qm::App_State{};
    auto main_window = std::make_unique<Main_Window>(exe_dir.string());
    const Program_Windows windows = Create_Program_Windows(*main_window);
    main_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_window.get()));
    for (const char* folder : {"MASTER", "PROJECTS", "LANGUAGE"}) {
        QVERIFY2(fs::is_directory(exe_dir / folder), folder);
    }

    // Step 1: New Configuration.
    When_Modal([](QDialog* dialog) {
        QTest::keyClicks(Child<QLineEdit>(dialog, "E_New_Proj"), QStringLiteral("Plant1"));
        Click(dialog, "Btn_OK");
    });
    Click(main_window.get(), "Btn_New");
    const fs::path project = exe_dir / "PROJECTS" / "Plant1";
    QVERIFY(fs::is_directory(project / "bin"));
    QCOMPARE(Child<QLabel>(main_window.get(), "L_Name_Conf_L2")->text(), QStringLiteral("Plant1"));

    // Steps 2 to 5: each editor shown on the new configuration and confirmed unchanged.
    struct Editor {
        const char* button;
        const char* file;
        const char* root;
    };
    for (const Editor& e : {Editor{"Btn_Prm_Gen", "ParGen.xml", "Par_Gen"},
                            Editor{"Btn_S7_Protocol_Access", "S7_Protocol.xml", "S7_Protocol"},
                            Editor{"Btn_IEC61850_Access", "IEC61850_Variables.xml", "IEC61850_Variables"},
                            Editor{"Btn_TLS_List_Certificates", "TLS_Known_Cert.xml", "TLS_Server_Known_Cert"}}) {
        When_Modal([](QDialog* dialog) { Click(dialog, "Btn_OK"); });
        Click(main_window.get(), e.button);
        pugi::xml_document doc;
        QVERIFY2(doc.load_file((project / e.file).c_str(), pugi::parse_default | pugi::parse_comments), e.file);
        QCOMPARE(doc.first_child().name(), e.root);
        QCOMPARE(doc.first_child().next_sibling().type(), pugi::node_comment);
    }

    // The firmware image is supplied with the program; the configurator never makes it.
    std::ofstream(exe_dir / "MASTER" / qm::Firmware_File_Name, std::ios::binary) << std::string(4096, '\x5A');

    // Step 6: Update Device UDP, the address typed by hand, Execute.
    qm::test::Fake_Clock clock;
    qm::test::Fake_Echo echo(clock, {qm::test::Reply_After(3)});
    windows.Boot->Set_Echo_Factory([&echo] { return std::make_unique<Proxy_Echo>(echo); });
    windows.Boot->Set_Ping_Clock(clock.Clock());
    bool boot_shown = false;
    When_Modal([&boot_shown, &windows](QDialog* dialog) {
        boot_shown = dialog == windows.Boot;
        const char* const fields[4] = {"E_IP1", "E_IP2", "E_IP3", "E_IP4"};
        const char* const parts[4] = {"127", "0", "0", "1"};
        for (int i = 0; i < 4; ++i) {
            Type_Over(Child<QLineEdit>(dialog, fields[i]), QString::fromUtf8(parts[i]));
        }
        Click(dialog, "Btn_Update");
        // Execute leaves the window open; the user closes it.
        Click(dialog, "Btn_Cancel");
    });
    Click(main_window.get(), "Btn_CreateBin");
    QVERIFY(boot_shown);

    // The device check went to the typed address only.
    QVERIFY(!echo.targets.empty());
    for (const auto& target : echo.targets) {
        QCOMPARE(target, (std::array<std::uint8_t, 4>{127, 0, 0, 1}));
    }

    // The bank files of a configuration saved with defaults.
    QCOMPARE(fs::file_size(project / "bin" / "bank1.bin"), std::uintmax_t{2048});
    QCOMPARE(fs::file_size(project / "bin" / "bank2.bin"), std::uintmax_t{28672});
    QCOMPARE(fs::file_size(project / "bin" / "bank3.bin"), std::uintmax_t{1079});

    // The instruction file beside the program, for every transfer of "Firmware + Configuration".
    pugi::xml_document boot;
    QVERIFY(boot.load_file((exe_dir / qm::Boot_File_Name).c_str()));
    const pugi::xml_node root = boot.first_child();
    QCOMPARE(root.name(), "Ethernet_Update");
    QCOMPARE(root.child("IP_Address_Dev").text().get(), "127.0.0.1");
    int operations = 0;
    for (pugi::xml_node op = root.child("Operations").child("Operation"); op; op = op.next_sibling("Operation")) {
        ++operations;
    }
    QCOMPARE(operations, 4);

    // The tool was started once, with no arguments, in a normal window, and accepted the file.
    QCOMPARE(starter->calls, 1);
    QCOMPARE(starter->program, tool.string());
    QVERIFY(starter->parameter.empty());
    QVERIFY(!starter->hidden);
    QVERIFY(starter->run.started);
    QVERIFY(starter->run.ended);
    const std::string report = Read_Text(starter->report_file);
    QVERIFY2(starter->run.exit_code == 0, report.c_str());
    QVERIFY2(report.find("Device: 127.0.0.1") != std::string::npos, report.c_str());
    for (const char* line : {"1. would transfer the firmware", "2. would transfer the bank 1",
                             "3. would transfer the bank 2", "4. would transfer the bank 3"}) {
        QVERIFY2(report.find(line) != std::string::npos, report.c_str());
    }

    // Closing keeps the configuration and the address for the next run.
    Click(main_window.get(), "Btn_Close");
    pugi::xml_document settings;
    QVERIFY(settings.load_file((exe_dir / "Quillmaker.xml").c_str()));
    QCOMPARE(settings.child("Conf_Settings").child("lastproj").child("projectname").text().get(), "Plant1");
    QCOMPARE(settings.child("Conf_Settings").child("lastipadd").child("ipaddress").text().get(), "127.0.0.1");

    for (const Message& m : messages.Messages()) {
        qWarning("message shown: %s", qPrintable(m.text));
    }
    QVERIFY(messages.Messages().isEmpty());
    qm::Set_Program_Starter({});
}

QTEST_MAIN(E2e_Test)
#include "e2e_test.moc"
