#pragma once
// Array: element methods, sorting with its option flags, iteration.
namespace nimbrel::movie::avm2 {

class Runtime;

class ArrayClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
