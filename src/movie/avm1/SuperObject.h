#pragma once
// The `super` of a method call: member look-ups start above the class that
// defined the running method, while `this` stays the original object.
#include "movie/avm1/Object.h"

namespace nimbrel::movie::avm1 {

class SuperObject : public Object {
public:
    SuperObject(Interpreter& vm, Object* superProto, Value thisValue)
        : Object(vm, superProto), superProto(superProto), thisValue(std::move(thisValue))
    {
    }
    void markChildren(std::vector<Object*>& out) const override
    {
        Object::markChildren(out);
        if (superProto)
            out.push_back(superProto);
        if (thisValue.isObject())
            out.push_back(thisValue.o);
    }
    Object* superProto;
    Value thisValue;
};

} // namespace nimbrel::movie::avm1
