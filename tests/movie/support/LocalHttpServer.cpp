#include "movie/support/LocalHttpServer.h"
#include <QHostAddress>

namespace nimbrel::movie::test {

namespace {
constexpr int chunkBytes = 64 * 1024;
}

LocalHttpServer::LocalHttpServer(Mode mode, int dripIntervalMs) : mode_(mode) {
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] { accept(); });
    pump_.setInterval(mode == Mode::Drip || mode == Mode::Paced ? dripIntervalMs : 2);
    connect(&pump_, &QTimer::timeout, this, [this] { pump(); });
}

LocalHttpServer::~LocalHttpServer() {
    for (auto& s : streaming_)
        if (s) s->abort();
}

QString LocalHttpServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
}

void LocalHttpServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
    }
}

void LocalHttpServer::serve(QTcpSocket* socket) {
    if (!socket->canReadLine()) return;
    requests_.append(QString::fromLatin1(socket->readLine()).trimmed());
    socket->readAll();
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    switch (mode_) {
    case Mode::Answer:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body_.size()) + "\r\n\r\n" + body_);
        socket->disconnectFromHost();
        return;
    case Mode::EndlessChunks:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n\r\n");
        break;
    case Mode::Drip:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 1048576\r\n\r\n");
        break;
    case Mode::Paced:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: video/x-flv\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body_.size()) + "\r\n\r\n");
        pacedAt_[socket] = 0;
        break;
    }
    streaming_.append(socket);
    if (!pump_.isActive()) pump_.start();
}

void LocalHttpServer::pump() {
    static const QByteArray chunk =
        QByteArray::number(chunkBytes, 16) + "\r\n" + QByteArray(chunkBytes, 'x') + "\r\n";
    for (auto& s : streaming_) {
        if (!s || s->state() != QAbstractSocket::ConnectedState) continue;
        if (mode_ == Mode::Paced) {
            qint64& at = pacedAt_[s.data()];
            if (at >= body_.size()) continue;
            const qint64 n = s->write(body_.mid(at, pacedBytes));
            at += n;
            sent_ += n;
            if (at >= body_.size()) s->disconnectFromHost();
        } else if (mode_ == Mode::Drip) {
            sent_ += s->write("x", 1);
        } else if (s->bytesToWrite() < 4 * chunkBytes) {
            // Only as fast as the client takes it, so the server's own buffer stays small.
            sent_ += s->write(chunk);
        }
    }
}

} // namespace nimbrel::movie::test
