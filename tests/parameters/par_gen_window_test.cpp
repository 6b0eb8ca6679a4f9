#include "parameters/par_gen_window.h"

#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "parameters/collapsible_panel.h"
#include "parameters/par_gen.h"
#include "common/app_state.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <memory>

using namespace qm;
using namespace qm::gui;

namespace {

std::string Bytes(const std::string& path) {
    std::string bytes;
    Read_File(path, bytes);
    return bytes;
}

} // namespace

class Par_Gen_Window_Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Par_Gen_Window> window_;

    std::string Path() const { return State().Project.ParGen_File; }

    template <typename T>
    T* Find(const char* name) const {
        T* w = window_->findChild<T*>(QString::fromUtf8(name));
        if (w == nullptr) {
            qFatal("no control %s", name);
        }
        return w;
    }
    QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
    Collapsible_Panel* Panel(const char* name) const { return Find<Collapsible_Panel>(name); }

    void Open() {
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        Load_Default_Strings();
        State().Project.Project_Dir = dir_->path().toStdString();
        State().Project.ParGen_File = Path_Join(State().Project.Project_Dir, "ParGen.xml");
        window_ = std::make_unique<Par_Gen_Window>();
    }

    void cleanup() {
        window_.reset();
        dir_.reset();
        QApplication::setWheelScrollLines(3);
    }

    void Dot_Moves_Along_Its_Chain_Only_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to"); // the field holding the focus afterwards
        QTest::newRow("IP1 to IP2") << "E_S7_Protocol_IP1" << "E_S7_Protocol_IP2";
        QTest::newRow("IP4 to mask") << "E_S7_Protocol_IP4" << "E_S7_Protocol_SM1";
        QTest::newRow("mask to unticked gateway") << "E_S7_Protocol_SM4" << "E_S7_Protocol_GAT1";
        QTest::newRow("S7 chain ends") << "E_S7_Protocol_GAT4" << "E_S7_Protocol_GAT4";
        QTest::newRow("IEC mask") << "E_IEC61850_Server_SM2" << "E_IEC61850_Server_SM3";
        QTest::newRow("gateway to unticked DNS") << "E_IEC61850_Server_GAT4" << "E_IEC61850_Server_DNS1";
        QTest::newRow("IEC chain ends") << "E_IEC61850_Server_DNS4" << "E_IEC61850_Server_DNS4";
    }

    void Dot_Moves_Along_Its_Chain_Only() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        Open();
        auto* field = window_->findChild<QLineEdit*>(from);
        QVERIFY(field != nullptr);
        field->setFocus();
        field->setText(QStringLiteral("12"));
        field->setCursorPosition(2);
        QTest::keyClick(field, '.');
        QVERIFY(QApplication::focusWidget() != nullptr);
        QCOMPARE(QApplication::focusWidget()->objectName(), to);
        QCOMPARE(field->text(), QStringLiteral("12"));
        auto* target = window_->findChild<QLineEdit*>(to);
        QVERIFY(!target->text().contains(QLatin1Char('.')));
    }

    void Opens_Typing_Into_The_First_Address_Field() {
        Open();
        QCOMPARE(QApplication::focusWidget(), Edit("E_S7_Protocol_IP1"));
        QCOMPARE(Find<QScrollArea>("CPG")->focusPolicy(), Qt::NoFocus);
        Edit("E_S7_Protocol_IP1")->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("10"));
        QCOMPARE(Edit("E_S7_Protocol_IP1")->text(), QStringLiteral("10"));
    }

    // Tab walks the rows of each panel from the top panel down, check boxes before their fields,
    // then OK and Cancel, and every field it reaches is scrolled into view.
    void Tab_Follows_The_Rows_Then_The_Buttons() {
        window_->resize(window_->width(), 300); // most of the group out of sight
        Open();
        Find<QCheckBox>("CB_TLS_Server_Enable")->setChecked(true); // its rows join the chain
        QCOMPARE(QApplication::focusWidget(), Edit("E_S7_Protocol_IP1"));
        const char* const names[] = {
            "E_S7_Protocol_IP1", "E_S7_Protocol_IP2", "E_S7_Protocol_IP3", "E_S7_Protocol_IP4",
            "E_S7_Protocol_SM1", "E_S7_Protocol_SM2", "E_S7_Protocol_SM3", "E_S7_Protocol_SM4",
            "CB_S7_Protocol_En_GAT", "E_S7_Protocol_GAT1", "E_S7_Protocol_GAT2", "E_S7_Protocol_GAT3",
            "E_S7_Protocol_GAT4", "E_IEC61850_Server_IP1", "E_IEC61850_Server_IP2", "E_IEC61850_Server_IP3",
            "E_IEC61850_Server_IP4", "E_IEC61850_Server_SM1", "E_IEC61850_Server_SM2", "E_IEC61850_Server_SM3",
            "E_IEC61850_Server_SM4", "CB_IEC61850_Server_En_GAT", "E_IEC61850_Server_GAT1",
            "E_IEC61850_Server_GAT2", "E_IEC61850_Server_GAT3", "E_IEC61850_Server_GAT4",
            "CB_IEC61850_Server_En_DNS", "E_IEC61850_Server_DNS1", "E_IEC61850_Server_DNS2",
            "E_IEC61850_Server_DNS3", "E_IEC61850_Server_DNS4", "E_IEC61850_Server_Port",
            "E_IEC61850_Server_Password", "CB_TLS_Server_Enable", "E_TLS_Server_Key", "E_TLS_Server_Key_Pass",
            "E_TLS_Server_Server_Cert", "E_TLS_Server_Root_Cert", "CB_TLS_Server_En_Known_Cert",
            "E_NTP_Server_URL", "E_NTP_Poll_Time", "Btn_OK", "Btn_Cancel", "E_S7_Protocol_IP1"};
        QStringList expected;
        for (const char* name : names) {
            expected.append(QString::fromUtf8(name));
        }
        const QWidget* viewport = Find<QScrollArea>("CPG")->viewport();
        QStringList visited;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus != nullptr);
            visited.append(focus->objectName());
            if (viewport->isAncestorOf(focus)) {
                const QRect seen(focus->mapTo(viewport, QPoint(0, 0)), focus->size());
                QVERIFY2(viewport->rect().contains(seen), qPrintable(focus->objectName()));
            }
            if (i + 1 < expected.size()) {
                QTest::keyClick(focus, Qt::Key_Tab);
            }
        }
        QCOMPARE(visited, expected);
    }

    void Dot_Into_A_Field_Out_Of_Sight_Scrolls_It_Into_View() {
        window_->resize(window_->width(), 300);
        Open();
        QScrollArea* group = Find<QScrollArea>("CPG");
        QLineEdit* gat4 = Edit("E_IEC61850_Server_GAT4");
        QLineEdit* dns1 = Edit("E_IEC61850_Server_DNS1");
        const auto seen = [group](const QWidget* w) {
            return group->viewport()->rect().contains(QRect(w->mapTo(group->viewport(), QPoint(0, 0)), w->size()));
        };
        // The gateway row at the bottom edge, the DNS row below it out of sight.
        group->verticalScrollBar()->setValue(0);
        const int bottom = gat4->mapTo(group->widget(), QPoint(0, gat4->height())).y();
        group->verticalScrollBar()->setValue(bottom - group->viewport()->height());
        QVERIFY(!seen(dns1));
        dns1->clear();
        gat4->setFocus();
        QVERIFY(seen(gat4));
        QTest::keyClick(gat4, '.');
        QCOMPARE(QApplication::focusWidget(), dns1);
        QVERIFY(seen(dns1));
        QTest::keyClicks(dns1, QStringLiteral("8"));
        QCOMPARE(dns1->text(), QStringLiteral("8"));
    }

    void Dot_Is_Typed_In_Other_Fields() {
        Open();
        for (const char* name : {"E_IEC61850_Server_Port", "E_NTP_Poll_Time", "E_NTP_Server_URL"}) {
            QLineEdit* field = Edit(name);
            field->setFocus();
            field->clear();
            QTest::keyClicks(field, QStringLiteral("1.2"));
            QCOMPARE(field->text(), QStringLiteral("1.2"));
            QCOMPARE(QApplication::focusWidget(), field);
        }
    }

    void Dot_Does_Not_Move_To_A_Field_That_Cannot_Take_The_Focus() {
        Open();
        Edit("E_IEC61850_Server_GAT1")->setEnabled(false);
        QLineEdit* sm4 = Edit("E_IEC61850_Server_SM4");
        sm4->setFocus();
        QTest::keyClick(sm4, '.');
        QCOMPARE(QApplication::focusWidget(), sm4);
        QCOMPARE(sm4->text(), QStringLiteral("0"));
    }

    void Tls_Box_Grows_The_Panel_And_Pushes_Ntp_Down() {
        Open();
        Collapsible_Panel* tls = Panel("CP_TLS_Server");
        Collapsible_Panel* ntp = Panel("CP_NTP");
        QCOMPARE(Panel("CP_S7_Protocol")->height(), 123);
        QCOMPARE(Panel("CP_IEC61850_Server")->height(), 206);
        QCOMPARE(tls->height(), 65);
        QCOMPARE(ntp->height(), 94);
        QCOMPARE(ntp->y(), 123 + 206 + 65);
        auto* key = Find<QPlainTextEdit>("E_TLS_Server_Key");
        QVERIFY(!key->isVisible());

        QTest::mouseClick(Find<QCheckBox>("CB_TLS_Server_Enable"), Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(tls->height(), 205);
        QCOMPARE(ntp->y(), 123 + 206 + 205);
        QVERIFY(key->isVisible());
        key->setPlainText(QStringLiteral("-----BEGIN KEY-----\nabc\n-----END KEY-----"));

        QTest::mouseClick(Find<QCheckBox>("CB_TLS_Server_Enable"), Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(tls->height(), 65);
        QCOMPARE(ntp->y(), 123 + 206 + 65);
        QVERIFY(!key->isVisible());

        // Hidden rows are saved all the same.
        qm::gui::Message_Recorder recorder;
        QTest::mouseClick(Find<QPushButton>("Btn_OK"), Qt::LeftButton);
        QVERIFY(recorder.Messages().isEmpty());
        QCOMPARE(window_->result(), int(QDialog::Accepted));
        const Par_Gen_Read read = Read_Par_Gen(Path());
        QCOMPARE(read.set[Par_Id::TLS_Server_Key], std::string("-----BEGIN KEY-----\nabc\n-----END KEY-----"));
        QVERIFY(!read.set.Flag(Par_Id::TLS_Server_Enable));
    }

    void Collapsing_A_Header_Moves_The_Panels_Below() {
        Open();
        QTest::mouseClick(Panel("CP_S7_Protocol")->Header(), Qt::LeftButton);
        QCOMPARE(Panel("CP_S7_Protocol")->height(), Collapsible_Panel::Header_Height);
        QCOMPARE(Panel("CP_IEC61850_Server")->y(), Collapsible_Panel::Header_Height);
        QVERIFY(!Edit("E_S7_Protocol_IP1")->isVisible());
        QTest::mouseClick(Panel("CP_S7_Protocol")->Header(), Qt::LeftButton);
        QCOMPARE(Panel("CP_IEC61850_Server")->y(), 123);
    }

    void Stored_Tls_Flag_Opens_The_Full_Panel() {
        Par_Gen_Set set = Par_Gen_Defaults();
        set.Set_Flag(Par_Id::TLS_Server_Enable, true);
        set[Par_Id::S7_Protocol_IP4] = "07";
        QVERIFY(Save_Par_Gen(set, Path(), false).ok);
        Open();
        QCOMPARE(Panel("CP_TLS_Server")->height(), 205);
        QVERIFY(Find<QCheckBox>("CB_TLS_Server_Enable")->isChecked());
        QCOMPARE(Edit("E_S7_Protocol_IP4")->text(), QStringLiteral("07"));
    }

    void Ok_Without_A_File_Writes_The_Defaults() {
        Open();
        QTest::mouseClick(Find<QPushButton>("Btn_OK"), Qt::LeftButton);
        QCOMPARE(window_->result(), int(QDialog::Accepted));
        QVERIFY(!window_->isVisible());
        QCOMPARE(Bytes(Path()), Bytes(std::string(QM_SOURCE_DIR) + "/tests/parameters/data/ParGen_defaults.xml"));
    }

    void Failed_Check_Keeps_The_Window_And_The_File() {
        QVERIFY(Save_Par_Gen(Par_Gen_Defaults(), Path(), false).ok);
        const std::string before = Bytes(Path());
        Open();
        Edit("E_S7_Protocol_IP3")->clear();
        Edit("E_S7_Protocol_IP2")->setText(QStringLiteral("300"));
        Edit("E_IEC61850_Server_Port")->setFocus();
        qm::gui::Message_Recorder recorder;
        Btn_Click_Ok();
        QCOMPARE(recorder.Messages().size(), 1);
        QCOMPARE(recorder.Messages()[0].kind, Message_Kind::Error);
        QCOMPARE(recorder.Last_Text(), QStringLiteral("Error S7comm!! IP Address 2 must be between 0 and 255"));
        QVERIFY(window_->isVisible());
        QCOMPARE(Edit("E_S7_Protocol_IP2")->text(), QStringLiteral("300"));
        QCOMPARE(Bytes(Path()), before);
    }

    // A field is marked once it is left, with OK's message as its tooltip; the line under the
    // panels counts the faults and names the first; OK still shows its one message.
    void Faults_Are_Marked_As_The_Fields_Are_Left() {
        QVERIFY(Save_Par_Gen(Par_Gen_Defaults(), Path(), false).ok);
        Open();
        auto* line = Find<QLabel>("L_Faults");
        QCOMPARE(line->text(), QStringLiteral("No faults"));
        QLineEdit* port = Edit("E_IEC61850_Server_Port");
        QLineEdit* gateway = Edit("E_S7_Protocol_GAT1");
        const QString hint = port->toolTip();
        const QColor plain = port->palette().color(QPalette::Base);

        port->setFocus();
        port->selectAll();
        QTest::keyClicks(port, QStringLiteral("10000"));
        QCOMPARE(line->text(), QStringLiteral("No faults")); // not while typing
        Edit("E_NTP_Poll_Time")->setFocus();
        const QString port_message =
            QStringLiteral("Error IEC61850 Server!! Port must be between 0 and 65535, and different from 10000");
        QCOMPARE(port->toolTip(), port_message);
        QVERIFY(port->palette().color(QPalette::Base) != plain);
        QCOMPARE(line->text(), QStringLiteral("One fault: ") + port_message);

        // Letters in a gateway octet count only once its box is ticked; the first in OK's order leads.
        gateway->setFocus();
        gateway->setText(QStringLiteral("abc"));
        port->setFocus();
        QCOMPARE(line->text(), QStringLiteral("One fault: ") + port_message);
        Find<QCheckBox>("CB_S7_Protocol_En_GAT")->setChecked(true);
        const QString gateway_message = QStringLiteral("Error S7comm!! GATEWAY IP 1 must be between 0 and 255");
        QCOMPARE(gateway->toolTip(), gateway_message);
        QCOMPARE(line->text(), QStringLiteral("2 faults, the first: ") + gateway_message);
        qm::gui::Message_Recorder recorder;
        Btn_Click_Ok();
        QCOMPARE(recorder.Messages().size(), 1);
        QCOMPARE(recorder.Last_Text(), gateway_message);

        // Put right, a field gets its colour and its hint back.
        port->setFocus();
        port->selectAll();
        QTest::keyClicks(port, QStringLiteral("102"));
        gateway->setFocus();
        QCOMPARE(port->toolTip(), hint);
        QCOMPARE(port->palette().color(QPalette::Base), plain);
        QCOMPARE(line->text(), QStringLiteral("One fault: ") + gateway_message);
    }

    void Failed_Save_Is_Reported_And_Keeps_The_Window() {
        QVERIFY(Write_File_Atomic(Path(), "<Par_Gen><NTP_Poll_Time>5</NTP_Poll_Time></Par_Gen>"));
        qm::Set_Fixed_Temporary_Names(true);
        QVERIFY(QDir().mkdir(QString::fromStdString(Path() + ".tmp~")));
        Open();
        qm::gui::Message_Recorder recorder;
        Btn_Click_Ok();
        qm::Set_Fixed_Temporary_Names(false);
        QCOMPARE(recorder.Messages().size(), 1);
        QVERIFY(recorder.Last_Text().contains(QString::fromStdString(Path())));
        QVERIFY(window_->isVisible());
        QCOMPARE(Bytes(Path()), std::string("<Par_Gen><NTP_Poll_Time>5</NTP_Poll_Time></Par_Gen>"));
    }

    void Cancel_Discards_The_Edits() {
        QVERIFY(Save_Par_Gen(Par_Gen_Defaults(), Path(), false).ok);
        const std::string before = Bytes(Path());
        Open();
        Edit("E_NTP_Server_URL")->setText(QStringLiteral("time.example"));
        QTest::mouseClick(Find<QPushButton>("Btn_Cancel"), Qt::LeftButton);
        QCOMPARE(window_->result(), int(QDialog::Rejected));
        QVERIFY(!window_->isVisible());
        QCOMPARE(Bytes(Path()), before);
        Open();
        QCOMPARE(Edit("E_NTP_Server_URL")->text(), QString::fromUtf8(Default_NTP_Server));
    }

    void Untouched_Texts_Are_Saved_Byte_For_Byte() {
        // A carriage return and bytes that are not UTF-8 cannot survive a text control.
        Par_Gen_Set set = Par_Gen_Defaults();
        set[Par_Id::TLS_Server_Root_Certificate] = "line\r\nline\rend";
        set[Par_Id::IEC61850_Server_Password] = "caf\xE9";
        QVERIFY(Write_File_Atomic(Path(), Par_Gen_To_Xml(set)));
        qm::gui::Message_Recorder recorder;
        Open();
        QTRY_COMPARE(recorder.Messages().size(), 1); // the password is reported as not UTF-8
        Edit("E_NTP_Poll_Time")->setText(QStringLiteral("60"));
        Btn_Click_Ok();
        set[Par_Id::NTP_Poll_Time] = "60";
        QVERIFY(Read_Par_Gen(Path()).set == set);
    }

    void Malformed_File_Is_Reported_And_Kept_Before_The_Save() {
        const std::string broken = "<Par_Gen>\n<S7_Protocol_IP4>77</S7_Protocol_IP4>\n<NTP_Poll";
        QVERIFY(Write_File_Atomic(Path(), broken));
        qm::gui::Message_Recorder recorder;
        Open();
        QTRY_COMPARE(recorder.Messages().size(), 1);
        QCOMPARE(recorder.Messages()[0].kind, Message_Kind::Error);
        QVERIFY(recorder.Last_Text().contains(QString::fromStdString(Path())));
        QVERIFY(recorder.Last_Text().contains(QStringLiteral("line 3")));
        QCOMPARE(Edit("E_S7_Protocol_IP4")->text(), QStringLiteral("77"));

        recorder.Clear();
        Btn_Click_Ok();
        QCOMPARE(window_->result(), int(QDialog::Accepted));
        QCOMPARE(recorder.Messages().size(), 1);
        QCOMPARE(recorder.Messages()[0].kind, Message_Kind::Information);
        const QString backup = QString::fromStdString(Path() + ".unreadable-1");
        QVERIFY(recorder.Last_Text().contains(backup));
        QCOMPARE(Bytes(backup.toStdString()), broken);
        QCOMPARE(Read_Par_Gen(Path()).set[Par_Id::S7_Protocol_IP4], std::string("77"));

        // The file reads well now: the next save keeps no further copy.
        Open();
        recorder.Clear();
        Btn_Click_Ok();
        QVERIFY(recorder.Messages().isEmpty());
        QVERIFY(!QFile::exists(QString::fromStdString(Path() + ".unreadable-2")));
    }

    void Width_Stays_At_460() {
        Open();
        window_->resize(700, 500);
        QCoreApplication::processEvents();
        QCOMPARE(window_->width(), 460);
        QCOMPARE(window_->height(), 500);
    }

    void Wheel_Scrolls_The_Group_By_Lines() {
        QApplication::setWheelScrollLines(3);
        Open();
        window_->resize(460, 300);
        QCoreApplication::processEvents();
        auto* group = Find<Panel_Group>("CPG");
        QScrollBar* bar = group->verticalScrollBar();
        QVERIFY(bar->maximum() > 10 * Panel_Group::Line_Step);
        QCOMPARE(bar->value(), 0);

        const auto wheel = [](QWidget* target, int delta) {
            const QPoint local = target->rect().center();
            QWheelEvent event(QPointF(local), QPointF(target->mapToGlobal(local)), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &event);
        };
        wheel(Edit("E_S7_Protocol_IP1"), -120);
        QCOMPARE(bar->value(), 3 * Panel_Group::Line_Step);
        wheel(Edit("E_S7_Protocol_SM1"), -60); // half a notch waits for the other half
        QCOMPARE(bar->value(), 3 * Panel_Group::Line_Step);
        wheel(Edit("E_S7_Protocol_SM1"), -60);
        QCOMPARE(bar->value(), 6 * Panel_Group::Line_Step);
        wheel(Edit("E_IEC61850_Server_IP1"), 120);
        QCOMPARE(bar->value(), 3 * Panel_Group::Line_Step);
        // Over the title strip the wheel is left alone.
        wheel(Find<QWidget>("L_SW_Code"), -120);
        QCOMPARE(bar->value(), 3 * Panel_Group::Line_Step);
    }

    void Language_Change_Keeps_The_Panel_Captions() {
        QCOMPARE(Panel("CP_S7_Protocol")->Caption(), QStringLiteral("1. S7comm"));
        QCOMPARE(Panel("CP_NTP")->Caption(), QStringLiteral("4. NTP (Network Time Protocol)"));
        Lang_Table[400] = "Imposta Comunicazione";
        Lang_Table[406] = "S7comm IT";
        Lang_Table[407] = "Indirizzo IP";
        window_->Set_Lang();
        QCOMPARE(window_->windowTitle(), QStringLiteral("Imposta Comunicazione"));
        QCOMPARE(Find<QLabel>("L_S7_Protocol_IP")->text(), QStringLiteral("Indirizzo IP"));
        QCOMPARE(Panel("CP_S7_Protocol")->Caption(), QStringLiteral("1. S7comm"));
    }

private:
    void Btn_Click_Ok() { QTest::mouseClick(Find<QPushButton>("Btn_OK"), Qt::LeftButton); }
};

QTEST_MAIN(Par_Gen_Window_Test)
#include "par_gen_window_test.moc"
