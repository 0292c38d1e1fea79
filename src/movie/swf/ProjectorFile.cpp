#include "movie/swf/ProjectorFile.h"
#include <QFile>
#include <QObject>

namespace nimbrel::movie::swf {

namespace {
quint32 readLe32(const char* p) {
    const auto u = reinterpret_cast<const uchar*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

void putLe32(char* p, quint32 v) {
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}
} // namespace

ParseResult<ProjectorFile::Span> ProjectorFile::locate(const char* last8, qint64 fileSize) {
    using Result = ParseResult<Span>;
    if (fileSize < trailerSize)
        return Result::failure(QStringLiteral("file is too short to hold a projector trailer"));
    if (readLe32(last8) != magic)
        return Result::failure(QStringLiteral("no projector trailer at the end of the file"));
    const qint64 length = readLe32(last8 + 4);
    const qint64 room = fileSize - trailerSize;
    if (length == 0)
        return Result::failure(QStringLiteral("the projector holds an empty movie"));
    if (length > room)
        return Result::failure(QStringLiteral("the projector trailer names %1 movie bytes but only %2 precede it")
                                   .arg(length)
                                   .arg(room));
    return Span{room - length, length};
}

ParseResult<ProjectorFile::Span> ProjectorFile::locate(const QByteArray& file) {
    const qint64 size = file.size();
    if (size < trailerSize)
        return locate(nullptr, size);
    return locate(file.constData() + size - trailerSize, size);
}

QByteArray ProjectorFile::trailerFor(quint32 movieLength) {
    QByteArray t(trailerSize, '\0');
    putLe32(t.data(), magic);
    putLe32(t.data() + 4, movieLength);
    return t;
}

bool ProjectorFile::startsLikeMovie(const QByteArray& file) {
    if (file.size() < 3 || file[1] != 'W' || file[2] != 'S')
        return false;
    return file[0] == 'F' || file[0] == 'C' || file[0] == 'Z';
}

QByteArray ProjectorFile::movieIn(const QByteArray& file) {
    // A movie that happens to end in the magic bytes is still a movie.
    if (startsLikeMovie(file))
        return file;
    const auto span = locate(file);
    if (!span)
        return file;
    return file.mid(span->offset, span->length);
}

ParseResult<QByteArray> ProjectorFile::readMovie(const QString& path, qint64 maxBytes) {
    using Result = ParseResult<QByteArray>;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Result::failure(f.errorString());
    const qint64 size = f.size();
    char last8[trailerSize] = {};
    if (size >= trailerSize && (!f.seek(size - trailerSize) || f.read(last8, trailerSize) != trailerSize))
        return Result::failure(f.errorString());
    const auto span = locate(last8, size);
    if (!span)
        return Result::failure(span.error());
    if (span->length > maxBytes)
        return Result::failure(QStringLiteral("the movie inside is too large (%1 bytes)").arg(span->length));
    if (!f.seek(span->offset))
        return Result::failure(f.errorString());
    QByteArray movie = f.read(span->length);
    if (movie.size() != span->length)
        return Result::failure(QStringLiteral("the movie inside could not be read whole"));
    return movie;
}

} // namespace nimbrel::movie::swf
