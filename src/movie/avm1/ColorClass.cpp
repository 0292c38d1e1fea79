// Color: the colour transform of a target clip as an RGB offset or a transform object.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"

namespace nimbrel::movie::avm1 {

namespace {

MovieClipObject* targetOf(Interpreter& vm, const Value& self)
{
    Value t = vm.getMember(self, QStringLiteral("target"));
    if (Object* o = t.object(); o && o->isMovieClip())
        return static_cast<MovieClipObject*>(o);
    if (t.isString())
        return vm.resolveTarget(t.s, vm.root);
    return nullptr;
}

const char* const kKeys[] = {"ra", "rb", "ga", "gb", "ba", "bb", "aa", "ab"};

} // namespace

void installColorClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("Color"), nullptr, [](Interpreter&, Object* obj, const std::vector<Value>& args) -> Value {
        obj->define(QStringLiteral("target"), arg(args, 0), DontEnum | DontDelete | ReadOnly);
        return Value(obj);
    }, proto);
    using Args = const std::vector<Value>&;
    // The transform lives on the clip as hidden fields so every Color object sees it.
    auto field = [](MovieClipObject* c, const char* k, double dflt) {
        Property* p = c->findOwn(QStringLiteral("__cx_") + QLatin1String(k));
        return p ? p->value.n : dflt;
    };
    auto setField = [](MovieClipObject* c, const char* k, double v) {
        c->define(QStringLiteral("__cx_") + QLatin1String(k), Value(v), DontEnum);
    };
    vm.addMethod(proto, QStringLiteral("setRGB"), [setField](Interpreter& vm, const Value& self, Args a) {
        if (auto* c = targetOf(vm, self)) {
            int rgb = vm.toInt32(arg(a, 0));
            setField(c, "ra", 0); setField(c, "ga", 0); setField(c, "ba", 0);
            setField(c, "rb", (rgb >> 16) & 255); setField(c, "gb", (rgb >> 8) & 255); setField(c, "bb", rgb & 255);
        }
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getRGB"), [field](Interpreter& vm, const Value& self, Args) -> Value {
        auto* c = targetOf(vm, self);
        if (!c)
            return Value();
        int r = int(field(c, "rb", 0)), g = int(field(c, "gb", 0)), b = int(field(c, "bb", 0));
        return Value(double((r << 16) | (g << 8) | b));
    });
    vm.addMethod(proto, QStringLiteral("setTransform"), [setField](Interpreter& vm, const Value& self, Args a) {
        auto* c = targetOf(vm, self);
        Object* t = arg(a, 0).object();
        if (!c || !t)
            return Value();
        for (const char* k : kKeys) {
            QString name = QLatin1String(k);
            if (t->has(name))
                setField(c, k, vm.toNumber(t->get(name)));
        }
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getTransform"), [field](Interpreter& vm, const Value& self, Args) -> Value {
        auto* c = targetOf(vm, self);
        if (!c)
            return Value();
        Object* t = vm.newObject();
        for (const char* k : kKeys)
            t->set(QLatin1String(k), Value(field(c, k, k[1] == 'a' ? 100.0 : 0.0)));
        return Value(t);
    });
}

} // namespace nimbrel::movie::avm1
