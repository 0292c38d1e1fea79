#include "services/Downloader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QNetworkProxy>
#include <QEventLoop>
#include <QTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

using nimbrel::services::Downloader;

namespace {

constexpr int kWaitMs = 10000;

// Runs the event loop until `done` holds or `ms` pass; true when it holds.
template <typename Done>
bool waitUntil(Done done, int ms = kWaitMs) {
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    tick.start(5);
    if (!done())
        loop.exec();
    return done();
}

struct ProgressSeen {
    qint64 received, total, speed;
};
struct FinishedSeen {
    Downloader::Result result;
    QString reason;
};

// Records what a downloader reports.
struct Recorder {
    explicit Recorder(Downloader& d) {
        QObject::connect(&d, &Downloader::progress, &d, [this](qint64 r, qint64 t, qint64 s) { progress.append({r, t, s}); });
        QObject::connect(&d, &Downloader::finished, &d, [this](Downloader::Result r, const QString& why) {
            finished.append({r, why});
        });
    }
    QList<ProgressSeen> progress;
    QList<FinishedSeen> finished;
};

QByteArray movieBody(qsizetype size) {
    QByteArray b(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        b[i] = char((i * 7 + i / 251) % 256);
    return b;
}

// A one-shot HTTP server on 127.0.0.1: /movie.swf serves the body, /drop.swf promises
// more than it sends and hangs up, /stall.swf sends a little and then waits, anything
// else is 404.
class TinyHttpServer {
public:
    explicit TinyHttpServer(QByteArray body) : m_body(std::move(body)) {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    bool listening() const { return m_server.isListening(); }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }

private:
    void serve(QTcpSocket* socket) {
        QByteArray& request = m_pending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        m_pending.remove(socket);
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/x-shockwave-flash\r\n";
        if (path == "/movie.swf") {
            socket->write(head + "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
        } else if (path == "/drop.swf" || path == "/stall.swf") {
            socket->write(head + "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n\r\n"
                          + m_body.left(m_body.size() / 10));
            socket->flush();
            if (path == "/drop.swf")
                socket->disconnectFromHost();
        } else {
            socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found");
            socket->disconnectFromHost();
        }
    }

    QTcpServer m_server;
    QByteArray m_body;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

class DownloaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Waits for finished(); returns its result and fills `reason`.
    static Downloader::Result waitFinished(Recorder& seen, QString* reason = nullptr) {
        EXPECT_TRUE(waitUntil([&] { return !seen.finished.isEmpty(); }));
        EXPECT_EQ(seen.finished.size(), 1);
        if (seen.finished.isEmpty())
            return Downloader::Result::Failed;
        if (reason)
            *reason = seen.finished.first().reason;
        return seen.finished.first().result;
    }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    static QByteArray readAll(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    QTemporaryDir dir;
};

} // namespace

TEST(DownloaderName, SuggestsTheLastSegmentOfTheAddress) {
    EXPECT_EQ(Downloader::suggestedFileName("http://example.com/movies/clip%20one.swf?session=1&x=/a.swf#top"),
              "clip one.swf");
    EXPECT_EQ(Downloader::suggestedFileName("https://example.com/%E5%8A%A8%E7%94%BB.swf"), QStringLiteral("动画.swf"));
    EXPECT_EQ(Downloader::suggestedFileName("http://example.com/a%2Fb.swf"), "a_b.swf");
    EXPECT_EQ(Downloader::suggestedFileName("http://example.com/get?file=x.swf"), "get");
    EXPECT_EQ(Downloader::suggestedFileName("/home/user/games/tank.swf"), "tank.swf");
    EXPECT_EQ(Downloader::suggestedFileName("file:///home/user/100%25.swf"), "100%.swf");
}

TEST(DownloaderName, FallsBackWhenTheAddressNamesNoFile) {
    for (const char* address : {"http://example.com/", "http://example.com", "http://example.com/dir/?q=1",
                                "", "http://example.com/%2E%2E"})
        EXPECT_EQ(Downloader::suggestedFileName(address), "download.swf") << address;
}

TEST_F(DownloaderTest, DownloadsTheWholeBodyAndReportsProgress) {
    const QByteArray body = movieBody(512 * 1024);
    TinyHttpServer server(body);
    ASSERT_TRUE(server.listening());
    const QString target = dir.filePath("clip.swf");
    write(target, "an older file that is replaced only at the end");

    Downloader downloader;
    Recorder seen(downloader);
    ASSERT_TRUE(downloader.start(server.url("/movie.swf"), target)) << downloader.errorString().toStdString();
    EXPECT_TRUE(downloader.isRunning());
    EXPECT_EQ(waitFinished(seen), Downloader::Result::Completed);
    EXPECT_FALSE(downloader.isRunning());
    EXPECT_EQ(readAll(target), body);
    EXPECT_EQ(entries(), QStringList{"clip.swf"});
    ASSERT_FALSE(seen.progress.isEmpty());
    EXPECT_EQ(seen.progress.last().received, body.size());
    EXPECT_EQ(seen.progress.last().total, body.size());
    EXPECT_GT(seen.progress.last().speed, 0);
}

TEST_F(DownloaderTest, ServerHangingUpMidwayLeavesNothingAndKeepsTheOldFile) {
    TinyHttpServer server(movieBody(200 * 1024));
    ASSERT_TRUE(server.listening());
    const QString target = dir.filePath("clip.swf");
    write(target, "old");

    Downloader downloader;
    Recorder seen(downloader);
    ASSERT_TRUE(downloader.start(server.url("/drop.swf"), target));
    QString reason;
    EXPECT_EQ(waitFinished(seen, &reason), Downloader::Result::Failed);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(readAll(target), "old");
    EXPECT_EQ(entries(), QStringList{"clip.swf"});
}

TEST_F(DownloaderTest, NotFoundIsAFailureWithTheStatus) {
    TinyHttpServer server(movieBody(1000));
    ASSERT_TRUE(server.listening());
    Downloader downloader;
    Recorder seen(downloader);
    ASSERT_TRUE(downloader.start(server.url("/gone.swf"), dir.filePath("gone.swf")));
    QString reason;
    EXPECT_EQ(waitFinished(seen, &reason), Downloader::Result::Failed);
    EXPECT_TRUE(reason.contains("404")) << reason.toStdString();
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(DownloaderTest, CancelStopsAndRemovesThePartialFile) {
    TinyHttpServer server(movieBody(200 * 1024));
    ASSERT_TRUE(server.listening());
    Downloader downloader;
    Recorder seen(downloader);
    ASSERT_TRUE(downloader.start(server.url("/stall.swf"), dir.filePath("clip.swf")));
    // Wait until bytes have reached the partial file, then give up on the rest.
    ASSERT_TRUE(waitUntil([&] { return !seen.progress.isEmpty(); }));
    EXPECT_EQ(seen.progress.last().received, 200 * 1024 / 10);
    EXPECT_EQ(seen.progress.last().total, 200 * 1024);
    EXPECT_EQ(QFileInfo(dir.filePath("clip.swf.part")).size(), 200 * 1024 / 10);
    EXPECT_TRUE(QFile::exists(dir.filePath("clip.swf.part")));
    downloader.cancel();
    QString reason;
    EXPECT_EQ(waitFinished(seen, &reason), Downloader::Result::Cancelled);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(downloader.isRunning());
    EXPECT_TRUE(entries().isEmpty());
    // No late signal from the dropped connection.
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(seen.finished.size(), 1);
}

TEST_F(DownloaderTest, LocalAddressesAreCopiedInChunks) {
    const QByteArray body = movieBody(1024 * 1024 + 17);
    const QString source = dir.filePath("source.swf");
    write(source, body);
    for (const QString& address : {QUrl::fromLocalFile(source).toString(), source}) {
        const QString target = dir.filePath("copy.swf");
        QFile::remove(target);
        Downloader downloader;
        Recorder seen(downloader);
        ASSERT_TRUE(downloader.start(address, target)) << downloader.errorString().toStdString();
        EXPECT_EQ(waitFinished(seen), Downloader::Result::Completed);
        EXPECT_EQ(readAll(target), body);
        EXPECT_GT(seen.progress.size(), 2); // more than one chunk reported
        EXPECT_EQ(seen.progress.last().received, body.size());
        EXPECT_EQ(seen.progress.last().total, body.size());
    }
    QStringList names = entries();
    names.sort();
    EXPECT_EQ(names, (QStringList{"copy.swf", "source.swf"}));
}

TEST_F(DownloaderTest, CancelledCopyLeavesNoPartialFile) {
    const QString source = dir.filePath("source.swf");
    write(source, movieBody(4 * 1024 * 1024));
    Downloader downloader;
    Recorder seen(downloader);
    // Cancelled from the progress report, as a dialog's cancel button would during the copy.
    QObject::connect(&downloader, &Downloader::progress, &downloader, [&] { downloader.cancel(); });
    ASSERT_TRUE(downloader.start(QUrl::fromLocalFile(source).toString(), dir.filePath("copy.swf")));
    EXPECT_EQ(waitFinished(seen), Downloader::Result::Cancelled);
    EXPECT_EQ(seen.progress.size(), 1);
    EXPECT_EQ(entries(), QStringList{"source.swf"});
}

TEST_F(DownloaderTest, RefusesWhatCannotStart) {
    const QString target = dir.filePath("copy.swf");
    Downloader downloader;
    Recorder seen(downloader);
    EXPECT_FALSE(downloader.start(QUrl::fromLocalFile(dir.filePath("missing.swf")).toString(), target));
    EXPECT_FALSE(downloader.errorString().isEmpty());
    EXPECT_FALSE(downloader.start("ftp://127.0.0.1/a.swf", target));
    EXPECT_FALSE(downloader.start("http://127.0.0.1:1/a.swf", dir.path())); // the target is a folder
    EXPECT_FALSE(downloader.start("http://127.0.0.1:1/a.swf", QString()));
    EXPECT_FALSE(downloader.start("http://127.0.0.1:1/a.swf", dir.filePath("no-folder/a.swf")));
    waitUntil([] { return false; }, 100);
    EXPECT_TRUE(seen.finished.isEmpty());
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(DownloaderTest, OneTransferAtATime) {
    const QString source = dir.filePath("source.swf");
    write(source, movieBody(64 * 1024));
    Downloader downloader;
    Recorder seen(downloader);
    ASSERT_TRUE(downloader.start(source, dir.filePath("a.swf")));
    EXPECT_FALSE(downloader.start(source, dir.filePath("b.swf")));
    EXPECT_EQ(waitFinished(seen), Downloader::Result::Completed);
    EXPECT_FALSE(QFile::exists(dir.filePath("b.swf")));
    EXPECT_FALSE(QFile::exists(dir.filePath("b.swf.part")));
}

TEST_F(DownloaderTest, CancelFromTheProgressReportAndDroppingARunningDownloadLeaveNothing) {
    TinyHttpServer server(movieBody(200 * 1024));
    ASSERT_TRUE(server.listening());
    {
        Downloader downloader;
        Recorder seen(downloader);
        QObject::connect(&downloader, &Downloader::progress, &downloader, [&] { downloader.cancel(); });
        ASSERT_TRUE(downloader.start(server.url("/stall.swf"), dir.filePath("a.swf")));
        EXPECT_EQ(waitFinished(seen), Downloader::Result::Cancelled);
        EXPECT_EQ(seen.progress.size(), 1);
    }
    {
        auto downloader = std::make_unique<Downloader>();
        Recorder seen(*downloader);
        ASSERT_TRUE(downloader->start(server.url("/stall.swf"), dir.filePath("b.swf")));
        ASSERT_TRUE(waitUntil([&] { return !seen.progress.isEmpty(); }));
        downloader.reset(); // the window closes while the download runs
    }
    EXPECT_TRUE(entries().isEmpty());
}
