#pragma once
// flash.utils.Dictionary: a dynamic object whose object keys count by identity.
namespace nimbrel::movie::avm2 {

class Runtime;

class DictionaryClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
