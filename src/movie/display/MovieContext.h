#pragma once
// What every display object of one loaded movie shares: the parsed file, the
// script engine, the tick counter and the limits that keep hostile files
// (sprites placing themselves, endless fan-out) from exhausting memory.
#include "movie/swf/Movie.h"
#include <QString>
#include <cstdint>
#include <memory>
#include <set>
#include <vector>

namespace nimbrel::movie::display {

class DisplayObject;
class MovieClip;
class ScriptEngine;
}
namespace nimbrel::movie::sound {
class SoundPlayback;
}
namespace nimbrel::movie::display {

class MovieContext {
public:
    static constexpr int maxNesting = 64;
    static constexpr int maxObjects = 100000;

    MovieContext(std::shared_ptr<const swf::Movie> movie, ScriptEngine* scripts);

    const std::shared_ptr<const swf::Movie>& movie() const { return movie_; }
    ScriptEngine& scripts() const { return *scripts_; }
    void setScripts(ScriptEngine* scripts);

    // A new display object for character id placed under parent, or nullptr
    // when the character is unknown, not placeable, or a limit is reached.
    std::shared_ptr<DisplayObject> instantiate(uint16_t characterId, MovieClip* parent);

    // DoInitAction runs once per sprite; true the first time it is asked.
    bool claimInitActions(uint16_t spriteId) { return initActionsRun_.insert(spriteId).second; }

    // Movies loaded into clips keep the clock of the movie they were loaded into.
    uint64_t tick() const { return clock_ ? clock_->tick() : tick_; }
    void nextTick() { ++tick_; }

    // A context for a movie loaded into one of this movie's clips, owned here;
    // null past maxLoadedMovies so that a movie loading itself stays bounded.
    static constexpr int maxLoadedMovies = 64;
    MovieContext* contextForLoaded(std::shared_ptr<const swf::Movie> movie);

    // Transforms are computed in single precision once a movie of version 8
    // or later is the main movie or has measured bounds; the player never
    // switches back. Shared by the main movie and all movies loaded into it.
    bool singlePrecisionTransforms() const;
    void useSinglePrecisionTransforms();

    // Where the movie's sounds play; null when the host plays none. Movies
    // loaded into clips share the main movie's.
    sound::SoundPlayback* sound() const;
    void setSound(sound::SoundPlayback* sound) { sound_ = sound; }

    // Where a loaded movie came from (_url); empty for the main movie, whose host knows.
    const QString& url() const { return url_; }
    void setUrl(const QString& url) { url_ = url; }

    int objectCount() const { return objects_; }
    // Returns the object's place in creation order (1 for the first).
    uint64_t objectCreated() { ++objects_; return ++created_; }
    void objectDestroyed() { --objects_; }

private:
    std::shared_ptr<DisplayObject> placedBitmap(uint16_t characterId);

    std::shared_ptr<const swf::Movie> movie_;
    ScriptEngine* scripts_;
    std::set<uint16_t> initActionsRun_;
    uint64_t tick_ = 0;
    const MovieContext* clock_ = nullptr;
    MovieContext* owner_ = nullptr;
    std::vector<std::unique_ptr<MovieContext>> loaded_;
    int objects_ = 0;
    uint64_t created_ = 0;
    bool singlePrecision_ = false;
    QString url_;
    sound::SoundPlayback* sound_ = nullptr;
};

} // namespace nimbrel::movie::display
