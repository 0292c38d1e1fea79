#include "movie/swf/ShapeParser.h"
#include "movie/swf/BitReader.h"
#include "movie/swf/ShapePathBuilder.h"
#include "movie/swf/ShapeRecords.h"
#include <algorithm>

namespace nimbrel::movie::swf {

namespace {

int shapeVersion(int tagCode) {
    switch (tagCode) {
    case 2: return 1;
    case 22: return 2;
    case 32: return 3;
    case 83: return 4;
    default: return 0;
    }
}

bool fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

void setFillRule(std::vector<StyleGroup>& groups, Qt::FillRule rule) {
    for (StyleGroup& g : groups)
        for (QPainterPath& p : g.fillPaths) p.setFillRule(rule);
}

// --- morph shapes -------------------------------------------------------

bool readMorphGradient(BitReader& r, Gradient& start, Gradient& end) {
    // The count byte carries spread and interpolation like a plain gradient.
    start.spread = SpreadMode(r.ub(2));
    start.interpolation = InterpolationMode(r.ub(2));
    if (uint8_t(start.spread) > 2) start.spread = SpreadMode::Pad;
    if (uint8_t(start.interpolation) > 1) start.interpolation = InterpolationMode::Normal;
    end.spread = start.spread;
    end.interpolation = start.interpolation;
    int n = int(r.ub(4));
    for (int i = 0; i < n; ++i) {
        GradientRecord a, b;
        a.ratio = r.u8();
        a.color = r.rgba();
        b.ratio = r.u8();
        b.color = r.rgba();
        start.records.push_back(a);
        end.records.push_back(b);
    }
    return !r.failed();
}

bool readMorphFillStyle(BitReader& r, MorphFillStyle& f) {
    uint8_t type = r.u8();
    switch (type) {
    case 0x00:
        f.start.type = f.end.type = FillType::Solid;
        f.start.color = r.rgba();
        f.end.color = r.rgba();
        break;
    case 0x10:
    case 0x12:
    case 0x13: {
        FillType t = type == 0x10 ? FillType::LinearGradient
                     : type == 0x12 ? FillType::RadialGradient
                                    : FillType::FocalGradient;
        f.start.type = f.end.type = t;
        f.start.matrix = r.matrix();
        f.end.matrix = r.matrix();
        if (!readMorphGradient(r, f.start.gradient, f.end.gradient)) return false;
        if (type == 0x13) {
            f.start.gradient.focalPoint = std::clamp(r.fixed8(), -1.0, 1.0);
            f.end.gradient.focalPoint = std::clamp(r.fixed8(), -1.0, 1.0);
        }
        break;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        f.start.type = f.end.type = FillType::Bitmap;
        f.start.bitmapId = f.end.bitmapId = r.u16();
        f.start.matrix = r.matrix();
        f.end.matrix = r.matrix();
        f.start.clipped = f.end.clipped = type & 1;
        f.start.smoothed = f.end.smoothed = !(type & 2);
        break;
    default:
        return false;
    }
    return !r.failed();
}

bool readMorphLineStyle(BitReader& r, int version, MorphLineStyle& l) {
    l.start.width = r.u16();
    l.end.width = r.u16();
    if (version >= 2) {
        LineStyle& s = l.start;
        s.startCap = CapStyle(std::min<uint32_t>(r.ub(2), 2));
        uint32_t join = r.ub(2);
        s.join = JoinStyle(std::min<uint32_t>(join, 2));
        s.hasFill = r.ub(1);
        s.noHScale = r.ub(1);
        s.noVScale = r.ub(1);
        s.pixelHinting = r.ub(1);
        r.ub(5);
        s.noClose = r.ub(1);
        s.endCap = CapStyle(std::min<uint32_t>(r.ub(2), 2));
        if (join == 2) s.miterLimit = r.fixed8();
        uint16_t endWidth = l.end.width;
        l.end = s;
        l.end.width = endWidth;
        if (s.hasFill) {
            MorphFillStyle f;
            if (!readMorphFillStyle(r, f)) return false;
            l.start.fill = f.start;
            l.end.fill = f.end;
            return true;
        }
    }
    l.start.color = r.rgba();
    l.end.color = r.rgba();
    return !r.failed();
}

ShapeRecord asCurve(const ShapeRecord& s) {
    if (s.kind != ShapeRecord::Kind::Straight) return s;
    ShapeRecord c = s;
    c.kind = ShapeRecord::Kind::Curved;
    c.cdx = s.dx / 2;
    c.cdy = s.dy / 2;
    c.dx = s.dx - c.cdx;
    c.dy = s.dy - c.cdy;
    return c;
}

// Pairs the start list (styles, moves, edges) with the end list (moves, edges).
void pairMorphRecords(const std::vector<ShapeRecord>& start, const std::vector<ShapeRecord>& end, MorphShapeDef& m) {
    size_t j = 0;
    for (const ShapeRecord& s : start) {
        if (s.kind == ShapeRecord::Kind::StyleChange) {
            ShapeRecord e = s;
            if (j < end.size() && end[j].kind == ShapeRecord::Kind::StyleChange) {
                if (end[j].hasMove) {
                    e.hasMove = true;
                    e.moveX = end[j].moveX;
                    e.moveY = end[j].moveY;
                }
                ++j;
            }
            m.startRecords.push_back(s);
            m.endRecords.push_back(e);
            continue;
        }
        while (j < end.size() && end[j].kind == ShapeRecord::Kind::StyleChange) ++j;
        ShapeRecord e = j < end.size() ? end[j++] : s;
        if (s.kind != e.kind) {
            m.startRecords.push_back(asCurve(s));
            m.endRecords.push_back(asCurve(e));
        } else {
            m.startRecords.push_back(s);
            m.endRecords.push_back(e);
        }
    }
}

} // namespace

std::optional<ShapeDef> parseShape(int tagCode, const uint8_t* body, size_t len, QString* error) {
    const int version = shapeVersion(tagCode);
    if (version == 0) {
        fail(error, QStringLiteral("not a shape tag: %1").arg(tagCode));
        return std::nullopt;
    }
    BitReader r(body, len);
    ShapeDef s;
    s.version = version;
    s.id = r.u16();
    s.bounds = r.rect();
    s.edgeBounds = s.bounds;
    if (version == 4) {
        s.edgeBounds = r.rect();
        uint8_t flags = r.u8();
        s.nonZeroWinding = flags & 0x04;
        s.usesNonScalingStrokes = flags & 0x02;
        s.usesScalingStrokes = flags & 0x01;
    }
    if (r.failed()) {
        fail(error, QStringLiteral("shape %1: header truncated").arg(s.id));
        return std::nullopt;
    }
    s.groups.emplace_back();
    if (!readFillStyleArray(r, version, s.groups[0].fills) || !readLineStyleArray(r, version, s.groups[0].lines)) {
        fail(error, QStringLiteral("shape %1: bad style arrays").arg(s.id));
        return std::nullopt;
    }
    int fillBits = int(r.ub(4));
    int lineBits = int(r.ub(4));
    std::vector<ShapeRecord> records;
    if (!readShapeRecords(r, version, fillBits, lineBits, records, &s.groups)) {
        fail(error, QStringLiteral("shape %1: bad edge records").arg(s.id));
        return std::nullopt;
    }
    buildShapePaths(records, s.groups);
    setFillRule(s.groups, s.nonZeroWinding ? Qt::WindingFill : Qt::OddEvenFill);
    return s;
}

std::optional<MorphShapeDef> parseMorphShape(int tagCode, const uint8_t* body, size_t len, QString* error) {
    if (tagCode != 46 && tagCode != 84) {
        fail(error, QStringLiteral("not a morph shape tag: %1").arg(tagCode));
        return std::nullopt;
    }
    BitReader r(body, len);
    MorphShapeDef m;
    m.version = tagCode == 84 ? 2 : 1;
    m.id = r.u16();
    m.startBounds = r.rect();
    m.endBounds = r.rect();
    m.startEdgeBounds = m.startBounds;
    m.endEdgeBounds = m.endBounds;
    if (m.version == 2) {
        m.startEdgeBounds = r.rect();
        m.endEdgeBounds = r.rect();
        uint8_t flags = r.u8();
        m.usesNonScalingStrokes = flags & 0x02;
        m.usesScalingStrokes = flags & 0x01;
    }
    uint32_t offset = r.u32();
    const size_t endEdgesAt = r.pos() + offset;
    if (r.failed() || endEdgesAt > len) {
        fail(error, QStringLiteral("morph shape %1: header truncated").arg(m.id));
        return std::nullopt;
    }
    size_t n = r.u8();
    if (n == 0xFF) n = r.u16();
    for (size_t i = 0; i < n && !r.failed(); ++i) {
        MorphFillStyle f;
        if (!readMorphFillStyle(r, f)) {
            fail(error, QStringLiteral("morph shape %1: bad fill style").arg(m.id));
            return std::nullopt;
        }
        m.fills.push_back(std::move(f));
    }
    n = r.u8();
    if (n == 0xFF) n = r.u16();
    for (size_t i = 0; i < n && !r.failed(); ++i) {
        MorphLineStyle l;
        if (!readMorphLineStyle(r, m.version, l)) {
            fail(error, QStringLiteral("morph shape %1: bad line style").arg(m.id));
            return std::nullopt;
        }
        m.lines.push_back(std::move(l));
    }
    std::vector<ShapeRecord> start, end;
    int fillBits = int(r.ub(4));
    int lineBits = int(r.ub(4));
    if (r.failed() || !readShapeRecords(r, 3, fillBits, lineBits, start, nullptr)) {
        fail(error, QStringLiteral("morph shape %1: bad start edges").arg(m.id));
        return std::nullopt;
    }
    r.seek(endEdgesAt);
    fillBits = int(r.ub(4));
    lineBits = int(r.ub(4));
    // A morph of an empty shape may omit the end edges altogether.
    const bool startHasEdges = std::any_of(start.begin(), start.end(), [](const ShapeRecord& s) {
        return s.kind != ShapeRecord::Kind::StyleChange;
    });
    if ((r.failed() && startHasEdges) ||
        (!r.failed() && !readShapeRecords(r, 3, fillBits, lineBits, end, nullptr))) {
        fail(error, QStringLiteral("morph shape %1: bad end edges").arg(m.id));
        return std::nullopt;
    }
    pairMorphRecords(start, end, m);
    return m;
}

} // namespace nimbrel::movie::swf
