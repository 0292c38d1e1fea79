#pragma once
// A stand-alone projector: some program's bytes, then a movie, then an 8-byte
// trailer: the magic 0xFA123456 and the movie's length, both 32-bit
// little-endian. Whichever tool wrote it, the movie is the `length` bytes that
// end right before the trailer.
#include "movie/swf/ParseResult.h"
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace nimbrel::movie::swf {

class ProjectorFile {
public:
    static constexpr quint32 magic = 0xFA123456u;
    static constexpr int trailerSize = 8;
    // A movie longer than this cannot be described by the 32-bit length.
    static constexpr qint64 maxMovieBytes = 0xFFFFFFFFLL;

    struct Span {
        qint64 offset = 0; // where the movie starts in the file
        qint64 length = 0; // its bytes
    };

    // The movie's place in a file of fileSize bytes whose last eight bytes are `last8`.
    static ParseResult<Span> locate(const char* last8, qint64 fileSize);
    static ParseResult<Span> locate(const QByteArray& file);
    // The eight trailer bytes for a movie of movieLength bytes.
    static QByteArray trailerFor(quint32 movieLength);

    // The movie inside a projector file; any other file (an SWF movie itself
    // included) comes back unchanged.
    static QByteArray movieIn(const QByteArray& file);
    // Reads only the trailer and the movie of a projector file on disk.
    static ParseResult<QByteArray> readMovie(const QString& path, qint64 maxBytes);

private:
    static bool startsLikeMovie(const QByteArray& file);
};

} // namespace nimbrel::movie::swf
