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
    Object* superProto;
    Value thisValue;
};

} // namespace nimbrel::movie::avm1
