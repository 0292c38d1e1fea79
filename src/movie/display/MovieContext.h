#pragma once
// What every display object of one loaded movie shares: the parsed file, the
// script engine, the tick counter and the limits that keep hostile files
// (sprites placing themselves, endless fan-out) from exhausting memory.
#include "movie/swf/Movie.h"
#include <cstdint>
#include <memory>
#include <set>

namespace nimbrel::movie::display {

class DisplayObject;
class MovieClip;
class ScriptEngine;

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

    uint64_t tick() const { return tick_; }
    void nextTick() { ++tick_; }

    int objectCount() const { return objects_; }
    // Returns the object's place in creation order (1 for the first).
    uint64_t objectCreated() { ++objects_; return ++created_; }
    void objectDestroyed() { --objects_; }

private:
    std::shared_ptr<const swf::Movie> movie_;
    ScriptEngine* scripts_;
    std::set<uint16_t> initActionsRun_;
    uint64_t tick_ = 0;
    int objects_ = 0;
    uint64_t created_ = 0;
};

} // namespace nimbrel::movie::display
