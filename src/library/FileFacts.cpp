#include "library/FileFacts.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>

namespace nimbrel::library {

std::optional<FileFacts> FileFacts::read(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct statx sx {};
    if (::statx(AT_FDCWD, native.constData(), 0, STATX_TYPE | STATX_SIZE | STATX_BTIME | STATX_CTIME, &sx) != 0)
        return std::nullopt;
    if (S_ISDIR(sx.stx_mode))
        return std::nullopt;
    // Not every file system keeps a birth time; the status change is the nearest stand-in.
    const statx_timestamp& when = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime;
    FileFacts facts;
    const qsizetype slash = path.lastIndexOf(u'/');
    facts.name = slash < 0 ? path : path.mid(slash + 1);
    facts.size = static_cast<qint64>(sx.stx_size);
    facts.creationStamp = stampOf(QDateTime::fromSecsSinceEpoch(when.tv_sec).toLocalTime());
    return facts;
}

qint64 FileFacts::stampOf(const QDateTime& localTime) {
    const QDate d = localTime.date();
    const int hour = localTime.time().hour();
    return ((static_cast<qint64>(d.year()) * 100 + d.month()) * 100 + d.day()) * 100 + hour;
}

} // namespace nimbrel::library
