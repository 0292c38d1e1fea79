#pragma once
// Installs every built-in class and global function into a new runtime, base
// classes first.
namespace nimbrel::movie::avm2 {

class Runtime;

class BuiltinClasses {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
