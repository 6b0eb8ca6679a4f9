// The S7comm window's "Import PLC Tags...": the dialog's preview, OK putting the rules into the
// grid as one undoable step, and the window's OK saving them with their variables.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <fstream>

#include "common/app_state.h"
#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "tables/grid_view.h"
#include "tables/iec61850_variables.h"
#include "tables/s7_protocol.h"
#include "tables/s7_protocol_window.h"
#include "tables/grid_test_support.h"
#include "tags/gui/tag_import_dialog.h"

using namespace qm;
using namespace qm::gui;

class Tag_Import_Dialog_Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Load_Default_Strings(); }

    void importPutsRulesIntoTheGridAsOneStepAndOkSavesThemWithTheirVariables() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string folder = dir.path().toStdString();
        State().Project = {};
        State().Project.Project_Dir = folder;
        State().Project.S7_Protocol_File = Path_Join(folder, "S7_Protocol.xml");
        State().Project.IEC61850_Variables_File = Path_Join(folder, "IEC61850_Variables.xml");
        const std::string tags = Path_Join(folder, "plant.sdf");
        std::ofstream(tags) << "\"Start\",\"E 0.0\",\"BOOL\",\"Start button\"\r\n\"Flow\",\"MD 4\",\"REAL\",\"\"\r\n"
                               "\"Delay\",\"T 1\",\"TIMER\",\"\"\r\n";
        Message_Recorder messages;
        S7_Protocol_Window w;
        Open(w);
        QCOMPARE(w.Btn_Import_Tags->text(), QStringLiteral("Import PLC Tags..."));

        // Read in the dialog, compared once it is closed: a failure must not leave it open.
        bool refused_without_address = false;
        bool enabled = false;
        int rules = -1;
        int left_out = -1;
        QString second;
        QString left_name;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<Tag_Import_Dialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            dialog->E_File->setText(QString::fromStdString(tags));
            refused_without_address = !dialog->Btn_OK->isEnabled();
            dialog->E_PLC_Address->setText(QStringLiteral("127.0.0.1"));
            dialog->CK_Variables->setChecked(true);
            rules = dialog->T_Rules->rowCount();
            left_out = dialog->T_Left_Out->rowCount();
            second = rules > 1 ? dialog->T_Rules->item(1, 0)->text() : QString();
            left_name = left_out > 0 ? dialog->T_Left_Out->item(0, 1)->text() : QString();
            enabled = dialog->Btn_OK->isEnabled();
            Grab_Window(*dialog, "tag_import_dialog");
            if (enabled) {
                QTest::mouseClick(dialog->Btn_OK, Qt::LeftButton);
            } else {
                dialog->reject();
            }
        });
        QTest::mouseClick(w.Btn_Import_Tags, Qt::LeftButton);
        QVERIFY(refused_without_address); // no PLC address yet: the check refuses
        QCOMPARE(rules, 2);
        QCOMPARE(second, QStringLiteral("Flow"));
        QCOMPARE(left_out, 1);
        QCOMPARE(left_name, QStringLiteral("Delay"));
        QVERIFY(enabled);
        QCOMPARE(Row_Of(w.ACG_S7_Read, 1)[S7_Read_Col::Mnemonic - 1], std::string("Start"));
        QCOMPARE(Row_Of(w.ACG_S7_Read, 2)[S7_Read_Col::Data_Type - 1], std::string("Real"));
        QCOMPARE(w.Undo_Stack->count(), 1);
        w.Undo_Stack->undo();
        QCOMPARE(Row_Of(w.ACG_S7_Read, 1)[S7_Read_Col::PLC_Address - 1], std::string());
        w.Undo_Stack->redo();

        QTest::mouseClick(w.Btn_OK, Qt::LeftButton);
        QVERIFY2(messages.Messages().isEmpty(), qPrintable(messages.Last_Text()));
        const S7_Protocol_Read_Result saved = Read_S7_Protocol_File(State().Project.S7_Protocol_File);
        QCOMPARE(std::string(Cell(saved.data.Read[1], S7_Read_Col::Mnemonic)), std::string("Flow"));
        const Table_Read_Result variables = Read_IEC61850_Variables_File(State().Project.IEC61850_Variables_File);
        QCOMPARE(std::string(Cell(variables.rows[0], Var_Col::Type)), std::string("Digital (Bit)"));
        QCOMPARE(std::string(Cell(variables.rows[1], Var_Col::Name)), std::string("Flow"));
    }
};

QTEST_MAIN(Tag_Import_Dialog_Test)
#include "tag_import_dialog_test.moc"
