#pragma once
// flash.text.Font: the fonts a movie embeds (DefineFont tags, reached through
// linked classes, enumerateFonts or registerFont) and the machine's device fonts.
namespace nimbrel::movie::avm2 {
class Runtime;
class FontClass {
public:
    static void install(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
