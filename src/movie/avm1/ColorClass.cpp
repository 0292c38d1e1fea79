// Color: the colour transform of a target clip as an RGB offset or a transform object.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/DisplayObject.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

MovieClipObject* targetOf(Interpreter& vm, const Value& self)
{
    Value t = vm.getMember(self, QStringLiteral("target"));
    if (Object* o = t.object(); o && o->isMovieClip())
        return static_cast<MovieClipObject*>(o);
    // Any other object names its clip by its text, as a path does.
    if (t.isString() || t.isObject())
        return vm.resolveTarget(vm.toString(t), vm.root);
    return nullptr;
}

// What a script reads and writes: percentages for the multipliers (stored as
// 8.8 fixed point), whole numbers for the offsets; both wrap to 16 bits.
int16_t toFixed(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int16_t(uint16_t(int64_t(std::fmod(std::trunc(v), 65536.0))));
}

struct Channel {
    const char* mult;
    const char* add;
    int16_t swf::ColorTransform::*m;
    int16_t swf::ColorTransform::*a;
};

const Channel kChannels[] = {
    {"ra", "rb", &swf::ColorTransform::rMult, &swf::ColorTransform::rAdd},
    {"ga", "gb", &swf::ColorTransform::gMult, &swf::ColorTransform::gAdd},
    {"ba", "bb", &swf::ColorTransform::bMult, &swf::ColorTransform::bAdd},
    {"aa", "ab", &swf::ColorTransform::aMult, &swf::ColorTransform::aAdd},
};

display::DisplayObject* displayOf(Interpreter& vm, const Value& self)
{
    MovieClipObject* c = targetOf(vm, self);
    return c ? c->display() : nullptr;
}

} // namespace

void installColorClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("Color"), nullptr, [](Interpreter&, Object* obj, const std::vector<Value>& args) -> Value {
        obj->define(QStringLiteral("target"), arg(args, 0), DontEnum | DontDelete | ReadOnly);
        return Value(obj);
    }, proto);
    using Args = const std::vector<Value>&;
    // Color changes the clip's own colour transform, as the timeline would.
    vm.addMethod(proto, QStringLiteral("setRGB"), [](Interpreter& vm, const Value& self, Args a) {
        if (auto* d = displayOf(vm, self)) {
            const int rgb = vm.toInt32(arg(a, 0));
            swf::ColorTransform& cx = d->cxform;
            cx.rMult = cx.gMult = cx.bMult = 0;
            cx.rAdd = int16_t((rgb >> 16) & 255);
            cx.gAdd = int16_t((rgb >> 8) & 255);
            cx.bAdd = int16_t(rgb & 255);
            d->transformedByScript = true;
        }
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getRGB"), [](Interpreter& vm, const Value& self, Args) -> Value {
        auto* d = displayOf(vm, self);
        if (!d)
            return Value();
        const swf::ColorTransform& cx = d->cxform;
        return Value(double(((cx.rAdd & 255) << 16) | ((cx.gAdd & 255) << 8) | (cx.bAdd & 255)));
    });
    vm.addMethod(proto, QStringLiteral("setTransform"), [](Interpreter& vm, const Value& self, Args a) {
        auto* d = displayOf(vm, self);
        Object* t = arg(a, 0).object();
        if (!d || !t)
            return Value();
        for (const Channel& ch : kChannels) {
            const QString mult = QLatin1String(ch.mult), add = QLatin1String(ch.add);
            if (t->has(mult))
                d->cxform.*ch.m = toFixed(vm.toNumber(t->get(mult)) * 256.0 / 100.0);
            if (t->has(add))
                d->cxform.*ch.a = toFixed(vm.toNumber(t->get(add)));
        }
        d->transformedByScript = true;
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getTransform"), [](Interpreter& vm, const Value& self, Args) -> Value {
        auto* d = displayOf(vm, self);
        if (!d)
            return Value();
        Object* t = vm.newObject();
        for (const Channel& ch : kChannels) {
            t->set(QLatin1String(ch.mult), Value(d->cxform.*ch.m * 100.0 / 256.0));
            t->set(QLatin1String(ch.add), Value(double(d->cxform.*ch.a)));
        }
        return Value(t);
    });
}

} // namespace nimbrel::movie::avm1
