#pragma once
#include <QString>
#include <QtGlobal>

namespace nimbrel::player {

// The status line under the movie: frame position, movie path and file size.
class StatusLineText {
public:
    // "[" frame " /" total "]", two blanks, "文件名：" path, two blanks,
    // "文件大小：" kilobytes "KB".
    static QString build(qint64 frame, qint64 totalFrames, const QString& movie,
                         qint64 fileSizeBytes);
    // Bytes to whole kilobytes, halves to the even neighbour (1536 -> 2, 2560 -> 2).
    static qint64 kilobytes(qint64 bytes);
    // Size in bytes of the file the movie path names; 0 for an address, an empty path
    // or anything that is not an existing file.
    static qint64 fileSizeOf(const QString& movie);
    // The whole line for the movie path, reading the file's size.
    static QString forMovie(qint64 frame, qint64 totalFrames, const QString& movie);
    // A movie that cannot be played: "无法播放此文件" and the reason, no frame count.
    static QString unplayable(const QString& reason);
};

} // namespace nimbrel::player
