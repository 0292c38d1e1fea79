#pragma once
// Function: call, apply and length.
namespace nimbrel::movie::avm2 {

class Runtime;

class FunctionClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
