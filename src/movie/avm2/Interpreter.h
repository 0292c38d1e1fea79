#pragma once
// Runs one call of a bytecode method over its decoded form: operand stack,
// registers, the scope stack over the scopes it closes over, and handlers
// from the method's exception table.
#include "movie/avm2/MethodRef.h"

namespace nimbrel::movie::avm2 {

class Runtime;

class Interpreter {
public:
    static Value run(Runtime& rt, const MethodRef& method, const Value& self, Args args, const ScopePtr& outer);
};

} // namespace nimbrel::movie::avm2
