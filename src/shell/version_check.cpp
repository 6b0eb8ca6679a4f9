#include "shell/version_check.h"

#include <QDesktopServices>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <utility>

#include "common/app_state.h"
#include "shell/maker_site.h"
#include "shell/version_reply.h"


namespace qm::gui {
namespace {

std::function<void(const QString&)>& Url_Opener() {
    static std::function<void(const QString&)> opener;
    return opener;
}

QString Site(const QString& host, quint16 port) {
    QString site = QStringLiteral("http://") + host;
    if (port != 0) {
        site += QLatin1Char(':') + QString::number(port);
    }
    return site;
}

} // namespace

QString Maker_Host() {
    return QString::fromStdString(qm::Maker_Host());
}

QString Download_Url() {
    return QString::fromStdString(qm::Download_Url());
}

QString Home_Url() {
    return QString::fromStdString(qm::Home_Url());
}

void Open_Url(const QString& url) {
    if (Url_Opener()) {
        Url_Opener()(url);
    } else {
        QDesktopServices::openUrl(QUrl(url));
    }
}

void Set_Url_Opener(std::function<void(const QString&)> opener) {
    Url_Opener() = std::move(opener);
}

Version_Check::Version_Check(QObject* parent)
    : QObject(parent), host_(Maker_Host()) {
    setObjectName(QStringLiteral("Version_Check"));
}

void Version_Check::Set_Server(const QString& host, quint16 port) {
    host_ = host;
    port_ = port;
}

QString Version_Check::Query_Path() {
    return QStringLiteral("/home/download/GetversionSW.asp?nomesw=") + QString::fromUtf8(SW_Code);
}

QString Version_Check::Query_Url() const {
    return Site(host_, port_) + Query_Path();
}

void Version_Check::Query(std::function<void(bool newer)> done) {
    // A plain socket rather than QNetworkAccessManager: that one speaks only HTTP/1.1 and adds
    // Accept-Encoding, Accept-Language and keep-alive of its own; the service is asked in HTTP/1.0
    // with exactly the query's two headers.
    auto* socket = new QTcpSocket(this);
    socket->setProxy(QNetworkProxy::NoProxy);
    auto raw = std::make_shared<QByteArray>();
    auto answered = std::make_shared<bool>(false);
    const QByteArray request = QByteArray::fromStdString(
        Version_Request(host_.toStdString(), port_, Query_Path().toStdString()));

    // Answers once, whatever ends the query first: the server closing, an error, the deadline
    // or a reply too long to be a version text.
    const auto finish = [socket, raw, answered, done = std::move(done)](bool whole) {
        if (*answered) {
            return;
        }
        *answered = true;
        std::string body;
        if (whole) {
            body = Http_Reply_Body(std::string_view(raw->constData(), static_cast<std::size_t>(raw->size())))
                       .value_or(std::string());
        }
        socket->abort();
        socket->deleteLater();
        done(Reply_Offers_Newer(body, Program_Version));
    };
    constexpr qsizetype limit = static_cast<qsizetype>(Max_Version_Reply_Bytes + Max_Version_Head_Bytes);

    connect(socket, &QTcpSocket::connected, socket, [socket, request] { socket->write(request); });
    // What is still buffered when the connection ends; a closed socket has nothing left to read.
    const auto take_rest = [socket, raw] {
        if (socket->isOpen()) {
            raw->append(socket->read(limit + 1 - raw->size()));
        }
    };
    connect(socket, &QTcpSocket::readyRead, socket, [socket, raw, finish] {
        raw->append(socket->read(limit + 1 - raw->size()));
        if (raw->size() > limit) {
            finish(false);
        } else if (Http_Reply_Complete(std::string_view(raw->constData(), static_cast<std::size_t>(raw->size())))) {
            finish(true);
        }
    });
    // HTTP/1.0: without a length the reply ends where the server closes the connection.
    connect(socket, &QTcpSocket::disconnected, socket, [raw, finish, take_rest] {
        take_rest();
        finish(raw->size() <= limit);
    });
    connect(socket, &QTcpSocket::errorOccurred, socket, [raw, finish, take_rest](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError) {
            take_rest();
            finish(raw->size() <= limit);
        } else {
            finish(false);
        }
    });

    // The whole query, not only a silent connection, is bounded.
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, socket, [finish] { finish(false); });
    deadline->start(timeout_ms_);

    socket->connectToHost(host_, port_ != 0 ? port_ : 80);
}

} // namespace qm::gui
