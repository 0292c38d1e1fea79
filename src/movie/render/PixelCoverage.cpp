#include "movie/render/PixelCoverage.h"
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::render {

namespace {

// Curves become line pieces no further than this from the true curve, in
// device pixels; the reference player's edges sit where this puts them.
constexpr double kFlatness = 0.1;

// Vertices snap to a grid of 1/256 pixel, as graphics hardware does, and
// coverage is then decided in exact integer arithmetic: a centre exactly on
// an edge always goes the same way, whatever rounding the matrices left.
constexpr int kSubpixel = 256;
// Coordinates beyond this many pixels are clamped so products fit in 64 bits.
constexpr double kFarthest = 1 << 20;

struct Edge {
    int64_t x0, y0, x1, y1; // subpixels, y0 < y1
    int winding;            // +1 downward in the path, -1 upward
};

int64_t snap(double v) { return std::llround(std::clamp(v, -kFarthest, kFarthest) * kSubpixel); }

class EdgeList {
public:
    std::vector<Edge> edges;
    bool full = false;

    void line(QPointF a, QPointF b) {
        if (full) return;
        if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y())) return;
        const int64_t ax = snap(a.x()), ay = snap(a.y()), bx = snap(b.x()), by = snap(b.y());
        if (ay == by) return;
        if (edges.size() >= PixelCoverage::maxEdges) {
            full = true;
            return;
        }
        if (ay < by) edges.push_back({ax, ay, bx, by, 1});
        else edges.push_back({bx, by, ax, ay, -1});
    }

    // Quadratic curves (all the SWF format has) go into pieces of equal
    // error by the parabola-arc-length method, which needs fewer pieces than
    // equal steps of t for the same flatness.
    void quadratic(QPointF p0, QPointF p1, QPointF p2) {
        const double ddx = 2 * p1.x() - p0.x() - p2.x(), ddy = 2 * p1.y() - p0.y() - p2.y();
        const double u0 = (p1.x() - p0.x()) * ddx + (p1.y() - p0.y()) * ddy;
        const double u2 = (p2.x() - p1.x()) * ddx + (p2.y() - p1.y()) * ddy;
        const double cross = (p2.x() - p0.x()) * ddy - (p2.y() - p0.y()) * ddx;
        const double x0 = u0 / cross, x2 = u2 / cross;
        const double scale = std::abs(cross) / (std::hypot(ddx, ddy) * std::abs(x2 - x0));
        if (!std::isfinite(x0) || !std::isfinite(x2) || !std::isfinite(scale) || x0 == x2) {
            line(p0, p2);
            return;
        }
        auto integral = [](double x) {
            constexpr double d = 0.67;
            return x / (1 - d + std::sqrt(std::sqrt(d * d * d * d + 0.25 * x * x)));
        };
        auto inverse = [](double x) {
            constexpr double b = 0.39;
            return x * (1 - b + std::sqrt(b * b + 0.25 * x * x));
        };
        const double a0 = integral(x0), a2 = integral(x2);
        // Ends mapped through the approximate inverse, so that t runs exactly 0..1.
        const double i0 = inverse(a0), i2 = inverse(a2);
        double n = std::ceil(0.5 * std::abs(a2 - a0) * std::sqrt(scale / kFlatness));
        if (!std::isfinite(n) || n < 1) n = 1;
        const int pieces = int(std::min<double>(n, PixelCoverage::maxPiecesPerCurve));
        QPointF prev = p0;
        for (int i = 1; i <= pieces; ++i) {
            QPointF q = p2;
            if (i < pieces) {
                const double u = inverse(a0 + (a2 - a0) * i / pieces);
                const double t = (u - i0) / (i2 - i0), v = 1 - t;
                q = v * v * p0 + 2 * v * t * p1 + t * t * p2;
            }
            line(prev, q);
            prev = q;
        }
    }

    void cubic(QPointF p0, QPointF p1, QPointF p2, QPointF p3) {
        // A raised quadratic (how paths store the format's curves) is flattened as one.
        const QPointF q1 = (3 * p1 - p0) / 2, q2 = (3 * p2 - p3) / 2;
        if (std::abs(q1.x() - q2.x()) < 1e-6 * (1 + std::abs(q1.x())) &&
            std::abs(q1.y() - q2.y()) < 1e-6 * (1 + std::abs(q1.y()))) {
            quadratic(p0, q1, p3);
            return;
        }
        // The second differences bound how far the chords stray from the curve.
        const QPointF d1 = p0 - 2 * p1 + p2, d2 = p1 - 2 * p2 + p3;
        const double dd = std::max(std::hypot(d1.x(), d1.y()), std::hypot(d2.x(), d2.y()));
        double n = std::ceil(std::sqrt(0.75 * dd / kFlatness));
        if (!std::isfinite(n) || n < 1) n = 1;
        const int pieces = int(std::min<double>(n, PixelCoverage::maxPiecesPerCurve));
        QPointF prev = p0;
        for (int i = 1; i <= pieces; ++i) {
            const double t = double(i) / pieces, u = 1 - t;
            const QPointF q = i == pieces ? p3
                                          : u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
            line(prev, q);
            prev = q;
        }
    }
};

EdgeList edgesOf(const QPainterPath& path, const QTransform& t) {
    EdgeList list;
    QPointF start, cur;
    bool open = false;
    const int n = path.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QPointF p = t.map(QPointF(e.x, e.y));
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (open) list.line(cur, start); // every contour closes
            start = cur = p;
            open = true;
            break;
        case QPainterPath::LineToElement:
            list.line(cur, p);
            cur = p;
            break;
        case QPainterPath::CurveToElement: {
            if (i + 2 >= n) return list;
            const QPointF c2 = t.map(QPointF(path.elementAt(i + 1).x, path.elementAt(i + 1).y));
            const QPointF end = t.map(QPointF(path.elementAt(i + 2).x, path.elementAt(i + 2).y));
            list.cubic(cur, p, c2, end);
            cur = end;
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    if (open) list.line(cur, start);
    return list;
}

} // namespace

namespace {

// Floor of a / b for b > 0.
int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The first pixel of the row whose centre lies at or right of where the edge
// crosses height sy (subpixels).
int64_t firstPixelRightOf(const Edge& e, int64_t sy) {
    const int64_t dy = e.y1 - e.y0;
    // Crossing x = x0 + (sy - y0) (x1 - x0) / dy; pixel centres at 256 x + 128.
    const int64_t num = e.x0 * dy + (sy - e.y0) * (e.x1 - e.x0) - (kSubpixel / 2) * dy;
    // ceil(num / (256 dy))
    return -floorDiv(-num, kSubpixel * dy);
}

} // namespace

std::vector<PixelCoverage::Span> PixelCoverage::spans(const QPainterPath& path, const QTransform& toDevice,
                                                      const QRect& clip) {
    std::vector<Span> out;
    if (path.isEmpty() || clip.isEmpty()) return out;
    EdgeList list = edgesOf(path, toDevice);
    std::vector<Edge>& edges = list.edges;
    if (edges.empty()) return out;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    int64_t top = edges.front().y0, bottom = top;
    for (const Edge& e : edges) bottom = std::max(bottom, e.y1);
    // Row y samples at y + 0.5; an edge counts for the rows whose sample
    // height lies in [y0, y1).
    const int64_t half = kSubpixel / 2;
    const int firstRow = int(std::max<int64_t>(clip.top(), -floorDiv(-(top - half), kSubpixel)));
    const int lastRow = int(std::min<int64_t>(clip.bottom(), -floorDiv(-(bottom - half), kSubpixel) - 1));
    const bool evenOdd = path.fillRule() == Qt::OddEvenFill;
    std::vector<const Edge*> active;
    struct Crossing {
        int64_t x; // first pixel at or right of the crossing
        int winding;
    };
    std::vector<Crossing> crossings;
    size_t next = 0;
    for (int y = firstRow; y <= lastRow; ++y) {
        const int64_t sy = int64_t(y) * kSubpixel + half;
        while (next < edges.size() && edges[next].y0 <= sy) active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [sy](const Edge* e) { return e->y1 <= sy; }),
                     active.end());
        crossings.clear();
        for (const Edge* e : active)
            if (e->y0 <= sy) crossings.push_back({firstPixelRightOf(*e, sy), e->winding});
        if (crossings.size() < 2) continue;
        // Crossings between the same two centres give empty spans whatever
        // their order, so the pixel they round to is order enough.
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        int winding = 0;
        for (size_t k = 0; k + 1 < crossings.size(); ++k) {
            winding += evenOdd ? 1 : crossings[k].winding;
            const bool inside = evenOdd ? (winding & 1) : winding != 0;
            if (!inside) continue;
            const int x0 = int(std::max<int64_t>(clip.left(), crossings[k].x));
            const int x1 = int(std::min<int64_t>(clip.right() + 1, crossings[k + 1].x));
            if (x1 <= x0) continue;
            if (!out.empty() && out.back().y == y && out.back().x1 >= x0) out.back().x1 = std::max(out.back().x1, x1);
            else out.push_back({y, x0, x1});
        }
    }
    return out;
}

void PixelCoverage::fill(QPainter& p, const std::vector<Span>& spans, const QBrush& brush) {
    if (spans.empty() || brush.style() == Qt::NoBrush) return;
    const QTransform world = p.worldTransform();
    const bool aa = p.testRenderHint(QPainter::Antialiasing);
    p.resetTransform();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const Span& s : spans) p.fillRect(QRect(s.x0, s.y, s.x1 - s.x0, 1), brush);
    p.setRenderHint(QPainter::Antialiasing, aa);
    p.setWorldTransform(world);
}

QPainterPath PixelCoverage::path(const std::vector<Span>& spans) {
    QPainterPath out;
    out.setFillRule(Qt::WindingFill);
    // Spans come row by row: a run of rows with the same single span is one rectangle.
    size_t i = 0;
    while (i < spans.size()) {
        const Span& s = spans[i];
        const bool alone = i + 1 >= spans.size() || spans[i + 1].y != s.y;
        int rows = 1;
        size_t next = i + 1;
        if (alone) {
            while (next < spans.size() && spans[next].y == s.y + rows && spans[next].x0 == s.x0 &&
                   spans[next].x1 == s.x1 && (next + 1 >= spans.size() || spans[next + 1].y != spans[next].y)) {
                ++rows;
                ++next;
            }
        }
        out.addRect(QRectF(s.x0, s.y, s.x1 - s.x0, rows));
        i = next;
    }
    return out;
}

QImage PixelCoverage::mask(const std::vector<Span>& spans, const QSize& size, const QPoint& origin) {
    QImage out(size, QImage::Format_Alpha8);
    out.fill(0);
    for (const Span& s : spans) {
        const int y = s.y - origin.y();
        if (y < 0 || y >= size.height()) continue;
        const int x0 = std::max(0, s.x0 - origin.x()), x1 = std::min(size.width(), s.x1 - origin.x());
        if (x1 > x0) std::fill(out.scanLine(y) + x0, out.scanLine(y) + x1, uchar(255));
    }
    return out;
}

} // namespace nimbrel::movie::render
