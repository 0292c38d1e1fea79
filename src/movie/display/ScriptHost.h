#pragma once
// What a running script may ask of the player that hosts the movie.
// The player implements it; headless tools collect traces through it.
#include <QString>

namespace nimbrel::movie::display {

class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    virtual void trace(const QString& line) = 0;
    virtual void fsCommand(const QString& command, const QString& args) = 0;
    // getURL / loadMovie requests; target is the window or level name as written in the movie.
    virtual void getUrl(const QString& url, const QString& target) = 0;
    // The folder or address relative loads are resolved against.
    virtual QString baseUrl() const = 0;
};

} // namespace nimbrel::movie::display
