// The windows on screens smaller than their designed size: each opens inside the screen with every
// button, the find bar's close button and the table's scroll bar in reach. Run once per screen
// size (see editors.cmake); with QM_GRAB_DIR set it leaves a picture of the screen per window.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <string>

#include "common/app_state.h"
#include "common/file_io.h"
#include "common/gui/message_box.h"
#include "language/lang_table.h"
#include "parameters/par_gen_window.h"
#include "tables/grid_view.h"
#include "tables/iec61850_variables_window.h"
#include "tables/s7_protocol_window.h"
#include "tables/tls_known_cert_window.h"
#include "grid_test_support.h"

using namespace qm;
using namespace qm::gui;

namespace {

QRect Global_Rect(const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

// Everything a user must reach lies on the screen: the window itself, each button shown and the
// scroll bars of the tables shown. Empty when all do, else what does not.
QString Off_Screen(QWidget& window) {
    const QRect screen = window.screen()->availableGeometry();
    if (!screen.contains(window.frameGeometry())) {
        return QStringLiteral("window at %1,%2 %3x%4").arg(window.x()).arg(window.y()).arg(window.width()).arg(window.height());
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->isVisible() && !screen.contains(Global_Rect(button))) {
            return QStringLiteral("button ") + button->objectName() + QLatin1Char(' ') + button->text();
        }
    }
    for (const Grid_View* table : window.findChildren<Grid_View*>()) {
        if (table->isVisible() && !screen.contains(Global_Rect(table->verticalScrollBar()))) {
            return QStringLiteral("scroll bar of ") + table->objectName();
        }
    }
    return {};
}

void Grab_Screen(QWidget& window, const QString& name) {
    const QByteArray dir = qgetenv("QM_GRAB_DIR");
    if (dir.isEmpty()) {
        return;
    }
    QCoreApplication::processEvents();
    const QRect screen = window.screen()->geometry();
    const QString path = QDir(QString::fromLocal8Bit(dir))
                             .filePath(QStringLiteral("%1_%2x%3.png").arg(name).arg(screen.width()).arg(screen.height()));
    QVERIFY(window.screen()->grabWindow(0).save(path));
}

} // namespace

class Small_Screen_Window_Test : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    void Check(QDialog& window, const QString& name) {
        Open(window);
        QTest::qWait(20);
        QVERIFY2(Off_Screen(window).isEmpty(), qPrintable(name + QStringLiteral(": ") + Off_Screen(window)));
        Grab_Screen(window, name);
    }

private slots:
    void initTestCase() {
        Load_Default_Strings();
        QVERIFY(dir_.isValid());
        const std::string folder = dir_.path().toStdString();
        State().Project.Project_Dir = folder;
        State().Project.ParGen_File = Path_Join(folder, "ParGen.xml");
        State().Project.S7_Protocol_File = Path_Join(folder, "S7_Protocol.xml");
        State().Project.IEC61850_Variables_File = Path_Join(folder, "IEC61850_Variables.xml");
        State().Project.TLS_Known_Cert_File = Path_Join(folder, "TLS_Known_Cert.xml");
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        QVERIFY2(screen.width() < 1350, "run on a screen narrower than the S7comm window (see editors.cmake)");
    }

    void s7commWindowOpensWithinTheScreen() {
        Message_Recorder messages;
        S7_Protocol_Window w;
        Check(w, QStringLiteral("s7_read"));
        // The table gives up the room; the find bar and its close button still fit.
        QVERIFY(w.width() < 1350);
        QVERIFY(w.ACG_S7_Read->viewport()->width() > 300);
        w.Show_Find_Bar();
        QVERIFY2(Off_Screen(w).isEmpty(), qPrintable(Off_Screen(w)));
        QVERIFY(w.screen()->availableGeometry().contains(Global_Rect(w.Btn_Find_Close)));
        Grab_Screen(w, QStringLiteral("s7_read_find"));
        w.Hide_Find_Bar();
        w.PageControl1->setCurrentWidget(w.TS_S7_Write);
        QVERIFY2(Off_Screen(w).isEmpty(), qPrintable(Off_Screen(w)));
        w.reject();
        // A second opening is as good as the first.
        Check(w, QStringLiteral("s7_reopened"));
        w.reject();
    }

    void otherWindowsOpenWithinTheScreen() {
        Message_Recorder messages;
        {
            IEC61850_Variables_Window w;
            Check(w, QStringLiteral("iec61850"));
            w.reject();
        }
        {
            TLS_Known_Cert_Window w;
            Check(w, QStringLiteral("tls"));
            w.reject();
        }
        Par_Gen_Window p;
        Check(p, QStringLiteral("parameters"));
        p.reject();
    }
};

QTEST_MAIN(Small_Screen_Window_Test)
#include "small_screen_window_test.moc"
