#pragma once
// Shows a folder in the desktop's file manager. The desktop does it for real
// use; tests script it.
#include <QString>

namespace nimbrel::platform {

class FolderOpener {
public:
    virtual ~FolderOpener() = default;
    // An empty folder opens the file manager at its default place (the home
    // folder). False when no file manager could be started.
    virtual bool openFolder(const QString& folder) = 0;
};

} // namespace nimbrel::platform
