// Sound: the volume, pan and channel mix of a clip's sounds. The headless player makes no
// sound; the settings are kept so movies read back what they set.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

const QString kTarget = QStringLiteral("__target");
const QString kOwner = QStringLiteral("__mixOwner");
const QString kVolume = QStringLiteral("__volume");
const QString kPan = QStringLiteral("__pan");
const QString kMix = QStringLiteral("__mix");

// The clip a Sound controls now: its target by path or reference, the root when it has none.
// A removed clip counts as whatever clip now holds its path.
MovieClipObject* targetClip(Interpreter& vm, const Value& self)
{
    Object* o = self.object();
    if (!o)
        return nullptr;
    Property* p = o->findOwn(kTarget);
    const Value target = p ? p->value : Value();
    if (target.isUndefined())
        return vm.root;
    if (target.isObject() && target.o->isMovieClip()) {
        auto* clip = static_cast<MovieClipObject*>(target.o);
        if (!clip->isRemoved())
            return clip;
        MovieClipObject* now = vm.resolveTarget(clip->targetPath(), vm.root);
        return now && !now->isRemoved() ? now : nullptr;
    }
    if (target.isString()) {
        MovieClipObject* now = vm.resolveTarget(target.s, vm.root);
        return now && !now->isRemoved() ? now : nullptr;
    }
    return nullptr;
}

// Settings belong to the clip they were made for: a clip made anew under the same name starts
// from the defaults.
Value setting(Interpreter& vm, const Value& self, const QString& name, const Value& fallback)
{
    MovieClipObject* clip = targetClip(vm, self);
    if (!clip)
        return Value();
    Object* o = self.object();
    Property* owner = o->findOwn(kOwner);
    Property* p = o->findOwn(name);
    if (!owner || owner->value.object() != clip || !p)
        return fallback;
    return p->value;
}

void store(Interpreter& vm, const Value& self, const QString& name, const Value& v)
{
    MovieClipObject* clip = targetClip(vm, self);
    Object* o = self.object();
    if (!clip || !o)
        return;
    Property* owner = o->findOwn(kOwner);
    if (!owner || owner->value.object() != clip) {
        // Settings of a clip that is gone do not carry over.
        o->remove(kVolume);
        o->remove(kPan);
        o->remove(kMix);
        o->define(kOwner, Value(static_cast<Object*>(clip)), DontEnum);
    }
    o->define(name, v, DontEnum);
}

Object* defaultMix(Interpreter& vm)
{
    Object* mix = vm.newObject();
    // Left to left and right to right at full strength, nothing crossed.
    mix->set(QStringLiteral("ll"), Value(100));
    mix->set(QStringLiteral("lr"), Value(0));
    mix->set(QStringLiteral("rr"), Value(100));
    mix->set(QStringLiteral("rl"), Value(0));
    return mix;
}

} // namespace

void installSoundClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("Sound"), nullptr, [](Interpreter&, Object* obj, Args args) -> Value {
        if (!args.empty())
            obj->define(kTarget, args[0], DontEnum);
        return Value(obj);
    }, proto);
    for (const char* noop : {"attachSound", "start", "stop"})
        vm.addMethod(proto, QString::fromLatin1(noop), [](Interpreter&, const Value&, Args) { return Value(); });
    vm.addMethod(proto, QStringLiteral("setVolume"), [](Interpreter& vm, const Value& self, Args a) {
        store(vm, self, kVolume, Value(vm.toNumber(arg(a, 0))));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getVolume"), [](Interpreter& vm, const Value& self, Args) {
        return setting(vm, self, kVolume, Value(100));
    });
    vm.addMethod(proto, QStringLiteral("setPan"), [](Interpreter& vm, const Value& self, Args a) {
        store(vm, self, kPan, Value(vm.toNumber(arg(a, 0))));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getPan"), [](Interpreter& vm, const Value& self, Args) {
        return setting(vm, self, kPan, Value(0));
    });
    vm.addMethod(proto, QStringLiteral("setTransform"), [](Interpreter& vm, const Value& self, Args a) {
        Object* given = arg(a, 0).object();
        if (!given)
            return Value();
        Object* mix = defaultMix(vm);
        for (const char* k : {"ll", "lr", "rr", "rl"}) {
            const Value v = given->get(QLatin1String(k));
            if (!v.isUndefined())
                mix->set(QLatin1String(k), Value(vm.toNumber(v)));
        }
        store(vm, self, kMix, Value(mix));
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getTransform"), [](Interpreter& vm, const Value& self, Args) -> Value {
        const Value mix = setting(vm, self, kMix, Value::null());
        if (mix.isUndefined())
            return mix;
        // A copy: changing it changes nothing until it is set back.
        Object* copy = defaultMix(vm);
        if (Object* m = mix.object())
            for (const char* k : {"ll", "lr", "rr", "rl"})
                copy->set(QLatin1String(k), m->get(QLatin1String(k)));
        return Value(copy);
    });
    // Streaming and loading came with SWF 6.
    for (const char* later : {"loadSound", "getBytesLoaded", "getBytesTotal"}) {
        vm.addMethod(proto, QString::fromLatin1(later), [](Interpreter&, const Value&, Args) { return Value(); });
        proto->setFlags(QString::fromLatin1(later), OnlySwf6Up, 0);
    }
}

} // namespace nimbrel::movie::avm1
