#pragma once
// Opens folders through the desktop's handler for folders (xdg-open).
#include "platform/FolderOpener.h"

namespace nimbrel::platform {

class DesktopFolderOpener : public FolderOpener {
public:
    bool openFolder(const QString& folder) override;
    // The folder the file manager is asked to show.
    static QString target(const QString& folder);
};

} // namespace nimbrel::platform
