#include "movie/avm1/NativeConstructor.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

NativeConstructor::NativeConstructor(Interpreter& vm, Object* proto, Fn call, CtorFn make)
    : NativeFunction(vm, proto, std::move(call)), make_(std::move(make))
{
}

Value NativeConstructor::construct(const std::vector<Value>& args)
{
    Object* proto = get(QStringLiteral("prototype")).object();
    Value made = make_(vm(), proto, args);
    if (Object* o = made.object()) {
        o->define(QStringLiteral("__constructor__"), Value(static_cast<Object*>(this)), DontEnum);
        if (vm().version() < 7)
            o->define(QStringLiteral("constructor"), Value(static_cast<Object*>(this)), DontEnum);
    }
    return made;
}

} // namespace nimbrel::movie::avm1
