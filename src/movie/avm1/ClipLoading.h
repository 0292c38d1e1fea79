#pragma once
// Movies loaded into clips and levels (loadMovie, loadMovieNum, loadClip) and
// their unloading. A load replaces its target once all of the file has come,
// at the end of a later frame's scripts; an unload takes effect when the next
// frame starts, so the script that asked for it still sees the target.
#include <QString>
#include <functional>
#include <optional>

namespace nimbrel::movie::avm1 {

class Interpreter;
class MovieClipObject;

class ClipLoading {
public:
    enum class Outcome { Loaded, NotFound, Damaged };
    // The clip now holding the movie (null unless loaded), the bytes that came, and how it ended.
    using Done = std::function<void(MovieClipObject* loaded, qint64 bytes, Outcome outcome)>;

    // "_level3" names level 3; anything else names no level.
    static std::optional<int> levelNamed(const QString& target, bool caseSensitive);
    // The level a clip is the root of, if it is one.
    static std::optional<int> levelOf(const MovieClipObject* clip);

    static void loadIntoClip(MovieClipObject* target, const QString& url, Done done = {});
    static void unloadClip(MovieClipObject* target);
    static void loadLevel(Interpreter& vm, int level, const QString& url, Done done = {});
    static void unloadLevel(Interpreter& vm, int level);
};

} // namespace nimbrel::movie::avm1
