#pragma once
// The display classes a document class may extend, without a display list yet:
// enough for scripts to define and construct such classes headless.
namespace nimbrel::movie::avm2 {

class Runtime;

class DisplayStubs {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
