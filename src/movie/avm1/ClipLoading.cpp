#include "movie/avm1/ClipLoading.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptEngine.h"
#include "movie/display/ScriptHost.h"
#include "movie/display/StageLevels.h"
#include "movie/swf/MovieParser.h"

namespace nimbrel::movie::avm1 {

namespace {

using Outcome = ClipLoading::Outcome;

std::shared_ptr<const swf::Movie> parseLoaded(const std::optional<QByteArray>& bytes, Outcome& outcome)
{
    if (!bytes) {
        outcome = Outcome::NotFound;
        return nullptr;
    }
    auto parsed = swf::MovieParser::parse(*bytes);
    outcome = parsed ? Outcome::Loaded : Outcome::Damaged;
    return parsed ? parsed.value() : nullptr;
}

void report(const ClipLoading::Done& done, MovieClipObject* loaded, const std::optional<QByteArray>& bytes,
            Outcome outcome)
{
    if (!done)
        return;
    // A movie that came but could not be shown never completed.
    if (outcome == Outcome::Loaded && !loaded)
        outcome = Outcome::Damaged;
    done(loaded, bytes ? bytes->size() : 0, outcome);
}

} // namespace

std::optional<int> ClipLoading::levelNamed(const QString& target, bool caseSensitive)
{
    if (!target.startsWith(QLatin1String("_level"), caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive))
        return std::nullopt;
    bool ok = false;
    const int n = target.mid(6).toInt(&ok);
    if (!ok || n < 0 || n > display::StageLevels::maxLevel)
        return std::nullopt;
    return n;
}

std::optional<int> ClipLoading::levelOf(const MovieClipObject* clip)
{
    const display::MovieClip* c = clip ? clip->clip() : nullptr;
    if (!c || c->parent())
        return std::nullopt;
    return c->depth();
}

void ClipLoading::loadIntoClip(MovieClipObject* target, const QString& url, Done done)
{
    if (const auto level = levelOf(target); level && *level > 0)
        return loadLevel(target->vm(), *level, url, std::move(done));
    if (!target->clip() || !target->clip()->parent()) {
        if (done)
            done(nullptr, 0, Outcome::NotFound);
        return;
    }
    // A load that cannot start still fails through the queue, once, a frame later.
    LoadQueue::of(target->vm()).start(target, url, [target, done](Interpreter& vm, const std::optional<QByteArray>& bytes) {
        display::MovieClip* c = target->clip();
        // A target removed meanwhile takes the load with it, unheard.
        if (!c)
            return;
        Outcome outcome;
        auto movie = parseLoaded(bytes, outcome);
        MovieClipObject* loaded = movie ? vm.scriptObjectFor(c->replaceWithMovie(movie)) : nullptr;
        // What _root means below the clip outlives the movie it held.
        if (loaded)
            loaded->lockRoot = target->lockRoot;
        report(done, loaded, bytes, outcome);
    });
}

void ClipLoading::unloadClip(MovieClipObject* target)
{
    if (const auto level = levelOf(target); level && *level > 0)
        return unloadLevel(target->vm(), *level);
    LoadQueue::of(target->vm()).deferUnload(target, [target](Interpreter&) {
        display::MovieClip* c = target->clip();
        if (!c)
            return;
        // The clip stays where it is, empty; its own onUnload hears of it first.
        c->context()->scripts().clipEvent(c, swf::ClipEventUnload);
        c->unloadContents();
    });
}

void ClipLoading::loadLevel(Interpreter& vm, int level, const QString& url, Done done)
{
    LoadQueue& queue = LoadQueue::of(vm);
    queue.start(queue.levelOwner(level), url, [level, done](Interpreter& vm, const std::optional<QByteArray>& bytes) {
        Outcome outcome;
        auto movie = parseLoaded(bytes, outcome);
        display::MovieClip* loaded = movie && vm.host ? vm.host->placeLevel(level, movie) : nullptr;
        report(done, loaded ? vm.scriptObjectFor(loaded) : nullptr, bytes, outcome);
    });
}

void ClipLoading::unloadLevel(Interpreter& vm, int level)
{
    LoadQueue& queue = LoadQueue::of(vm);
    queue.deferUnload(queue.levelOwner(level), [level](Interpreter& vm) {
        if (vm.host)
            vm.host->removeLevel(level);
    });
}

} // namespace nimbrel::movie::avm1
