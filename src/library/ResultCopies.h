#pragma once
// Copies chosen search results into one folder, replacing files of the same
// name, and tells how it went: the files copied, and each file that could not be
// copied with the reason, so a failed copy is never reported as done. Of two
// files with one name only the first is copied; the second is told as not copied.
#include <QList>
#include <QString>
#include <QStringList>

namespace nimbrel::library {

class ResultCopies {
public:
    struct Failure {
        QString path;
        QString reason;
    };
    struct Report {
        int copied = 0;
        QList<Failure> failures;
    };

    // folder ends in "/"; every file goes to folder + its name.
    static Report copyInto(const QStringList& files, const QString& folder);
    // "拷贝" + copied + "个文件完成", then one line per failed copy.
    static QString text(const Report& report);
};

} // namespace nimbrel::library
