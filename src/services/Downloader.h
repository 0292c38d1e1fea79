#pragma once
// Saves the movie behind an address to a file in the background. http and https
// addresses are fetched; a local path or file:// address is copied in chunks. The
// bytes go to "<target>.part", which replaces the target only once everything has
// arrived: a failed or cancelled download leaves neither a partial file nor a
// damaged target behind.
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace nimbrel::services {

class Downloader : public QObject {
    Q_OBJECT
public:
    enum class Result { Completed, Failed, Cancelled };
    Q_ENUM(Result)

    // The offer made when a movie is opened from an address.
    static const QString kQuestion;      // "是否下载本片"
    static const QString kQuestionTitle; // "Download File"

    explicit Downloader(QObject* parent = nullptr);
    ~Downloader() override; // a running download is dropped without a signal

    // A file name for the address: its last path segment without query, percent-decoded;
    // "download.swf" when that is empty.
    static QString suggestedFileName(const QString& address);

    // Starts the transfer. False when it cannot begin (already running, no usable target,
    // unsupported address, missing source); errorString() then says why and no signal
    // follows. Otherwise finished() is emitted exactly once.
    bool start(const QString& address, const QString& targetPath);
    // Stops a running transfer; finished(Cancelled) is emitted before this returns.
    void cancel();

    bool isRunning() const { return m_running; }
    QString targetPath() const { return m_target; }
    QString errorString() const { return m_error; }

signals:
    // total is -1 while unknown; bytesPerSecond is the average since the start.
    void progress(qint64 received, qint64 total, qint64 bytesPerSecond);
    void finished(nimbrel::services::Downloader::Result result, const QString& reason);

private:
    bool refuse(const QString& reason);
    void startHttp(const QUrl& url);
    void onReadyRead();
    void onReplyFinished();
    void copyChunk();
    void report(qint64 received, qint64 total);
    void complete();
    void fail(Result result, const QString& reason);
    void dropTransfer();

    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QTimer* m_copyTimer = nullptr;
    QFile m_source; // local copies
    QFile m_part;
    QString m_target;
    QString m_error;
    QElapsedTimer m_clock;
    qint64 m_received = 0;
    qint64 m_total = -1;
    bool m_running = false;
};

} // namespace nimbrel::services
