#pragma once
// flash.system.System: memory figures, garbage collection requests and the clipboard.
namespace nimbrel::movie::avm2 {
class Runtime;
class SystemClass {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
