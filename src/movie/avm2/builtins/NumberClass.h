#pragma once
// Number, int and uint: conversions, formatting methods and limits.
namespace nimbrel::movie::avm2 {

class Runtime;

class NumberClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
