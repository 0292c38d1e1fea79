#include "movie/render/MorphInterpolation.h"
#include "movie/swf/ShapePathBuilder.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::render {

namespace {

double lerp(double a, double b, double t) { return a + (b - a) * t; }
uint8_t lerp8(uint8_t a, uint8_t b, double t) { return uint8_t(std::lround(lerp(a, b, t))); }
int32_t lerpTwips(int32_t a, int32_t b, double t) { return int32_t(std::lround(lerp(a, b, t))); }

swf::Rgba lerpColor(swf::Rgba a, swf::Rgba b, double t) {
    return swf::Rgba{lerp8(a.r, b.r, t), lerp8(a.g, b.g, t), lerp8(a.b, b.b, t), lerp8(a.a, b.a, t)};
}

swf::Matrix lerpMatrix(const swf::Matrix& a, const swf::Matrix& b, double t) {
    swf::Matrix m;
    m.a = lerp(a.a, b.a, t);
    m.b = lerp(a.b, b.b, t);
    m.c = lerp(a.c, b.c, t);
    m.d = lerp(a.d, b.d, t);
    m.tx = lerp(a.tx, b.tx, t);
    m.ty = lerp(a.ty, b.ty, t);
    return m;
}

} // namespace

swf::FillStyle lerpFill(const swf::FillStyle& a, const swf::FillStyle& b, double t) {
    swf::FillStyle f = a;
    f.color = lerpColor(a.color, b.color, t);
    f.matrix = lerpMatrix(a.matrix, b.matrix, t);
    f.gradient.focalPoint = lerp(a.gradient.focalPoint, b.gradient.focalPoint, t);
    size_t n = std::min(a.gradient.records.size(), b.gradient.records.size());
    f.gradient.records.resize(n);
    for (size_t i = 0; i < n; ++i) {
        f.gradient.records[i].ratio = lerp8(a.gradient.records[i].ratio, b.gradient.records[i].ratio, t);
        f.gradient.records[i].color = lerpColor(a.gradient.records[i].color, b.gradient.records[i].color, t);
    }
    return f;
}

swf::LineStyle lerpLine(const swf::LineStyle& a, const swf::LineStyle& b, double t) {
    swf::LineStyle l = a;
    l.width = uint16_t(std::lround(lerp(a.width, b.width, t)));
    l.color = lerpColor(a.color, b.color, t);
    if (a.hasFill) l.fill = lerpFill(a.fill, b.fill, t);
    return l;
}

swf::StyleGroup interpolateMorph(const swf::MorphShapeDef& m, double ratio) {
    const double t = std::clamp(ratio, 0.0, 1.0);
    std::vector<swf::StyleGroup> groups(1);
    swf::StyleGroup& g = groups[0];
    g.fills.reserve(m.fills.size());
    for (const auto& f : m.fills) g.fills.push_back(lerpFill(f.start, f.end, t));
    g.lines.reserve(m.lines.size());
    for (const auto& l : m.lines) g.lines.push_back(lerpLine(l.start, l.end, t));

    // Interpolate absolute positions, then rewrite deltas from the rounded
    // points so shared vertices stay shared and contours still close.
    std::vector<swf::ShapeRecord> records;
    records.reserve(m.startRecords.size());
    int32_t sx = 0, sy = 0, ex = 0, ey = 0; // pen in start and end shapes
    int32_t px = 0, py = 0;                 // interpolated pen
    const size_t n = std::min(m.startRecords.size(), m.endRecords.size());
    for (size_t i = 0; i < n; ++i) {
        const swf::ShapeRecord& s = m.startRecords[i];
        const swf::ShapeRecord& e = m.endRecords[i];
        swf::ShapeRecord r = s;
        if (s.kind == swf::ShapeRecord::Kind::StyleChange) {
            if (s.hasMove) {
                sx = s.moveX;
                sy = s.moveY;
            }
            if (e.hasMove) {
                ex = e.moveX;
                ey = e.moveY;
            }
            if (s.hasMove || e.hasMove) {
                r.hasMove = true;
                px = r.moveX = lerpTwips(sx, ex, t);
                py = r.moveY = lerpTwips(sy, ey, t);
            }
            r.newStyles = false;
            records.push_back(r);
            continue;
        }
        if (s.kind == swf::ShapeRecord::Kind::Curved) {
            int32_t scx = sx + s.cdx, scy = sy + s.cdy, ecx = ex + e.cdx, ecy = ey + e.cdy;
            sx = scx + s.dx;
            sy = scy + s.dy;
            ex = ecx + e.dx;
            ey = ecy + e.dy;
            int32_t cx = lerpTwips(scx, ecx, t), cy = lerpTwips(scy, ecy, t);
            int32_t ax = lerpTwips(sx, ex, t), ay = lerpTwips(sy, ey, t);
            r.cdx = cx - px;
            r.cdy = cy - py;
            r.dx = ax - cx;
            r.dy = ay - cy;
            px = ax;
            py = ay;
        } else {
            sx += s.dx;
            sy += s.dy;
            ex += e.dx;
            ey += e.dy;
            int32_t ax = lerpTwips(sx, ex, t), ay = lerpTwips(sy, ey, t);
            r.dx = ax - px;
            r.dy = ay - py;
            px = ax;
            py = ay;
        }
        records.push_back(r);
    }
    swf::buildShapePaths(records, groups);
    return std::move(groups[0]);
}

} // namespace nimbrel::movie::render
