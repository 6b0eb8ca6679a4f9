// The editing every table window shares beyond its row buttons: undo and redo, the find bar, the
// faults marked in the grid with F8, and Duplicate; driven by keyboard and mouse on the S7comm window.

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/app_state.h"
#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "tables/duplicate_dialog.h"
#include "tables/grid_view.h"
#include "tables/iec61850_variables_window.h"
#include "tables/s7_protocol.h"
#include "tables/s7_protocol_window.h"
#include "tables/table_model.h"
#include "tables/tls_known_cert_window.h"
#include "grid_test_support.h"

using namespace qm;
using namespace qm::gui;

namespace {

using RC = S7_Read_Col;
using WC = S7_Write_Col;

Table_Row Read_Rule(int i) {
    return {"Y", "127.0.0." + std::to_string(i), "102", "S71200", "0", "1", "Word", "DB", std::to_string(i),
            "Inputs (I)", std::to_string(2 * i), "0", "1000", std::to_string(i), "0", "", "", "pump " + std::to_string(i)};
}

Table_Row Write_Rule(int i) {
    return {"Y", "127.0.0." + std::to_string(i), "102", "S7300", "0", "2", "Int", "DB", "5", "Flags (M) (Merker)",
            "10", "3", "0", "Y", "N", std::to_string(100 + i), "7", "", "", "valve " + std::to_string(i)};
}

// Shows the window and makes it the active one, so that its shortcuts work.
void Open_Active(QDialog& w) {
    Open(w);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// Answers the next modal dialog once it is up.
void When_Dialog_Opens(const std::function<void(Duplicate_Dialog&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Duplicate_Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        act(*dialog);
    });
}

// Types a text into a cell through its editor, as a user does, and ends with Enter.
void Type_Into(Grid_View* table, int col, int row, const QString& text) {
    table->setFocus();
    table->Set_Current_Cell(col, row);
    table->edit(table->Model()->Cell_Index(col, row));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY2(editor != nullptr, QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "no focus");
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits Enter queued
}

// Where the number column and the table disagree: the first visible row whose number is not its
// own, read at the same height of both viewports; empty when every row has its number beside it.
QString Numbers_Beside_Rows(Grid_View* table) {
    auto* fixed = table->findChild<QTableView*>(QStringLiteral("Fixed_Column"));
    if (fixed == nullptr) {
        return QStringLiteral("no number column");
    }
    QCoreApplication::processEvents();
    int seen = 0;
    for (int y = 1; y < table->viewport()->height(); y += 5) {
        const int row = table->rowAt(y);
        if (row < 0) {
            break;
        }
        const QPoint global = table->viewport()->mapToGlobal(QPoint(1, y));
        const QModelIndex beside = fixed->indexAt(fixed->viewport()->mapFromGlobal(global));
        const QString number = fixed->model()->data(beside, Qt::DisplayRole).toString();
        if (number != QString::number(row + 1)) {
            return QStringLiteral("data row %1 has number '%2' beside it").arg(row + 1).arg(number);
        }
        ++seen;
    }
    return seen > 0 ? QString() : QStringLiteral("no row in sight");
}

void Wheel(QWidget* viewport, int notches) {
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(viewport, &event);
}

} // namespace

class Grid_Editing_Window_Test : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::string file_;

    // Three read rules and two write rules, saved as the window saves them.
    void Write_Rules(int reads = 3, int writes = 2) {
        S7_Protocol_Data data = Reset_S7_Protocol();
        for (int i = 0; i < reads; ++i) {
            data.Read[static_cast<std::size_t>(i)] = Read_Rule(i + 1);
        }
        for (int i = 0; i < writes; ++i) {
            data.Write[static_cast<std::size_t>(i)] = Write_Rule(i + 1);
        }
        QVERIFY(Save_S7_Protocol_File(file_, data, false).ok);
    }

private slots:
    void initTestCase() { Load_Default_Strings(); }

    void init() {
        QVERIFY(dir_.isValid());
        file_ = Path_Join(dir_.path().toStdString(), "S7_Protocol.xml");
        std::remove(file_.c_str());
        State().Project = {};
        State().Project.Project_Dir = dir_.path().toStdString();
        State().Project.S7_Protocol_File = file_;
        State().Project.TLS_Known_Cert_File = Path_Join(dir_.path().toStdString(), "TLS_Known_Cert.xml");
        State().Settings = Settings_Data{};
    }

    void ctrlZAfterDeleteRowGivesBackTheFileOfAPlainOk() {
        Write_Rules();
        const std::string plain = File_Text(file_);
        Message_Recorder messages(true);
        S7_Protocol_Window w;
        Open_Active(w);
        QVERIFY(!w.Act_Undo->isEnabled());
        w.ACG_S7_Read->Set_Current_Cell(5, 2);
        QTest::mouseClick(w.Btn_Delete_Row, Qt::LeftButton);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Are you sure to delete the Row number 2"));
        QCOMPARE(Row_Of(w.ACG_S7_Read, 2), Read_Rule(3));
        QCOMPARE(w.Act_Undo->text(), QStringLiteral("Undo Delete Row 2"));

        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Row_Of(w.ACG_S7_Read, 2), Read_Rule(2));
        QCOMPARE(Row_Of(w.ACG_S7_Read, 3), Read_Rule(3));
        QCOMPARE(w.Act_Redo->text(), QStringLiteral("Redo Delete Row 2"));

        // Ctrl+Y and Ctrl+Shift+Z take out exactly the deleted rule again.
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Row_Of(w.ACG_S7_Read, 1), Read_Rule(1));
        QCOMPARE(Row_Of(w.ACG_S7_Read, 2), Read_Rule(3));
        QCOMPARE(w.ACG_S7_Read->grid().Text(RC::PLC_Address, 3), std::string());
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Row_Of(w.ACG_S7_Read, 2), Read_Rule(3));
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Z, Qt::ControlModifier);

        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(File_Text(file_), plain);
        QCOMPARE(messages.Messages().size(), 1);
    }

    void deleteAnsweredNoAndEachOpeningStartWithNoStep() {
        Write_Rules();
        Message_Recorder messages(false);
        S7_Protocol_Window w;
        Open_Active(w);
        w.ACG_S7_Read->Set_Current_Cell(2, 1);
        QTest::mouseClick(w.Btn_Delete_Row, Qt::LeftButton);
        QCOMPARE(messages.Messages().size(), 1);
        QVERIFY(!w.Undo_Stack->canUndo());

        // Edits, a check-box click and Insert Row are steps, each named; Cancel ends them.
        Type_Into(w.ACG_S7_Read, RC::Mnemonic, 2, QStringLiteral("typed"));
        QCOMPARE(w.Act_Undo->text(), QStringLiteral("Undo Change of Mnemonic in Row 2"));
        const QModelIndex swap = w.ACG_S7_Read->Model()->Cell_Index(RC::Swap, 1);
        QVERIFY(w.ACG_S7_Read->Model()->setData(swap, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(w.Act_Undo->text(), QStringLiteral("Undo Change of Swap in Row 1"));
        QTest::mouseClick(w.Btn_Insert_Row, Qt::LeftButton);
        QCOMPARE(w.Undo_Stack->count(), 3);
        QCOMPARE(QApplication::focusWidget(), w.ACG_S7_Read); // the keys go on in the table
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(w.ACG_S7_Read, Qt::Key_Z, Qt::ControlModifier);
        }
        for (int r = 1; r <= 3; ++r) {
            QCOMPARE(Row_Of(w.ACG_S7_Read, r), Read_Rule(r));
        }
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Y, Qt::ControlModifier);
        messages.Set_Answer(true); // discard the changes
        QTest::mouseClick(w.Btn_Cancel, Qt::LeftButton);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Discard the changes?"));
        QCOMPARE(w.Undo_Stack->count(), 0);
        Open_Active(w);
        QVERIFY(!w.Act_Undo->isEnabled());
        QCOMPARE(Row_Of(w.ACG_S7_Read, 2), Read_Rule(2));
    }

    void aBadValueIsMarkedAsOkWouldReportIt() {
        Write_Rules();
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open_Active(w);
        QCOMPARE(w.L_Faults->text(), QStringLiteral("No faults"));
        Table_Model* model = w.ACG_S7_Read->Model();
        const QColor plain = model->data(model->Cell_Index(RC::PLC_Port, 2), Qt::BackgroundRole).value<QColor>();

        Type_Into(w.ACG_S7_Read, RC::PLC_Port, 2, QStringLiteral("65536"));
        const QString message = QStringLiteral("Error row 2!! [S7comm Read] PLC Port must be between 0 and 65535");
        const QModelIndex port = model->Cell_Index(RC::PLC_Port, 2);
        QVERIFY(model->Has_Mark(RC::PLC_Port, 2));
        QCOMPARE(model->data(port, Qt::ToolTipRole).toString(), message);
        QVERIFY(model->data(port, Qt::BackgroundRole).value<QColor>() != plain);
        QCOMPARE(w.L_Faults->text(), QStringLiteral("One faulty cell: ") + message);

        // A second fault on the write page; the first stays the one OK shows.
        Set_Cell(w.ACG_S7_Write, WC::Position, 1, "1500");
        QCOMPARE(w.L_Faults->text(), QStringLiteral("2 faulty cells, the first: ") + message);
        QVERIFY(w.ACG_S7_Write->Model()->Has_Mark(WC::Position, 1));
        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QCOMPARE(messages.Last_Text(), message);
        QVERIFY(w.isVisible());

        // Undone, the mark goes with the value; each undo shows the page it acts on.
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.PageControl1->currentWidget(), w.TS_S7_Write);
        QTest::keyClick(w.ACG_S7_Write, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.PageControl1->currentWidget(), w.TS_S7_Read);
        QVERIFY(!model->Has_Mark(RC::PLC_Port, 2));
        QCOMPARE(model->data(port, Qt::ToolTipRole), QVariant());
        QCOMPARE(w.L_Faults->text(), QStringLiteral("No faults"));
        Grab_Window(w, "s7_editing_no_faults");
        w.reject();
    }

    void f8MovesThroughTheFaultsOfBothPages() {
        Write_Rules(3, 3);
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open_Active(w);
        Set_Cell(w.ACG_S7_Read, RC::PLC_Port, 2, "x");
        Set_Cell(w.ACG_S7_Read, RC::PollTime, 2, "0");
        Set_Cell(w.ACG_S7_Write, WC::Position, 3, "2000");
        w.ACG_S7_Read->Set_Current_Cell(1, 1);
        auto at = [](Grid_View* t) { return std::pair{t->grid().Col, t->grid().Row}; };

        QTest::keyClick(w.ACG_S7_Read, Qt::Key_F8);
        QCOMPARE(at(w.ACG_S7_Read), std::pair(int{RC::PLC_Port}, 2));
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_F8);
        QCOMPARE(at(w.ACG_S7_Read), std::pair(int{RC::PollTime}, 2));
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_F8);
        QCOMPARE(w.PageControl1->currentWidget(), w.TS_S7_Write);
        QCOMPARE(at(w.ACG_S7_Write), std::pair(int{WC::Position}, 3));
        QTest::keyClick(w.ACG_S7_Write, Qt::Key_F8); // wraps to the first
        QCOMPARE(w.PageControl1->currentWidget(), w.TS_S7_Read);
        QCOMPARE(at(w.ACG_S7_Read), std::pair(int{RC::PLC_Port}, 2));
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_F8, Qt::ShiftModifier);
        QCOMPARE(w.PageControl1->currentWidget(), w.TS_S7_Write);
        QCOMPARE(at(w.ACG_S7_Write), std::pair(int{WC::Position}, 3));
        Grab_Window(w, "s7_editing_faults");
        QVERIFY(messages.Messages().isEmpty());
        w.reject();
    }

    void findSearchesTheShownPageFirstThenTheOther() {
        Write_Rules(3, 3);
        S7_Protocol_Window w;
        Open_Active(w);
        w.ACG_S7_Read->Set_Current_Cell(1, 1);
        QVERIFY(!w.P_Find->isVisible());
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.P_Find->isVisible());
        QCOMPARE(QApplication::focusWidget(), w.E_Find);

        // Letter case ignored; the read page has no valve, the write page three.
        QTest::keyClicks(w.E_Find, QStringLiteral("VALVE"));
        QCOMPARE(w.PageControl1->currentWidget(), w.TS_S7_Write);
        QCOMPARE(w.ACG_S7_Write->grid().Row, 1);
        QCOMPARE(w.ACG_S7_Write->grid().Col, int{WC::Mnemonic});
        Table_Model* model = w.ACG_S7_Write->Model();
        const QColor found = model->data(model->Cell_Index(WC::Mnemonic, 2), Qt::BackgroundRole).value<QColor>();
        QVERIFY(found.isValid());
        QVERIFY(!model->data(model->Cell_Index(WC::PLC_Type, 2), Qt::BackgroundRole).isValid());
        QTest::keyClick(w.E_Find, Qt::Key_Return);
        QCOMPARE(w.ACG_S7_Write->grid().Row, 2);
        QTest::keyClick(w.E_Find, Qt::Key_F3);
        QCOMPARE(w.ACG_S7_Write->grid().Row, 3);
        QTest::keyClick(w.E_Find, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(w.ACG_S7_Write->grid().Row, 2);
        Grab_Window(w, "s7_editing_find");

        // A more precise text stays on a cell that still holds it; pump is on the read page.
        QTest::keyClicks(w.E_Find, QStringLiteral(" 2"));
        QCOMPARE(w.ACG_S7_Write->grid().Row, 2);
        w.E_Find->clear();
        QTest::keyClicks(w.E_Find, QStringLiteral("pump 3"));
        QCOMPARE(w.PageControl1->currentWidget(), w.TS_S7_Read);
        QCOMPARE(w.ACG_S7_Read->grid().Row, 3);
        QTest::keyClicks(w.E_Find, QStringLiteral("x"));
        QCOMPARE(w.L_Find_Status->text(), QStringLiteral("No cell contains this text"));

        // Escape closes the bar, not the window.
        QTest::keyClick(w.E_Find, Qt::Key_Escape);
        QVERIFY(!w.P_Find->isVisible());
        QVERIFY(w.isVisible());
        QVERIFY(!model->data(model->Cell_Index(WC::Mnemonic, 2), Qt::BackgroundRole).isValid());
        w.reject();
    }

    void duplicateCountsUpAndIsOneStep() {
        Write_Rules(2, 0);
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open_Active(w);
        Set_Cell(w.ACG_S7_Read, RC::Position, 1, "10");
        Set_Cell(w.ACG_S7_Read, RC::Mnemonic, 1, "Pump_07");
        const std::vector<std::string> second = Row_Of(w.ACG_S7_Read, 2);
        const int steps = w.Undo_Stack->count();
        w.ACG_S7_Read->Set_Current_Cell(3, 1);

        QString preview;
        When_Dialog_Opens([&preview](Duplicate_Dialog& d) {
            d.E_Copies->setValue(3);
            d.Increment_Of(RC::Position)->setValue(2);
            d.Increment_Of(RC::PLC_Add)->setValue(4);
            d.Increment_Of(RC::DB_Number)->setValue(1);
            preview = d.L_Preview->text();
            Grab_Window(d, "s7_editing_duplicate");
            QTest::mouseClick(d.Btn_OK, Qt::LeftButton);
        });
        QTest::mouseClick(w.Btn_Duplicate, Qt::LeftButton);
        QCOMPARE(preview, QStringLiteral("First copy, row 2: DB Number = 2, PLC Add = 6, Position = 12, Mnemonic = "
                                         "Pump_08\nLast copy, row 4: DB Number = 4, PLC Add = 14, Position = 16, "
                                         "Mnemonic = Pump_10"));
        for (int k = 1; k <= 3; ++k) {
            std::vector<std::string> copy = Row_Of(w.ACG_S7_Read, 1);
            copy[RC::DB_Number - 1] = std::to_string(1 + k);
            copy[RC::PLC_Add - 1] = std::to_string(2 + 4 * k);
            copy[RC::Position - 1] = std::to_string(10 + 2 * k);
            copy[RC::Mnemonic - 1] = "Pump_" + std::string(k < 3 ? "0" : "") + std::to_string(7 + k);
            QCOMPARE(Row_Of(w.ACG_S7_Read, 1 + k), copy);
        }
        QCOMPARE(Row_Of(w.ACG_S7_Read, 5), second);
        QCOMPARE(w.Undo_Stack->count(), steps + 1);
        QCOMPARE(w.Act_Undo->text(), QStringLiteral("Undo Duplicate Row 1"));
        w.activateWindow(); // back from the dialog
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Row_Of(w.ACG_S7_Read, 2), second);
        QCOMPARE(w.ACG_S7_Read->grid().Text(RC::PLC_Address, 3), std::string());

        // Past the end of Position's range: refused in the dialog with the range named.
        Set_Cell(w.ACG_S7_Read, RC::Position, 1, "1495");
        w.ACG_S7_Read->Set_Current_Cell(3, 1);
        QString error;
        bool ok_enabled = true;
        When_Dialog_Opens([&](Duplicate_Dialog& d) {
            d.E_Copies->setValue(3);
            d.Increment_Of(RC::Position)->setValue(2);
            error = d.L_Error->text();
            ok_enabled = d.Btn_OK->isEnabled();
            d.reject();
        });
        QTest::mouseClick(w.Btn_Duplicate, Qt::LeftButton);
        QCOMPARE(error, QStringLiteral("Position must stay between 0 and 1499"));
        QVERIFY(!ok_enabled);
        QCOMPARE(Row_Of(w.ACG_S7_Read, 2), second);
        QVERIFY(messages.Messages().isEmpty());
        w.reject();
    }

    void rowNumbersStayBesideTheirRowsHoweverTheTableScrolls() {
        // 450 rules on one connection, so that only the fault put in row 400 is one.
        S7_Protocol_Data data = Reset_S7_Protocol();
        for (int i = 0; i < 450; ++i) {
            data.Read[static_cast<std::size_t>(i)] = Read_Rule(1);
            data.Read[static_cast<std::size_t>(i)][RC::Mnemonic - 1] = "pump " + std::to_string(i + 1);
        }
        QVERIFY(Save_S7_Protocol_File(file_, data, false).ok);
        Message_Recorder messages(false);
        S7_Protocol_Window w;
        Open_Active(w);
        Grid_View* t = w.ACG_S7_Read;
        auto* fixed = t->findChild<QTableView*>(QStringLiteral("Fixed_Column"));
        QVERIFY(fixed != nullptr);
        QCOMPARE(Numbers_Beside_Rows(t), QString());

        Wheel(t->viewport(), 1);
        QVERIFY(t->rowAt(1) > 0);
        QCOMPARE(Numbers_Beside_Rows(t), QString());
        Wheel(fixed->viewport(), 3); // over the numbers, the table scrolls with them
        QCOMPARE(Numbers_Beside_Rows(t), QString());
        t->setFocus();
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(t, Qt::Key_PageDown);
        }
        QCOMPARE(Numbers_Beside_Rows(t), QString());

        Set_Cell(t, RC::PLC_Port, 400, "70000");
        t->Set_Current_Cell(1, 1);
        QTest::keyClick(t, Qt::Key_F8);
        QCOMPARE(t->Current_Row(), 400);
        QCOMPARE(Numbers_Beside_Rows(t), QString());
        QTest::keyClick(t, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(w.E_Find, QStringLiteral("pump 123"));
        QCOMPARE(t->Current_Row(), 123);
        QCOMPARE(Numbers_Beside_Rows(t), QString());

        // The number clicked is the row Delete Row names.
        Wheel(t->viewport(), 1);
        const int y = t->rowViewportPosition(t->rowAt(40)) + 30;
        const int shown = t->rowAt(y) + 1;
        const QPoint on_number = fixed->viewport()->mapFromGlobal(t->viewport()->mapToGlobal(QPoint(1, y)));
        QTest::mouseClick(fixed->viewport(), Qt::LeftButton, {}, on_number);
        QTest::mouseClick(w.Btn_Delete_Row, Qt::LeftButton);
        QCOMPARE(messages.Last_Text(), QStringLiteral("Are you sure to delete the Row number %1").arg(shown));
    }

    // The other two windows share the number column; the certificates' rows are 60 pixels high.
    void rowNumbersStayBesideTheirRowsInTheOtherWindows() {
        Message_Recorder messages;
        IEC61850_Variables_Window variables;
        TLS_Known_Cert_Window certificates;
        for (auto [window, table] : {std::pair<Grid_Window*, Grid_View*>{&variables, variables.ACG},
                                     std::pair<Grid_Window*, Grid_View*>{&certificates, certificates.ASG}}) {
            Open_Active(*window);
            Wheel(table->viewport(), 1);
            QVERIFY(table->verticalScrollBar()->value() > 0);
            QCOMPARE(Numbers_Beside_Rows(table), QString());
            table->setFocus();
            QTest::keyClick(table, Qt::Key_PageDown);
            QCOMPARE(Numbers_Beside_Rows(table), QString());
            window->reject();
        }
    }

    void findLooksAtTheFieldsNotTheRowNumbers() {
        Write_Rules(7, 0);
        S7_Protocol_Window w;
        Open_Active(w);
        w.ACG_S7_Read->Set_Current_Cell(2, 3);
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_F, Qt::ControlModifier);
        // "5" is in the address of rule 5; "51" and "511" are in no field, only in a row number.
        QTest::keyClicks(w.E_Find, QStringLiteral("511"));
        QCOMPARE(w.L_Find_Status->text(), QStringLiteral("No cell contains this text"));
        QCOMPARE(w.ACG_S7_Read->Current_Row(), 5);
        Table_Model* model = w.ACG_S7_Read->Model();
        QVERIFY(!model->Cell_Contains(0, 511, QStringLiteral("511")));
        QCOMPARE(model->data(model->Cell_Index(0, 511), Qt::BackgroundRole),
                 model->data(model->Cell_Index(0, 510), Qt::BackgroundRole));
        // A field holding the number is found, in the row that holds it.
        w.E_Find->clear();
        QTest::keyClicks(w.E_Find, QStringLiteral("127.0.0.6"));
        QCOMPARE(w.ACG_S7_Read->Current_Row(), 6);
        QCOMPARE(w.ACG_S7_Read->grid().Col, int{RC::PLC_Address});
        w.Hide_Find_Bar();
    }

    void escapeCancelAndCloseAskBeforeDiscardingChanges() {
        Write_Rules();
        Message_Recorder messages(false);
        S7_Protocol_Window w;
        const QString question = QStringLiteral("Discard the changes?");

        // Without changes each of them closes at once.
        const std::vector<std::function<void()>> closers = {
            [&] { QTest::keyClick(w.ACG_S7_Read, Qt::Key_Escape); },
            [&] { QTest::mouseClick(w.Btn_Cancel, Qt::LeftButton); },
            [&] { w.close(); },
        };
        for (const auto& close : closers) {
            Open_Active(w);
            w.ACG_S7_Read->setFocus();
            close();
            QVERIFY(!w.isVisible());
        }
        QVERIFY(messages.Messages().isEmpty());

        // With a change each asks; No keeps the window and the change, Yes closes.
        for (const auto& close : closers) {
            Open_Active(w);
            Type_Into(w.ACG_S7_Read, RC::Mnemonic, 1, QStringLiteral("typed"));
            w.ACG_S7_Read->setFocus();
            messages.Set_Answer(false);
            close();
            QCOMPARE(messages.Last_Text(), question);
            QCOMPARE(messages.Messages().last().kind, Message_Kind::Question);
            QVERIFY(w.isVisible());
            QCOMPARE(w.ACG_S7_Read->grid().Text(RC::Mnemonic, 1), std::string("typed"));
            messages.Set_Answer(true);
            close();
            QVERIFY(!w.isVisible());
            QCOMPARE(w.result(), int(QDialog::Rejected));
        }
        QCOMPARE(messages.Messages().size(), 6);

        // A change undone again is no change.
        Open_Active(w);
        QCOMPARE(Row_Of(w.ACG_S7_Read, 1), Read_Rule(1));
        Set_Cell(w.ACG_S7_Read, RC::Mnemonic, 2, "typed");
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.ACG_S7_Read, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QCOMPARE(messages.Messages().size(), 6);
    }

    void eachOpeningStartsAtRowOneAndDuplicateKeepsToTheList() {
        Write_Rules(3, 3);
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open_Active(w);
        w.ACG_S7_Read->Set_Current_Cell(RC::Mnemonic, 480);
        w.PageControl1->setCurrentWidget(w.TS_S7_Write);
        w.ACG_S7_Write->Set_Current_Cell(WC::PLC_Port, 300);
        QVERIFY(w.ACG_S7_Write->verticalScrollBar()->value() > 0);
        w.reject();
        Open_Active(w);
        QCOMPARE(w.PageControl1->currentWidget(), w.TS_S7_Read);
        for (Grid_View* t : {w.ACG_S7_Read, w.ACG_S7_Write}) {
            QCOMPARE(t->Current_Row(), 1);
            QCOMPARE(t->grid().Col, 1);
            QCOMPARE(t->verticalScrollBar()->value(), 0);
            QCOMPARE(t->horizontalScrollBar()->value(), 0);
        }

        // Row 5 lies after the three rules: its copies would be neither checked nor saved.
        Set_Cell(w.ACG_S7_Read, RC::Mnemonic, 5, "after the end");
        const auto before = w.ACG_S7_Read->Rows();
        w.ACG_S7_Read->Set_Current_Cell(RC::Mnemonic, 5);
        QTest::mouseClick(w.Btn_Duplicate, Qt::LeftButton);
        QCOMPARE(messages.Last_Text(),
                 QStringLiteral("Only a row of the list can be duplicated: this row is after its end"));
        QCOMPARE(w.ACG_S7_Read->Rows(), before);
        QVERIFY(!Duplicate_Row_In_List(w.ACG_S7_Read->grid(), 4, RC::PLC_Address));
        QVERIFY(Duplicate_Row_In_List(w.ACG_S7_Read->grid(), 3, RC::PLC_Address));
        QCOMPARE(Duplicate_Max_Copies(w.ACG_S7_Read->grid(), 5, RC::PLC_Address), 0);
    }

    void certificateTableUndoesWithItsCheckBoxes() {
        Message_Recorder messages(true);
        TLS_Known_Cert_Window w;
        Open_Active(w);
        QVERIFY(!w.L_Faults->isVisible()); // nothing to check in this list
        Set_Cell(w.ASG, 2, 1, "first");
        Set_Cell(w.ASG, 2, 2, "second");
        QVERIFY(w.ASG->Model()->setData(w.ASG->Model()->Cell_Index(1, 2), Qt::Unchecked, Qt::CheckStateRole));
        const std::vector<std::vector<std::string>> before = w.ASG->Rows();
        w.ASG->Set_Current_Cell(2, 1);
        QTest::mouseClick(w.Btn_Delete_Row, Qt::LeftButton);
        QCOMPARE(w.ASG->grid().Text(2, 1), std::string("second"));
        QTest::keyClick(w.ASG, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.ASG->Rows(), before);
        QTest::keyClick(w.ASG, Qt::Key_Z, Qt::ControlModifier); // the unchecked box
        QVERIFY(w.ASG->grid().Cell(1, 2).checked);
        w.reject();
    }
};

QTEST_MAIN(Grid_Editing_Window_Test)
#include "grid_editing_window_test.moc"
