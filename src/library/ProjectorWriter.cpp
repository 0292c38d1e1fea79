#include "library/ProjectorWriter.h"
#include "library/ProjectorOutputName.h"
#include "movie/swf/ProjectorFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel::library {

using movie::swf::ProjectorFile;

namespace {
// Large enough that a typical movie goes in one read and one write.
constexpr qsizetype CopyChunk = 4 * 1024 * 1024;

QString systemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// Closes the descriptor and removes the unfinished file unless released.
class PartFile {
public:
    ~PartFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!path_.isEmpty())
            ::unlink(path_.constData());
    }
    // A new file beside `output`, named so no listing mistakes it for a program.
    int create(const QString& output) {
        const QFileInfo info(output);
        for (int attempt = 0; attempt < 16; ++attempt) {
            const QString name = QStringLiteral(".%1.%2.part")
                                     .arg(info.fileName())
                                     .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
            const QByteArray path = QFile::encodeName(info.dir().filePath(name));
            // Executable as far as the user's umask allows, like a linker's output.
            fd_ = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0777);
            if (fd_ >= 0) {
                path_ = path;
                return 0;
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }
    int fd() const { return fd_; }
    const QByteArray& path() const { return path_; }
    int close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }
    void release() { path_.clear(); }

private:
    int fd_ = -1;
    QByteArray path_;
};

int writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= n;
    }
    return 0;
}
} // namespace

qsizetype ProjectorWriter::Result::failedCount() const {
    qsizetype n = 0;
    for (const Entry& e : entries)
        n += e.written ? 0 : 1;
    return n;
}

ProjectorWriter::ProjectorWriter(QString stubPath) : stubPath_(std::move(stubPath)) {}

QString ProjectorWriter::readStub(const QString& stubPath, QByteArray& stub) {
    QFile f(stubPath);
    if (stubPath.isEmpty() || !f.exists())
        return QStringLiteral("找不到放映器程序 %1").arg(stubPath);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取放映器程序 %1：%2").arg(stubPath, f.errorString());
    stub = f.readAll();
    if (stub.isEmpty())
        return QStringLiteral("放映器程序 %1 是空的").arg(stubPath);
    return QString();
}

QString ProjectorWriter::writeOne(const QByteArray& stub, const QString& source, const QString& output,
                                  const std::atomic_bool* cancel) {
    const QByteArray sourcePath = QFile::encodeName(source);
    const int in = ::open(sourcePath.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno == ENOENT ? QStringLiteral("源文件不存在")
                               : QStringLiteral("无法读取源文件：%1").arg(systemError(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closeIn{in};
    struct stat st {};
    if (::fstat(in, &st) != 0)
        return QStringLiteral("无法读取源文件：%1").arg(systemError(errno));
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("源文件不是普通文件");
    if (st.st_size > ProjectorFile::maxMovieBytes)
        return QStringLiteral("源文件太大（超过 4 GB）");

    // A program the user made read-only is left as it is.
    const QByteArray outputPath = QFile::encodeName(output);
    if (::access(outputPath.constData(), F_OK) == 0 && ::access(outputPath.constData(), W_OK) != 0)
        return QStringLiteral("已有的 %1 是只读的，没有替换").arg(QFileInfo(output).fileName());

    PartFile part;
    if (const int err = part.create(output))
        return QStringLiteral("无法在输出文件夹中写入：%1").arg(systemError(err));
    if (const int err = writeAll(part.fd(), stub.constData(), stub.size()))
        return QStringLiteral("写入失败：%1").arg(systemError(err));

    QByteArray buffer(qsizetype(qBound<qint64>(64 * 1024, qint64(st.st_size), qint64(CopyChunk))), Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        if (cancel && cancel->load())
            return QStringLiteral("已取消");
        const ssize_t n = ::read(in, buffer.data(), size_t(buffer.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return QStringLiteral("无法读取源文件：%1").arg(systemError(errno));
        }
        if (n == 0)
            break;
        if (copied + n > ProjectorFile::maxMovieBytes)
            return QStringLiteral("源文件太大（超过 4 GB）");
        if (const int err = writeAll(part.fd(), buffer.constData(), n))
            return QStringLiteral("写入失败：%1").arg(systemError(err));
        copied += n;
    }
    // The length is what was copied, so a file that grew or shrank meanwhile still
    // gets a trailer that matches the bytes in front of it.
    const QByteArray trailer = ProjectorFile::trailerFor(quint32(copied));
    if (const int err = writeAll(part.fd(), trailer.constData(), trailer.size()))
        return QStringLiteral("写入失败：%1").arg(systemError(err));
    if (const int err = part.close())
        return QStringLiteral("写入失败：%1").arg(systemError(err));
    if (::rename(part.path().constData(), outputPath.constData()) != 0)
        return QStringLiteral("无法替换 %1：%2").arg(QFileInfo(output).fileName(), systemError(errno));
    part.release();
    return QString();
}

ProjectorWriter::Result ProjectorWriter::run(const QStringList& sources, const QString& folder,
                                             const Progress& progress, const std::atomic_bool* cancel) const {
    Result result;
    result.entries.reserve(sources.size());
    for (const QString& s : sources)
        result.entries.append(Entry{s, {}, false, {}});

    QByteArray stub;
    result.stubError = readStub(stubPath_, stub);
    const int count = int(sources.size());
    for (int j = 0; j < count; ++j) {
        Entry& e = result.entries[j];
        if (cancel && cancel->load()) {
            result.cancelled = true;
            e.error = QStringLiteral("已取消");
            continue;
        }
        e.output = ProjectorOutputName::outputPath(folder, e.source);
        if (!result.stubError.isEmpty())
            e.error = result.stubError;
        else
            e.error = writeOne(stub, e.source, e.output, cancel);
        e.written = e.error.isEmpty();
        if (progress)
            progress(j, count);
    }
    if (cancel && cancel->load())
        result.cancelled = true;
    return result;
}

} // namespace nimbrel::library
