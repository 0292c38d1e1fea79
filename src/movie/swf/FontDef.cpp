#include "movie/swf/FontDef.h"
#include "movie/swf/BitReader.h"
#include "movie/swf/ShapePathBuilder.h"
#include "movie/swf/ShapeRecords.h"

namespace nimbrel::movie::swf {

namespace {

// One glyph: a SHAPE whose edges use fill style 1.
QPainterPath readGlyph(const uint8_t* data, size_t len) {
    BitReader r(data, len);
    const int fillBits = int(r.ub(4));
    const int lineBits = int(r.ub(4));
    std::vector<ShapeRecord> records;
    if (!readShapeRecords(r, 1, fillBits, lineBits, records, nullptr) && records.empty()) return {};
    std::vector<StyleGroup> groups(1);
    groups[0].fills.resize(1);
    groups[0].lines.resize(1);
    buildShapePaths(records, groups);
    if (groups.empty() || groups[0].fillPaths.empty()) return {};
    QPainterPath p = groups[0].fillPaths[0];
    p.setFillRule(Qt::WindingFill);
    return p;
}

} // namespace

ParseResult<FontDef> FontDef::parse(int tagCode, const uint8_t* body, size_t len) {
    BitReader r(body, len);
    FontDef f;
    f.id = r.u16();
    if (tagCode == 10) {
        // Offsets from the start of the offset table; the first tells how many there are.
        const size_t tableStart = r.pos();
        const uint16_t first = r.u16();
        const size_t count = first / 2;
        if (r.failed() || count == 0 || tableStart + first > len)
            return ParseResult<FontDef>::failure(QStringLiteral("font %1 has no glyph table").arg(f.id));
        std::vector<size_t> offsets{first};
        for (size_t i = 1; i < count; ++i) offsets.push_back(r.u16());
        for (size_t i = 0; i < count; ++i) {
            const size_t start = tableStart + offsets[i];
            const size_t end = i + 1 < count ? tableStart + offsets[i + 1] : len;
            f.glyphs.push_back(start < end && end <= len ? readGlyph(body + start, end - start) : QPainterPath());
        }
        return f;
    }
    const uint8_t flags = r.u8();
    const bool hasLayout = flags & 0x80, wideOffsets = flags & 0x08, wideCodes = flags & 0x04;
    f.italic = flags & 0x02;
    f.bold = flags & 0x01;
    r.u8(); // language
    const int nameLen = r.u8();
    QByteArray name;
    for (int i = 0; i < nameLen; ++i) name.append(char(r.u8()));
    f.name = QString::fromUtf8(name).remove(QChar(0));
    const int count = r.u16();
    if (tagCode == 75) f.unitsPerEm = 1024 * 20;
    const size_t tableStart = r.pos();
    // Authoring tools end a font that only names a device face right after
    // its glyph count, without the code table's offset.
    if (count == 0 && !r.failed() && tableStart >= len) return f;
    std::vector<size_t> offsets;
    offsets.reserve(size_t(count) + 1);
    for (int i = 0; i <= count && !r.failed(); ++i) offsets.push_back(wideOffsets ? r.u32() : r.u16());
    if (r.failed()) return ParseResult<FontDef>::failure(QStringLiteral("font %1 is truncated").arg(f.id));
    for (int i = 0; i < count; ++i) {
        const size_t start = tableStart + offsets[size_t(i)];
        const size_t end = tableStart + offsets[size_t(i) + 1];
        f.glyphs.push_back(start < end && end <= len ? readGlyph(body + start, end - start) : QPainterPath());
    }
    r.seek(tableStart + offsets[size_t(count)]);
    for (int i = 0; i < count && !r.failed(); ++i) f.codes.push_back(wideCodes ? r.u16() : r.u8());
    if (hasLayout && !r.failed()) {
        f.ascent = r.s16();
        f.descent = r.s16();
        f.leading = r.s16();
        for (int i = 0; i < count && !r.failed(); ++i) f.advances.push_back(r.s16());
    }
    return f;
}

} // namespace nimbrel::movie::swf
