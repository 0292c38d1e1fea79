// MovieClip: timeline control, clip creation and removal, depths, and the
// drawing calls (accepted; the headless player draws nothing).
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/NumberFormat.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

MovieClipObject* clipOf(const Value& v)
{
    Object* o = v.object();
    return o && o->isMovieClip() ? static_cast<MovieClipObject*>(o) : nullptr;
}

void gotoValue(Interpreter& vm, MovieClipObject* c, const Value& frame, bool play)
{
    if (!c)
        return;
    if (frame.isString()) {
        double n = stringToNumber(frame.s, 7);
        int f = std::isfinite(n) ? int(n) : c->frameOfLabel(frame.s);
        if (f > 0)
            c->gotoFrame(f, play);
        return;
    }
    double n = vm.toNumber(frame);
    if (std::isfinite(n))
        c->gotoFrame(int(n), play);
}

} // namespace

void installMovieClipClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.movieClipProto = proto;
    vm.newClass(QStringLiteral("MovieClip"), nullptr, nullptr, proto);
    using Args = const std::vector<Value>&;
    auto method = [&](const char* name, NativeFunction::Fn fn) { vm.addMethod(proto, QString::fromLatin1(name), std::move(fn)); };

    method("play", [](Interpreter&, const Value& self, Args) { if (auto* c = clipOf(self)) c->setPlaying(true); return Value(); });
    method("stop", [](Interpreter&, const Value& self, Args) { if (auto* c = clipOf(self)) c->setPlaying(false); return Value(); });
    method("gotoAndPlay", [](Interpreter& vm, const Value& self, Args a) { gotoValue(vm, clipOf(self), arg(a, 0), true); return Value(); });
    method("gotoAndStop", [](Interpreter& vm, const Value& self, Args a) { gotoValue(vm, clipOf(self), arg(a, 0), false); return Value(); });
    method("nextFrame", [](Interpreter& vm, const Value& self, Args) {
        if (auto* c = clipOf(self)) c->gotoFrame(c->currentFrame() + 1, false);
        return Value();
    });
    method("prevFrame", [](Interpreter& vm, const Value& self, Args) {
        if (auto* c = clipOf(self); c && c->currentFrame() > 1) c->gotoFrame(c->currentFrame() - 1, false);
        return Value();
    });
    method("getDepth", [](Interpreter&, const Value& self, Args) -> Value {
        auto* c = clipOf(self);
        return c ? Value(double(c->depth())) : Value();
    });
    method("getNextHighestDepth", [](Interpreter&, const Value& self, Args) -> Value {
        auto* c = clipOf(self);
        if (!c)
            return Value();
        int d = 0;
        for (MovieClipObject* child : c->childList())
            if (child->depth() >= d)
                d = child->depth() + 1;
        return Value(double(d));
    });
    method("getInstanceAtDepth", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        if (!c)
            return Value();
        MovieClipObject* child = c->childAtDepth(vm.toInt32(arg(a, 0)));
        return child ? Value(static_cast<Object*>(child)) : Value();
    });
    method("createEmptyMovieClip", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        if (!c || a.size() < 2)
            return Value();
        auto* n = c->createEmptyClip(vm.toString(a[0]), vm.toInt32(a[1]));
        return n ? Value(static_cast<Object*>(n)) : Value();
    });
    method("createTextField", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        if (!c || a.size() < 6)
            return Value();
        // Position and size are whole pixels.
        auto* n = c->createTextField(vm.toString(a[0]), vm.toInt32(a[1]), vm.toInt32(a[2]), vm.toInt32(a[3]),
                                     vm.toInt32(a[4]), vm.toInt32(a[5]));
        return vm.version() >= 8 && n ? Value(static_cast<Object*>(n)) : Value();
    });
    method("attachMovie", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        if (!c || a.size() < 3)
            return Value();
        auto* n = c->attachClip(vm.toString(a[0]), vm.toString(a[1]), vm.toInt32(a[2]), arg(a, 3).object());
        return n ? Value(static_cast<Object*>(n)) : Value();
    });
    method("duplicateMovieClip", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto* c = clipOf(self);
        if (!c || a.size() < 2 || !c->parentClip())
            return Value();
        auto* n = c->duplicateClip(vm.toString(a[0]), vm.toInt32(a[1]), arg(a, 2).object());
        return n ? Value(static_cast<Object*>(n)) : Value();
    });
    method("removeMovieClip", [](Interpreter& vm, const Value& self, Args) {
        if (auto* c = clipOf(self); c && c->depth() >= 0 && c->parentClip())
            c->removeClip();
        return Value();
    });
    method("swapDepths", [](Interpreter& vm, const Value& self, Args a) {
        auto* c = clipOf(self);
        if (!c || a.empty() || !c->parentClip())
            return Value();
        if (auto* other = clipOf(a[0])) {
            if (other->parentClip() == c->parentClip())
                c->swapDepths(other->depth());
        } else {
            double d = vm.toNumber(a[0]);
            if (std::isfinite(d))
                c->swapDepths(int(d));
        }
        return Value();
    });
    method("getBytesLoaded", [](Interpreter&, const Value&, Args) { return Value(1.0); });
    method("getBytesTotal", [](Interpreter&, const Value&, Args) { return Value(1.0); });
    method("getURL", [](Interpreter& vm, const Value&, Args a) {
        if (vm.urlSink)
            vm.urlSink(vm.toString(arg(a, 0)), vm.toString(arg(a, 1)));
        return Value();
    });
    method("loadMovie", [](Interpreter& vm, const Value& self, Args a) {
        if (vm.urlSink)
            vm.urlSink(vm.toString(arg(a, 0)), clipOf(self) ? clipOf(self)->targetPath() : QString());
        return Value();
    });
    method("unloadMovie", [](Interpreter&, const Value&, Args) { return Value(); });
    method("hitTest", [](Interpreter&, const Value&, Args) { return Value(false); });
    method("getBounds", [](Interpreter& vm, const Value& self, Args) -> Value {
        Object* o = vm.newObject();
        auto* c = clipOf(self);
        double w = c ? vm.toNumber(c->property(8)) : 0, h = c ? vm.toNumber(c->property(9)) : 0;
        bool empty = w == 0 && h == 0;
        o->set(QStringLiteral("xMin"), Value(empty ? 6710886.35 : 0.0));
        o->set(QStringLiteral("xMax"), Value(empty ? 6710886.35 : w));
        o->set(QStringLiteral("yMin"), Value(empty ? 6710886.35 : 0.0));
        o->set(QStringLiteral("yMax"), Value(empty ? 6710886.35 : h));
        return Value(o);
    });
    auto translate = [](double sign) {
        return [sign](Interpreter& vm, const Value& self, Args a) -> Value {
            Object* pt = arg(a, 0).object();
            if (!pt)
                return Value();
            double dx = 0, dy = 0;
            for (auto* c = clipOf(self); c; c = c->parentClip()) {
                dx += vm.toNumber(c->property(0));
                dy += vm.toNumber(c->property(1));
            }
            pt->set(QStringLiteral("x"), Value(vm.toNumber(pt->get(QStringLiteral("x"))) + sign * dx));
            pt->set(QStringLiteral("y"), Value(vm.toNumber(pt->get(QStringLiteral("y"))) + sign * dy));
            return Value();
        };
    };
    method("localToGlobal", translate(1));
    method("globalToLocal", translate(-1));
    for (const char* noop : {"startDrag", "stopDrag", "setMask", "beginFill", "beginGradientFill", "beginBitmapFill",
                             "lineStyle", "lineGradientStyle", "moveTo", "lineTo", "curveTo", "endFill", "clear",
                             "attachAudio", "attachBitmap", "loadVariables"})
        method(noop, [](Interpreter&, const Value&, Args) { return Value(); });
}

} // namespace nimbrel::movie::avm1
