#include "movie/avm1/NativeFunction.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

NativeFunction::NativeFunction(Interpreter& vm, Object* proto, Fn fn, CtorFn ctor)
    : FunctionObject(vm, proto), fn_(std::move(fn)), ctor_(std::move(ctor))
{
}

Value NativeFunction::call(const Value& thisValue, const std::vector<Value>& args)
{
    return fn_ ? fn_(vm(), thisValue, args) : Value();
}

Value NativeFunction::construct(const std::vector<Value>& args)
{
    if (!ctor_)
        return FunctionObject::construct(args);
    Value protoValue = get(QStringLiteral("prototype"));
    Object* obj = vm().newObject(protoValue.object());
    obj->define(QStringLiteral("__constructor__"), Value(this), DontEnum);
    if (vm().version() < 7)
        obj->define(QStringLiteral("constructor"), Value(this), DontEnum);
    Value r = ctor_(vm(), obj, args);
    return r.isObject() ? r : Value(obj);
}

} // namespace nimbrel::movie::avm1
