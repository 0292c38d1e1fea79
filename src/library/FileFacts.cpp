#include "library/FileFacts.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <ctime>

namespace nimbrel::library {

std::optional<FileFacts> FileFacts::read(const QString& path) {
    return readAt(AT_FDCWD, QFile::encodeName(path).constData(), path);
}

std::optional<FileFacts> FileFacts::readAt(int folderFd, const char* name, const QString& path) {
    struct statx sx {};
    if (::statx(folderFd, name, 0, STATX_TYPE | STATX_SIZE | STATX_BTIME | STATX_CTIME, &sx) != 0)
        return std::nullopt;
    if (S_ISDIR(sx.stx_mode))
        return std::nullopt;
    // Not every file system keeps a birth time; the status change is the nearest stand-in.
    const statx_timestamp& when = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime;
    FileFacts facts;
    const qsizetype slash = path.lastIndexOf(u'/');
    facts.name = slash < 0 ? path : path.mid(slash + 1);
    facts.size = static_cast<qint64>(sx.stx_size);
    // The C library's local time is many times quicker than QDateTime's for a
    // million files; the stamp is the same.
    const time_t seconds = static_cast<time_t>(when.tv_sec);
    struct tm local {};
    if (::localtime_r(&seconds, &local)) {
        facts.creationStamp = ((static_cast<qint64>(local.tm_year + 1900) * 100 + local.tm_mon + 1) * 100 +
                               local.tm_mday) * 100 + local.tm_hour;
    } else {
        facts.creationStamp = stampOf(QDateTime::fromSecsSinceEpoch(when.tv_sec).toLocalTime());
    }
    return facts;
}

qint64 FileFacts::stampOf(const QDateTime& localTime) {
    const QDate d = localTime.date();
    const int hour = localTime.time().hour();
    return ((static_cast<qint64>(d.year()) * 100 + d.month()) * 100 + d.day()) * 100 + hour;
}

} // namespace nimbrel::library
