#pragma once
// flash.text: TextField, TextFormat and their constants, TextLineMetrics,
// Font, StyleSheet, and TextEvent and FocusEvent (after the display and event
// classes, which they extend).
namespace nimbrel::movie::avm2 {
class Runtime;
class TextClasses {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
