// The version query on a plain socket, as a module the program loads on the first query.

#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

#include "shell/version_query_entry.h"

extern "C" QM_MODULE_EXPORT void Qm_Version_Query(const Qm_Version_Query_Request* request) {
    // A plain socket rather than QNetworkAccessManager: that one speaks only HTTP/1.1 and adds
    // Accept-Encoding, Accept-Language and keep-alive of its own; the service is asked in HTTP/1.0
    // with exactly the query's two headers.
    auto* socket = new QTcpSocket(request->owner);
    socket->setProxy(QNetworkProxy::NoProxy);
    auto raw = std::make_shared<QByteArray>();
    auto answered = std::make_shared<bool>(false);
    const qsizetype limit = request->limit;
    const auto complete = request->complete;

    // Answers once, whatever ends the query first: the server closing, an error, the deadline
    // or a reply too long to be a version text.
    const auto finish = [socket, raw, answered, finished = request->finished](bool whole) {
        if (*answered) {
            return;
        }
        *answered = true;
        socket->abort();
        socket->deleteLater();
        finished(whole, *raw);
    };

    QObject::connect(socket, &QTcpSocket::connected, socket,
                     [socket, bytes = request->request] { socket->write(bytes); });
    // What is still buffered when the connection ends; a closed socket has nothing left to read.
    const auto take_rest = [socket, raw, limit] {
        if (socket->isOpen()) {
            raw->append(socket->read(limit + 1 - raw->size()));
        }
    };
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, raw, finish, limit, complete] {
        raw->append(socket->read(limit + 1 - raw->size()));
        if (raw->size() > limit) {
            finish(false);
        } else if (complete(*raw)) {
            finish(true);
        }
    });
    // HTTP/1.0: without a length the reply ends where the server closes the connection.
    QObject::connect(socket, &QTcpSocket::disconnected, socket, [raw, finish, take_rest, limit] {
        take_rest();
        finish(raw->size() <= limit);
    });
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket,
                     [raw, finish, take_rest, limit](QAbstractSocket::SocketError error) {
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
    QObject::connect(deadline, &QTimer::timeout, socket, [finish] { finish(false); });
    deadline->start(request->timeout_ms);

    socket->connectToHost(request->host, request->port);
}
