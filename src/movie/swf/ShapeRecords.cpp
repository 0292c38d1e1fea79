#include "movie/swf/ShapeRecords.h"

namespace nimbrel::movie::swf {

namespace {

// Enough for any real shape; stops garbage counts from allocating wildly.
constexpr size_t kMaxRecords = 4'000'000;

bool readGradient(BitReader& r, int version, Gradient& g, bool focal) {
    g.spread = SpreadMode(r.ub(2));
    g.interpolation = InterpolationMode(r.ub(2));
    if (uint8_t(g.spread) > 2) g.spread = SpreadMode::Pad; // 3 is reserved
    if (uint8_t(g.interpolation) > 1) g.interpolation = InterpolationMode::Normal;
    int n = int(r.ub(4));
    g.records.clear();
    g.records.reserve(n);
    for (int i = 0; i < n; ++i) {
        GradientRecord rec;
        rec.ratio = r.u8();
        rec.color = version >= 3 ? r.rgba() : r.rgb();
        g.records.push_back(rec);
    }
    if (focal) g.focalPoint = std::clamp(r.fixed8(), -1.0, 1.0);
    return !r.failed();
}

} // namespace

bool readFillStyle(BitReader& r, int version, FillStyle& f) {
    uint8_t type = r.u8();
    switch (type) {
    case 0x00:
        f.type = FillType::Solid;
        f.color = version >= 3 ? r.rgba() : r.rgb();
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        f.type = type == 0x10 ? FillType::LinearGradient
                 : type == 0x12 ? FillType::RadialGradient
                                : FillType::FocalGradient;
        f.matrix = r.matrix();
        if (!readGradient(r, version, f.gradient, type == 0x13)) return false;
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        f.type = FillType::Bitmap;
        f.bitmapId = r.u16();
        f.matrix = r.matrix();
        f.clipped = type & 1;
        f.smoothed = !(type & 2);
        break;
    default:
        return false;
    }
    return !r.failed();
}

bool readFillStyleArray(BitReader& r, int version, std::vector<FillStyle>& out) {
    size_t n = r.u8();
    if (n == 0xFF && version >= 2) n = r.u16();
    if (r.failed()) return false;
    out.clear();
    out.reserve(std::min(n, r.remaining()));
    for (size_t i = 0; i < n; ++i) {
        FillStyle f;
        if (!readFillStyle(r, version, f)) return false;
        out.push_back(std::move(f));
    }
    return true;
}

static bool readLineStyle2(BitReader& r, LineStyle& l) {
    l.width = r.u16();
    l.startCap = CapStyle(std::min<uint32_t>(r.ub(2), 2));
    uint32_t join = r.ub(2);
    l.join = JoinStyle(std::min<uint32_t>(join, 2));
    l.hasFill = r.ub(1);
    l.noHScale = r.ub(1);
    l.noVScale = r.ub(1);
    l.pixelHinting = r.ub(1);
    r.ub(5);
    l.noClose = r.ub(1);
    l.endCap = CapStyle(std::min<uint32_t>(r.ub(2), 2));
    if (join == 2) l.miterLimit = r.fixed8();
    if (l.hasFill) {
        if (!readFillStyle(r, 4, l.fill)) return false;
    } else {
        l.color = r.rgba();
    }
    return !r.failed();
}

bool readLineStyleArray(BitReader& r, int version, std::vector<LineStyle>& out) {
    size_t n = r.u8();
    if (n == 0xFF) n = r.u16();
    if (r.failed()) return false;
    out.clear();
    out.reserve(std::min(n, r.remaining()));
    for (size_t i = 0; i < n; ++i) {
        LineStyle l;
        if (version >= 4) {
            if (!readLineStyle2(r, l)) return false;
        } else {
            l.width = r.u16();
            l.color = version >= 3 ? r.rgba() : r.rgb();
        }
        if (r.failed()) return false;
        out.push_back(std::move(l));
    }
    return true;
}

bool readShapeRecords(BitReader& r, int version, int fillBits, int lineBits, std::vector<ShapeRecord>& out,
                      std::vector<StyleGroup>* groups) {
    for (;;) {
        if (r.failed() || out.size() >= kMaxRecords) return false;
        ShapeRecord rec;
        if (r.ub(1) == 0) {
            uint32_t flags = r.ub(5);
            if (r.failed()) return false;
            if (flags == 0) return true; // end of shape
            rec.kind = ShapeRecord::Kind::StyleChange;
            rec.newStyles = flags & 0x10;
            rec.hasLine = flags & 0x08;
            rec.hasFill1 = flags & 0x04;
            rec.hasFill0 = flags & 0x02;
            rec.hasMove = flags & 0x01;
            if (rec.hasMove) {
                int n = int(r.ub(5));
                rec.moveX = r.sb(n);
                rec.moveY = r.sb(n);
            }
            if (rec.hasFill0) rec.fill0 = r.ub(fillBits);
            if (rec.hasFill1) rec.fill1 = r.ub(fillBits);
            if (rec.hasLine) rec.line = r.ub(lineBits);
            if (rec.newStyles) {
                if (!groups) return false;
                StyleGroup g;
                if (!readFillStyleArray(r, version, g.fills)) return false;
                if (!readLineStyleArray(r, version, g.lines)) return false;
                fillBits = int(r.ub(4));
                lineBits = int(r.ub(4));
                groups->push_back(std::move(g));
            }
        } else if (r.ub(1) == 1) {
            rec.kind = ShapeRecord::Kind::Straight;
            int n = int(r.ub(4)) + 2;
            if (r.ub(1)) {
                rec.dx = r.sb(n);
                rec.dy = r.sb(n);
            } else if (r.ub(1)) {
                rec.dy = r.sb(n);
            } else {
                rec.dx = r.sb(n);
            }
        } else {
            rec.kind = ShapeRecord::Kind::Curved;
            int n = int(r.ub(4)) + 2;
            rec.cdx = r.sb(n);
            rec.cdy = r.sb(n);
            rec.dx = r.sb(n);
            rec.dy = r.sb(n);
        }
        if (r.failed()) return false;
        out.push_back(rec);
    }
}

} // namespace nimbrel::movie::swf
