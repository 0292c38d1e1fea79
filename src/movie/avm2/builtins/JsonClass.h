#pragma once
// JSON: parse (with a reviver) and stringify (with a replacer function or
// property list, and indentation).
namespace nimbrel::movie::avm2 {

class Runtime;

class JsonClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
