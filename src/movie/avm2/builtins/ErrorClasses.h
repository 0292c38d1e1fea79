#pragma once
// Error and its subclasses: message, name, errorID and toString.
namespace nimbrel::movie::avm2 {

class Runtime;

class ErrorClasses {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
