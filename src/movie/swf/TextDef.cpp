#include "movie/swf/TextDef.h"
#include "movie/swf/BitReader.h"
#include <algorithm>
#include <cstdint>

namespace nimbrel::movie::swf {

ParseResult<TextDef> TextDef::parse(int tagCode, const uint8_t* body, size_t len) {
    BitReader r(body, len);
    TextDef t;
    t.id = r.u16();
    t.bounds = r.rect();
    t.matrix = r.matrix();
    const int glyphBits = r.u8();
    const int advanceBits = r.u8();
    if (r.failed() || glyphBits > 32 || advanceBits > 32)
        return ParseResult<TextDef>::failure(QStringLiteral("text %1 is damaged").arg(t.id));
    // Style settings carry over from one record to the next.
    TextRun style;
    int32_t x = 0;
    while (!r.failed() && !r.atEnd()) {
        const uint8_t flags = r.u8();
        if (flags == 0 || r.failed()) break;
        TextRun run = style;
        run.glyphs.clear();
        if (flags & 0x08) run.fontId = r.u16();
        if (flags & 0x04) run.color = tagCode == 33 ? r.rgba() : r.rgb();
        if (flags & 0x01) x = r.s16();
        if (flags & 0x02) run.y = r.s16();
        if (flags & 0x08) run.height = r.u16();
        const int count = r.u8();
        for (int i = 0; i < count && !r.failed(); ++i) {
            TextGlyph g;
            g.index = r.ub(glyphBits);
            g.x = x;
            // Damaged advances may add up past int: stop at the limit instead.
            x = int(std::clamp<int64_t>(int64_t(x) + r.sb(advanceBits), INT32_MIN, INT32_MAX));
            run.glyphs.push_back(g);
        }
        r.align();
        if (r.failed()) break;
        style = run;
        t.runs.push_back(std::move(run));
    }
    return t;
}

} // namespace nimbrel::movie::swf
