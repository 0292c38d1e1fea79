#pragma once
// What the search's rule check needs to know about one found file: its name
// (no folder), its length and its creation stamp, the local date and hour as the
// whole number yyyymmddhh. The stamp comes from the file's birth time where the
// file system records it, else from its last status change.
#include <QDateTime>
#include <QString>
#include <optional>

namespace nimbrel::library {

class FileFacts {
public:
    QString name;
    qint64 size = 0;
    qint64 creationStamp = 0;

    // Nothing when the path is gone or is not a file.
    static std::optional<FileFacts> read(const QString& path);
    // The same for `name` inside the open folder `folderFd` (a path of its own
    // when AT_FDCWD), sparing the lookup of the folders above.
    static std::optional<FileFacts> readAt(int folderFd, const char* name, const QString& path);
    // 9 September 2007 15:42 local time is 2007090915.
    static qint64 stampOf(const QDateTime& localTime);
};

} // namespace nimbrel::library
