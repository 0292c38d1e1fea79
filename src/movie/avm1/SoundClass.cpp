// Sound: calls are accepted; the headless player makes no sound.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

void installSoundClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("Sound"), nullptr, [](Interpreter&, Object* obj, const std::vector<Value>& args) -> Value {
        obj->define(QStringLiteral("__volume"), Value(100.0), DontEnum);
        obj->define(QStringLiteral("__pan"), Value(0.0), DontEnum);
        return Value(obj);
    }, proto);
    using Args = const std::vector<Value>&;
    for (const char* noop : {"attachSound", "start", "stop", "loadSound", "setTransform"})
        vm.addMethod(proto, QString::fromLatin1(noop), [](Interpreter&, const Value&, Args) { return Value(); });
    vm.addMethod(proto, QStringLiteral("setVolume"), [](Interpreter& vm, const Value& self, Args a) {
        if (Object* o = self.object())
            o->define(QStringLiteral("__volume"), Value(vm.toNumber(arg(a, 0))), DontEnum);
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getVolume"), [](Interpreter& vm, const Value& self, Args) {
        return vm.getMember(self, QStringLiteral("__volume"));
    });
    vm.addMethod(proto, QStringLiteral("setPan"), [](Interpreter& vm, const Value& self, Args a) {
        if (Object* o = self.object())
            o->define(QStringLiteral("__pan"), Value(vm.toNumber(arg(a, 0))), DontEnum);
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getPan"), [](Interpreter& vm, const Value& self, Args) {
        return vm.getMember(self, QStringLiteral("__pan"));
    });
    vm.addMethod(proto, QStringLiteral("getBytesLoaded"), [](Interpreter&, const Value&, Args) { return Value(); });
    vm.addMethod(proto, QStringLiteral("getBytesTotal"), [](Interpreter&, const Value&, Args) { return Value(); });
}

} // namespace nimbrel::movie::avm1
