#include "movie/avm2/builtins/SceneClasses.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/display/MovieClip.h"
#include "movie/swf/Timeline.h"

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

Value labelsOf(Runtime& rt, const display::MovieClip* clip) {
    std::vector<Value> out;
    ClassObject* cls = rt.builtin(QStringLiteral("flash.display.FrameLabel"));
    const auto& frames = clip ? clip->timeline()->frames : std::vector<swf::Frame>();
    for (size_t f = 0; f < frames.size(); ++f)
        for (const QString& label : frames[f].labels) {
            const Value args[] = {Value::string(label), Value::integer(int(f) + 1)};
            out.push_back(rt.constructClass(*cls, Args{args, 2}));
        }
    return Value::object(rt.newArray(std::move(out)));
}
Value sceneOf(Runtime& rt, const Value& self) {
    auto* clip = dynamic_cast<display::MovieClip*>(thisDisplay(rt, self));
    const Value args[] = {Value::string(QStringLiteral("Scene 1")), labelsOf(rt, clip),
                          Value::integer(clip ? std::max(1, clip->totalFrames()) : 1)};
    return rt.constructClass(*rt.builtin(QStringLiteral("flash.display.Scene")), Args{args, 3});
}
Value currentLabels(Runtime& rt, const Value& s, Args) {
    return labelsOf(rt, dynamic_cast<display::MovieClip*>(thisDisplay(rt, s)));
}
Value currentScene(Runtime& rt, const Value& s, Args) { return sceneOf(rt, s); }
Value scenes(Runtime& rt, const Value& s, Args) { return Value::object(rt.newArray({sceneOf(rt, s)})); }

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
                           {"get scenes", scenes}});
}

} // namespace nimbrel::movie::avm2
