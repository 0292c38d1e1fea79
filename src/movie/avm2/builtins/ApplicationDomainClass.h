#pragma once
// flash.system.ApplicationDomain: the current domain, its definitions, and
// the domain memory the fast load/store instructions address.
namespace nimbrel::movie::avm2 {

class Runtime;

class ApplicationDomainClass {
public:
    static void install(Runtime& rt);
    static constexpr int MinDomainMemoryLength = 1024;
};

} // namespace nimbrel::movie::avm2
