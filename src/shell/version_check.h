#pragma once
// Asks the maker's web service whether a newer version of the configurator exists, and opens
// the maker's pages in the user's browser.

#include <QObject>
#include <QString>

#include <functional>


namespace qm::gui {

// The maker's web host, fixed when the program is built.
QString Maker_Host();
// The page where a newer version is downloaded.
QString Download_Url();
// The maker's home page.
QString Home_Url();

// Opens an address in the user's browser without waiting; the result is not checked.
void Open_Url(const QString& url);
// Replaces the browser, e.g. in tests; an empty opener restores it.
void Set_Url_Opener(std::function<void(const QString&)> opener);

class Version_Check : public QObject {
    Q_OBJECT

public:
    static constexpr int Default_Timeout_Ms = 10000;

    explicit Version_Check(QObject* parent = nullptr);

    // Sends the query to another server, e.g. one a test runs on 127.0.0.1.
    void Set_Server(const QString& host, quint16 port);
    // Gives up on a query after this long; it then counts as failed.
    void Set_Timeout_Ms(int ms) { timeout_ms_ = ms; }
    QString Query_Url() const;
    // The query's path and query string on the host.
    static QString Query_Path();

    // Starts the query and returns at once; done gets true when a newer version is offered, at the
    // latest after the time-out. Every failure (no connection, time-out, error status, oversized
    // reply) gives false. done is not called once this object is gone.
    void Query(std::function<void(bool newer)> done);

private:
    QString host_;
    quint16 port_ = 0; // 0: the scheme's own
    int timeout_ms_ = Default_Timeout_Ms;
};

} // namespace qm::gui
