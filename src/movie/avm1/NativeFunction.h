#pragma once
// A built-in function implemented in C++.
#include "movie/avm1/FunctionObject.h"
#include <functional>

namespace nimbrel::movie::avm1 {

class NativeFunction : public FunctionObject {
public:
    using Fn = std::function<Value(Interpreter&, const Value& thisValue, const std::vector<Value>& args)>;
    // Constructors that build a special kind of object (Array, Date, boxed primitives).
    using CtorFn = std::function<Value(Interpreter&, Object* newObject, const std::vector<Value>& args)>;

    NativeFunction(Interpreter& vm, Object* proto, Fn fn, CtorFn ctor = nullptr);

    Value call(const Value& thisValue, const std::vector<Value>& args) override;
    Value construct(const std::vector<Value>& args) override;

private:
    Fn fn_;
    CtorFn ctor_;
};

} // namespace nimbrel::movie::avm1
