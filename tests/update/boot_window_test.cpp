#include "update/boot_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "common/xml_io.h"
#include "fake_echo.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "update/boot_file.h"

using namespace Qt::StringLiterals;

namespace qm::gui {
namespace {

// Hands the window's check to a fake the test keeps, so its record outlives the check.
class Proxy_Echo final : public Echo_Transport {
public:
    explicit Proxy_Echo(test::Fake_Echo& fake) : fake_(fake) {}
    Echo_Result Send(const std::array<std::uint8_t, 4>& target, std::string_view payload) override {
        return fake_.Send(target, payload);
    }
    Echo_Result Wait_Reply(std::chrono::milliseconds max_wait) override { return fake_.Wait_Reply(max_wait); }

private:
    test::Fake_Echo& fake_;
};

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) {
        list << QString::fromUtf8(text);
    }
    return list;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

class Boot_Window_Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void dotKeyOnlyMovesTheFocus();
    void rememberedAddressFillsValidOnly_data();
    void rememberedAddressFillsValidOnly();
    void answeringDeviceIsUpdatedAndRemembered();
    void failedCheckWritesAndRemembersNothing_data();
    void failedCheckWritesAndRemembersNothing();
    void windowRespondsAndClosesDuringTheCheck();
    void saveFailureStopsTheUpdate();
    void controlsFitTheWindow_data();
    void controlsFitTheWindow();

private:
    void Make_Window(std::vector<test::Echo_Step> script);
    void Show_Window();
    template <class T>
    T* Control(const char* name) {
        T* control = window_->findChild<T*>(QString::fromUtf8(name));
        if (!control) {
            qFatal("no control %s", name);
        }
        return control;
    }
    void Set_Fields(const QStringList& texts);
    QStringList Fields();
    std::string Instruction_File() const { return Boot_File_Path(State().Paths.Exe_Dir); }

    QTemporaryDir dir_;
    test::Fake_Clock clock_;
    std::unique_ptr<test::Fake_Echo> echo_;
    std::unique_ptr<Boot_Window> window_;
    std::unique_ptr<Message_Recorder> messages_;
    std::vector<std::string> started_;
};

void Boot_Window_Test::initTestCase() {
    QVERIFY(dir_.isValid());
    // The window's texts, set here so the test does not depend on the built-in table.
    Lang_Table.assign(Lang_Table_Size, std::string(" "));
    const std::pair<int, const char*> texts[] = {
        {1002, "Update Device by Ethernet (UDP)"},
        {1003, "Update Device Using the Ethernet Port"},
        {1006, "Insert the IP Address of Device"},
        {1014, "Select Update Options"},
        {1015, "Firmware + Configuration"},
        {1016, "Firmware"},
        {1017, "Configuration"},
        {1018, "Read Back"},
        {1019, "Cancel"},
        {1020, "Execute Update Firmware"},
        {1036, "Device Not Found!"},
        {1037, "Error!!! Check the Ip Address"},
    };
    for (const auto& [entry, text] : texts) {
        Lang_Table[static_cast<std::size_t>(entry)] = text;
    }
    State().Paths.Exe_Dir = dir_.path().toStdString();
    State().Paths.Master_Dir = Path_Join(State().Paths.Exe_Dir, "MASTER");
    State().Project.Project_Dir = Path_Join(Path_Join(State().Paths.Exe_Dir, "PROJECTS"), "P1");
    Set_Program_Starter([this](const std::string& program, const std::string& parameter, bool hidden) {
        QVERIFY(parameter.empty());
        QVERIFY(!hidden);
        started_.push_back(program);
    });
}

void Boot_Window_Test::init() {
    // Every address in these tests is a loopback one, and the echo is always the fake.
    State().Settings.Last_IP_Address = "127.0.0.9";
    State().Last_Read_Back = true;
    started_.clear();
    messages_ = std::make_unique<Message_Recorder>();
    std::remove(Instruction_File().c_str());
}

void Boot_Window_Test::cleanup() {
    window_.reset();
    messages_.reset();
}

void Boot_Window_Test::Make_Window(std::vector<test::Echo_Step> script) {
    echo_ = std::make_unique<test::Fake_Echo>(clock_, std::move(script));
    window_ = std::make_unique<Boot_Window>();
    window_->Set_Echo_Factory([this] { return std::make_unique<Proxy_Echo>(*echo_); });
    window_->Set_Ping_Clock(clock_.Clock());
    window_->Set_Form_Type(1);
}

void Boot_Window_Test::Show_Window() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void Boot_Window_Test::Set_Fields(const QStringList& texts) {
    for (int i = 0; i < 4; ++i) {
        Control<QLineEdit>(QStringLiteral("E_IP%1").arg(i + 1).toUtf8().constData())->setText(texts[i]);
    }
}

QStringList Boot_Window_Test::Fields() {
    QStringList texts;
    for (const char* name : {"E_IP1", "E_IP2", "E_IP3", "E_IP4"}) {
        texts << Control<QLineEdit>(name)->text();
    }
    return texts;
}

void Boot_Window_Test::dotKeyOnlyMovesTheFocus() {
    Make_Window({test::Reply_After(1)});
    Show_Window();
    QCOMPARE(window_->focusWidget(), Control<QLineEdit>("E_IP1"));

    const auto type = [this](const char* keys) {
        Set_Fields({QString(), QString(), QString(), QString()});
        Control<QLineEdit>("E_IP1")->setFocus();
        for (const char* key = keys; *key; ++key) {
            QTest::keyClick(window_->focusWidget(), *key);
        }
        return Fields();
    };
    QCOMPARE(type("192.168.1.5"), (Texts({"192", "168", "1", "5"})));
    // A fourth dot in the last field is dropped; two dots in a row skip a field.
    QCOMPARE(type("1.2.3.4.5"), (Texts({"1", "2", "3", "45"})));
    QCOMPARE(type("1..3"), (Texts({"1", "", "3", ""})));
}

void Boot_Window_Test::rememberedAddressFillsValidOnly_data() {
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<QStringList>("fields");
    const QStringList kept = Texts({"11", "12", "13", "14"});
    QTest::newRow("valid") << u"127.0.0.2"_s << Texts({"127", "0", "0", "2"});
    QTest::newRow("blanks around parts") << u" 127 . 0 . 0 . 3 "_s << Texts({"127", "0", "0", "3"});
    QTest::newRow("hexadecimal part") << u"0x7F.0.0.1"_s << Texts({"0x7F", "0", "0", "1"});
    QTest::newRow("byte out of range") << u"10.0.0.300"_s << kept;
    QTest::newRow("empty") << u""_s << kept;
    QTest::newRow("three parts") << u"127.0.1"_s << kept;
}

void Boot_Window_Test::rememberedAddressFillsValidOnly() {
    QFETCH(QString, remembered);
    QFETCH(QStringList, fields);
    State().Settings.Last_IP_Address = "11.12.13.14";
    Make_Window({test::Reply_After(1)});
    Show_Window();
    window_->hide();
    State().Settings.Last_IP_Address = remembered.toStdString();
    Show_Window();
    QCOMPARE(Fields(), fields);
}

void Boot_Window_Test::answeringDeviceIsUpdatedAndRemembered() {
    Make_Window({test::Reply_After(3)});
    Show_Window();
    Set_Fields(Texts({"127", "0", "0", "2"}));
    Control<QComboBox>("CB_Update_Options")->setCurrentIndex(Configuration_Only);
    Control<QCheckBox>("CB_Update_Option_Read_Back")->setChecked(false);
    QTest::mouseClick(Control<QPushButton>("Btn_Update"), Qt::LeftButton);

    QVERIFY2(messages_->Messages().isEmpty(), qPrintable(messages_->Last_Text()));
    QCOMPARE(echo_->targets.size(), 2U);
    QVERIFY((echo_->targets[0] == std::array<std::uint8_t, 4>{127, 0, 0, 2}));
    QCOMPARE(started_, std::vector<std::string>{Update_Tool_Path(State().Paths.Exe_Dir)});
    pugi::xml_document doc;
    QVERIFY(Load_Xml_File(Instruction_File(), doc).ok());
    const pugi::xml_node root = First_Node(doc);
    QCOMPARE(root.child_value("IP_Address_Dev"), "127.0.0.2");
    const pugi::xml_node first = root.child("Operations").first_child();
    QCOMPARE(first.child_value("Ope_FileName"),
             Path_Join(Path_Join(State().Project.Project_Dir, "bin"), "bank1.bin").c_str());
    QCOMPARE(first.child_value("Ope_Read_Back"), "0");
    QCOMPARE(State().Settings.Last_IP_Address, std::string("127.0.0.2"));
    QVERIFY(window_->isVisible()); // Execute does not close the window

    // The next showing offers the same choices; changes that were cancelled are forgotten.
    window_->hide();
    Show_Window();
    QCOMPARE(Fields(), (Texts({"127", "0", "0", "2"})));
    QCOMPARE(Control<QComboBox>("CB_Update_Options")->currentIndex(), int(Configuration_Only));
    QVERIFY(!Control<QCheckBox>("CB_Update_Option_Read_Back")->isChecked());
    Set_Fields(Texts({"127", "0", "0", "3"}));
    Control<QComboBox>("CB_Update_Options")->setCurrentIndex(Firmware_Only);
    Control<QCheckBox>("CB_Update_Option_Read_Back")->setChecked(true);
    QTest::mouseClick(Control<QPushButton>("Btn_Cancel"), Qt::LeftButton);
    QVERIFY(!window_->isVisible());
    Show_Window();
    QCOMPARE(Fields(), (Texts({"127", "0", "0", "2"})));
    QCOMPARE(Control<QComboBox>("CB_Update_Options")->currentIndex(), int(Configuration_Only));
    QVERIFY(!Control<QCheckBox>("CB_Update_Option_Read_Back")->isChecked());
}

void Boot_Window_Test::failedCheckWritesAndRemembersNothing_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("last_field");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    const int warning = int(Message_Kind::Warning);
    const int error = int(Message_Kind::Error);
    QTest::newRow("silent device") << int(test::Echo_Step::Silent) << u"4"_s << warning << u"Device Not Found!"_s;
    QTest::newRow("empty field") << int(test::Echo_Step::Reply) << u""_s << error << u"Error!!! Check the Ip Address"_s;
    QTest::newRow("letters") << int(test::Echo_Step::Reply) << u"x"_s << error << u"Error!!! Check the Ip Address"_s;
    QTest::newRow("socket failure") << int(test::Echo_Step::Send_Error) << u"4"_s << error
                                    << u"Error!!! Check the Ip Address\n\nfake send failure"_s;
    QTest::newRow("no right to ping") << int(test::Echo_Step::Refused) << u"4"_s << error
                                      << Q(Echo_Permission_Help(QCoreApplication::applicationFilePath().toStdString()));
}

void Boot_Window_Test::failedCheckWritesAndRemembersNothing() {
    QFETCH(int, step);
    QFETCH(QString, last_field);
    QFETCH(int, kind);
    QFETCH(QString, text);
    Make_Window({test::Echo_Step{static_cast<test::Echo_Step::Kind>(step), 1}});
    Show_Window();
    Set_Fields(Texts({"127", "0", "0"}) << last_field);
    Control<QComboBox>("CB_Update_Options")->setCurrentIndex(Firmware_Only);
    Control<QCheckBox>("CB_Update_Option_Read_Back")->setChecked(false);
    QTest::mouseClick(Control<QPushButton>("Btn_Update"), Qt::LeftButton);

    QCOMPARE(messages_->Messages().size(), 1);
    QCOMPARE(int(messages_->Messages().first().kind), kind);
    QCOMPARE(messages_->Last_Text(), text);
    QVERIFY(!File_Exists(Instruction_File()));
    QVERIFY(started_.empty());
    QCOMPARE(State().Settings.Last_IP_Address, std::string("127.0.0.9"));
    QVERIFY(State().Last_Read_Back);
    QCOMPARE(window_->Last_Update_Option(), 0);
    QVERIFY(Control<QPushButton>("Btn_Update")->isEnabled());
}

void Boot_Window_Test::windowRespondsAndClosesDuringTheCheck() {
    Make_Window({test::Silent});
    Show_Window();
    bool update_enabled_during_check = true;
    QTimer::singleShot(0, window_.get(), [this, &update_enabled_during_check] {
        update_enabled_during_check = Control<QPushButton>("Btn_Update")->isEnabled();
        window_->reject();
    });
    const std::int64_t start = clock_.now;
    QTest::mouseClick(Control<QPushButton>("Btn_Update"), Qt::LeftButton);

    QVERIFY(!update_enabled_during_check);
    QVERIFY(clock_.now - start < 400); // ended at once, not after the full check
    QVERIFY(!window_->isVisible());
    QVERIFY2(messages_->Messages().isEmpty(), qPrintable(messages_->Last_Text()));
    QVERIFY(!File_Exists(Instruction_File()));
    QVERIFY(started_.empty());
    QVERIFY(Control<QPushButton>("Btn_Update")->isEnabled());
}

void Boot_Window_Test::saveFailureStopsTheUpdate() {
    const std::string exe_dir = State().Paths.Exe_Dir;
    State().Paths.Exe_Dir = Path_Join(exe_dir, "missing");
    Make_Window({test::Reply_After(1)});
    Show_Window();
    Set_Fields(Texts({"127", "0", "0", "1"}));
    QTest::mouseClick(Control<QPushButton>("Btn_Update"), Qt::LeftButton);
    State().Paths.Exe_Dir = exe_dir;

    QCOMPARE(messages_->Messages().size(), 1);
    QCOMPARE(messages_->Messages().first().kind, Message_Kind::Error);
    QVERIFY2(messages_->Last_Text().contains(QStringLiteral("Ethernet_Update.xml")),
             qPrintable(messages_->Last_Text()));
    QVERIFY(started_.empty());
}

void Boot_Window_Test::controlsFitTheWindow_data() {
    QTest::addColumn<bool>("longer");
    QTest::newRow("English, the window's own size") << false;
    QTest::newRow("longer translation, the window grows") << true;
}

void Boot_Window_Test::controlsFitTheWindow() {
    QFETCH(bool, longer);
    const std::vector<std::string> kept = Lang_Table;
    if (longer) {
        for (const auto& [entry, text] : {std::pair{1006, "Inserire l'indirizzo IP del dispositivo"},
                                          {1014, "Selezionare le opzioni di aggiornamento"},
                                          {1015, "Firmware + Configurazione + Verifica"},
                                          {1020, "Esegui Aggiornamento Firmware"}}) {
            Lang_Table[static_cast<std::size_t>(entry)] = text;
        }
    }
    Make_Window({test::Reply_After(1)});
    Show_Window();
    Lang_Table = kept;
    const int width = window_->width();
    if (longer) {
        QVERIFY2(width > 449, qPrintable(QString::number(width)));
    } else {
        QCOMPARE(window_->size(), QSize(449, 230));
    }
    QCOMPARE(window_->height(), 230);
    // The drop-down list shows its widest item whole.
    const auto* options = Control<QComboBox>("CB_Update_Options");
    QStyleOptionComboBox look;
    look.initFrom(options);
    const QRect text_area =
        options->style()->subControlRect(QStyle::CC_ComboBox, &look, QStyle::SC_ComboBoxEditField, options);
    for (int i = 0; i < options->count(); ++i) {
        QVERIFY2(options->fontMetrics().horizontalAdvance(options->itemText(i)) <= text_area.width(),
                 qPrintable(options->itemText(i)));
    }
    int top = 0;
    for (const auto& [name, height] : {std::pair{"P_Title", 69}, {"P_IP_Address", 49}, {"P_Options", 72},
                                       {"P_Button", 40}}) {
        const QFrame* panel = Control<QFrame>(name);
        QCOMPARE(panel->geometry(), QRect(0, top, width, height));
        top += height;
        const QList<QWidget*> children = panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* child : children) {
            const QString what = panel->objectName() + QLatin1Char('/') + child->objectName();
            QVERIFY2(panel->rect().contains(child->geometry()), qPrintable(what + QStringLiteral(" outside")));
            if (const auto* field = qobject_cast<const QLineEdit*>(child)) {
                // An address field needs room for three digits, not for its default hint width.
                QVERIFY2(field->fontMetrics().horizontalAdvance(u"255"_s) + 8 <= field->width(),
                         qPrintable(what + QStringLiteral(" too narrow")));
            } else if (!qobject_cast<const QComboBox*>(child)) {
                QVERIFY2(child->sizeHint().width() <= child->width(), qPrintable(what + QStringLiteral(" clipped")));
            }
            QVERIFY2(child->sizeHint().height() <= child->height(), qPrintable(what + QStringLiteral(" clipped")));
            for (const QWidget* other : children) {
                QVERIFY2(other == child || !other->geometry().intersects(child->geometry()),
                         qPrintable(what + QStringLiteral(" overlaps ") + other->objectName()));
            }
        }
    }
}

} // namespace qm::gui

QTEST_MAIN(qm::gui::Boot_Window_Test)
#include "boot_window_test.moc"
