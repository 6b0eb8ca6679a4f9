// The Data Map window: each byte's colour, its tooltip and the findings, from a configuration on disk.

#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

#include "common/file_io.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "common/gui/message_box.h"
#include "map/gui/data_map_window.h"
#include "tables/grid_view.h"
#include "tables/s7_protocol.h"
#include "tables/s7_protocol_window.h"
#include "../tables/grid_test_support.h"

using namespace qm;
using namespace qm::gui;

class Data_Map_Window_Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Load_Default_Strings(); }

    void cellsShowWhoFillsAndShowsThem() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string folder = dir.path().toStdString();
        std::ofstream(Path_Join(folder, "S7_Protocol.xml"))
            << "<S7_Protocol><S7_Protocol_Read>"
               "<row Enable=\"Y\" Data_Type=\"Int\" Position=\"0\" Mnemonic=\"oven\"/>"
               "<row Enable=\"Y\" Data_Type=\"Byte\" Position=\"1\"/>"
               "<row Enable=\"Y\" Data_Type=\"Word\" Position=\"10\"/>"
               "</S7_Protocol_Read><S7_Protocol_Write/></S7_Protocol>";
        std::ofstream(Path_Join(folder, "IEC61850_Variables.xml"))
            << "<IEC61850_Variables>"
               "<row Enable=\"Y\" Name=\"Temp\" Type=\"Int\" Length=\"2\" ReadOnly=\"Y\" Position=\"10\"/>"
               "<row Enable=\"Y\" Name=\"Level\" Type=\"Int\" Length=\"2\" ReadOnly=\"Y\" Position=\"20\"/>"
               "<row Enable=\"Y\" Name=\"Set\" Type=\"Int\" Length=\"2\" ReadOnly=\"N\" Position=\"30\"/>"
               "</IEC61850_Variables>";
        Data_Map_Window w(folder);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        const std::vector<Byte_Use> use = Data_Array_Use(w.Map());
        QCOMPARE(Kind_Of(use[0]), Byte_Kind::Read_Rule);
        QCOMPARE(Kind_Of(use[1]), Byte_Kind::Conflict);
        QCOMPARE(Kind_Of(use[10]), Byte_Kind::Both);
        QCOMPARE(Kind_Of(use[20]), Byte_Kind::Unfed);
        QCOMPARE(Kind_Of(use[30]), Byte_Kind::Variable);
        QCOMPARE(Kind_Of(use[40]), Byte_Kind::Free);

        // The picture draws those colours where the bytes are, 50 to a line.
        const QImage picture = w.I_Map->grab().toImage();
        const auto centre = [](int byte) {
            return QPoint((byte % Data_Map_Picture::Per_Line) * Data_Map_Picture::Cell + Data_Map_Picture::Cell / 2,
                          (byte / Data_Map_Picture::Per_Line) * Data_Map_Picture::Cell + Data_Map_Picture::Cell / 2);
        };
        for (const auto& [byte, kind] : {std::pair{1, Byte_Kind::Conflict}, std::pair{20, Byte_Kind::Unfed},
                                         std::pair{1499, Byte_Kind::Free}, std::pair{10, Byte_Kind::Both}}) {
            QCOMPARE(picture.pixelColor(centre(byte)), Colour_Of(kind));
            QCOMPARE(w.I_Map->Byte_At(centre(byte)), byte);
        }
        QCOMPARE(w.I_Map->Byte_Text(1), QStringLiteral("byte 1\nread rule 1 \"oven\"\nread rule 2"));
        QCOMPARE(w.I_Map->Byte_Text(10), QStringLiteral("byte 10\nread rule 3\nvariable 1 \"Temp\""));

        QCOMPARE(w.LB_Findings->count(), 2);
        QCOMPARE(w.LB_Findings->item(0)->text(), QStringLiteral("overlap: read rules 1 \"oven\" and 2: both fill byte 1"));
        QVERIFY(w.LB_Findings->item(1)->text().startsWith(QStringLiteral("unfed: read-only variable 2 \"Level\"")));
    }

    // From the S7comm window: the map of the grid as typed, and a click on a finding selects its row.
    void tableWindowButtonMapsTheGridAndSelectsTheRow() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        State().Project = {};
        State().Project.Project_Dir = dir.path().toStdString();
        State().Project.S7_Protocol_File = Path_Join(State().Project.Project_Dir, "S7_Protocol.xml");
        Message_Recorder messages;
        S7_Protocol_Window w;
        QPushButton* button = Add_Data_Map_Button(&w);
        Open(w);
        QCOMPARE(button->text(), QStringLiteral("Data Map"));
        std::vector<std::string> rule(S7_Read_Col::Col_Count - 1);
        rule[0] = "Y";
        rule[S7_Read_Col::PLC_Address - 1] = "127.0.0.1";
        rule[S7_Read_Col::Data_Type - 1] = "Int";
        rule[S7_Read_Col::Position - 1] = "8";
        Set_Row(w.ACG_S7_Read, 1, rule);
        Set_Row(w.ACG_S7_Read, 2, rule);
        w.ACG_S7_Read->Set_Current_Cell(S7_Read_Col::Mnemonic, 1);
        int findings = -1;
        QTimer::singleShot(0, this, [&findings] {
            auto* map = qobject_cast<Data_Map_Window*>(QApplication::activeModalWidget());
            if (map == nullptr) return;
            findings = map->LB_Findings->count();
            QListWidgetItem* item = map->LB_Findings->item(0);
            QTest::mouseClick(map->LB_Findings->viewport(), Qt::LeftButton, {},
                              map->LB_Findings->visualItemRect(item).center());
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(findings, 1); // nothing is saved yet: the map is the grid's
        QCOMPARE(w.ACG_S7_Read->Current_Row(), 1);
        QCOMPARE(w.ACG_S7_Read->grid().Col, int{S7_Read_Col::Position});
        QVERIFY(w.isVisible()); // the map closed, the window stays
        QVERIFY(qobject_cast<Data_Map_Window*>(QApplication::activeModalWidget()) == nullptr);
        w.reject();
    }
};

QTEST_MAIN(Data_Map_Window_Test)
#include "data_map_window_test.moc"
