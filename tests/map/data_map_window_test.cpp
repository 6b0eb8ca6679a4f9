// The Data Map window: each byte's colour, its tooltip and the findings, from a configuration on disk.

#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

#include "common/file_io.h"
#include "language/lang_table.h"
#include "map/gui/data_map_window.h"

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
};

QTEST_MAIN(Data_Map_Window_Test)
#include "data_map_window_test.moc"
