#include "movie/avm1/FunctionObject.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

Value FunctionObject::construct(const std::vector<Value>& args)
{
    Value protoValue = get(QStringLiteral("prototype"));
    Object* obj = vm().newObject(protoValue.object());
    obj->define(QStringLiteral("__constructor__"), Value(this), DontEnum);
    if (vm().version() < 7)
        obj->define(QStringLiteral("constructor"), Value(this), DontEnum);
    // The player ignores what a constructor returns.
    call(Value(obj), args);
    return Value(obj);
}

} // namespace nimbrel::movie::avm1
