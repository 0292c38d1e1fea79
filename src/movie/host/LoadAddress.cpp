#include "movie/host/LoadAddress.h"
#include <QDir>
#include <QRegularExpression>

namespace nimbrel::movie::host {

bool LoadAddress::isWeb(const QUrl& u)
{
    const QString s = u.scheme().toLower();
    return s == QLatin1String("http") || s == QLatin1String("https");
}

QUrl LoadAddress::resolve(const QString& baseText, const QString& url)
{
    const QUrl given(url);
    const QString scheme = given.scheme().toLower();
    // One-letter schemes are drive letters of local paths.
    if (scheme.size() > 1)
        return given;
    const QUrl base(baseText);
    if (isWeb(base))
        return base.resolved(given);
    QString path = url;
    const qsizetype cut = path.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (cut >= 0)
        path.truncate(cut);
    if (path.isEmpty())
        return {};
    if (QDir::isAbsolutePath(path))
        return QUrl::fromLocalFile(path);
    return QUrl::fromLocalFile(QDir(baseText.isEmpty() ? QStringLiteral(".") : baseText).filePath(path));
}

} // namespace nimbrel::movie::host
