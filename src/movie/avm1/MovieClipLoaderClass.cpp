#include "movie/avm1/MovieClipLoaderClass.h"
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/ClipLoading.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/StageLevels.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

MovieClipObject* targetOf(Interpreter& vm, const Value& v)
{
    if (v.isString())
        return vm.resolveTarget(v.s, vm.root);
    Object* o = v.object();
    auto* clip = o && o->isMovieClip() ? static_cast<MovieClipObject*>(o) : nullptr;
    // A clip a loaded movie replaced stands for what now holds its path.
    if (clip && clip->isRemoved())
        clip = vm.resolveTarget(clip->targetPath(), vm.root);
    return clip;
}

void broadcast(Interpreter& vm, Object* loader, const std::vector<Value>& args)
{
    vm.callSafely(vm.getMember(Value(loader), QStringLiteral("broadcastMessage")), Value(loader), args);
}

// What the loader's listeners hear of one load; `target` is named when the file never came.
ClipLoading::Done reporter(Interpreter& vm, Object* loader, Value target)
{
    return [&vm, loader, target](MovieClipObject* loaded, qint64 bytes, ClipLoading::Outcome outcome) {
        using Outcome = ClipLoading::Outcome;
        if (outcome == Outcome::NotFound) {
            broadcast(vm, loader, {Value(QStringLiteral("onLoadError")), target, Value(QStringLiteral("URLNotFound"))});
            return;
        }
        // The file came: its arrival is heard even when it turns out not to be a movie.
        const Value clip = loaded ? Value(static_cast<Object*>(loaded)) : target;
        broadcast(vm, loader, {Value(QStringLiteral("onLoadStart")), clip});
        broadcast(vm, loader, {Value(QStringLiteral("onLoadProgress")), clip, Value(double(bytes)), Value(double(bytes))});
        if (outcome == Outcome::Damaged) {
            broadcast(vm, loader, {Value(QStringLiteral("onLoadError")), clip, Value(QStringLiteral("LoadNeverCompleted"))});
            return;
        }
        broadcast(vm, loader, {Value(QStringLiteral("onLoadComplete")), clip, Value(0.0)});
        // onLoadInit waits for the loaded movie's first frame: it runs with the next frame's timers.
        const double now = vm.clockMs ? vm.clockMs() : 0;
        vm.timers.push_back({vm.nextTimerId++, Value(loader), QStringLiteral("broadcastMessage"),
                             {Value(QStringLiteral("onLoadInit")), clip}, 0.0, now, true});
    };
}

} // namespace

void installMovieClipLoaderClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("MovieClipLoader"), nullptr, [](Interpreter& vm, Object* obj, Args) -> Value {
        // The loader hears its own events; its broadcasting methods are the prototype's.
        ArrayObject* listeners = vm.newArray();
        listeners->elements.push_back(Value(obj));
        obj->define(QStringLiteral("_listeners"), Value(static_cast<Object*>(listeners)), DontEnum);
        return Value(obj);
    }, proto);
    const Value broadcaster = vm.getMember(Value(vm.global), QStringLiteral("AsBroadcaster"));
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"})
        proto->define(QLatin1String(name), vm.getMember(broadcaster, QLatin1String(name)), DontEnum);

    vm.addMethod(proto, QStringLiteral("loadClip"), [](Interpreter& vm, const Value& self, Args a) -> Value {
        Object* loader = self.object();
        const Value where = arg(a, 1);
        // A level by number or by name, made when the movie arrives.
        std::optional<int> level;
        if (where.isNumber() && std::isfinite(where.n) && where.n >= 0 && where.n <= display::StageLevels::maxLevel)
            level = int(where.n);
        else if (where.isString())
            level = ClipLoading::levelNamed(where.s, vm.caseSensitive());
        MovieClipObject* target = level ? nullptr : targetOf(vm, where);
        if (level == 0)
            target = vm.root;
        if (!loader || (!level && (!target || !target->clip())))
            return Value(false);
        const QString url = vm.toString(arg(a, 0));
        if (level > 0) {
            // The level keeps the loader reachable while the load is pending.
            LoadQueue::of(vm).levelOwner(*level)->define(QStringLiteral("__loader"), Value(loader), DontEnum);
            ClipLoading::loadLevel(vm, *level, url, reporter(vm, loader, Value()));
        } else {
            target->define(QStringLiteral("__loader"), Value(loader), DontEnum);
            ClipLoading::loadIntoClip(target, url, reporter(vm, loader, Value(static_cast<Object*>(target))));
        }
        return Value(true);
    });
    vm.addMethod(proto, QStringLiteral("unloadClip"), [](Interpreter& vm, const Value&, Args a) -> Value {
        if (a.empty())
            return Value(); // nothing named, nothing answered
        MovieClipObject* target = targetOf(vm, a[0]);
        if (!target)
            return Value(false);
        // A load still on its way is dropped with what was loaded before.
        ClipLoading::unloadClip(target);
        return Value(true);
    });
    vm.addMethod(proto, QStringLiteral("getProgress"), [](Interpreter& vm, const Value&, Args a) -> Value {
        const Value what = arg(a, 0);
        // A path or a level number always answers, with nothing known when it
        // names no clip; anything else must be a clip.
        MovieClipObject* target = nullptr;
        if (what.isNumber())
            target = std::isfinite(what.n) ? vm.resolveTarget(QStringLiteral("_level%1").arg(qint64(what.n)), vm.root) : nullptr;
        else
            target = targetOf(vm, what);
        if (!target && !what.isString() && !what.isNumber())
            return Value();
        Object* o = vm.newObject();
        Value bytes;
        if (const display::DisplayObject* d = target ? target->display() : nullptr) {
            // A loaded movie counts the bytes that came in, compressed as they were sent.
            const bool movieRoot = !d->parent() || d->parent()->context() != d->context();
            if (movieRoot && d->context() && d->context()->movie())
                bytes = Value(double(d->context()->movie()->fileBytes));
            else
                bytes = vm.callMethod(Value(static_cast<Object*>(target)), QStringLiteral("getBytesTotal"), {});
        }
        o->set(QStringLiteral("bytesLoaded"), bytes);
        o->set(QStringLiteral("bytesTotal"), bytes);
        return Value(o);
    });
}

} // namespace nimbrel::movie::avm1
