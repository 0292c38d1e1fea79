#pragma once
// Object and Class: the root of every prototype chain and the type of classes.
namespace nimbrel::movie::avm2 {

class Runtime;

class ObjectClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
