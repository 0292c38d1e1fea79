#pragma once
// Math: constants and functions.
namespace nimbrel::movie::avm2 {

class Runtime;

class MathClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
