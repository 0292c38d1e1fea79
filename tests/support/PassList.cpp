#include "PassList.h"
#include <QFile>
#include <QSaveFile>
#include <algorithm>

PassList PassList::load(const QString& path)
{
    PassList list;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return list;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            list.listed_.insert(line);
    }
    return list;
}

void PassList::record(const QString& caseName, bool passed)
{
    (passed ? passed_ : failed_).insert(caseName);
}

static QStringList sorted(QStringList names)
{
    std::sort(names.begin(), names.end());
    return names;
}

QStringList PassList::lost() const
{
    QStringList out;
    for (const QString& name : failed_)
        if (listed_.contains(name))
            out.append(name);
    return sorted(out);
}

QStringList PassList::gained() const
{
    QStringList out;
    for (const QString& name : passed_)
        if (!listed_.contains(name))
            out.append(name);
    return sorted(out);
}

bool PassList::write(const QString& path) const
{
    QSet<QString> keep = passed_;
    for (const QString& name : listed_)
        if (!failed_.contains(name))
            keep.insert(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    for (const QString& name : sorted(QStringList(keep.begin(), keep.end())))
        file.write(name.toUtf8() + '\n');
    return file.commit();
}

bool PassList::rewriteRequested()
{
    return qgetenv("NIMBREL_WRITE_PASS_LIST") == "1";
}
