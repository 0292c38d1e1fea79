#pragma once
// Embedded fonts (DefineFont, DefineFont2, DefineFont3): glyph outlines ready
// to fill, in font units, and the character code of each glyph.
#include "movie/swf/ParseResult.h"
#include <QPainterPath>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nimbrel::movie::swf {

struct FontDef {
    uint16_t id = 0;
    QString name;
    bool bold = false, italic = false;
    // Glyphs are drawn on a 1024-unit em square; DefineFont3 uses twentieths of that.
    double unitsPerEm = 1024;
    std::vector<QPainterPath> glyphs;
    std::vector<uint16_t> codes;    // DefineFont2/3 only
    std::vector<int16_t> advances;  // with layout only
    int ascent = 0, descent = 0, leading = 0;

    static constexpr int maxGlyphs = 65535;
    static ParseResult<FontDef> parse(int tagCode, const uint8_t* body, size_t len);
};

} // namespace nimbrel::movie::swf
