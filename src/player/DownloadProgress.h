#pragma once
// What shows a running download to the user: bytes so far, size, speed, and a
// way to cancel. The window's opening commands use it through this interface so
// that tests can watch a download without a dialog on screen.
#include <QObject>
#include <QString>

namespace nimbrel::player {

class DownloadProgress : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DownloadProgress() override = default;

    virtual void start(const QString& address, const QString& target) = 0;
    // total is -1 while unknown.
    virtual void update(qint64 received, qint64 total, qint64 bytesPerSecond) = 0;
    virtual void close() = 0;

    // "已下载 12 KB / 40 KB  速度 6 KB/s"; the size part reads "未知大小" while unknown.
    static QString describe(qint64 received, qint64 total, qint64 bytesPerSecond);

signals:
    void cancelRequested();
};

} // namespace nimbrel::player
