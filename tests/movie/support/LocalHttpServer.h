#pragma once
// An HTTP server on 127.0.0.1 inside the test process, for loads that must
// misbehave: answers that never end, answers that trickle a byte at a time,
// or a plain short answer. It counts every request it is sent.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace nimbrel::movie::test {

class LocalHttpServer : public QObject {
public:
    enum class Mode {
        Answer,        // "200 OK" with body()
        EndlessChunks, // chunked, 64 KB chunks for ever
        Drip,          // a declared 1 MB body, one byte per dripIntervalMs
        Paced,         // body() with its length declared, pacedBytes per dripIntervalMs
    };
    static constexpr int pacedBytes = 4096;

    explicit LocalHttpServer(Mode mode, int dripIntervalMs = 50);
    ~LocalHttpServer() override;
    QString url(const QString& path) const;
    // The request lines received ("GET /path?query HTTP/1.1").
    const QStringList& requests() const { return requests_; }
    void setBody(const QByteArray& body) { body_ = body; }
    qint64 bytesSent() const { return sent_; }

private:
    void accept();
    void serve(QTcpSocket* socket);
    void pump();

    Mode mode_;
    QTcpServer server_;
    QTimer pump_;
    QList<QPointer<QTcpSocket>> streaming_;
    QStringList requests_;
    QByteArray body_ = "a=1";
    qint64 sent_ = 0;
    QHash<QTcpSocket*, qint64> pacedAt_; // Paced: how much of the body each answer has sent
};

} // namespace nimbrel::movie::test
