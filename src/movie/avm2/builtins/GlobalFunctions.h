#pragma once
// trace, print, isNaN, isFinite, parseInt, parseFloat and the global constants.
namespace nimbrel::movie::avm2 {

class Runtime;

class GlobalFunctions {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
