#include "platform/SettingsStore.h"

#include "platform/SettingsDamage.h"
#include "platform/SettingsIndex.h"
#include "platform/SettingsRecord.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// The store is one append-only journal, "settings.log": a header line, then one
// line per value written or section deleted. A writer holds an exclusive flock on
// "settings.lock", cuts off a torn last line left by a writer that was killed,
// and appends its line with one write. Readers keep the replayed journal in memory
// and, on each call, read only what other processes appended since. When most
// lines are outdated the journal is rewritten into a temporary file and renamed
// over the old one, so a crash leaves either the old or the new journal.
//
// Damage inside the file (a flipped bit, a zeroed block) costs only the lines it
// touches: every line that checks out is replayed, the damage is noted for the
// user, a copy of the damaged file is kept beside it and the journal is rewritten
// with the sound lines, so the next start finds it whole.

namespace nimbrel::platform {

namespace {

// Rewrite the journal when outdated records outnumber live ones by this factor, once
// there are enough of them (or the file is big enough) for the rewrite to pay off.
constexpr qsizetype kCompactDeadPerLive = 4;
constexpr qsizetype kCompactMinDead = 1024;
constexpr off_t kCompactMinBytes = 1 << 20;

// Why a call failed, in words that tell the user what to do about it.
QString reasonFor(int code) {
    switch (code) {
    case EROFS:
        return QStringLiteral("the file system is read-only");
    case EACCES:
    case EPERM:
        return QStringLiteral("no permission: the file or its folder is read-only for this user");
    case EBADF:
        return QStringLiteral("the settings file is read-only");
    case ENOSPC:
        return QStringLiteral("the disk is full");
    case EDQUOT:
        return QStringLiteral("the disk quota is used up");
    case EFBIG:
        return QStringLiteral("the file would grow past the allowed size");
    case ENOTDIR:
        return QStringLiteral("a file stands where a folder should be");
    case EIO:
        return QStringLiteral("the disk reported an input/output error");
    default:
        return QString::fromLocal8Bit(std::strerror(code));
    }
}

QString systemError(const char* what, const QString& path, int code = errno) {
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(what), path, reasonFor(code));
}

void syncFolder(const QString& folder) {
    const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

int retryOnEintr(auto call) {
    int rc;
    do {
        rc = call();
    } while (rc < 0 && errno == EINTR);
    return rc;
}

bool writeAll(int fd, const QByteArray& bytes, off_t at) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, p, size_t(left), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
        at += n;
    }
    return true;
}

// Everything from `from` to the end of the file; false on a read error.
bool readFrom(int fd, off_t from, QByteArray& out) {
    out.clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, from);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buf, n);
        from += n;
    }
}

class FileLock {
public:
    explicit FileLock(int fd) : m_fd(fd) {
        m_held = fd >= 0 && retryOnEintr([&] { return ::flock(fd, LOCK_EX); }) == 0;
    }
    ~FileLock() {
        if (m_held)
            ::flock(m_fd, LOCK_UN);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return m_held; }

private:
    int m_fd;
    bool m_held = false;
};

} // namespace

struct SettingsStore::Impl {
    QString folder;
    QByteArray logPath;
    QByteArray lockPath;
    QByteArray tmpPath;

    int lockFd = -1;
    int logFd = -1;
    int logOpenError = 0; // why the journal could only be opened for reading; 0 when writable
    dev_t dev = 0;
    ino_t ino = 0;
    off_t goodEnd = 0; // end of the last whole line read; 0 while the file holds no header
    SettingsIndex index;
    SettingsDamage damage;
    QString setAside;
    QString error;
    std::mutex mutex;

    ~Impl() {
        closeLog();
        if (lockFd >= 0)
            ::close(lockFd);
    }

    void closeLog() {
        if (logFd >= 0)
            ::close(logFd);
        logFd = -1;
        logOpenError = 0;
        dev = 0;
        ino = 0;
        goodEnd = 0;
        index.clear();
    }

    bool openLockFile(bool create) {
        if (lockFd >= 0)
            return true;
        if (create && !QDir().mkpath(folder)) {
            error = QStringLiteral("cannot create the folder %1").arg(folder);
            return false;
        }
        lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (lockFd < 0) {
            const int cause = errno;
            lockFd = ::open(lockPath.constData(), O_RDONLY | O_CLOEXEC); // flock needs no write access
            if (lockFd < 0) {
                error = systemError("cannot open", QFile::decodeName(lockPath), cause);
                return false;
            }
        }
        return true;
    }

    // True when the journal may have changed since it was last read.
    bool stale() {
        struct stat st;
        if (::stat(logPath.constData(), &st) != 0)
            return logFd >= 0 || errno != ENOENT;
        return logFd < 0 || st.st_dev != dev || st.st_ino != ino || st.st_size != goodEnd;
    }

    // Brings the index up to date with the journal; call with the lock held when there
    // is one. A damaged journal is repaired only under the lock.
    bool refresh(bool locked, bool mayRepair = true) {
        struct stat st;
        if (::stat(logPath.constData(), &st) != 0) {
            if (errno == ENOENT) {
                closeLog();
                return true;
            }
            error = systemError("cannot read", QFile::decodeName(logPath));
            return false;
        }
        if (logFd >= 0 && st.st_dev == dev && st.st_ino == ino && st.st_size == goodEnd)
            return true;
        if (logFd < 0 || st.st_dev != dev || st.st_ino != ino || st.st_size < goodEnd) {
            closeLog();
            logFd = ::open(logPath.constData(), O_RDWR | O_CLOEXEC);
            if (logFd < 0) {
                const int cause = errno;
                logFd = ::open(logPath.constData(), O_RDONLY | O_CLOEXEC);
                logOpenError = cause;
            }
            if (logFd < 0 || ::fstat(logFd, &st) != 0)
                return unreadable();
            if (!S_ISREG(st.st_mode))
                return setAsideJournal();
            dev = st.st_dev;
            ino = st.st_ino;
        }
        QByteArray data;
        if (!readFrom(logFd, goodEnd, data))
            return unreadable();
        bool damaged = false;
        if (!parse(data, damaged))
            return setAsideJournal();
        // A read-only journal is left as it is: someone wants it that way.
        if (damaged && mayRepair && locked && logOpenError == 0 && repair())
            return refresh(locked, false);
        return true;
    }

    // A file that cannot be read is set aside; running out of descriptors or memory
    // says nothing about the file, so then the call just fails and the file stays.
    bool unreadable() {
        const int cause = errno;
        if (cause == EMFILE || cause == ENFILE || cause == ENOMEM || cause == EINTR || cause == EAGAIN) {
            errno = cause;
            error = systemError("cannot read", QFile::decodeName(logPath));
            closeLog();
            return false;
        }
        return setAsideJournal();
    }

    // Replays `data`, which starts at goodEnd: sound lines are applied, damaged ones
    // skipped and noted (`damaged` is set). A last line without its '\n' is the torn
    // write of a killed writer; the next write cuts it off. False when the file has no
    // header and not one sound line: it is no journal, or nothing of it is left.
    bool parse(const QByteArray& data, bool& damaged) {
        qsizetype pos = 0;
        bool headerLost = false;
        const off_t base = goodEnd;
        if (goodEnd == 0) {
            const QByteArray header = SettingsRecord::header();
            if (data.startsWith(header))
                goodEnd = pos = header.size();
            else if (data.size() < header.size() && header.startsWith(data))
                return true; // the header itself was torn: nothing stored yet
            else if (!holdsSoundLine(data))
                return false;
            else
                headerLost = damaged = true;
        }
        for (bool first = true;; first = false) {
            const qsizetype nl = data.indexOf('\n', pos);
            if (nl < 0)
                return true;
            const QByteArrayView line = QByteArrayView(data).sliced(pos, nl - pos);
            if (const auto record = SettingsRecord::decode(line)) {
                index.apply(*record);
            } else if (first && headerLost) {
                // The damaged header may have run on into records: what lies past a
                // header's length was one, and only that costs a setting.
                const qsizetype tail = SettingsRecord::soundTailStart(line);
                const QByteArrayView damagedPart = tail < 0 ? line : line.first(tail);
                const QByteArrayView lost = damagedPart.sliced(std::min(damagedPart.size(), SettingsRecord::header().size()));
                if (!lost.isEmpty())
                    damage.noteDamaged(SettingsRecord::remains(lost));
                if (tail >= 0)
                    index.apply(*SettingsRecord::decode(line.sliced(tail)));
            } else {
                salvage(line);
                damaged = true;
            }
            pos = nl + 1;
            goodEnd = base + off_t(pos);
        }
    }

    // A damaged line costs only itself: a sound line it swallowed is replayed, and a
    // section deletion it still spells out in full is carried out, since skipping it
    // would bring back the section's old values. Anything else in it is skipped.
    void salvage(QByteArrayView line) {
        const qsizetype tail = SettingsRecord::soundTailStart(line);
        const SettingsRecord::Remains remains = SettingsRecord::remains(tail < 0 ? line : line.first(tail));
        damage.noteDamaged(remains);
        if (const auto deletion = remains.deletion())
            index.apply(*deletion);
        if (tail >= 0)
            index.apply(*SettingsRecord::decode(line.sliced(tail)));
    }

    static bool holdsSoundLine(const QByteArray& data) {
        for (qsizetype pos = 0;;) {
            const qsizetype nl = data.indexOf('\n', pos);
            if (nl < 0)
                return false;
            const QByteArrayView line = QByteArrayView(data).sliced(pos, nl - pos);
            if (SettingsRecord::decode(line) || SettingsRecord::soundTailStart(line) >= 0)
                return true;
            pos = nl + 1;
        }
    }

    // Keeps the damaged journal's bytes in a copy beside it, then rewrites the journal
    // with what was sound. Without the copy the journal stays as it is, so nothing is
    // lost; it is read the same way next time. True when the journal was rewritten.
    bool repair() {
        QByteArray whole;
        if (!readFrom(logFd, 0, whole))
            return false;
        const QString copy = keepCopy(whole);
        if (copy.isEmpty())
            return false;
        setAside = copy;
        damage.setCopyPath(copy);
        return compact();
    }

    QString unusedAsideName() const {
        const QString from = QFile::decodeName(logPath);
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        QString to = from + QStringLiteral(".corrupt-") + stamp;
        for (int n = 2; QFileInfo::exists(to) || QFileInfo::exists(to + QStringLiteral(".tmp")); ++n)
            to = from + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
        return to;
    }

    // Writes `bytes` to a new file beside the journal, whole or not at all (temporary
    // file, then rename). Its path, or "" when it could not be made.
    QString keepCopy(const QByteArray& bytes) {
        const QString to = unusedAsideName();
        const QByteArray target = QFile::encodeName(to);
        const QByteArray tmp = target + ".tmp";
        const int fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            return QString();
        const bool ok = writeAll(fd, bytes, 0) && ::fsync(fd) == 0;
        ::close(fd);
        if (!ok || ::rename(tmp.constData(), target.constData()) != 0) {
            ::unlink(tmp.constData());
            return QString();
        }
        syncFolder(folder);
        return to;
    }

    // Renames a file of which nothing can be read out of the way (nothing is deleted)
    // and starts empty.
    bool setAsideJournal() {
        closeLog();
        const QString from = QFile::decodeName(logPath);
        const QString to = unusedAsideName();
        if (::rename(logPath.constData(), QFile::encodeName(to).constData()) != 0) {
            error = systemError("cannot set aside the damaged store", from);
            return false;
        }
        setAside = to;
        damage.noteWholeFileLost(to);
        return true;
    }

    bool write(const SettingsRecord& record) {
        std::lock_guard guard(mutex);
        if (!openLockFile(true))
            return false;
        FileLock lock(lockFd);
        if (!lock.held()) {
            error = systemError("cannot lock", QFile::decodeName(lockPath));
            return false;
        }
        if (!refresh(true))
            return false;
        if (logFd >= 0 && logOpenError != 0) {
            // Said in words: writing through the read-only descriptor would only report EBADF.
            error = systemError("cannot write", QFile::decodeName(logPath),
                                logOpenError == EROFS ? EROFS : EBADF);
            return false;
        }
        if (logFd < 0) {
            logFd = ::open(logPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            struct stat st;
            if (logFd < 0 || ::fstat(logFd, &st) != 0) {
                error = systemError("cannot create", QFile::decodeName(logPath));
                closeLog();
                return false;
            }
            dev = st.st_dev;
            ino = st.st_ino;
        }
        QByteArray bytes = record.encode();
        if (goodEnd == 0)
            bytes.prepend(SettingsRecord::header());
        // Cut off the torn line of a killed writer, if any, then append in one write.
        struct stat st;
        if (::fstat(logFd, &st) != 0 || (st.st_size > goodEnd && ::ftruncate(logFd, goodEnd) != 0)
            || !writeAll(logFd, bytes, goodEnd)) {
            error = systemError("cannot write", QFile::decodeName(logPath));
            (void)::ftruncate(logFd, goodEnd);
            return false;
        }
        index.apply(record);
        goodEnd += off_t(bytes.size());
        const qsizetype dead = index.recordCount() - index.liveCount();
        if (dead > kCompactDeadPerLive * index.liveCount() && (dead >= kCompactMinDead || goodEnd >= kCompactMinBytes))
            compact();
        return true;
    }

    // Rewrites the journal with only the records that still count. On failure the
    // old journal stays in place and in use.
    bool compact() {
        const QList<SettingsRecord> live = index.liveRecords();
        QByteArray bytes = SettingsRecord::header();
        for (const SettingsRecord& r : live)
            bytes += r.encode();
        const int fd = ::open(tmpPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        const bool ok = writeAll(fd, bytes, 0) && ::fsync(fd) == 0;
        ::close(fd);
        if (!ok || ::rename(tmpPath.constData(), logPath.constData()) != 0) {
            ::unlink(tmpPath.constData());
            return false;
        }
        syncFolder(folder);
        closeLog(); // the next call reopens the new file and replays it
        return true;
    }

    void sync() {
        if (!stale())
            return;
        // The folder may not exist yet; then there is nothing to read and no need to create it.
        const bool haveLock = openLockFile(false);
        FileLock lock(haveLock ? lockFd : -1);
        refresh(lock.held());
    }
};

SettingsStore::SettingsStore(const QString& folder) : d(std::make_unique<Impl>()) {
    d->folder = QDir::cleanPath(folder.isEmpty() ? defaultFolder() : folder);
    const QString base = d->folder + QLatin1Char('/');
    d->logPath = QFile::encodeName(base + QStringLiteral("settings.log"));
    d->lockPath = QFile::encodeName(base + QStringLiteral("settings.lock"));
    d->tmpPath = QFile::encodeName(base + QStringLiteral("settings.log.tmp"));
    std::lock_guard guard(d->mutex);
    d->sync(); // sets a damaged journal aside right away
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::value(const QString& app, const QString& section, const QString& key) const {
    std::lock_guard guard(d->mutex);
    d->sync();
    return d->index.value(app, section, key);
}

bool SettingsStore::setValue(const QString& app, const QString& section, const QString& key, const QString& value) {
    return d->write(SettingsRecord::set(app, section, key, value));
}

QList<SettingsStore::Pair> SettingsStore::section(const QString& app, const QString& section) const {
    std::lock_guard guard(d->mutex);
    d->sync();
    return d->index.section(app, section);
}

bool SettingsStore::deleteSection(const QString& app, const QString& section) {
    return d->write(SettingsRecord::deleteSection(app, section));
}

QString SettingsStore::folder() const {
    return d->folder;
}

QString SettingsStore::setAsidePath() const {
    std::lock_guard guard(d->mutex);
    return d->setAside;
}

SettingsDamage SettingsStore::damage() const {
    std::lock_guard guard(d->mutex);
    return d->damage;
}

QString SettingsStore::errorString() const {
    std::lock_guard guard(d->mutex);
    return d->error;
}

QString SettingsStore::defaultFolder() {
    // XDG: a relative XDG_CONFIG_HOME is to be ignored.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Nimbrel");
}

} // namespace nimbrel::platform
