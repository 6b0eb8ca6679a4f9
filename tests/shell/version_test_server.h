#pragma once
// A tiny HTTP server on 127.0.0.1 that stands in for the maker's version service.

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>
#include <optional>

#include "shell/version_check.h"

namespace qm::test {

class Version_Server : public QTcpServer {
public:
    QByteArray status_line = "HTTP/1.0 200 OK";
    QByteArray extra_headers;
    QByteArray body;
    bool silent = false;    // reads the request and never answers
    bool keep_open = false; // answers and leaves the connection open, as a keep-alive server does
    int delay_ms = 0;       // answers this long after the request
    QList<QByteArray> requests;
    QList<QPointer<QTcpSocket>> connections;

    Version_Server() {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connections.append(socket);
                auto request = std::make_shared<QByteArray>();
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                    request->append(socket->readAll());
                    if (!request->contains("\r\n\r\n")) {
                        return;
                    }
                    requests.append(*request);
                    request->clear();
                    if (silent) {
                        return;
                    }
                    const QByteArray reply = status_line + "\r\nContent-Type: text/html\r\nContent-Length: " +
                                             QByteArray::number(body.size()) + "\r\n" + extra_headers + "\r\n" + body;
                    QTimer::singleShot(delay_ms, socket, [this, socket, reply] {
                        socket->write(reply);
                        if (!keep_open) {
                            socket->disconnectFromHost();
                        }
                    });
                });
            }
        });
    }

    quint16 Port() const { return serverPort(); }
};

// Sends check's query and waits for its answer, the windows' events running meanwhile; nullopt
// when none came within wait_ms.
inline std::optional<bool> Ask(qm::gui::Version_Check& check, int wait_ms = 20000) {
    auto answer = std::make_shared<std::optional<bool>>();
    check.Query([answer](bool newer) { *answer = newer; });
    QElapsedTimer clock;
    clock.start();
    while (!answer->has_value() && clock.elapsed() < wait_ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return *answer;
}

// A port on 127.0.0.1 where nothing listens.
inline quint16 Closed_Port() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace qm::test
