#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
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
#include "tables/s7_protocol.h"
#include "tables/s7_protocol_window.h"
#include "tables/table_model.h"
#include "grid_test_support.h"

using namespace qm;
using namespace qm::gui;

namespace {

const std::vector<std::string> Read_Row = {"Y", "127.0.0.1", "102", "S71200", "0", "1", "Word", "DB", "1",
                                           "Inputs (I)", "0", "0", "1000", "0", "0", "", "", "pump"};
const std::vector<std::string> Write_Row = {"Y", "127.0.0.2", "102", "S7300", "0", "2", "Int", "DB", "5",
                                            "Flags (M) (Merker)", "10", "3", "0", "Y", "N", "1499", "7",
                                            "", "", "valve"};

const char* const Saved_File =
    "<S7_Protocol><S7_Protocol_Read><row Enable=\"Y\" PLC_Address=\"127.0.0.1\" PLC_Port=\"102\" "
    "PLC_Type=\"S71200\" Rack=\"0\" Slot=\"1\" Data_Type=\"Word\" Data_Identifier=\"DB\" DB_Number=\"1\" "
    "PLC_Area=\"Inputs (I)\" PLC_Add=\"0\" PLC_Bit=\"0\" PollTime=\"1000\" Position=\"0\" Bit=\"0\" "
    "Swap=\"\" SwapWord=\"\" Mnemonic=\"pump\"/></S7_Protocol_Read><S7_Protocol_Write><row Enable=\"Y\" "
    "PLC_Address=\"127.0.0.2\" PLC_Port=\"102\" PLC_Type=\"S7300\" Rack=\"0\" Slot=\"2\" Data_Type=\"Int\" "
    "Data_Identifier=\"DB\" DB_Number=\"5\" PLC_Area=\"Flags (M) (Merker)\" PLC_Add=\"10\" PLC_Bit=\"3\" "
    "PollTime=\"0\" OnChange=\"Y\" OnCMD=\"N\" Position=\"1499\" Bit=\"7\" Swap=\"\" SwapWord=\"\" "
    "Mnemonic=\"valve\"/></S7_Protocol_Write></S7_Protocol><!--SW_VERSION = 1.003-->";

} // namespace

class S7_Protocol_Window_Test : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::string file_;

private slots:
    void initTestCase() { Load_Default_Strings(); }

    void init() {
        QVERIFY(dir_.isValid());
        file_ = Path_Join(dir_.path().toStdString(), "S7_Protocol.xml");
        std::remove(file_.c_str());
        State().Project = {};
        State().Project.Project_Dir = dir_.path().toStdString();
        State().Project.S7_Protocol_File = file_;
        State().Settings = Settings_Data{};
    }

    void okSavesBothListsExactly() {
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        QCOMPARE(w.PageControl1->currentWidget(), w.TS_S7_Read);
        Set_Row(w.ACG_S7_Read, 1, Read_Row);
        Set_Row(w.ACG_S7_Write, 1, Write_Row);
        // Row 3 lies after the first blank address: not part of the list, not saved.
        Set_Row(w.ACG_S7_Read, 3, Read_Row);
        Grab_Window(w, "s7_protocol_read_filled");
        w.PageControl1->setCurrentWidget(w.TS_S7_Write);
        w.ACG_S7_Write->Set_Current_Cell(20, 1);
        Grab_Window(w, "s7_protocol_write_filled");

        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QVERIFY(messages.Messages().isEmpty());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
        QCOMPARE(File_Text(file_), std::string(Saved_File));

        // Reopened, the rows come back; row 3 is gone.
        Open(w);
        QCOMPARE(Row_Of(w.ACG_S7_Read, 1), Read_Row);
        QCOMPARE(Row_Of(w.ACG_S7_Write, 1), Write_Row);
        QCOMPARE(w.ACG_S7_Read->grid().Text(2, 3), std::string());
    }

    void checkFailureStaysOpenAndLeavesTheFile() {
        Write_File_Atomic(file_, Saved_File);
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        w.PageControl1->setCurrentWidget(w.TS_S7_Write);
        auto bad = Read_Row;
        bad[2] = "65536"; // PLC Port
        Set_Row(w.ACG_S7_Read, 3, bad);
        // The read list is checked first, whatever page is shown.
        Set_Row(w.ACG_S7_Read, 2, Read_Row);

        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Messages()[0].kind, Message_Kind::Error);
        QCOMPARE(messages.Last_Text(),
                 QStringLiteral("Error row 3!! [S7comm Read] PLC Port must be between 0 and 65535"));
        QVERIFY(w.isVisible());
        QCOMPARE(w.PageControl1->currentWidget(), w.TS_S7_Write);
        QCOMPARE(w.ACG_S7_Read->grid().Text(3, 3), std::string("65536"));
        QCOMPARE(File_Text(file_), std::string(Saved_File));
        w.reject();
    }

    void positionOutsideTheListFromAFileFails() {
        std::string text = Saved_File;
        text.replace(text.find("Position=\"1499\""), 15, "Position=\"1500\"");
        Write_File_Atomic(file_, text);
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        const Grid_Column& position = w.ACG_S7_Write->grid().Column(16);
        QCOMPARE(position.items.size(), std::size_t(1500));
        QCOMPARE(position.items.back(), std::string("1499"));
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(messages.Last_Text(),
                 QStringLiteral("Error row 1!! [S7comm Write] Position must be between 0 and 1499"));
        QCOMPARE(File_Text(file_), text);
        w.reject();
    }

    void cancelDiscardsWhatWasTyped() {
        Write_File_Atomic(file_, Saved_File);
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        Set_Cell(w.ACG_S7_Read, 18, 1, "changed");
        Set_Cell(w.ACG_S7_Read, 2, 2, "127.0.0.9");
        QTest::mouseClick(w.Btn_Cancel, Qt::LeftButton); // "Discard the changes?" answered Yes
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.isVisible());
        QCOMPARE(File_Text(file_), std::string(Saved_File));

        Open(w);
        QCOMPARE(w.ACG_S7_Read->grid().Text(18, 1), std::string("pump"));
        QCOMPARE(w.ACG_S7_Read->grid().Text(2, 2), std::string());
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Discard the changes?"));
    }

    void pasteOnlyIntoTheTableCopiedFromInThisOpening() {
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        Set_Row(w.ACG_S7_Read, 1, Read_Row);
        w.ACG_S7_Read->Set_Current_Cell(3, 1);
        QTest::mouseClick(w.Btn_Copy_Row, Qt::LeftButton);
        QVERIFY(w.Do_Copy_In_Read);

        // The write table's flag is clear: entry 1102, nothing changes.
        w.PageControl1->setCurrentWidget(w.TS_S7_Write);
        w.ACG_S7_Write->Set_Current_Cell(2, 4);
        QTest::mouseClick(w.Btn_Paste_Row, Qt::LeftButton);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Error!!! Copy a valid row before Paste it"));
        QCOMPARE(w.ACG_S7_Write->grid().Text(2, 4), std::string());

        // Into its own table it pastes, twice.
        w.PageControl1->setCurrentWidget(w.TS_S7_Read);
        for (int row : {5, 6}) {
            w.ACG_S7_Read->Set_Current_Cell(4, row);
            QTest::mouseClick(w.Btn_Paste_Row, Qt::LeftButton);
            QCOMPARE(Row_Of(w.ACG_S7_Read, row), Read_Row);
        }
        QCOMPARE(messages.Messages().size(), 1);

        // A copy in the write table clears the read table's flag.
        w.PageControl1->setCurrentWidget(w.TS_S7_Write);
        QTest::mouseClick(w.Btn_Copy_Row, Qt::LeftButton);
        QVERIFY(w.Do_Copy_In_Write);
        QVERIFY(!w.Do_Copy_In_Read);

        // After a reopening the clipboard still holds a row, but the flags are clear.
        w.reject();
        Open(w);
        QVERIFY(!Clip_Row.empty());
        w.ACG_S7_Write->Set_Current_Cell(2, 7);
        w.PageControl1->setCurrentWidget(w.TS_S7_Write);
        QTest::mouseClick(w.Btn_Paste_Row, Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), 3); // the second: discard the pasted rows?
        QCOMPARE(messages.Last_Text(), QStringLiteral("Error!!! Copy a valid row before Paste it"));
        QCOMPARE(w.ACG_S7_Write->grid().Text(1, 7), std::string("Y"));
        QCOMPARE(w.ACG_S7_Write->grid().Text(2, 7), std::string());
        w.reject();
    }

    void deleteAsksWithTheRowNumberOfTheShownTable() {
        Message_Recorder messages(false);
        S7_Protocol_Window w;
        // The model keeps its contract through the row operations and the reopening.
        QAbstractItemModelTester tester(w.ACG_S7_Write->Model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        Open(w);
        for (int row = 1; row <= 9; ++row) {
            auto fields = Write_Row;
            fields.back() = "rule " + std::to_string(row);
            Set_Row(w.ACG_S7_Write, row, fields);
        }
        Set_Row(w.ACG_S7_Read, 7, Read_Row);
        w.PageControl1->setCurrentWidget(w.TS_S7_Write);
        w.ACG_S7_Write->Set_Current_Cell(5, 7);

        QTest::mouseClick(w.Btn_Delete_Row, Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Are you sure to delete the Row number 7"));
        QCOMPARE(w.ACG_S7_Write->grid().Text(20, 7), std::string("rule 7"));

        messages.Set_Answer(true);
        QTest::mouseClick(w.Btn_Delete_Row, Qt::LeftButton);
        QCOMPARE(w.ACG_S7_Write->grid().Text(20, 7), std::string("rule 8"));
        QCOMPARE(w.ACG_S7_Write->grid().Text(20, 9), std::string());
        QCOMPARE(w.ACG_S7_Write->grid().Text(1, 512), std::string());
        QCOMPARE(w.ACG_S7_Read->grid().Text(18, 7), std::string("pump")); // the hidden page is untouched

        // Insert acts on the shown table as well.
        QTest::mouseClick(w.Btn_Insert_Row, Qt::LeftButton);
        QCOMPARE(w.ACG_S7_Write->grid().Text(1, 7), std::string("Y"));
        QCOMPARE(w.ACG_S7_Write->grid().Text(20, 7), std::string());
        QCOMPARE(w.ACG_S7_Write->grid().Text(20, 8), std::string("rule 8"));
        w.reject();
    }

    void textsHintsAndLists() {
        S7_Protocol_Window w;
        QCOMPARE(w.windowTitle(), QStringLiteral("S7comm Access"));
        QCOMPARE(w.PageControl1->tabText(1), QStringLiteral("S7comm Write"));
        QCOMPARE(w.L_SW_Code->text(), QStringLiteral("CF39174"));
        QCOMPARE(w.Btn_Paste_Row->toolTip(), QStringLiteral("Paste the Copied Fields in the Selected Row"));
        const Table_Model* write = w.ACG_S7_Write->Model();
        QCOMPARE(write->headerData(9, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 QStringLiteral("Insert the DB Number"));
        QCOMPARE(write->headerData(20, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 QStringLiteral("Insert the Description of S7comm Rule"));
        QCOMPARE(write->headerData(14, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("On Change"));
        QVERIFY(!write->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
        QCOMPARE(w.ACG_S7_Read->grid().Column(10).items,
                 (std::vector<std::string>{"Direct peripheral access (P)", "Inputs (I)", "Output (Q)",
                                           "Flags (M) (Merker)"}));

        // A language change reaches captions, headers and hints.
        Lang_Table[1301] = "DB-Nummer eingeben";
        Lang_Table[1215] = "S7comm Schreiben";
        w.Set_Lang();
        QCOMPARE(write->headerData(9, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 QStringLiteral("DB-Nummer eingeben"));
        QCOMPARE(w.PageControl1->tabText(1), QStringLiteral("S7comm Schreiben"));
        Load_Default_Strings();
    }

    void unreadableFileIsReportedWhenTheWindowOpens() {
        Write_File_Atomic(file_, "<S7_Protocol><S7_Protocol_Read><row Enable=\"Y\"");
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        QTRY_COMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Messages()[0].kind, Message_Kind::Error);
        QVERIFY2(messages.Last_Text().contains(QString::fromStdString(file_)),
                 qPrintable(messages.Last_Text()));
        // The table stays usable.
        Set_Row(w.ACG_S7_Read, 1, Read_Row);
        QCOMPARE(Row_Of(w.ACG_S7_Read, 1), Read_Row);
        w.reject();
    }

    void enterJumpsThroughAnOpenEditor() {
        Message_Recorder messages; // answers the question before changes are discarded
        State().Settings.Enable_Jump_Field_Tables = true;
        S7_Protocol_Window w;
        Open(w);
        Grid_View* table = w.ACG_S7_Read;
        table->setFocus();

        // Not editing: the last field of the last row wraps to the first field of row 1.
        table->Set_Current_Cell(18, 512);
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(table->currentIndex().column(), 1);
        QCOMPARE(table->currentIndex().row(), 0);

        // Editing a text cell: Enter keeps the text and moves on.
        table->Set_Current_Cell(2, 3);
        table->edit(table->currentIndex());
        auto* editor = table->findChild<QLineEdit*>();
        QVERIFY(editor != nullptr);
        editor->setText(QStringLiteral("127.0.0.5"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(table->grid().Text(2, 3), std::string("127.0.0.5"));
        QCOMPARE(table->currentIndex().column(), 3);
        QCOMPARE(table->currentIndex().row(), 2);

        // Column 0: swallowed, the cell stays.
        table->Set_Current_Cell(0, 9);
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(table->currentIndex().column(), 0);
        QCOMPARE(table->currentIndex().row(), 8);
        w.reject();
    }

    void headerDoubleClickFitsOnlyWithTheOption() {
        Message_Recorder messages; // answers the question before changes are discarded
        S7_Protocol_Window w;
        Open(w);
        Grid_View* table = w.ACG_S7_Read;
        Set_Cell(table, 18, 1, std::string(120, 'M'));
        QHeaderView* header = table->horizontalHeader();
        const int before = table->columnWidth(18);
        const QPoint header_point(header->sectionViewportPosition(18) + 10, header->height() / 2);

        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, header_point);
        QCOMPARE(table->columnWidth(18), before);

        State().Settings.Double_Click_Auto_Size = true;
        // A data cell never fits its column.
        const QRect cell = table->visualRect(table->Model()->Cell_Index(18, 1));
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        table->Commit_Edit();
        QCOMPARE(table->columnWidth(18), before);

        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {},
                           QPoint(header->sectionViewportPosition(18) + 10, header->height() / 2));
        QVERIFY2(table->columnWidth(18) > before, qPrintable(QString::number(table->columnWidth(18))));
        w.reject();
    }

    void columnWidthsTheUserSetStayForTheRun() {
        Message_Recorder messages; // answers the question before changes are discarded
        S7_Protocol_Window w;
        Open(w);
        Grid_View* table = w.ACG_S7_Read;
        const int fitted = table->columnWidth(3);
        table->horizontalHeader()->resizeSection(2, 333); // as a drag of the header's edge does
        w.reject();
        Open(w);
        QCOMPARE(table->columnWidth(2), 333);
        QCOMPARE(table->columnWidth(3), fitted);
        w.Set_Lang(); // new headers refit the other columns only
        QCOMPARE(table->columnWidth(2), 333);
        w.reject();
    }

    // Import goes into the grid, not the file: Replace, Append and Cancel when the list has rows,
    // and a file with an error leaves the grid as it was.
    void importReplacesOrAppendsIntoTheGrid() {
        Write_File_Atomic(file_, Saved_File);
        const std::string csv = Path_Join(dir_.path().toStdString(), "tags.csv");
        Write_File_Atomic(csv, "PLC Address;PLC Port;PLC Type;Rack;Slot;Data Type;Data Identifier;DB Number;PLC Area;PLC Add;"
                               "PLC Bit;Poll Time;Position;Start Bit;Mnemonic\r\n"
                               "127.0.0.5;102;s71200;0;1;Word;DB;1;Inputs (I);0;0;1000;2;0;tank\r\n");
        const std::string bad = Path_Join(dir_.path().toStdString(), "bad.csv");
        Write_File_Atomic(bad, "PLC Address,Colour\r\n127.0.0.6,red\r\n");
        std::string chosen = csv;
        Grid_Window::Set_File_Chooser([&chosen](QWidget*, bool save, const QStringList&, int*) {
            return save ? QString() : QString::fromStdString(chosen);
        });
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        const auto Address = [&w](int row) { return w.ACG_S7_Read->grid().Text(S7_Read_Col::PLC_Address, row); };

        messages.Set_Choice(2); // Cancel
        QTest::mouseClick(w.Btn_Import, Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Messages().first().kind, Message_Kind::Choice);
        QCOMPARE(messages.Messages().first().default_choice, 1); // Append, which loses nothing
        QCOMPARE(Row_Of(w.ACG_S7_Read, 1), Read_Row);

        messages.Set_Choice(1); // Append
        QTest::mouseClick(w.Btn_Import, Qt::LeftButton);
        QCOMPARE(Row_Of(w.ACG_S7_Read, 1), Read_Row);
        QCOMPARE(Address(2), std::string("127.0.0.5"));
        QCOMPARE(w.ACG_S7_Read->grid().Text(S7_Read_Col::PLC_Type, 2), std::string("S71200")); // the list's spelling
        QCOMPARE(w.ACG_S7_Read->Current_Row(), 2);
        // The whole import is one step.
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Address(2), std::string());
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Address(2), std::string("127.0.0.5"));

        messages.Set_Choice(0); // Replace
        QTest::mouseClick(w.Btn_Import, Qt::LeftButton);
        QCOMPARE(Address(1), std::string("127.0.0.5"));
        QCOMPARE(Address(2), std::string());
        QCOMPARE(Row_Of(w.ACG_S7_Write, 1), Write_Row); // the other page untouched

        messages.Clear();
        chosen = bad;
        QTest::mouseClick(w.Btn_Import, Qt::LeftButton);
        QCOMPARE(messages.Messages().last().kind, Message_Kind::Error);
        // The reason is in the box itself, not only behind its details button.
        QVERIFY2(messages.Messages().last().text.contains(QStringLiteral("line 1: the table has no column \"Colour\"")),
                 qPrintable(messages.Messages().last().text));
        QCOMPARE(Address(1), std::string("127.0.0.5"));

        // Nothing reached the file; OK saves the imported rule as a typed one.
        QCOMPARE(File_Text(file_), std::string(Saved_File));
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QVERIFY2(w.result() == QDialog::Accepted, qPrintable(messages.Last_Text()));
        QVERIFY(File_Text(file_).find("PLC_Address=\"127.0.0.5\"") != std::string::npos);
        Grid_Window::Set_File_Chooser({});
    }

    // Ctrl+C copies the selected cells as tab-separated text; Ctrl+V pastes a block at the current
    // cell with the import's value rules, or reports and changes nothing.
    void clipboardBlocksCopyAndPaste() {
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        Grid_View* table = w.ACG_S7_Read;
        Set_Row(table, 1, Read_Row);
        table->setFocus();
        table->selectionModel()->select(QItemSelection(table->Model()->Cell_Index(2, 1), table->Model()->Cell_Index(4, 1)),
                                        QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("127.0.0.1\t102\tS71200\r\n"));

        QGuiApplication::clipboard()->setText(QStringLiteral("127.0.0.9\t102\ts7300\r\n127.0.0.10\t103\tS7400\r\n"));
        table->Set_Current_Cell(2, 2);
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(messages.Messages().isEmpty());
        QCOMPARE(table->grid().Text(2, 2), std::string("127.0.0.9"));
        QCOMPARE(table->grid().Text(4, 2), std::string("S7300"));
        QCOMPARE(table->grid().Text(3, 3), std::string("103"));
        QCOMPARE(w.Act_Undo->text(), QStringLiteral("Undo Paste Block"));

        QGuiApplication::clipboard()->setText(QStringLiteral("127.0.0.11\t102\tnope\r\n"));
        table->Set_Current_Cell(2, 4);
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(messages.Messages().size(), 1);
        QCOMPARE(messages.Messages().first().kind, Message_Kind::Error);
        QVERIFY(messages.Messages().first().text.contains(QStringLiteral("nope")));
        QCOMPARE(table->grid().Text(2, 4), std::string());

        // Below the end of the list (rows 1 to 3): refused with the row whose blank address ends it.
        messages.Clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("lost\r\n"));
        table->Set_Current_Cell(S7_Read_Col::Mnemonic, 6);
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(messages.Messages().size(), 1);
        QVERIFY2(messages.Messages().first().text.contains(QStringLiteral("row 4, PLC Address is empty")),
                 qPrintable(messages.Messages().first().text));
        QCOMPARE(table->grid().Text(S7_Read_Col::Mnemonic, 6), std::string());
        w.reject();
    }

    // A row below the end of a list is not saved by OK; it is marked and counted beforehand.
    void rowsAfterTheEndOfTheListAreMarked() {
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        Grid_View* table = w.ACG_S7_Read;
        Set_Row(table, 1, Read_Row);
        QVERIFY(!w.L_Faults->text().contains(QStringLiteral("not saved")));
        // Typed into row 3 while row 2 has no PLC Address.
        QVERIFY(table->Model()->setData(table->Model()->Cell_Index(S7_Read_Col::Mnemonic, 3), QStringLiteral("orphan"),
                                        Qt::EditRole));
        QVERIFY(table->Model()->Is_After_End(3));
        QVERIFY(!table->Model()->Is_After_End(1));
        QVERIFY(!table->Model()->Is_After_End(2)); // empty: nothing is lost there
        const QModelIndex cell = table->Model()->Cell_Index(S7_Read_Col::PLC_Port, 3);
        QCOMPARE(table->Model()->data(cell, Qt::ToolTipRole).toString(),
                 QStringLiteral("not saved: the list ends at row 1"));
        QVERIFY(table->Model()->data(cell, Qt::BackgroundRole).value<QColor>() !=
                table->Model()->data(table->Model()->Cell_Index(S7_Read_Col::PLC_Port, 2), Qt::BackgroundRole).value<QColor>());
        QVERIFY2(w.L_Faults->text().endsWith(
                     QStringLiteral("1 row after the end of the list is not saved: the list ends at row 1")),
                 qPrintable(w.L_Faults->text()));
        // Filling the gap takes the row into the list.
        for (const int row : {2, 3}) {
            QVERIFY(table->Model()->setData(table->Model()->Cell_Index(S7_Read_Col::PLC_Address, row),
                                            QStringLiteral("127.0.0.3"), Qt::EditRole));
        }
        QVERIFY(!table->Model()->Is_After_End(3));
        QVERIFY(!w.L_Faults->text().contains(QStringLiteral("not saved")));
        w.reject();
    }

    // The data map's warnings follow the Position as it is typed, and never stop OK.
    void dataMapWarningsFollowThePosition() {
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        Grid_View* table = w.ACG_S7_Read;
        Table_Model* model = table->Model();
        Set_Row(table, 1, Read_Row); // a Word on bytes 0 and 1
        std::vector<std::string> second = Read_Row;
        second[S7_Read_Col::Position - 1] = "1";
        second[S7_Read_Col::Mnemonic - 1] = "fan";
        Set_Row(table, 2, second);
        QVERIFY(model->Has_Warning(S7_Read_Col::Position, 1));
        QVERIFY(model->Has_Warning(S7_Read_Col::Position, 2));
        QCOMPARE(model->data(model->Cell_Index(S7_Read_Col::Position, 2), Qt::ToolTipRole).toString(),
                 QStringLiteral("read rules 1 \"pump\" and 2 \"fan\": both fill byte 1"));
        QVERIFY(model->data(model->Cell_Index(S7_Read_Col::Position, 2), Qt::BackgroundRole).isValid());

        Set_Cell(table, S7_Read_Col::Position, 2, "2");
        QVERIFY(!model->Has_Warning(S7_Read_Col::Position, 1));
        QVERIFY(!model->Has_Warning(S7_Read_Col::Position, 2));

        Set_Cell(table, S7_Read_Col::Position, 2, "1499");
        QVERIFY(!model->Has_Warning(S7_Read_Col::Position, 1));
        QVERIFY(model->Has_Warning(S7_Read_Col::Position, 2));
        QCOMPARE(model->data(model->Cell_Index(S7_Read_Col::Position, 2), Qt::ToolTipRole).toString(),
                 QStringLiteral("read rule 2 \"fan\", bytes 1499 to 1500: past the end of the data array (bytes 0 to 1499)"));
        QCOMPARE(w.L_Faults->text(), QStringLiteral("No faults"));
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(messages.Messages().isEmpty());
    }

    // Export adds the chosen type's extension to a name typed without one.
    void exportAddsTheExtensionOfTheChosenType() {
        Message_Recorder messages;
        const QString base = dir_.path() + QStringLiteral("/rules");
        Grid_Window::Set_File_Chooser([&base](QWidget*, bool, const QStringList&, int* filter) {
            *filter = 2; // tab-separated
            return base;
        });
        S7_Protocol_Window w;
        Open(w);
        Set_Row(w.ACG_S7_Read, 1, Read_Row);
        QTest::mouseClick(w.Btn_Export, Qt::LeftButton);
        QVERIFY(messages.Messages().isEmpty());
        QVERIFY(File_Text((base + QStringLiteral(".tsv")).toStdString()).find("Enable\tPLC_Address\t") != std::string::npos);
        QVERIFY(!QFileInfo::exists(base));
        Grid_Window::Set_File_Chooser({});
        w.reject();
    }

#ifdef QM_HAVE_XLSX
    // The workbook type: offered in both dialogs, its extension added to a bare name, and what
    // it writes comes back into the grid as it was.
    void workbookExportAndImportThroughTheDialogs() {
        Message_Recorder messages;
        const QString base = dir_.path() + QStringLiteral("/rules");
        QStringList offered;
        Grid_Window::Set_File_Chooser([&](QWidget*, bool save, const QStringList& filters, int* filter) {
            offered = filters;
            *filter = static_cast<int>(filters.indexOf(QStringLiteral("Excel workbook (*.xlsx)")));
            return save ? base : base + QStringLiteral(".xlsx");
        });
        S7_Protocol_Window w;
        Open(w);
        Set_Row(w.ACG_S7_Read, 1, Read_Row);
        QTest::mouseClick(w.Btn_Export, Qt::LeftButton);
        QVERIFY2(messages.Messages().isEmpty(), qPrintable(messages.Last_Text()));
        QCOMPARE(offered.size(), 4);
        QVERIFY(File_Text((base + QStringLiteral(".xlsx")).toStdString()).starts_with("PK"));

        Set_Row(w.ACG_S7_Read, 1, std::vector<std::string>(Read_Row.size()));
        QTest::mouseClick(w.Btn_Import, Qt::LeftButton);
        QVERIFY(offered.contains(QStringLiteral("Excel workbook (*.xlsx)")));
        QVERIFY2(messages.Messages().isEmpty(), qPrintable(messages.Last_Text()));
        QCOMPARE(Row_Of(w.ACG_S7_Read, 1), Read_Row);
        Grid_Window::Set_File_Chooser({});
        w.reject();
    }
#endif

    void checkBoxCellsToggleAndClickInColumnZeroSelectsTheRow() {
        Message_Recorder messages; // answers the question before changes are discarded
        S7_Protocol_Window w;
        Open(w);
        Grab_Window(w, "s7_protocol_empty");
        Grid_View* table = w.ACG_S7_Write;
        w.PageControl1->setCurrentWidget(w.TS_S7_Write);
        const QModelIndex on_change = table->Model()->Cell_Index(14, 2);
        QCOMPARE(table->grid().Text(14, 2), std::string());
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(on_change).center());
        QCOMPARE(table->grid().Text(14, 2), std::string("Y"));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(on_change).center());
        QCOMPARE(table->grid().Text(14, 2), std::string("N"));

        const QModelIndex number = table->Model()->Cell_Index(0, 4);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(number).center());
        QVERIFY(table->selectionModel()->isRowSelected(3, QModelIndex()));
        QCOMPARE(table->Current_Row(), 4);
        w.reject();
    }

    // The read table is wider than the window: each column, the last one too, can be brought
    // fully into sight, and none ends up under the row numbers that stay on the left.
    void everyColumnScrollsIntoSightBesideTheRowNumbers() {
        Message_Recorder messages; // answers the question before changes are discarded
        S7_Protocol_Window w;
        Open(w);
        Grid_View* table = w.ACG_S7_Read;
        QVERIFY(table->horizontalHeader()->length() > table->viewport()->width());
        const auto in_sight = [table](int col) {
            const QRect cell = table->visualRect(table->Model()->Cell_Index(col, 1));
            return cell.left() >= table->columnWidth(0) && cell.right() < table->viewport()->width();
        };
        QVERIFY(in_sight(1));
        for (const int col : {18, 1, 17, 2}) {
            table->Set_Current_Cell(col, 1);
            QVERIFY2(in_sight(col), qPrintable(QString::number(col)));
        }
        w.reject();
    }
};

QTEST_MAIN(S7_Protocol_Window_Test)
#include "s7_protocol_window_test.moc"
