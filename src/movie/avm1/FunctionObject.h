#pragma once
// Base of every callable object: native built-ins and script-defined functions.
#include "movie/avm1/Object.h"
#include <vector>

namespace nimbrel::movie::avm1 {

class FunctionObject : public Object {
public:
    using Object::Object;
    bool isFunction() const override { return true; }
    QString className() const override { return QStringLiteral("Function"); }

    virtual Value call(const Value& thisValue, const std::vector<Value>& args) = 0;
    // `new F(args)`: a fresh object whose prototype is F.prototype, initialised by the call.
    virtual Value construct(const std::vector<Value>& args);
};

} // namespace nimbrel::movie::avm1
