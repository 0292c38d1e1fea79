#include "platform/DesktopFolderOpener.h"
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace nimbrel::platform {

QString DesktopFolderOpener::target(const QString& folder) {
    return folder.isEmpty() ? QDir::homePath() : folder;
}

bool DesktopFolderOpener::openFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(target(folder)));
}

} // namespace nimbrel::platform
