#pragma once
// The open dialog the playlist and the converter share for picking several
// movies at once: the same caption, filter, flags and name buffer for both.
#include <QStringList>

namespace nimbrel::platform { class CommonDialog; }

namespace nimbrel::library {

class SwfFilesPrompt {
public:
    // The chosen files in the order delivered; empty when cancelled.
    static QStringList ask(platform::CommonDialog& dialog);
};

} // namespace nimbrel::library
