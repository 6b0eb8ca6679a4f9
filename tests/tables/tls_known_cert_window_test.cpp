#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "tables/grid_view.h"
#include "tables/table_model.h"
#include "tables/tls_known_cert_window.h"
#include "grid_test_support.h"

using namespace qm;
using namespace qm::gui;

namespace {

const std::string Cert_A = "-----BEGIN CERTIFICATE-----\r\nMIIBszCCAVmgAwIBAgIU\r\n-----END CERTIFICATE-----";
const std::string Cert_B = "line one\nline two\n\n  indented  ";

const char* const Saved_File =
    "<TLS_Server_Known_Cert><row Enable=\"Y\" Certificate=\"-----BEGIN CERTIFICATE-----&#13;&#10;"
    "MIIBszCCAVmgAwIBAgIU&#13;&#10;-----END CERTIFICATE-----\" Mnemonic=\"plant &lt;A&amp;B>\"/>"
    "<row Enable=\"N\" Certificate=\"line one&#10;line two&#10;&#10;  indented  \" Mnemonic=\"\"/>"
    "</TLS_Server_Known_Cert><!--SW_VERSION = 1.000-->";

void Set_Checked(Grid_View* table, int row, bool on) {
    QVERIFY(table->Model()->setData(table->Model()->Cell_Index(1, row), on ? Qt::Checked : Qt::Unchecked,
                                    Qt::CheckStateRole));
}

bool Checked(const Grid_View* table, int row) { return table->grid().Cell(1, row).checked; }

} // namespace

class TLS_Known_Cert_Window_Test : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::string file_;

private slots:
    void initTestCase() { Load_Default_Strings(); }

    void init() {
        QVERIFY(dir_.isValid());
        file_ = Path_Join(dir_.path().toStdString(), "TLS_Known_Cert.xml");
        std::remove(file_.c_str());
        State().Project = {};
        State().Project.Project_Dir = dir_.path().toStdString();
        State().Project.TLS_Known_Cert_File = file_;
        State().Settings = Settings_Data{};
    }

    void layoutOfTheTable() {
        Message_Recorder messages; // answers the question before changes are discarded
        TLS_Known_Cert_Window w;
        Open(w);
        Grab_Window(w, "tls_known_cert_empty");
        Grid_View* t = w.ASG;
        QCOMPARE(t->Model()->rowCount(), 10);
        QCOMPARE(t->Model()->columnCount(), 4);
        for (int row = 0; row < 10; ++row) {
            QCOMPARE(t->rowHeight(row), 60);
        }
        QCOMPARE(t->columnWidth(2), 500);
        QCOMPARE(t->columnWidth(3), 160);
        QVERIFY(t->columnWidth(1) >= 50);
        const auto colour = [t](int col) {
            return t->Model()->data(t->Model()->Cell_Index(col, 3), Qt::BackgroundRole).value<QColor>();
        };
        QCOMPARE(colour(1), QColor(255, 216, 176));
        QCOMPARE(colour(2), QColor(224, 250, 254));
        QCOMPARE(colour(3), QColor(Qt::white));
        QCOMPARE(t->Model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Certificate"));
        QCOMPARE(t->Model()->headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 QStringLiteral("Insert a Description of TLS Certificate"));
        for (int row = 1; row <= 10; ++row) {
            QVERIFY(Checked(t, row));
            QCOMPARE(t->grid().Text(0, row), std::to_string(row));
        }
        w.reject();
    }

    void certificatesOfSeveralLinesLoadBackIdentical() {
        Message_Recorder messages;
        TLS_Known_Cert_Window w;
        Open(w);
        Set_Row(w.ASG, 1, {"", Cert_A, "plant <A&B>"});
        Set_Row(w.ASG, 2, {"", Cert_B, ""});
        Set_Checked(w.ASG, 2, false);
        Set_Row(w.ASG, 4, {"", "after the blank certificate of row 3", ""});
        Grab_Window(w, "tls_known_cert_filled");
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QVERIFY2(messages.Messages().isEmpty(), qPrintable(messages.Last_Text()));
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(File_Text(file_), std::string(Saved_File));

        Open(w);
        QCOMPARE(w.ASG->grid().Text(2, 1), Cert_A);
        QCOMPARE(w.ASG->grid().Text(3, 1), std::string("plant <A&B>"));
        QCOMPARE(w.ASG->grid().Text(2, 2), Cert_B);
        QVERIFY(Checked(w.ASG, 1));
        QVERIFY(!Checked(w.ASG, 2));
        QCOMPARE(w.ASG->grid().Text(2, 4), std::string());
        w.reject();
    }

    // Another program (or window) wrote the file after this opening read it: OK asks before it
    // overwrites that change; Cancel keeps both the other change on disk and the edits on screen.
    void fileChangedSinceOpeningIsNotOverwrittenUnasked() {
        Message_Recorder messages;
        TLS_Known_Cert_Window w;
        Open(w);
        Set_Row(w.ASG, 1, {"", Cert_A, "mine"});
        const std::string other =
            "<TLS_Server_Known_Cert><row Enable=\"Y\" Certificate=\"theirs\" Mnemonic=\"\"/></TLS_Server_Known_Cert>";
        QVERIFY(Write_File_Atomic(file_, other));

        messages.Set_Choice(1);
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Last_Text(), QString::fromStdString(Lang(131)));
        QVERIFY(w.isVisible());
        QCOMPARE(File_Text(file_), other);
        QCOMPARE(w.ASG->grid().Text(3, 1), std::string("mine"));

        messages.Set_Choice(0);
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(File_Text(file_).find("mine") != std::string::npos);

        // Nothing changed behind it: OK saves without a question, as always.
        messages.Clear();
        Open(w);
        Set_Row(w.ASG, 2, {"", Cert_B, ""});
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QVERIFY2(messages.Messages().isEmpty(), qPrintable(messages.Last_Text()));
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    void typingLineBreaksInTheCertificateCell() {
        Message_Recorder messages; // answers the question before changes are discarded
        TLS_Known_Cert_Window w;
        Open(w);
        w.ASG->Set_Current_Cell(2, 1);
        w.ASG->edit(w.ASG->currentIndex());
        auto* editor = w.ASG->findChild<QPlainTextEdit*>();
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, QStringLiteral("AB"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, QStringLiteral("CD"));
        w.ASG->Commit_Edit();
        QCOMPARE(w.ASG->grid().Text(2, 1), std::string("AB\nCD"));

        // A cell only looked at keeps its CR LF line ends.
        Set_Cell(w.ASG, 2, 2, Cert_A);
        w.ASG->Set_Current_Cell(2, 2);
        w.ASG->edit(w.ASG->currentIndex());
        w.ASG->Commit_Edit();
        QCOMPARE(w.ASG->grid().Text(2, 2), Cert_A);

        // With the Enter jump on, Enter leaves the cell instead.
        State().Settings.Enable_Jump_Field_Tables = true;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w.ASG->Set_Current_Cell(2, 3);
        w.ASG->edit(w.ASG->currentIndex());
        editor = w.ASG->findChild<QPlainTextEdit*>();
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, QStringLiteral("XY"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(w.ASG->grid().Text(2, 3), std::string("XY"));
        QCOMPARE(w.ASG->currentIndex().column(), 3);
        w.reject();
    }

    void deleteAndInsertInCheckBoxMode() {
        Message_Recorder messages(true);
        TLS_Known_Cert_Window w;
        Open(w);
        for (int row = 1; row <= 10; ++row) {
            Set_Row(w.ASG, row, {"", "cert " + std::to_string(row), ""});
            Set_Checked(w.ASG, row, row % 2 == 0);
        }
        w.ASG->Set_Current_Cell(3, 4);
        QTest::mouseClick(w.Btn_Delete_Row, Qt::LeftButton);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Are you sure to delete the Row number 4"));
        for (int row = 4; row <= 9; ++row) {
            QCOMPARE(w.ASG->grid().Text(2, row), "cert " + std::to_string(row + 1));
            QCOMPARE(Checked(w.ASG, row), (row + 1) % 2 == 0);
        }
        QCOMPARE(w.ASG->grid().Text(2, 10), std::string());
        QVERIFY(Checked(w.ASG, 10));

        w.ASG->Set_Current_Cell(2, 2);
        QTest::mouseClick(w.Btn_Insert_Row, Qt::LeftButton);
        QVERIFY(Checked(w.ASG, 2));
        QCOMPARE(w.ASG->grid().Text(2, 2), std::string());
        QCOMPARE(w.ASG->grid().Text(2, 3), std::string("cert 2"));
        w.reject();
    }

    void copyAnUncheckedRowAndPaste() {
        Message_Recorder messages(true);
        TLS_Known_Cert_Window w;
        Open(w);
        Set_Row(w.ASG, 1, {"", Cert_B, "m"});
        Set_Checked(w.ASG, 1, false);
        Set_Row(w.ASG, 5, {"", "in use", ""});

        w.ASG->Set_Current_Cell(2, 1);
        QTest::mouseClick(w.Btn_Paste_Row, Qt::LeftButton);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Error!!! Copy a valid row before Paste it"));
        messages.Clear();

        QTest::mouseClick(w.Btn_Copy_Row, Qt::LeftButton);
        w.ASG->Set_Current_Cell(3, 3);
        QTest::mouseClick(w.Btn_Paste_Row, Qt::LeftButton);
        QVERIFY(messages.Messages().isEmpty());
        QCOMPARE(Row_Of(w.ASG, 3), (std::vector<std::string>{"N", Cert_B, "m"}));

        w.ASG->Set_Current_Cell(2, 5);
        QTest::mouseClick(w.Btn_Paste_Row, Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Row Already used. Do you want to overwrite the values?"));
        QCOMPARE(Row_Of(w.ASG, 5), (std::vector<std::string>{"N", Cert_B, "m"}));
        w.reject();
    }

    void failedSaveStaysOpenAndCancelDiscards() {
        Write_File_Atomic(file_, Saved_File);
        Message_Recorder messages;
        TLS_Known_Cert_Window w;
        Open(w);
        Set_Cell(w.ASG, 3, 1, "renamed");
        QTest::mouseClick(w.Btn_Cancel, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(File_Text(file_), std::string(Saved_File));
        QCOMPARE(messages.Last_Text(), QStringLiteral("Discard the changes?"));
        messages.Clear();
        Open(w);
        QCOMPARE(w.ASG->grid().Text(3, 1), std::string("plant <A&B>"));

        // The configuration folder went away under the window: the save fails, says where, and
        // what was typed stays.
        const std::string gone = Path_Join(Path_Join(dir_.path().toStdString(), "gone"), "TLS_Known_Cert.xml");
        State().Project.TLS_Known_Cert_File = gone;
        Set_Cell(w.ASG, 3, 1, "typed");
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Messages()[0].kind, Message_Kind::Error);
        QVERIFY2(messages.Last_Text().contains(QString::fromStdString(gone)), qPrintable(messages.Last_Text()));
        QVERIFY(w.isVisible());
        QCOMPARE(w.ASG->grid().Text(3, 1), std::string("typed"));
        w.reject();
    }

    // The certificate window has no check, but a row after the end of its list is counted all the same.
    void rowAfterTheEndIsCountedWithoutACheck() {
        Message_Recorder messages; // answers the question before changes are discarded
        TLS_Known_Cert_Window w;
        Open(w);
        QVERIFY(w.L_Faults->isHidden());
        Set_Cell(w.ASG, 3, 2, "description of a certificate not typed yet");
        QVERIFY(w.ASG->Model()->Is_After_End(2));
        QVERIFY(!w.L_Faults->isHidden());
        QCOMPARE(w.L_Faults->text(),
                 QStringLiteral("1 row after the end of the list is not saved: the list ends at row 0"));
        Set_Cell(w.ASG, 2, 1, Cert_A);
        Set_Cell(w.ASG, 2, 2, Cert_B);
        QVERIFY(!w.ASG->Model()->Is_After_End(2));
        QVERIFY(w.L_Faults->isHidden());
        w.reject();
    }

    void enableCellsToggleByClick() {
        Message_Recorder messages; // answers the question before changes are discarded
        TLS_Known_Cert_Window w;
        Open(w);
        const QModelIndex enable = w.ASG->Model()->Cell_Index(1, 2);
        QTest::mouseClick(w.ASG->viewport(), Qt::LeftButton, {}, w.ASG->visualRect(enable).center());
        QVERIFY(!Checked(w.ASG, 2));
        QCOMPARE(w.ASG->Current_Row(), 2);
        QCOMPARE(w.ASG->grid().Text(1, 2), std::string());
        w.ASG->setFocus();
        QTest::keyClick(w.ASG, Qt::Key_Space);
        QVERIFY(Checked(w.ASG, 2));
        w.reject();
    }
};

QTEST_MAIN(TLS_Known_Cert_Window_Test)
#include "tls_known_cert_window_test.moc"
