#include "player/DownloadProgress.h"

namespace nimbrel::player {

namespace {
QString kb(qint64 bytes) { return QStringLiteral("%1 KB").arg((qMax<qint64>(0, bytes) + 512) / 1024); }
} // namespace

QString DownloadProgress::describe(qint64 received, qint64 total, qint64 bytesPerSecond) {
    const QString size = total >= 0 ? kb(total) : QStringLiteral("未知大小");
    return QStringLiteral("已下载 %1 / %2  速度 %3/s").arg(kb(received), size, kb(bytesPerSecond));
}

} // namespace nimbrel::player
