#pragma once
// A function defined by DefineFunction or DefineFunction2 in action code.
#include "movie/avm1/ActionCode.h"
#include "movie/avm1/FunctionObject.h"
#include "movie/avm1/Scope.h"

namespace nimbrel::movie::avm1 {

class MovieClipObject;

class ScriptFunction : public FunctionObject {
public:
    struct Param {
        QString name;
        int reg = 0; // DefineFunction2: register receiving the argument, 0 for none
    };
    enum Preload : uint16_t {
        PreloadThis = 0x01, SuppressThis = 0x02, PreloadArguments = 0x04, SuppressArguments = 0x08,
        PreloadSuper = 0x10, SuppressSuper = 0x20, PreloadRoot = 0x40, PreloadParent = 0x80, PreloadGlobal = 0x100,
    };

    ScriptFunction(Interpreter& vm, Object* proto);

    Value call(const Value& thisValue, const std::vector<Value>& args) override;
    // Calls with an explicit `super` binding: `home` is the object the method was found on
    // (a plain call: the prototype of `this`). `super.x` reads start above it, and
    // `super()` calls the constructor that made or extended it.
    Value callWithSuper(const Value& thisValue, const std::vector<Value>& args, Object* home);
    void markChildren(std::vector<Object*>& out) const override;

    QString name;
    std::vector<Param> params;
    ActionCode code;
    ConstantPool pool;
    ScopePtr scope;
    MovieClipObject* target = nullptr; // the clip whose timeline defined the function
    bool isFunction2 = false;
    int registerCount = 0;
    uint16_t flags = 0;
};

} // namespace nimbrel::movie::avm1
