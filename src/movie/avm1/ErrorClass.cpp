// Error: name, message and toString.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

void installErrorClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.errorProto = proto;
    auto init = [](Interpreter&, Object* obj, const std::vector<Value>& args) -> Value {
        if (!args.empty() && !args[0].isUndefined())
            obj->set(QStringLiteral("message"), args[0]);
        return Value(obj);
    };
    auto* ctor = vm.newClass(QStringLiteral("Error"), nullptr, init, proto);
    ctor->setProto(vm.functionProto);
    // Called without `new`, Error still initialises `this` (used by subclasses' super()).
    auto* callable = static_cast<NativeFunction*>(ctor);
    (void)callable;
    proto->define(QStringLiteral("name"), Value(QStringLiteral("Error")), DontEnum);
    proto->define(QStringLiteral("message"), Value(QStringLiteral("Error")), DontEnum);
    vm.addMethod(proto, QStringLiteral("toString"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) -> Value {
        // The message comes back as it was stored, not converted to a string.
        return vm.getMember(self, QStringLiteral("message"));
    });
}

} // namespace nimbrel::movie::avm1
