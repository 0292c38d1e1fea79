#pragma once
// What a call runs: a method of a loaded block or a native function, and the
// class that defined it (for super calls).
#include "movie/avm2/Value.h"
#include <memory>
#include <vector>

namespace nimbrel::movie::avm2 {

class AbcUnit;
class ClassObject;
class Runtime;

// Arguments as natives see them: a missing one reads as undefined.
struct Args {
    const Value* values = nullptr;
    int count = 0;
    const Value& operator[](int i) const {
        static const Value undefinedValue;
        return i < count ? values[i] : undefinedValue;
    }
};

using NativeFn = Value (*)(Runtime& rt, const Value& self, Args args);

struct MethodRef {
    AbcUnit* unit = nullptr;
    uint32_t index = 0;
    NativeFn native = nullptr;
    ClassObject* home = nullptr;
    int nativeLength = 0;
    bool valid() const { return unit || native; }
};

struct ScopeEntry {
    Value value;
    bool with = false;
};
using ScopeChain = std::vector<ScopeEntry>;
using ScopePtr = std::shared_ptr<const ScopeChain>;

} // namespace nimbrel::movie::avm2
