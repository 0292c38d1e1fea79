#pragma once
// The state of one running action list or function call.
#include "movie/avm1/ActionCode.h"
#include "movie/avm1/Scope.h"
#include "movie/avm1/Value.h"
#include <vector>

namespace nimbrel::movie::avm1 {

class MovieClipObject;
class Object;
class ScriptFunction;

struct Activation {
    ActionCode code;
    ConstantPool pool;
    ScopePtr scope;           // innermost first
    Value thisValue;
    MovieClipObject* target = nullptr;     // timeline actions act here (SetTarget changes it)
    MovieClipObject* baseTarget = nullptr; // where SetTarget("") returns to
    bool targetLost = false;               // tellTarget named no clip: its own properties read undefined
    Object* locals = nullptr;              // function activation object, null at frame level
    Object* superProto = nullptr;
    ScriptFunction* callee = nullptr;
    std::vector<Value> registers;
    std::vector<Value> stack;
};

} // namespace nimbrel::movie::avm1
