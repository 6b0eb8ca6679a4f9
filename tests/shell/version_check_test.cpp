#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "shell/version_check.h"
#include "shell/version_reply.h"
#include "version_test_server.h"

using qm::gui::Version_Check;
using qm::test::Ask;
using qm::test::Version_Server;

class Version_Check_Test : public QObject {
    Q_OBJECT

private:
    static void Point_At(Version_Check& check, const Version_Server& server) {
        check.Set_Server(QStringLiteral("127.0.0.1"), server.Port());
    }

private slots:
    void replies_data() {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("newer");
        const QByteArray ok = "HTTP/1.0 200 OK";
        QTest::newRow("VER. 1.001") << ok << QByteArray("VER. 1.001") << true;
        QTest::newRow("VER. 1.000") << ok << QByteArray("VER. 1.000") << false;
        QTest::newRow("VER. 0.999") << ok << QByteArray("VER. 0.999") << false;
        QTest::newRow("ver. 0.000 between blank lines") << ok << QByteArray("\r\n\r\nver. 0.000\r\n\r\n") << false;
        QTest::newRow("1.001 without the word") << ok << QByteArray("1.001") << true;
        QTest::newRow("VER. 10.01") << ok << QByteArray("VER. 10.01") << false;
        QTest::newRow("empty reply") << ok << QByteArray() << false;
        QTest::newRow("error status") << QByteArray("HTTP/1.0 404 Not Found") << QByteArray("VER. 1.001") << false;
        QTest::newRow("server error") << QByteArray("HTTP/1.0 500 Internal Server Error") << QByteArray("VER. 1.001")
                                      << false;
        // The longest reply still read, and one byte more.
        QByteArray longest = "VER. 1.001";
        longest.append(QByteArray(static_cast<qsizetype>(qm::Max_Version_Reply_Bytes) - longest.size(), ' '));
        QTest::newRow("reply at the size limit") << ok << longest << true;
        QTest::newRow("reply over the size limit") << ok << longest + ' ' << false;
        QTest::newRow("large reply") << ok << QByteArray("VER. 1.001") + QByteArray(1 << 20, ' ') << false;
    }
    void replies() {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, newer);
        Version_Server server;
        server.status_line = status;
        server.body = body;
        Version_Check check;
        Point_At(check, server);
        QCOMPARE(Ask(check), std::optional<bool>(newer));
        QCOMPARE(server.requests.size(), 1);
    }

    void redirect_is_not_followed() {
        Version_Server target;
        target.body = "VER. 1.001";
        Version_Server server;
        server.status_line = "HTTP/1.0 302 Found";
        server.extra_headers = "Location: http://127.0.0.1:" + QByteArray::number(target.Port()) + "/\r\n";
        Version_Check check;
        Point_At(check, server);
        QCOMPARE(Ask(check), std::optional<bool>(false));
        QVERIFY(target.requests.isEmpty());
    }

    void request_asks_for_this_model() {
        Version_Server server;
        server.body = "VER. 1.000";
        Version_Check check;
        Point_At(check, server);
        QVERIFY(Ask(check).has_value());
        QCOMPARE(server.requests.size(), 1);
        const QByteArray request = server.requests.first();
        // HTTP/1.0 with the two headers of the query and the host: no compression, language or
        // keep-alive negotiated, no cookies.
        const QByteArray expected = "GET /home/download/GetversionSW.asp?nomesw=CF39174 HTTP/1.0\r\n"
                                    "Host: 127.0.0.1:" + QByteArray::number(server.Port()) + "\r\n"
                                    "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                                    "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n\r\n";
        QCOMPARE(request, expected);
    }

    void no_server_is_no_newer_version() {
        Version_Check check;
        check.Set_Server(QStringLiteral("127.0.0.1"), qm::test::Closed_Port());
        QCOMPARE(Ask(check), std::optional<bool>(false));
    }

    // A server that takes the request and never answers: the time-out ends the wait, and the
    // windows kept running their events meanwhile.
    void silent_server_times_out_without_freezing() {
        Version_Server server;
        server.silent = true;
        Version_Check check;
        Point_At(check, server);
        check.Set_Timeout_Ms(300);
        bool events_ran = false;
        QTimer::singleShot(20, [&events_ran] { events_ran = true; });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(Ask(check), std::optional<bool>(false));
        QVERIFY(clock.elapsed() < Version_Check::Default_Timeout_Ms);
        QVERIFY(events_ran);
        QCOMPARE(server.requests.size(), 1);
        // The connection was given up, not left open.
        QTRY_VERIFY(server.connections.first().isNull() ||
                    server.connections.first()->state() != QAbstractSocket::ConnectedState);
    }

    // A server that answers and keeps the connection open (keep-alive) is answered at its
    // Content-Length, long before the time-out; a slow one is waited for.
    void reply_ends_at_its_length_or_after_a_slow_answer_data() {
        QTest::addColumn<bool>("keep_open");
        QTest::addColumn<int>("delay_ms");
        QTest::newRow("keeps the connection open") << true << 0;
        QTest::newRow("slow, keeps it open") << true << 400;
        QTest::newRow("slow, closes") << false << 400;
    }
    void reply_ends_at_its_length_or_after_a_slow_answer() {
        QFETCH(bool, keep_open);
        QFETCH(int, delay_ms);
        Version_Server server;
        server.body = "VER. 1.001";
        server.keep_open = keep_open;
        server.delay_ms = delay_ms;
        Version_Check check;
        Point_At(check, server);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(Ask(check), std::optional<bool>(true));
        QVERIFY(clock.elapsed() < Version_Check::Default_Timeout_Ms / 2);
        QVERIFY(clock.elapsed() >= delay_ms);
    }

    void query_returns_at_once_and_answers_later() {
        Version_Server server;
        server.body = "VER. 1.001";
        Version_Check check;
        Point_At(check, server);
        int answers = 0;
        bool answer = false;
        check.Query([&](bool newer) {
            ++answers;
            answer = newer;
        });
        QCOMPARE(answers, 0);
        QTRY_COMPARE(answers, 1);
        QVERIFY(answer);
    }

    void maker_pages_and_the_browser_seam() {
        const QString site = QStringLiteral("http://") + qm::gui::Maker_Host();
        QCOMPARE(qm::gui::Download_Url(), site + QStringLiteral("/Home/download/download.asp#GW39174"));
        QCOMPARE(qm::gui::Home_Url(), site + QStringLiteral("/HOME/default.asp?frompg=CF39174"));
        QVERIFY(!qm::gui::Maker_Host().isEmpty());
        QStringList opened;
        qm::gui::Set_Url_Opener([&opened](const QString& url) { opened.append(url); });
        qm::gui::Open_Url(qm::gui::Home_Url());
        qm::gui::Set_Url_Opener({});
        QCOMPARE(opened, QStringList{qm::gui::Home_Url()});
    }
};

QTEST_MAIN(Version_Check_Test)
#include "version_check_test.moc"
