#pragma once
// String: the text methods that need no regular expressions.
namespace nimbrel::movie::avm2 {

class Runtime;

class StringClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
