#pragma once
// Boolean.
namespace nimbrel::movie::avm2 {

class Runtime;

class BooleanClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
