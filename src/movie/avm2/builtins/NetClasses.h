#pragma once
// flash.net URLRequest, URLRequestHeader, URLVariables, URLLoader, their
// constant classes and navigateToURL.
namespace nimbrel::movie::avm2 {
class Runtime;
class NetClasses {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
