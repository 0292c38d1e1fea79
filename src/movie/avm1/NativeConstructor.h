#pragma once
// A built-in constructor whose `new` yields exactly what its C++ side returns,
// undefined included (BitmapData refuses sizes the player cannot hold).
#include "movie/avm1/NativeFunction.h"

namespace nimbrel::movie::avm1 {

class NativeConstructor : public NativeFunction {
public:
    // make: builds the instance (whose prototype it chooses) or returns undefined.
    NativeConstructor(Interpreter& vm, Object* proto, Fn call, CtorFn make);
    Value construct(const std::vector<Value>& args) override;

private:
    CtorFn make_;
};

} // namespace nimbrel::movie::avm1
