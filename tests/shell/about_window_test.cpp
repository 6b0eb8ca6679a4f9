#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "shell/about_window.h"
#include "shell/version_check.h"
#include "window_test_util.h"

using qm::gui::About_Window;
using namespace qm::test;

class About_Window_Test : public QObject {
    Q_OBJECT

private slots:
    // Fixed English whatever language the table holds.
    void shows_the_fixed_texts() {
        qm::Load_Default_Strings();
        Set_Entries({{300, "Opzioni"}, {12, "Informazioni"}});
        About_Window window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("About..."));
        QCOMPARE(window.size(), QSize(425, 148));
        const std::pair<const char*, const char*> texts[] = {
            {"Label1", "Software Quillmaker "}, {"Label2", "IEC61850 Server / S7comm - Converter"},
            {"Label6", "Software Code : "},     {"Label9", "CF39174"},
            {"Label3", "Version :"},            {"Label10", "1.000"},
            {"Label8", "Document Code :"},      {"Label12", "UM39174"},
        };
        for (const auto& [name, text] : texts) {
            QCOMPARE(Label_Text(&window, name), QString::fromUtf8(text));
        }
        QCOMPARE(Label_Text(&window, "Label4"), qm::gui::Maker_Host());
        QCOMPARE(Child(&window, "LbButton1")->text(), QStringLiteral("OK"));
    }

    void logo_and_address_open_the_home_page_and_ok_closes() {
        QStringList opened;
        qm::gui::Set_Url_Opener([&opened](const QString& url) { opened.append(url); });
        About_Window window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(Child<QLabel>(&window, "Label4"), Qt::LeftButton);
        QTest::mouseClick(Child<QLabel>(&window, "Image2"), Qt::LeftButton);
        QTest::mouseClick(Child<QLabel>(&window, "Label1"), Qt::LeftButton);
        qm::gui::Set_Url_Opener({});
        QCOMPARE(opened, QStringList({qm::gui::Home_Url(), qm::gui::Home_Url()}));
        Child(&window, "LbButton1")->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), QDialog::Accepted);
    }
};

QTEST_MAIN(About_Window_Test)
#include "about_window_test.moc"
