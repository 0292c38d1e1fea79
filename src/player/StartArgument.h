#pragma once
// The movie named on the command line (`nimbrel FILE.swf`): a file path made
// absolute against the folder the player was started in, a file:// address as
// its path, an http or https address as it is.
#include <QString>

namespace nimbrel::player {

class StartArgument {
public:
    static QString movie(const QString& argument);
};

} // namespace nimbrel::player
