#pragma once
// A tiny HTTP server on 127.0.0.1 that stands in for the maker's version service.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace qm::test {

class Version_Server : public QTcpServer {
public:
    QByteArray status_line = "HTTP/1.0 200 OK";
    QByteArray extra_headers;
    QByteArray body;
    bool silent = false; // reads the request and never answers
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
                    socket->write(status_line + "\r\nContent-Type: text/html\r\nContent-Length: " +
                                  QByteArray::number(body.size()) + "\r\n" + extra_headers + "\r\n" + body);
                    socket->disconnectFromHost();
                });
            }
        });
    }

    quint16 Port() const { return serverPort(); }
};

// A port on 127.0.0.1 where nothing listens.
inline quint16 Closed_Port() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace qm::test
