#pragma once
// The `super` of a method call: member look-ups start above the class that
// defined the running method, while `this` stays the original object.
#include "movie/avm1/Object.h"

namespace nimbrel::movie::avm1 {

class SuperObject : public Object {
public:
    SuperObject(Interpreter& vm, Object* superProto, Object* home, Value thisValue)
        : Object(vm, superProto), superProto(superProto), home(home), thisValue(std::move(thisValue))
    {
        // `super.__proto__` is the prototype above the one `super` reads from.
        Object* above = superProto ? superProto->proto() : nullptr;
        define(QStringLiteral("__proto__"), above ? Value(above) : Value(), DontEnum);
    }
    void markChildren(std::vector<Object*>& out) const override
    {
        Object::markChildren(out);
        if (superProto)
            out.push_back(superProto);
        if (home)
            out.push_back(home);
        if (thisValue.isObject())
            out.push_back(thisValue.o);
    }
    Object* superProto;
    Object* home; // where the running method was found; its constructor is what `super()` calls
    Value thisValue;
};

} // namespace nimbrel::movie::avm1
