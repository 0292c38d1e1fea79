#pragma once
// What the clipboard watcher takes as a movie to play: a text whose last three
// characters are exactly "swf" (lower case; "SWF" is left alone).
#include <QString>

namespace nimbrel::services {

class ClipboardAddress {
public:
    static bool isMovie(const QString& clipboardText);
};

} // namespace nimbrel::services
