#include "movie/avm2/builtins/ContainerMethods.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/SceneClasses.h"
#include "movie/display/MovieClip.h"
#include "movie/swf/Timeline.h"

namespace nimbrel::movie::avm2 {

using namespace native;
using display::DisplayObject;
using display::MovieClip;

namespace {

Value nothing(Runtime&, const Value&, Args) { return Value(); }

// The children in index order; the Stage holds the main timeline alone.
std::vector<DisplayObject*> childrenOf(Runtime& rt, const Value& self) {
    EventTargetObject& t = thisTarget(rt, self);
    std::vector<DisplayObject*> out;
    if (rt.stage && &t == rt.stage->stage()) {
        out.push_back(rt.stage->root());
        return out;
    }
    if (auto* clip = dynamic_cast<MovieClip*>(t.displayObject.get()))
        for (const auto& [depth, child] : clip->children()) out.push_back(child.get());
    return out;
}
MovieClip* thisClip(Runtime& rt, const Value& self) { return dynamic_cast<MovieClip*>(thisDisplay(rt, self)); }

int indexArg(Runtime& rt, Args a, int i, int count, bool insertion) {
    const int index = rt.toInt32(a[i]);
    if (index < 0 || index > count || (!insertion && index == count)) rt.raise(QStringLiteral("RangeError"), 2006);
    return index;
}
DisplayObject* childArg(Runtime& rt, Args a, int i, const char* what = "child") {
    if (a[i].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QString::fromLatin1(what)});
    DisplayObject* d = StageBridge::displayOf(a[i]);
    if (!d && !asTarget(a[i])) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(a[i]), QStringLiteral("flash.display.DisplayObject")});
    return d;
}
int indexOf(const std::vector<DisplayObject*>& list, const DisplayObject* d) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == d) return int(i);
    return -1;
}

Value numChildren(Runtime& rt, const Value& s, Args) { return Value::integer(int(childrenOf(rt, s).size())); }

Value addChildAt(Runtime& rt, const Value& s, Args a) {
    DisplayObject* child = childArg(rt, a, 0);
    MovieClip* self = thisClip(rt, s);
    const auto list = childrenOf(rt, s);
    const int index = indexArg(rt, a, 1, int(list.size()), true);
    if (!child || !self || !rt.stage) return a[0];
    if (child == self) rt.raise(QStringLiteral("ArgumentError"), 2024);
    for (MovieClip* p = self->parent(); p; p = p->parent())
        if (p == child) rt.raise(QStringLiteral("ArgumentError"), 2150);
    rt.stage->addChildAt(*self, child->shared_from_this(), index);
    return a[0];
}
Value addChild(Runtime& rt, const Value& s, Args a) {
    DisplayObject* child = childArg(rt, a, 0);
    int count = int(childrenOf(rt, s).size());
    // Re-adding a child of this container puts it last among the others.
    if (child && child->parent() == thisDisplay(rt, s)) --count;
    const Value args[] = {a[0], Value::integer(count)};
    return addChildAt(rt, s, Args{args, 2});
}

Value removeChild(Runtime& rt, const Value& s, Args a) {
    DisplayObject* child = childArg(rt, a, 0);
    MovieClip* self = thisClip(rt, s);
    if (!child || !self || child->parent() != self) rt.raise(QStringLiteral("ArgumentError"), 2025);
    if (rt.stage) rt.stage->removeChild(*self, *child);
    return a[0];
}
Value removeChildAt(Runtime& rt, const Value& s, Args a) {
    const auto list = childrenOf(rt, s);
    const int index = indexArg(rt, a, 0, int(list.size()), false);
    MovieClip* self = thisClip(rt, s);
    DisplayObject* child = list[size_t(index)];
    Value v = rt.stage ? rt.stage->valueOf(child) : Value::null();
    if (self && rt.stage) rt.stage->removeChild(*self, *child);
    return v;
}
Value removeChildren(Runtime& rt, const Value& s, Args a) {
    const auto list = childrenOf(rt, s);
    const int begin = a.count > 0 ? rt.toInt32(a[0]) : 0;
    const int end = a.count > 1 ? rt.toInt32(a[1]) : 0x7fffffff;
    const int last = std::min<int>(end, int(list.size()) - 1);
    // Only an end given explicitly must name a child; a start past the end removes nothing.
    if (begin < 0 || end < 0 || begin > end || (end >= int(list.size()) && end != 0x7fffffff))
        rt.raise(QStringLiteral("RangeError"), 2006);
    MovieClip* self = thisClip(rt, s);
    for (int i = last; self && rt.stage && i >= begin; --i) rt.stage->removeChild(*self, *list[size_t(i)]);
    return Value();
}
Value getChildAt(Runtime& rt, const Value& s, Args a) {
    const auto list = childrenOf(rt, s);
    const int index = indexArg(rt, a, 0, int(list.size()), false);
    return rt.stage ? rt.stage->valueOf(list[size_t(index)]) : Value::null();
}
Value getChildByName(Runtime& rt, const Value& s, Args a) {
    const QString name = rt.toString(a[0]);
    for (DisplayObject* d : childrenOf(rt, s))
        if (d->name() == name) return rt.stage ? rt.stage->valueOf(d) : Value::null();
    return Value::null();
}
Value getChildIndex(Runtime& rt, const Value& s, Args a) {
    DisplayObject* child = childArg(rt, a, 0);
    const int i = indexOf(childrenOf(rt, s), child);
    if (i < 0) rt.raise(QStringLiteral("ArgumentError"), 2025);
    return Value::integer(i);
}
Value setChildIndex(Runtime& rt, const Value& s, Args a) {
    DisplayObject* child = childArg(rt, a, 0);
    const auto list = childrenOf(rt, s);
    const int index = indexArg(rt, a, 1, int(list.size()), false);
    const int at = indexOf(list, child);
    if (at < 0) rt.raise(QStringLiteral("ArgumentError"), 2025);
    MovieClip* self = thisClip(rt, s);
    if (at == index || !self) return Value();
    // Moving within the list is not a removal: no added/removed events.
    auto keep = self->takeChild(child);
    self->insertChild(keep, index);
    return Value();
}
void swapAt(MovieClip* self, const std::vector<DisplayObject*>& list, int i, int j) {
    if (!self || i == j) return;
    if (i > j) std::swap(i, j);
    DisplayObject* a = list[size_t(i)];
    DisplayObject* b = list[size_t(j)];
    self->swapChildDepths(a->depth(), b->depth());
}
Value swapChildren(Runtime& rt, const Value& s, Args a) {
    DisplayObject* c1 = childArg(rt, a, 0);
    DisplayObject* c2 = childArg(rt, a, 1);
    const auto list = childrenOf(rt, s);
    const int i = indexOf(list, c1), j = indexOf(list, c2);
    if (i < 0 || j < 0) rt.raise(QStringLiteral("ArgumentError"), 2025);
    swapAt(thisClip(rt, s), list, i, j);
    return Value();
}
Value swapChildrenAt(Runtime& rt, const Value& s, Args a) {
    const auto list = childrenOf(rt, s);
    const int i = indexArg(rt, a, 0, int(list.size()), false);
    const int j = indexArg(rt, a, 1, int(list.size()), false);
    swapAt(thisClip(rt, s), list, i, j);
    return Value();
}
Value contains(Runtime& rt, const Value& s, Args a) {
    if (a[0].isNullish()) return Value::boolean(false);
    const DisplayObject* d = StageBridge::displayOf(a[0]);
    const DisplayObject* self = thisDisplay(rt, s);
    if (rt.stage && &thisTarget(rt, s) == rt.stage->stage()) return Value::boolean(d && rt.stage->onStage(*d));
    for (; d && self; d = d->parent())
        if (d == self) return Value::boolean(true);
    return Value::boolean(false);
}

// ---- MovieClip ----

Value isPlaying(Runtime& rt, const Value& s, Args) {
    MovieClip* c = thisClip(rt, s);
    return Value::boolean(c && c->isPlaying() && c->totalFrames() > 1);
}
NIMBREL_STORED_PROPERTY(mouseChildren, "mouseChildren", Value::boolean(true), asBoolean)
NIMBREL_STORED_PROPERTY(tabChildren, "tabChildren", Value::boolean(true), asBoolean)
Value totalFrames(Runtime& rt, const Value& s, Args) {
    MovieClip* c = thisClip(rt, s);
    return Value::integer(c ? std::max(1, c->totalFrames()) : 1);
}
Value currentFrameLabel(Runtime& rt, const Value& s, Args) {
    MovieClip* c = thisClip(rt, s);
    if (!c) return Value::null();
    const auto& frames = c->timeline()->frames;
    const size_t f = size_t(c->currentFrame());
    if (f < frames.size() && !frames[f].labels.isEmpty()) return Value::string(frames[f].labels.last());
    return Value::null();
}
Value play(Runtime& rt, const Value& s, Args) {
    if (MovieClip* c = thisClip(rt, s)) c->play();
    return Value();
}
Value stop(Runtime& rt, const Value& s, Args) {
    if (MovieClip* c = thisClip(rt, s)) c->stop();
    return Value();
}
Value nextFrame(Runtime& rt, const Value& s, Args) {
    if (MovieClip* c = thisClip(rt, s)) c->nextFrame();
    return Value();
}
Value prevFrame(Runtime& rt, const Value& s, Args) {
    if (MovieClip* c = thisClip(rt, s)) c->prevFrame();
    return Value();
}
Value framesLoaded(Runtime& rt, const Value& s, Args a) { return totalFrames(rt, s, a); }
Value addFrameScript(Runtime& rt, const Value& s, Args a) {
    EventTargetObject& t = thisTarget(rt, s);
    for (int i = 0; i + 1 < a.count; i += 2) {
        const int frame = rt.toInt32(a[i]);
        if (frame < 0) continue;
        if (a[i + 1].isNullish()) t.frameScripts.erase(frame);
        else t.frameScripts[frame] = a[i + 1];
    }
    return Value();
}

} // namespace

ClassObject* ContainerMethods::install(Runtime& rt, ClassObject& base) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.display"), QStringLiteral("DisplayObjectContainer"), &base, {});
    cls->constructor = MethodRef{nullptr, 0, nothing, cls.get()};
    cls->dynamicInstances = false;
    addMembers(*cls, {{"get numChildren", numChildren}, {"addChild", addChild, 1}, {"addChildAt", addChildAt, 2},
                      {"removeChild", removeChild, 1}, {"removeChildAt", removeChildAt, 1},
                      {"removeChildren", removeChildren}, {"getChildAt", getChildAt, 1},
                      {"getChildByName", getChildByName, 1}, {"getChildIndex", getChildIndex, 1},
                      {"setChildIndex", setChildIndex, 2}, {"swapChildren", swapChildren, 2},
                      {"swapChildrenAt", swapChildrenAt, 2}, {"contains", contains, 1},
                      NIMBREL_STORED_MEMBERS(mouseChildren, "mouseChildren"),
                      NIMBREL_STORED_MEMBERS(tabChildren, "tabChildren")});
    return cls.get();
}

void ContainerMethods::installMovieClip(Runtime& rt, ClassObject& sprite, NativeFn constructor) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.display"), QStringLiteral("MovieClip"), &sprite, {});
    cls->constructor = MethodRef{nullptr, 0, constructor, cls.get()};
    addMembers(*cls, {{"get totalFrames", totalFrames}, {"get currentFrameLabel", currentFrameLabel},
                      {"get framesLoaded", framesLoaded}, {"play", play}, {"stop", stop}, {"nextFrame", nextFrame},
                      {"prevFrame", prevFrame}, {"addFrameScript", addFrameScript}, {"get isPlaying", isPlaying}});
    SceneClasses::install(rt, *cls);
}

} // namespace nimbrel::movie::avm2
