#include "movie/avm2/builtins/SceneClasses.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/display/MovieClip.h"
#include "movie/swf/Timeline.h"
#include <cmath>

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {

ObjectPtr allocate(const ClassObject&) { return std::make_shared<EventTargetObject>(); }

Value constructLabel(Runtime& rt, const Value& self, Args a) {
    EventTargetObject& t = thisTarget(rt, self);
    t.stored.insert(QStringLiteral("name"), Value::string(rt.toString(a[0])));
    t.stored.insert(QStringLiteral("frame"), Value::integer(rt.toInt32(a[1])));
    return Value();
}
Value constructScene(Runtime& rt, const Value& self, Args a) {
    EventTargetObject& t = thisTarget(rt, self);
    t.stored.insert(QStringLiteral("name"), Value::string(rt.toString(a[0])));
    t.stored.insert(QStringLiteral("labels"), a[1].isUndefined() ? Value::null() : a[1]);
    t.stored.insert(QStringLiteral("numFrames"), Value::integer(rt.toInt32(a[2])));
    return Value();
}
Value name(Runtime& rt, const Value& s, Args) { return thisTarget(rt, s).stored.value(QStringLiteral("name")); }
Value frame(Runtime& rt, const Value& s, Args) { return thisTarget(rt, s).stored.value(QStringLiteral("frame")); }
Value labels(Runtime& rt, const Value& s, Args) { return thisTarget(rt, s).stored.value(QStringLiteral("labels")); }
Value numFrames(Runtime& rt, const Value& s, Args) { return thisTarget(rt, s).stored.value(QStringLiteral("numFrames")); }

display::MovieClip* sceneClip(Runtime& rt, const Value& self) {
    return dynamic_cast<display::MovieClip*>(thisDisplay(rt, self));
}
// A clip's scenes; one spanning every frame for a clip without a timeline.
std::vector<swf::SceneSpan> scenesOf(const display::MovieClip* clip) {
    if (clip) return clip->timeline()->scenes();
    return {swf::SceneSpan{QStringLiteral("Scene 1"), 0, 1}};
}
swf::SceneSpan currentSpan(const display::MovieClip* clip) {
    const auto all = scenesOf(clip);
    return all[size_t(clip ? clip->timeline()->sceneIndexAt(clip->currentFrame()) : 0)];
}

// FrameLabels of one scene, numbered from the scene's first frame.
Value labelsIn(Runtime& rt, const display::MovieClip* clip, const swf::SceneSpan& span) {
    std::vector<Value> out;
    ClassObject* cls = rt.builtin(QStringLiteral("flash.display.FrameLabel"));
    const auto& frames = clip ? clip->timeline()->frames : std::vector<swf::Frame>();
    const int end = std::min<int>(span.first + span.count, int(frames.size()));
    for (int f = span.first; f < end; ++f)
        for (const QString& label : frames[size_t(f)].labels) {
            const Value args[] = {Value::string(label), Value::integer(f - span.first + 1)};
            out.push_back(rt.constructClass(*cls, Args{args, 2}));
        }
    return Value::object(rt.newArray(std::move(out)));
}
Value sceneObject(Runtime& rt, const display::MovieClip* clip, const swf::SceneSpan& span) {
    const Value args[] = {Value::string(span.name), labelsIn(rt, clip, span), Value::integer(std::max(1, span.count))};
    return rt.constructClass(*rt.builtin(QStringLiteral("flash.display.Scene")), Args{args, 3});
}

Value currentLabels(Runtime& rt, const Value& s, Args) {
    const auto* clip = sceneClip(rt, s);
    return labelsIn(rt, clip, currentSpan(clip));
}
Value currentScene(Runtime& rt, const Value& s, Args) {
    const auto* clip = sceneClip(rt, s);
    return sceneObject(rt, clip, currentSpan(clip));
}
Value scenes(Runtime& rt, const Value& s, Args) {
    const auto* clip = sceneClip(rt, s);
    std::vector<Value> out;
    for (const auto& span : scenesOf(clip)) out.push_back(sceneObject(rt, clip, span));
    return Value::object(rt.newArray(std::move(out)));
}

// Frame numbers count from the start of the scene the playhead is in. A clip a
// script made has no frames to be on.
Value sceneCurrentFrame(Runtime& rt, const Value& s, Args) {
    const auto* c = sceneClip(rt, s);
    if (c && c->characterId() == 0 && c->timeline()->frames.empty() && rt.stage && c != rt.stage->root())
        return Value::integer(0);
    return Value::integer(c ? c->currentFrame() - currentSpan(c).first + 1 : 1);
}
// The latest label at or before the playhead, within its scene.
Value sceneCurrentLabel(Runtime& rt, const Value& s, Args) {
    const auto* c = sceneClip(rt, s);
    if (!c) return Value::null();
    const auto& frames = c->timeline()->frames;
    const int first = currentSpan(c).first;
    for (int f = std::min<int>(c->currentFrame(), int(frames.size()) - 1); f >= first; --f)
        if (!frames[size_t(f)].labels.isEmpty()) return Value::string(frames[size_t(f)].labels.last());
    return Value::null();
}

// A frame number (1-based within the scene) or a label, in the named scene or
// else the current one. An unknown scene or label is an ArgumentError.
void sceneGoto(Runtime& rt, const Value& s, Args a, bool andPlay) {
    display::MovieClip* c = sceneClip(rt, s);
    if (!c) return;
    if (rt.stage) rt.stage->gotoRan = true;
    const swf::Timeline& timeline = *c->timeline();
    swf::SceneSpan span = currentSpan(c);
    const bool sceneGiven = !a[1].isNullish();
    if (sceneGiven) {
        const QString wanted = rt.toString(a[1]);
        const auto all = timeline.scenes();
        auto found = std::find_if(all.begin(), all.end(), [&](const swf::SceneSpan& sp) { return sp.name == wanted; });
        if (found == all.end()) {
            rt.raise(QStringLiteral("ArgumentError"), 2108, {wanted});
            return;
        }
        span = *found;
    }
    // A whole number (or its text) is a frame; anything else, a fraction too, names a label.
    bool numeric = !a[0].isString();
    double f = numeric ? rt.toNumber(a[0]) : a[0].s.toDouble(&numeric);
    if (numeric && std::isfinite(f) && f != std::trunc(f)) numeric = false;
    if (!numeric) {
        const QString label = rt.toString(a[0]);
        int found = timeline.frameOfLabel(label, span.first, span.first + span.count);
        // Without a scene, a label elsewhere in the timeline still counts.
        if (found < 0 && !sceneGiven) found = timeline.frameOfLabel(label);
        if (found < 0) {
            rt.raise(QStringLiteral("ArgumentError"), 2109, {label, span.name});
            return;
        }
        c->gotoFrame(found, andPlay);
        return;
    }
    c->gotoFrame(span.first + (std::isfinite(f) ? int(std::clamp(f, -1e9, 1e9)) - 1 : 0), andPlay);
}
Value sceneGotoAndPlay(Runtime& rt, const Value& s, Args a) {
    sceneGoto(rt, s, a, true);
    return Value();
}
Value sceneGotoAndStop(Runtime& rt, const Value& s, Args a) {
    sceneGoto(rt, s, a, false);
    return Value();
}
// The first frame of the neighbouring scene, playing. Before the first scene
// is that scene's own start; past the last, nothing.
void stepScene(Runtime& rt, const Value& s, int step) {
    display::MovieClip* c = sceneClip(rt, s);
    if (!c) return;
    const auto all = c->timeline()->scenes();
    const int target = std::max(0, c->timeline()->sceneIndexAt(c->currentFrame()) + step);
    if (target >= int(all.size())) return;
    if (rt.stage) rt.stage->gotoRan = true;
    c->gotoFrame(all[size_t(target)].first, true);
}
Value nextScene(Runtime& rt, const Value& s, Args) {
    stepScene(rt, s, 1);
    return Value();
}
Value prevScene(Runtime& rt, const Value& s, Args) {
    stepScene(rt, s, -1);
    return Value();
}

} // namespace

void SceneClasses::install(Runtime& rt, ClassObject& movieClip) {
    const QString pkg = QStringLiteral("flash.display");
    auto label = rt.defineNativeClass(pkg, QStringLiteral("FrameLabel"), rt.builtin(QStringLiteral("flash.events.EventDispatcher")), {});
    label->constructor = MethodRef{nullptr, 0, constructLabel, label.get(), 2};
    label->isFinal = true;
    label->dynamicInstances = false;
    addMembers(*label, {{"get name", name}, {"get frame", frame}});
    auto scene = rt.defineNativeClass(pkg, QStringLiteral("Scene"), rt.builtin(QStringLiteral("Object")), {});
    scene->nativeAllocate = allocate;
    scene->constructor = MethodRef{nullptr, 0, constructScene, scene.get(), 3};
    scene->isFinal = true;
    scene->dynamicInstances = false;
    addMembers(*scene, {{"get name", name}, {"get labels", labels}, {"get numFrames", numFrames}});
    addMembers(movieClip, {{"get currentLabels", currentLabels}, {"get currentScene", currentScene},
                           {"get scenes", scenes}, {"get currentFrame", sceneCurrentFrame},
                           {"get currentLabel", sceneCurrentLabel}, {"gotoAndPlay", sceneGotoAndPlay, 1},
                           {"gotoAndStop", sceneGotoAndStop, 1}, {"nextScene", nextScene},
                           {"prevScene", prevScene}});
}

} // namespace nimbrel::movie::avm2
