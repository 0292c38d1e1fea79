#include "player/StartArgument.h"
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace nimbrel::player {

QString StartArgument::movie(const QString& argument) {
    if (argument.isEmpty())
        return {};
    const QUrl url(argument);
    if (url.isLocalFile())
        return url.toLocalFile();
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        return argument;
    return QDir::cleanPath(QFileInfo(argument).absoluteFilePath());
}

} // namespace nimbrel::player
