#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>
#include <QHeaderView>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "tables/duplicate_dialog.h"
#include "tables/grid_view.h"
#include "tables/iec61850_variables.h"
#include "tables/iec61850_variables_window.h"
#include "tables/table_model.h"
#include "grid_test_support.h"

using namespace qm;
using namespace qm::gui;

namespace {

const std::vector<std::string> Variable = {"Y", "Temp_1", "Float", "4", "N", "1437", "",
                                           "Int to Float", "1,5", "N", "Y", "boiler"};

const char* const Saved_File =
    "<IEC61850_Variables><row Enable=\"Y\" Name=\"Temp_1\" Type=\"Float\" Length=\"4\" ReadOnly=\"N\" "
    "Position=\"1437\" StartBit=\"\" Conversion=\"Int to Float\" MultiplicationFactor=\"1,5\" Swap=\"N\" "
    "SwapWord=\"Y\" Mnemonic=\"boiler\"/></IEC61850_Variables><!--SW_VERSION = 1.000-->";

std::string Rows_File(int count) {
    std::string text = "<IEC61850_Variables>";
    for (int i = 0; i < count; ++i) {
        text += "<row Enable=\"Y\" Name=\"V" + std::to_string(i + 1) +
                "\" Type=\"Int\" Length=\"2\" Position=\"0\" Conversion=\"None\" MultiplicationFactor=\"None\"/>";
    }
    return text + "</IEC61850_Variables>";
}

} // namespace

class IEC61850_Variables_Window_Test : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::string file_;

private slots:
    void initTestCase() { Load_Default_Strings(); }

    void init() {
        QVERIFY(dir_.isValid());
        file_ = Path_Join(dir_.path().toStdString(), "IEC61850_Variables.xml");
        std::remove(file_.c_str());
        for (const QString& name : QDir(dir_.path()).entryList(QDir::Files)) {
            QFile::remove(dir_.filePath(name));
        }
        State().Project = {};
        State().Project.Project_Dir = dir_.path().toStdString();
        State().Project.IEC61850_Variables_File = file_;
        State().Settings = Settings_Data{};
    }

    void okSavesTheListExactly() {
        Message_Recorder messages;
        IEC61850_Variables_Window w;
        Open(w);
        Grab_Window(w, "iec61850_variables_empty");
        Set_Row(w.ACG, 1, Variable);
        Set_Row(w.ACG, 3, Variable); // after the blank name of row 2: dropped
        Grab_Window(w, "iec61850_variables_filled");
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QVERIFY2(messages.Messages().isEmpty(), qPrintable(messages.Last_Text()));
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(File_Text(file_), std::string(Saved_File));

        Open(w);
        QCOMPARE(Row_Of(w.ACG, 1), Variable);
        QCOMPARE(w.ACG->grid().Text(2, 3), std::string());
        w.reject();
    }

    void checkFailureStaysOpenAndLeavesTheFile() {
        Write_File_Atomic(file_, Saved_File);
        Message_Recorder messages;
        IEC61850_Variables_Window w;
        Open(w);
        Set_Cell(w.ACG, 6, 1, "1438");
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Error row 1!! Position must be between 0 and 1437"));
        QVERIFY(w.isVisible());
        QCOMPARE(w.ACG->grid().Text(6, 1), std::string("1438"));
        QCOMPARE(File_Text(file_), std::string(Saved_File));

        // A digital variable needs its start bit.
        Set_Cell(w.ACG, 6, 1, "12");
        Set_Cell(w.ACG, 3, 1, "Digital (Bit)");
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Error row 1!! Start Bit must be Selected "));
        QCOMPARE(File_Text(file_), std::string(Saved_File));
        w.reject();
    }

    void cancelDiscards() {
        Write_File_Atomic(file_, Saved_File);
        Message_Recorder messages;
        IEC61850_Variables_Window w;
        Open(w);
        Set_Cell(w.ACG, 2, 1, "Renamed");
        Set_Row(w.ACG, 2, Variable);
        QTest::mouseClick(w.Btn_Cancel, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(File_Text(file_), std::string(Saved_File));
        Open(w);
        QCOMPARE(w.ACG->grid().Text(2, 1), std::string("Temp_1"));
        QCOMPARE(w.ACG->grid().Text(2, 2), std::string());
        w.reject();
    }

    // More rows than the table holds: the user is told, and the save keeps the old file.
    void overfullFileIsReportedAndKeptOnSave() {
        const std::string original = Rows_File(52);
        Write_File_Atomic(file_, original);
        Message_Recorder messages;
        IEC61850_Variables_Window w;
        Open(w);
        QTRY_COMPARE(messages.Messages().size(), 1);
        QVERIFY(messages.Last_Text().contains(QString::fromStdString(file_)));
        QCOMPARE(w.ACG->grid().Text(2, 50), std::string("V50"));

        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(messages.Messages().size(), 2);
        QCOMPARE(messages.Messages()[1].kind, Message_Kind::Information);
        const QStringList kept = QDir(dir_.path()).entryList({QStringLiteral("IEC61850_Variables.xml.*")});
        QCOMPARE(kept.size(), 1);
        QVERIFY(messages.Last_Text().contains(kept[0]));
        QCOMPARE(File_Text(dir_.filePath(kept[0]).toStdString()), original);
        QVERIFY(File_Text(file_).find("V50") != std::string::npos);
        QVERIFY(File_Text(file_).find("V51") == std::string::npos);
    }

    void listEditorsOfferTheFixedItems() {
        Message_Recorder messages; // the changes are discarded at the end
        IEC61850_Variables_Window w;
        Open(w);
        Set_Cell(w.ACG, 9, 1, "2.5");
        w.ACG->Set_Current_Cell(9, 1);
        w.ACG->edit(w.ACG->currentIndex());
        auto* factor = w.ACG->findChild<QComboBox*>();
        QVERIFY(factor != nullptr);
        QVERIFY(factor->isEditable());
        QCOMPARE(factor->count(), 1);
        QCOMPARE(factor->itemText(0), QStringLiteral("None"));
        QCOMPARE(factor->currentText(), QStringLiteral("2.5"));
        factor->setEditText(QStringLiteral("none"));
        w.ACG->Commit_Edit();
        QCOMPARE(w.ACG->grid().Text(9, 1), std::string("none"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.ACG->findChild<QComboBox*>() == nullptr);

        // A pick-only list never empties a value it does not hold.
        Set_Cell(w.ACG, 8, 2, "Legacy");
        w.ACG->Set_Current_Cell(8, 2);
        w.ACG->edit(w.ACG->currentIndex());
        auto* conversion = w.ACG->findChild<QComboBox*>();
        QVERIFY(conversion != nullptr);
        QVERIFY(!conversion->isEditable());
        QCOMPARE(conversion->count(), 3);
        w.ACG->Commit_Edit();
        QCOMPARE(w.ACG->grid().Text(8, 2), std::string("Legacy"));
        w.reject();
    }

    // A key typed on a cell opens its editor with that key as the new text, the factor's free
    // drop-down as much as a text cell.
    void typingOverACellReplacesItsText() {
        Message_Recorder messages;
        IEC61850_Variables_Window w;
        Open(w);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        Set_Row(w.ACG, 1, Variable);
        for (const int col : {int{Var_Col::MultiplicationFactor}, int{Var_Col::Length}}) {
            Set_Cell(w.ACG, col, 1, "10");
            w.ACG->setFocus();
            w.ACG->Set_Current_Cell(col, 1);
            QTest::keyClick(w.ACG, Qt::Key_5);
            QVERIFY(w.ACG->indexWidget(w.ACG->currentIndex()) != nullptr); // the key opened an editor
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_2);
            w.ACG->Commit_Edit();
            QCOMPARE(w.ACG->grid().Text(col, 1), std::string("52"));
        }
        w.reject();
    }

    // Copies count up the Name as the Mnemonic, and a Position written in hexadecimal stays so;
    // a Name shared by two enabled variables is a warning that OK lets pass.
    void duplicateCountsUpTheNameAndSameNamesAreWarned() {
        Message_Recorder messages;
        IEC61850_Variables_Window w;
        Open(w);
        std::vector<std::string> v = Variable;
        v[Var_Col::Name - 1] = "Temp_07";
        v[Var_Col::Position - 1] = "0x0A";
        v[Var_Col::Mnemonic - 1] = "boiler 1";
        Set_Row(w.ACG, 1, v);
        w.ACG->Set_Current_Cell(Var_Col::Name, 1);
        QString note;
        QTimer::singleShot(0, [&note] {
            auto* dialog = qobject_cast<Duplicate_Dialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            dialog->E_Copies->setValue(2);
            dialog->Increment_Of(Var_Col::Position)->setValue(3);
            note = dialog->L_Mnemonic->text();
            QTest::mouseClick(dialog->Btn_OK, Qt::LeftButton);
        });
        QTest::mouseClick(w.Btn_Duplicate, Qt::LeftButton);
        QCOMPARE(note, QStringLiteral("The number at the end is counted up in: Name, Mnemonic"));
        QCOMPARE(w.ACG->grid().Text(Var_Col::Name, 2), std::string("Temp_08"));
        QCOMPARE(w.ACG->grid().Text(Var_Col::Name, 3), std::string("Temp_09"));
        QCOMPARE(w.ACG->grid().Text(Var_Col::Position, 2), std::string("0x0D"));
        QCOMPARE(w.ACG->grid().Text(Var_Col::Position, 3), std::string("0x10"));
        QCOMPARE(w.ACG->grid().Text(Var_Col::Mnemonic, 3), std::string("boiler 3"));
        Table_Model* model = w.ACG->Model();
        QVERIFY(!model->Has_Warning(Var_Col::Name, 1));

        Set_Cell(w.ACG, Var_Col::Name, 3, "Temp_07");
        QVERIFY(model->Has_Warning(Var_Col::Name, 1));
        QVERIFY(model->Has_Warning(Var_Col::Name, 3));
        QVERIFY(!model->Has_Warning(Var_Col::Name, 2));
        QCOMPARE(model->data(model->Cell_Index(Var_Col::Name, 3), Qt::ToolTipRole).toString(),
                 QStringLiteral("Warning: the same Name as the variable of row 1"));
        QVERIFY(model->data(model->Cell_Index(Var_Col::Name, 3), Qt::BackgroundRole).isValid());
        QCOMPARE(w.L_Faults->text(), QStringLiteral("No faults"));
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(messages.Messages().isEmpty());
    }

    // The window keeps its width while its columns fit, and widens for longer column titles
    // rather than hiding the last columns.
    // A read-only variable that no saved read rule fills is warned at its Position, as typed.
    void unfedVariablesAreWarnedAgainstTheSavedReadRules() {
        const std::string s7 = Path_Join(dir_.path().toStdString(), "S7_Protocol.xml");
        State().Project.S7_Protocol_File = s7;
        Write_File_Atomic(s7, "<S7_Protocol><S7_Protocol_Read><row Enable=\"Y\" PLC_Address=\"127.0.0.1\" "
                              "Data_Type=\"Real\" Position=\"100\"/></S7_Protocol_Read><S7_Protocol_Write/></S7_Protocol>");
        Message_Recorder messages;
        IEC61850_Variables_Window w;
        Open(w);
        std::vector<std::string> level = Variable;
        level[Var_Col::ReadOnly - 1] = "Y";
        level[Var_Col::Position - 1] = "100";
        Set_Row(w.ACG, 1, level);
        Table_Model* model = w.ACG->Model();
        QVERIFY(!model->Has_Warning(Var_Col::Position, 1));
        Set_Cell(w.ACG, Var_Col::Position, 1, "102");
        QVERIFY(model->Has_Warning(Var_Col::Position, 1));
        QCOMPARE(model->data(model->Cell_Index(Var_Col::Position, 1), Qt::ToolTipRole).toString(),
                 QStringLiteral("read-only variable 1 \"Temp_1\", bytes 104 to 105: no enabled read rule fills it, so it "
                                "always shows 0"));
        Set_Cell(w.ACG, Var_Col::ReadOnly, 1, "N"); // filled by the clients
        QVERIFY(!model->Has_Warning(Var_Col::Position, 1));
        w.reject();
    }

    void windowWidensForLongerColumnTitles() {
        Message_Recorder messages; // answers the question before changes are discarded
        const auto fits = [](IEC61850_Variables_Window& w) {
            return w.ACG->horizontalHeader()->length() <= w.ACG->viewport()->width();
        };
        {
            IEC61850_Variables_Window w;
            Open(w);
            QCOMPARE(w.width(), 1055);
            QVERIFY(fits(w));
            w.reject();
        }
        // The window never grows past the screen: this needs one wider than it may grow.
        QVERIFY2(QGuiApplication::primaryScreen()->availableGeometry().width() >= 1600,
                 "run on the wide offscreen screen of the test's environment");
        const std::vector<std::string> kept = Lang_Table;
        Lang_Table[1516] = "Nome della variabile offerta dal server IEC61850 ai suoi client";
        Lang_Table[1520] = "Posizione nell'area dati interna del convertitore";
        Lang_Table[1521] = "Descrizione libera della variabile, a scelta dell'utente";
        IEC61850_Variables_Window w;
        Lang_Table = kept;
        Open(w);
        QVERIFY2(w.width() > 1055, qPrintable(QString::number(w.width())));
        QVERIFY(fits(w));
        w.reject();
    }
};

QTEST_MAIN(IEC61850_Variables_Window_Test)
#include "iec61850_variables_window_test.moc"
