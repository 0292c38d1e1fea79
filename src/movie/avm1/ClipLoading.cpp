#include "movie/avm1/ClipLoading.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/UrlVariables.h"
#include "movie/bitmap/PictureDecoder.h"
#include "movie/display/BitmapObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptEngine.h"
#include "movie/display/ScriptHost.h"
#include "movie/display/StageLevels.h"
#include "movie/swf/MovieParser.h"
#include <QImage>

namespace nimbrel::movie::avm1 {

namespace {

using Outcome = ClipLoading::Outcome;

// What a load brought: a movie, or a picture shown as a one-frame movie.
struct Arrival {
    std::shared_ptr<const swf::Movie> movie;
    std::shared_ptr<QImage> picture;
};

// A JPEG, PNG or GIF file becomes a movie of one empty frame the size of the picture.
Arrival pictureMovie(const QByteArray& bytes, int version)
{
    auto picture = bitmap::PictureDecoder::decode(bytes);
    if (!picture)
        return {};
    auto movie = std::make_shared<swf::Movie>();
    movie->header.version = uint8_t(version);
    movie->header.stage = {0, picture->width() * 20, 0, picture->height() * 20};
    movie->header.frameCount = 1;
    movie->fileBytes = uint32_t(bytes.size());
    movie->timeline.frames.resize(1);
    return {movie, picture};
}

Arrival parseLoaded(Interpreter& vm, const std::optional<QByteArray>& bytes, Outcome& outcome)
{
    if (!bytes) {
        outcome = Outcome::NotFound;
        return {};
    }
    auto parsed = swf::MovieParser::parse(*bytes);
    Arrival arrival = parsed ? Arrival{parsed.value(), nullptr} : pictureMovie(*bytes, vm.version());
    outcome = arrival.movie ? Outcome::Loaded : Outcome::Damaged;
    return arrival;
}

// The clip a load made, with the picture it brought as its content.
MovieClipObject* show(Interpreter& vm, display::MovieClip* clip, const Arrival& arrival)
{
    if (!clip)
        return nullptr;
    if (arrival.picture)
        clip->addScriptObject(std::make_shared<display::BitmapObject>(clip->context(), arrival.picture, false),
                              QString(), 0);
    return vm.scriptObjectFor(clip);
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

// The loaded movie learns where it came from, and the variables of the
// address's query become its own, as strings, before its first frame runs.
void welcomeLoaded(MovieClipObject* loaded, const QString& url)
{
    if (!loaded)
        return;
    if (display::DisplayObject* d = loaded->display())
        d->context()->setUrl(LoadQueue::of(loaded->vm()).resolve(url).toString());
    const qsizetype query = url.indexOf(QLatin1Char('?'));
    if (query < 0)
        return;
    QString text = url.mid(query + 1);
    text.truncate(text.indexOf(QLatin1Char('#')) >= 0 ? text.indexOf(QLatin1Char('#')) : text.size());
    for (const auto& [name, value] : UrlVariables::decode(text))
        loaded->set(name, Value(value));
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
    // Only movie clips take movies.
    if (!target->clip())
        return;
    // A load that cannot start still fails through the queue, once, a frame later.
    // The main movie's root is never replaced: what comes for it is heard of but not shown.
    LoadQueue::of(target->vm()).start(target, url, [target, url, done](Interpreter& vm, const std::optional<QByteArray>& bytes) {
        display::MovieClip* c = target->clip();
        // A target removed meanwhile takes the load with it, unheard.
        if (!c)
            return;
        Outcome outcome;
        const Arrival arrival = parseLoaded(vm, bytes, outcome);
        MovieClipObject* loaded = arrival.movie ? show(vm, c->replaceWithMovie(arrival.movie), arrival) : nullptr;
        // What _root means below the clip outlives the movie it held.
        if (loaded)
            loaded->lockRoot = target->lockRoot;
        welcomeLoaded(loaded, url);
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
    queue.start(queue.levelOwner(level), url, [level, url, done](Interpreter& vm, const std::optional<QByteArray>& bytes) {
        Outcome outcome;
        const Arrival arrival = parseLoaded(vm, bytes, outcome);
        MovieClipObject* loaded =
            arrival.movie && vm.host ? show(vm, vm.host->placeLevel(level, arrival.movie), arrival) : nullptr;
        welcomeLoaded(loaded, url);
        report(done, loaded, bytes, outcome);
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
