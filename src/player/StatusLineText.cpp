#include "player/StatusLineText.h"
#include "skin/RoundHalfEven.h"
#include <QFileInfo>

namespace nimbrel::player {

qint64 StatusLineText::kilobytes(qint64 bytes) {
    return static_cast<qint64>(skin::roundHalfEven(static_cast<double>(bytes) / 1024.0));
}

QString StatusLineText::build(qint64 frame, qint64 total, const QString& movie, qint64 bytes) {
    return QStringLiteral("[") + QString::number(frame) + QStringLiteral(" /") +
           QString::number(total) + QStringLiteral("]") + QStringLiteral("  ") +
           QStringLiteral("文件名：") + movie + QStringLiteral("  ") +
           QStringLiteral("文件大小：") + QString::number(kilobytes(bytes)) +
           QStringLiteral("KB");
}

qint64 StatusLineText::fileSizeOf(const QString& movie) {
    if (movie.isEmpty())
        return 0;
    const QFileInfo info(movie);
    return info.exists() && info.isFile() ? info.size() : 0;
}

QString StatusLineText::forMovie(qint64 frame, qint64 total, const QString& movie) {
    return build(frame, total, movie, fileSizeOf(movie));
}

QString StatusLineText::unplayable(const QString& reason) {
    return reason.isEmpty() ? QStringLiteral("无法播放此文件") : QStringLiteral("无法播放此文件：%1").arg(reason);
}

} // namespace nimbrel::player
