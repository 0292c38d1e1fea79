#pragma once
// Namespace: a URI with an optional prefix, as scripts make them and as
// pushnamespace gives them.
namespace nimbrel::movie::avm2 {

class Runtime;

class NamespaceClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
