#pragma once
// flash.text: TextField, TextFormat and their constants, TextLineMetrics,
// Font and StyleSheet (after the display classes, which TextField extends).
namespace nimbrel::movie::avm2 {
class Runtime;
class TextClasses {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
