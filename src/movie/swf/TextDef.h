#pragma once
// DefineText and DefineText2: runs of glyphs from embedded fonts, placed with
// the text's own matrix.
#include "movie/swf/ParseResult.h"
#include "movie/swf/Types.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nimbrel::movie::swf {

struct TextGlyph {
    uint32_t index = 0;
    int32_t x = 0; // twips, from the text origin
};

struct TextRun {
    uint16_t fontId = 0;
    Rgba color;
    int32_t y = 0;         // baseline, twips
    uint16_t height = 0;   // em size, twips
    std::vector<TextGlyph> glyphs;
};

struct TextDef {
    uint16_t id = 0;
    Rect bounds;
    Matrix matrix;
    std::vector<TextRun> runs;

    static ParseResult<TextDef> parse(int tagCode, const uint8_t* body, size_t len);
};

} // namespace nimbrel::movie::swf
