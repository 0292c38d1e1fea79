#pragma once
// Records the folders asked for and answers with a preset result.
#include "platform/FolderOpener.h"
#include <QStringList>

namespace nimbrel::platform {

class ScriptedFolderOpener : public FolderOpener {
public:
    bool openFolder(const QString& folder) override {
        requests_ << folder;
        return succeeds_;
    }
    void setSucceeds(bool on) { succeeds_ = on; }
    const QStringList& requests() const { return requests_; }

private:
    QStringList requests_;
    bool succeeds_ = true;
};

} // namespace nimbrel::platform
