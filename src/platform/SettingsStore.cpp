#include "platform/SettingsStore.h"

#include "platform/SettingsIndex.h"
#include "platform/SettingsRecord.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>

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

namespace nimbrel::platform {

namespace {

// Rewrite the journal when outdated records outnumber live ones by this factor, once
// there are enough of them (or the file is big enough) for the rewrite to pay off.
constexpr qsizetype kCompactDeadPerLive = 4;
constexpr qsizetype kCompactMinDead = 1024;
constexpr off_t kCompactMinBytes = 1 << 20;

QString systemError(const char* what, const QString& path) {
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
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
    dev_t dev = 0;
    ino_t ino = 0;
    off_t goodEnd = 0; // end of the last sound line; 0 while the file holds no header
    SettingsIndex index;
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
            error = systemError("cannot open", QFile::decodeName(lockPath));
            return false;
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

    // Brings the index up to date with the journal; call with the lock held.
    bool refresh() {
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
            if (logFd < 0)
                logFd = ::open(logPath.constData(), O_RDONLY | O_CLOEXEC);
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
        return parse(data) || setAsideJournal();
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

    // Replays `data`, which starts at goodEnd. False when the journal is damaged
    // rather than merely cut short by a killed writer.
    bool parse(const QByteArray& data) {
        qsizetype pos = 0;
        if (goodEnd == 0) {
            const QByteArray header = SettingsRecord::header();
            if (data.size() < header.size())
                return header.startsWith(data); // the header itself was torn: nothing stored yet
            if (!data.startsWith(header))
                return false;
            pos = header.size();
            goodEnd = off_t(pos);
        }
        const off_t base = goodEnd - off_t(pos);
        for (;;) {
            const qsizetype nl = data.indexOf('\n', pos);
            if (nl < 0)
                return true; // a torn last line, or nothing more
            const auto record = SettingsRecord::decode(QByteArrayView(data).sliced(pos, nl - pos));
            if (!record)
                return data.indexOf('\n', nl + 1) < 0; // only the last line may be damaged
            index.apply(*record);
            pos = nl + 1;
            goodEnd = base + off_t(pos);
        }
    }

    // Renames a damaged journal out of the way (nothing is deleted) and starts empty.
    bool setAsideJournal() {
        closeLog();
        const QString from = QFile::decodeName(logPath);
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        QString to = from + QStringLiteral(".corrupt-") + stamp;
        for (int n = 2; QFileInfo::exists(to); ++n)
            to = from + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
        if (::rename(logPath.constData(), QFile::encodeName(to).constData()) != 0) {
            error = systemError("cannot set aside the damaged store", from);
            return false;
        }
        setAside = to;
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
        if (!refresh())
            return false;
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
    void compact() {
        const QList<SettingsRecord> live = index.liveRecords();
        QByteArray bytes = SettingsRecord::header();
        for (const SettingsRecord& r : live)
            bytes += r.encode();
        const int fd = ::open(tmpPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return;
        const bool ok = writeAll(fd, bytes, 0) && ::fsync(fd) == 0;
        ::close(fd);
        if (!ok || ::rename(tmpPath.constData(), logPath.constData()) != 0) {
            ::unlink(tmpPath.constData());
            return;
        }
        const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
        closeLog(); // the next call reopens the new file and replays it
    }

    void sync() {
        if (!stale())
            return;
        // The folder may not exist yet; then there is nothing to read and no need to create it.
        const bool haveLock = openLockFile(false);
        FileLock lock(haveLock ? lockFd : -1);
        refresh();
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
