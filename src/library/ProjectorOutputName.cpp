#include "library/ProjectorOutputName.h"
#include <QFileInfo>

namespace nimbrel::library {

std::optional<QString> ProjectorOutputName::folderOfPickedPath(const QString& pickedPath) {
    // The search starts at the second-to-last character: a path that ends in its
    // separator still names the folder it ends in.
    if (pickedPath.size() < 2)
        return std::nullopt;
    const qsizetype slash = pickedPath.lastIndexOf(QLatin1Char('/'), pickedPath.size() - 2);
    if (slash < 0)
        return std::nullopt;
    return pickedPath.left(slash + 1);
}

QString ProjectorOutputName::exeName(const QString& sourcePath) {
    QString name = QFileInfo(sourcePath).fileName();
    if (name.size() > 4 && name.endsWith(QLatin1String(".swf"), Qt::CaseInsensitive))
        name.chop(4);
    return name + QLatin1String(".exe");
}

QString ProjectorOutputName::outputPath(const QString& folder, const QString& sourcePath) {
    const QString sep = folder.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/");
    return folder + sep + exeName(sourcePath);
}

} // namespace nimbrel::library
