#include "movie/render/PixelCoverage.h"
#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <set>

using nimbrel::movie::render::PixelCoverage;

namespace {

using Pixels = std::set<std::pair<int, int>>; // (x, y)

Pixels covered(const QPainterPath& path, const QTransform& t = {}, QRect clip = QRect(-50, -50, 200, 200)) {
    Pixels out;
    for (const PixelCoverage::Span& s : PixelCoverage::spans(path, t, clip))
        for (int x = s.x0; x < s.x1; ++x) EXPECT_TRUE(out.insert({x, s.y}).second) << "pixel listed twice";
    return out;
}

Pixels block(int x0, int y0, int x1, int y1) { // x0..x1-1, y0..y1-1
    Pixels out;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) out.insert({x, y});
    return out;
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath p;
    p.addPolygon(QPolygonF(points));
    p.closeSubpath();
    return p;
}

} // namespace

// A pixel belongs to a fill when its centre does; centres exactly on an edge
// go to the shape on the edge's right or lower side, so shapes that share an
// edge never both claim a pixel and never leave one out.
TEST(PixelCoverage, CentresDecideAndEdgesThroughCentresGoOneWay) {
    // Edges between centres: the covered pixels are those with centres inside.
    QPainterPath between;
    between.addRect(QRectF(1.2, 1.7, 3.5, 2.0));
    EXPECT_EQ(covered(between), block(1, 2, 5, 4));
    // Edges through centres: left and top ones take the pixels, right and bottom ones leave them.
    QPainterPath onCentres;
    onCentres.addRect(QRectF(1.5, 2.5, 3.0, 2.0));
    EXPECT_EQ(covered(onCentres), block(1, 2, 4, 4));
    // The same rectangle moved by rounding noise of a matrix stays put.
    EXPECT_EQ(covered(onCentres, QTransform::fromTranslate(1e-9, -1e-9)), block(1, 2, 4, 4));
    EXPECT_EQ(covered(onCentres, QTransform::fromTranslate(-1e-9, 1e-9)), block(1, 2, 4, 4));
    // Two triangles sharing a diagonal through centres tile their square exactly.
    const QPainterPath lower = polygon({{0, 0}, {8, 8}, {0, 8}});
    const QPainterPath upper = polygon({{0, 0}, {8, 0}, {8, 8}});
    Pixels a = covered(lower), b = covered(upper);
    for (const auto& px : a) EXPECT_FALSE(b.count(px)) << px.first << "," << px.second << " in both";
    a.insert(b.begin(), b.end());
    EXPECT_EQ(a, block(0, 0, 8, 8));
}

TEST(PixelCoverage, FillRulesAndClipping) {
    QPainterPath nested;
    nested.addRect(QRectF(0, 0, 10, 10));
    nested.addRect(QRectF(3, 3, 4, 4)); // same direction as the outer square
    nested.setFillRule(Qt::WindingFill);
    EXPECT_EQ(covered(nested).size(), 100u);
    nested.setFillRule(Qt::OddEvenFill);
    Pixels ring = block(0, 0, 10, 10);
    for (const auto& px : block(3, 3, 7, 7)) ring.erase(px);
    EXPECT_EQ(covered(nested), ring);
    // Nothing outside the clip, everything inside it.
    QPainterPath big;
    big.addRect(QRectF(-1000, -1000, 3000, 3000));
    EXPECT_EQ(covered(big, {}, QRect(5, 6, 3, 2)), block(5, 6, 8, 8));
    // The transform applies before coverage is decided.
    QPainterPath unit;
    unit.addRect(QRectF(0, 0, 1, 1));
    EXPECT_EQ(covered(unit, QTransform::fromScale(4, 2)), block(0, 0, 4, 2));
}

TEST(PixelCoverage, CurvesFollowTheirTrueOutline) {
    // A quadratic arc's flattened pieces stay within a tenth of a pixel of
    // the curve: the disc covers the centres within its radius, give or take
    // the ones that close to the rim.
    QPainterPath disc;
    const double r = 40, c = 50;
    disc.moveTo(c + r, c);
    for (int k = 1; k <= 8; ++k) {
        const double a0 = (k - 1) * M_PI / 4, a1 = k * M_PI / 4, mid = (a0 + a1) / 2;
        const double far = r / std::cos(M_PI / 8);
        disc.quadTo(c + far * std::cos(mid), c + far * std::sin(mid), c + r * std::cos(a1), c + r * std::sin(a1));
    }
    const Pixels got = covered(disc, {}, QRect(0, 0, 100, 100));
    int wrong = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const double d = std::hypot(x + 0.5 - c, y + 0.5 - c);
            const bool in = got.count({x, y}) > 0;
            if (d < r - 0.5) EXPECT_TRUE(in) << x << "," << y;
            if (d > r + 0.5) EXPECT_FALSE(in) << x << "," << y;
            if (d >= r - 0.5 && d <= r + 0.5 && in != (d < r)) ++wrong;
        }
    EXPECT_LT(wrong, 40); // eight quadratic arcs are not a circle
}

TEST(PixelCoverage, HostileGeometryStaysBounded) {
    QPainterPath bad;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    bad.moveTo(0, 0);
    bad.lineTo(1e300, 5);
    bad.lineTo(nan, nan);
    bad.cubicTo(1e30, -1e30, -1e30, 1e30, 3, 3);
    bad.closeSubpath();
    const auto spans = PixelCoverage::spans(bad, {}, QRect(0, 0, 64, 64));
    for (const auto& s : spans) {
        EXPECT_GE(s.x0, 0);
        EXPECT_LE(s.x1, 64);
        EXPECT_GE(s.y, 0);
        EXPECT_LT(s.y, 64);
    }
    // Endless curves cost no more than their cap of pieces.
    QPainterPath many;
    many.moveTo(0, 0);
    for (int k = 0; k < 20000; ++k) many.quadTo(1e6, k % 2 ? 1e6 : -1e6, 0, 0);
    EXPECT_NO_FATAL_FAILURE(PixelCoverage::spans(many, {}, QRect(0, 0, 32, 32)));
}

TEST(PixelCoverage, FillAndMaskPaintExactlyTheSpans) {
    QPainterPath tri = polygon({{2, 1}, {14, 3}, {5, 12}});
    const auto spans = PixelCoverage::spans(tri, {}, QRect(0, 0, 16, 16));
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true); // ignored: spans are whole pixels
        p.scale(3, 3);                                 // ignored: spans are in device pixels
        PixelCoverage::fill(p, spans, QColor(10, 20, 30));
        EXPECT_EQ(p.worldTransform(), QTransform::fromScale(3, 3));
    }
    const QImage mask = PixelCoverage::mask(spans, QSize(16, 16), QPoint(0, 0));
    const Pixels want = covered(tri, {}, QRect(0, 0, 16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool in = want.count({x, y}) > 0;
            EXPECT_EQ(img.pixel(x, y), in ? qRgb(10, 20, 30) : 0u) << x << "," << y;
            EXPECT_EQ(mask.pixelColor(x, y).alpha(), in ? 255 : 0) << x << "," << y;
        }
}

// Clipping to the spans' rectangles keeps exactly the covered pixels, with
// or without antialiasing, and rows alike share one rectangle.
TEST(PixelCoverage, SpansAsAPathClipToTheCoveredPixels) {
    QPainterPath ring;
    ring.addEllipse(QRectF(3.3, 2.6, 40.2, 30.7));
    ring.addEllipse(QRectF(13.1, 10.4, 12.5, 9.9));
    ring.setFillRule(Qt::OddEvenFill);
    const auto spans = PixelCoverage::spans(ring, QTransform(), QRect(0, 0, 50, 40));
    Pixels expected;
    for (const PixelCoverage::Span& s : spans)
        for (int x = s.x0; x < s.x1; ++x) expected.insert({x, s.y});
    ASSERT_FALSE(expected.empty());
    const QPainterPath clip = PixelCoverage::path(spans);
    for (bool smooth : {false, true}) {
        QImage image(50, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing, smooth);
            p.setClipPath(clip);
            p.fillRect(image.rect(), Qt::black);
        }
        Pixels black;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                EXPECT_TRUE(c == qRgb(0, 0, 0) || c == qRgb(255, 255, 255)) << x << "," << y << " smooth " << smooth;
                if (c == qRgb(0, 0, 0)) black.insert({x, y});
            }
        EXPECT_EQ(black, expected) << "smooth " << smooth;
    }
    // A plain rectangle's rows become one rectangle.
    QPainterPath box;
    box.addRect(QRectF(2, 3, 10, 7));
    const QPainterPath merged = PixelCoverage::path(PixelCoverage::spans(box, QTransform(), QRect(0, 0, 20, 20)));
    EXPECT_EQ(merged.elementCount(), 5);
    EXPECT_EQ(merged.boundingRect(), QRectF(2, 3, 10, 7));
    EXPECT_TRUE(PixelCoverage::path({}).isEmpty());
}
