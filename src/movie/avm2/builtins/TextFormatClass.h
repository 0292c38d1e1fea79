#pragma once
// flash.text.TextFormat: character and paragraph settings as scripts hold
// them, each null until set ("mixed" when read back from a range that differs).
#include "movie/avm2/Value.h"
#include "movie/display/TextFormat.h"

namespace nimbrel::movie::avm2 {
class Runtime;
class TextFormatClass {
public:
    static void install(Runtime& rt);
    // A new TextFormat holding format.
    static Value make(Runtime& rt, const display::TextFormat& format);
    // The format a TextFormat value holds; null when v is not one.
    static const display::TextFormat* formatOf(const Value& v);
};
} // namespace nimbrel::movie::avm2
