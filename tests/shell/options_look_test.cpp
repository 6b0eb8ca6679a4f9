// Every control of the options and About windows stays inside its window, shows its whole text
// and covers no other control, in English and in the longer Italian texts.

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QTabWidget>
#include <QtTest>

#include <filesystem>

#include "common/file_io.h"
#include "language/lang_table.h"
#include "shell/about_window.h"
#include "common/app_state.h"
#include "shell/options_window.h"
#include "temp_dir.h"
#include "window_test_util.h"

using namespace qm::test;

namespace {

QString Describe(const QWidget* widget) {
    return widget->objectName() + QStringLiteral(" ") + QString::number(widget->x()) + QLatin1Char(',') +
           QString::number(widget->y()) + QLatin1Char(' ') + QString::number(widget->width()) + QLatin1Char('x') +
           QString::number(widget->height());
}

// The window's own controls as shown, not the parts Qt makes inside its widgets.
bool Checked(const QWidget* widget) {
    return widget->isVisible() && !widget->objectName().isEmpty() &&
           !widget->objectName().startsWith(QLatin1String("qt_"));
}

// The faults of one window as shown: controls outside their parent, cut texts, overlaps.
QStringList Layout_Faults(const QWidget* window) {
    QStringList faults;
    const QList<QWidget*> all = window->findChildren<QWidget*>();
    for (const QWidget* widget : all) {
        if (!Checked(widget)) {
            continue;
        }
        const QWidget* parent = widget->parentWidget();
        if (!parent->rect().contains(widget->geometry())) {
            faults.append(Describe(widget) + QStringLiteral(" leaves ") + Describe(parent));
        }
        const auto* label = qobject_cast<const QLabel*>(widget);
        // A stretched picture is meant to be drawn smaller than it is.
        const bool has_text = (label != nullptr && !label->hasScaledContents()) ||
                              qobject_cast<const QAbstractButton*>(widget) != nullptr;
        if (has_text && widget->sizeHint().width() > widget->width()) {
            faults.append(Describe(widget) + QStringLiteral(" cuts its text, needs ") +
                          QString::number(widget->sizeHint().width()));
        }
        for (const QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            // Each pair once.
            if (sibling != widget && Checked(sibling) && widget->objectName() < sibling->objectName() &&
                widget->geometry().intersects(sibling->geometry())) {
                faults.append(Describe(widget) + QStringLiteral(" overlaps ") + Describe(sibling));
            }
        }
    }
    return faults;
}

void Snapshot(QWidget* window, const QString& name) {
    const QByteArray folder = qgetenv("QM_SNAPSHOT_DIR");
    if (!folder.isEmpty()) {
        window->grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
}

} // namespace

class Options_Look_Test : public QObject {
    Q_OBJECT

private slots:
    void options_window_fits() {
        QFETCH(QString, language);
        Temp_Dir dir;
        qm::State() = qm::App_State{};
        qm::State().Paths.Language_Dir = dir / "LANGUAGE";
        QVERIFY(qm::Make_Dir(qm::State().Paths.Language_Dir));
        for (const char* name : {"English", "Italiano"}) {
            std::filesystem::copy_file(std::string(QM_SOURCE_DIR) + "/LANGUAGE/" + name + ".lng",
                                       qm::Path_Join(qm::State().Paths.Language_Dir, std::string(name) + ".lng"));
        }
        // Two names too long for their column.
        for (const char* name :
             {"Deutsch", "Espanol", "Francais", "Nederlands_en_Vlaams_voor_Belgie", "Portugues_do_Brasil_e_Portugal"}) {
            Write_Text(qm::Path_Join(qm::State().Paths.Language_Dir, std::string(name) + ".lng"), "STR0 = x\n");
        }
        QImage flag(48, 48, QImage::Format_RGB32);
        flag.fill(qRgb(40, 110, 180));
        QVERIFY(flag.save(QString::fromStdString(qm::Path_Join(qm::State().Paths.Language_Dir, "DefaultFlag.bmp"))));
        qm::State().Settings.Language = language.toStdString();
        QVERIFY(qm::Init_Language(qm::State().Paths.Language_Dir, qm::State().Settings.Language).ok);
        qm::State().Settings.Enable_Internet = true;

        qm::gui::Options_Window window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* pages = Child<QTabWidget>(&window, "PC_Options");
        // Both pages of languages, then the other two tabs.
        for (int step = 0; step < pages->count() + 1; ++step) {
            if (step == 1) {
                Child(&window, "Btn_Next")->click();
            }
            pages->setCurrentIndex(std::max(0, step - 1));
            QCoreApplication::processEvents();
            Snapshot(&window, QStringLiteral("options_%1_%2").arg(language).arg(step));
            const QStringList faults = Layout_Faults(&window);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        }
    }
    void options_window_fits_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << QStringLiteral("English");
        QTest::newRow("Italiano") << QStringLiteral("Italiano");
    }

    void about_window_fits() {
        qm::gui::About_Window window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Snapshot(&window, QStringLiteral("about"));
        const QStringList faults = Layout_Faults(&window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(Options_Look_Test)
#include "options_look_test.moc"
