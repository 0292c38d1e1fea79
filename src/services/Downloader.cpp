#include "services/Downloader.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace nimbrel::services {

namespace {

constexpr qint64 kCopyChunk = 256 * 1024;
constexpr int kStallTimeoutMs = 60 * 1000;

QString partPath(const QString& target) {
    return target + QStringLiteral(".part");
}

} // namespace

const QString Downloader::kQuestion = QStringLiteral("是否下载本片");
const QString Downloader::kQuestionTitle = QStringLiteral("Download File");

Downloader::Downloader(QObject* parent) : QObject(parent) {}

Downloader::~Downloader() {
    dropTransfer();
}

QString Downloader::suggestedFileName(const QString& address) {
    const QString text = address.trimmed();
    QString name;
    const QUrl url(text);
    if (url.isValid() && url.scheme().size() > 1) {
        // An address: the last segment of its path, decoded; query and fragment are not part of it.
        const QString path = url.path(QUrl::FullyEncoded);
        name = QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toUtf8());
    } else {
        name = text.mid(qMax(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\'))) + 1);
    }
    // A decoded "%2F" or a stray control character must not leave the chosen folder.
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.remove(QChar(0));
    name = name.trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("download.swf");
    return name;
}

bool Downloader::refuse(const QString& reason) {
    m_error = reason;
    return false;
}

bool Downloader::start(const QString& address, const QString& targetPath) {
    if (m_running)
        return refuse(QStringLiteral("已有下载正在进行"));
    if (targetPath.isEmpty())
        return refuse(QStringLiteral("请选择保存的文件名"));
    if (QFileInfo(targetPath).isDir())
        return refuse(QStringLiteral("%1 是一个文件夹").arg(targetPath));

    const QString text = address.trimmed();
    const QUrl url(text);
    const QString scheme = url.scheme().toLower();
    bool network = false;
    QString localSource;
    if (!text.isEmpty() && QFileInfo::exists(text)) {
        localSource = text;
    } else if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        if (!url.isValid() || url.host().isEmpty())
            return refuse(QStringLiteral("地址无效: %1").arg(address));
        network = true;
    } else if (scheme == QLatin1String("file")) {
        localSource = url.toLocalFile();
    } else if (scheme.size() <= 1) { // no scheme: a path (one letter would be a drive)
        localSource = text;
    } else {
        return refuse(QStringLiteral("不支持的地址: %1").arg(address));
    }

    if (!network) {
        m_source.setFileName(localSource);
        if (localSource.isEmpty() || !QFileInfo(localSource).isFile())
            return refuse(QStringLiteral("文件不存在: %1").arg(localSource.isEmpty() ? address : localSource));
        if (!m_source.open(QIODevice::ReadOnly))
            return refuse(QStringLiteral("无法读取 %1: %2").arg(localSource, m_source.errorString()));
    }

    m_part.setFileName(partPath(targetPath));
    if (!m_part.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QString reason = QStringLiteral("无法写入 %1: %2").arg(m_part.fileName(), m_part.errorString());
        m_source.close();
        return refuse(reason);
    }

    m_target = targetPath;
    m_error.clear();
    m_received = 0;
    m_total = network ? -1 : m_source.size();
    m_running = true;
    m_clock.start();
    if (network) {
        startHttp(url);
    } else {
        if (!m_copyTimer) {
            m_copyTimer = new QTimer(this);
            m_copyTimer->setInterval(0); // one chunk per turn of the event loop: the window stays live
            connect(m_copyTimer, &QTimer::timeout, this, &Downloader::copyChunk);
        }
        m_copyTimer->start();
    }
    return true;
}

void Downloader::startHttp(const QUrl& url) {
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(kStallTimeoutMs);
    m_reply = m_network->get(request);
    // Progress is reported from readyRead: downloadProgress is held back while data trickles.
    connect(m_reply, &QNetworkReply::readyRead, this, &Downloader::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &Downloader::onReplyFinished);
}

void Downloader::onReadyRead() {
    if (!m_reply)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300) {
        m_reply->readAll(); // an error page or a redirect's body, not the movie
        return;
    }
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty())
        return;
    if (m_part.write(data) != data.size()) {
        fail(Result::Failed, QStringLiteral("无法写入 %1: %2").arg(m_part.fileName(), m_part.errorString()));
        return;
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    report(m_received + data.size(), length.isValid() && !m_reply->hasRawHeader("Content-Encoding") ? length.toLongLong() : -1);
}

void Downloader::onReplyFinished() {
    if (!m_reply || !m_running)
        return;
    onReadyRead();
    if (!m_running)
        return;
    QNetworkReply* reply = m_reply;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status >= 300)) {
        const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        fail(Result::Failed, QStringLiteral("服务器回答 %1 %2").arg(status).arg(phrase).trimmed());
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        fail(Result::Failed, QStringLiteral("下载失败: %1").arg(reply->errorString()));
        return;
    }
    // A connection that ends early without an error still must not pass for a whole file.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && !reply->hasRawHeader("Content-Encoding") && m_part.size() != length.toLongLong()) {
        fail(Result::Failed,
             QStringLiteral("连接中断: 只收到 %1 / %2 字节").arg(m_part.size()).arg(length.toLongLong()));
        return;
    }
    complete();
}

void Downloader::copyChunk() {
    if (!m_running)
        return;
    const QByteArray data = m_source.read(kCopyChunk);
    if (data.isEmpty() && m_source.error() != QFileDevice::NoError) {
        fail(Result::Failed, QStringLiteral("无法读取 %1: %2").arg(m_source.fileName(), m_source.errorString()));
        return;
    }
    if (m_part.write(data) != data.size()) {
        fail(Result::Failed, QStringLiteral("无法写入 %1: %2").arg(m_part.fileName(), m_part.errorString()));
        return;
    }
    report(m_received + data.size(), m_total);
    if (!m_running) // cancelled by whoever listens to the report
        return;
    if (data.isEmpty() || m_source.atEnd()) {
        m_copyTimer->stop();
        complete();
    }
}

void Downloader::report(qint64 received, qint64 total) {
    m_received = received;
    m_total = total;
    const qint64 ms = qMax<qint64>(1, m_clock.elapsed());
    emit progress(received, total, received * 1000 / ms);
}

void Downloader::complete() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    m_source.close();
    const bool flushed = m_part.flush();
    m_part.close();
    if (!flushed || m_part.error() != QFileDevice::NoError) {
        fail(Result::Failed, QStringLiteral("无法写入 %1: %2").arg(m_part.fileName(), m_part.errorString()));
        return;
    }
    // rename() replaces the target in one step: it is never seen half written.
    if (std::rename(QFile::encodeName(m_part.fileName()).constData(), QFile::encodeName(m_target).constData()) != 0) {
        fail(Result::Failed, QStringLiteral("无法保存为 %1: %2").arg(m_target, QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    m_running = false;
    emit finished(Result::Completed, QString());
}

void Downloader::cancel() {
    if (m_running)
        fail(Result::Cancelled, QStringLiteral("下载已取消"));
}

void Downloader::fail(Result result, const QString& reason) {
    dropTransfer();
    m_error = reason;
    emit finished(result, reason);
}

void Downloader::dropTransfer() {
    if (m_copyTimer)
        m_copyTimer->stop();
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_source.close();
    if (m_part.isOpen() || m_running) {
        m_part.close();
        m_part.remove();
    }
    m_running = false;
}

} // namespace nimbrel::services
