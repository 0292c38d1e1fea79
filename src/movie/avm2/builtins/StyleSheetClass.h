#pragma once
// flash.text.StyleSheet: named styles (case-insensitive names) from parseCSS
// or setStyle, and transform() that makes a TextFormat of a style.
namespace nimbrel::movie::avm2 {
class Runtime;
class StyleSheetClass {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
