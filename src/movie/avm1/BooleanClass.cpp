// Boolean: the boxed boolean.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

void installBooleanClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.booleanProto = proto;
    vm.newClass(
        QStringLiteral("Boolean"),
        [](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
            // Boolean() with nothing to convert gives undefined in the player.
            if (args.empty())
                return Value();
            return Value(vm.toBoolean(args[0]));
        },
        [](Interpreter& vm, Object* obj, const std::vector<Value>& args) -> Value {
            obj->hasPrimitive = true;
            obj->primitive = Value(!args.empty() && vm.toBoolean(args[0]));
            return Value(obj);
        },
        proto);
    auto selfBool = [](const Value& self) -> Value {
        if (self.isBoolean())
            return self;
        if (Object* o = self.object(); o && o->hasPrimitive)
            return o->primitive;
        return Value();
    };
    vm.addMethod(proto, QStringLiteral("toString"), [selfBool](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        Value b = selfBool(self);
        return b.isBoolean() ? Value(vm.toString(b)) : Value();
    });
    vm.addMethod(proto, QStringLiteral("valueOf"), [selfBool](Interpreter&, const Value& self, const std::vector<Value>&) -> Value {
        return selfBool(self);
    });
}

} // namespace nimbrel::movie::avm1
