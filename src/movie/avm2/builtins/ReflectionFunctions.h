#pragma once
// flash.utils getDefinitionByName, getQualifiedSuperclassName and
// describeType: what scripts learn of classes by name and of their members.
namespace nimbrel::movie::avm2 {
class Runtime;
class ReflectionFunctions {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
