#include "movie/display/DrawingCanvas.h"
#include "movie/render/ShapePainter.h"
#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using nimbrel::movie::display::DrawingCanvas;
namespace swf = nimbrel::movie::swf;
namespace render = nimbrel::movie::render;

namespace {

constexpr double px = 20; // twips

swf::FillStyle solidFill(uint8_t r, uint8_t g, uint8_t b) {
    swf::FillStyle f;
    f.color = {r, g, b, 255};
    return f;
}

swf::LineStyle line(double widthPx, uint8_t r, uint8_t g, uint8_t b) {
    swf::LineStyle l;
    l.width = uint16_t(widthPx * px);
    l.color = {r, g, b, 255};
    return l;
}

// The canvas drawn aliased (low quality) at one pixel per 20 twips.
QImage drawCanvas(const DrawingCanvas& c, int w = 40, int h = 40) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.scale(1 / px, 1 / px);
    render::paintShape(p, c.shape(), {}, [&c](uint16_t id) { return c.bitmap(id); });
    return img;
}

int count(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == colour;
    return n;
}

} // namespace

TEST(DrawingCanvas, FillsCoverExactlyTheirAreaAndCloseThemselves) {
    DrawingCanvas c;
    EXPECT_TRUE(c.isEmpty());
    c.moveTo({5 * px, 5 * px});
    c.beginFill(solidFill(255, 0, 0));
    c.lineTo({25 * px, 5 * px});
    c.lineTo({25 * px, 15 * px});
    c.lineTo({5 * px, 15 * px}); // left open: the fill closes it
    QImage img = drawCanvas(c);
    EXPECT_EQ(count(img, qRgb(255, 0, 0)), 20 * 10);
    EXPECT_EQ(img.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(24, 14), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(25, 14), qRgb(255, 255, 255));
    EXPECT_EQ(c.bounds(), QRectF(5 * px, 5 * px, 20 * px, 10 * px));
    // endFill finishes the same area; a second fill goes on top of it.
    c.endFill();
    c.moveTo({15 * px, 0});
    c.beginFill(solidFill(0, 0, 255));
    c.lineTo({35 * px, 0});
    c.lineTo({35 * px, 10 * px});
    c.lineTo({15 * px, 10 * px});
    c.endFill();
    img = drawCanvas(c);
    EXPECT_EQ(img.pixel(20, 7), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(10, 7), qRgb(255, 0, 0));
    EXPECT_EQ(c.shape().groups.size(), 2u);
}

TEST(DrawingCanvas, LinesFollowThePenAndTheClosingEdgeIsStroked) {
    DrawingCanvas c;
    c.lineStyle(line(1, 0, 0, 0));
    c.moveTo({10 * px, 10 * px});
    c.beginFill(solidFill(0, 255, 0));
    c.lineTo({30 * px, 10 * px});
    c.lineTo({30 * px, 30 * px});
    c.endFill();
    const swf::ShapeDef& s = c.shape();
    ASSERT_EQ(s.groups.size(), 1u);
    ASSERT_EQ(s.groups[0].lines.size(), 1u);
    // Three edges stroked: the two drawn and the one endFill added.
    const QPainterPath& stroke = s.groups[0].linePaths[0];
    EXPECT_EQ(stroke.elementCount(), 4);
    EXPECT_EQ(stroke.currentPosition(), QPointF(10 * px, 10 * px));
    const QImage img = drawCanvas(c);
    EXPECT_EQ(img.pixel(20, 20), qRgb(0, 0, 0)) << "the diagonal closing edge is drawn";
    EXPECT_EQ(img.pixel(25, 15), qRgb(0, 255, 0));
    // A moveTo lifts the pen: nothing joins the two lines.
    DrawingCanvas d;
    d.lineStyle(line(2, 0, 0, 255));
    d.moveTo({2 * px, 5 * px});
    d.lineTo({12 * px, 5 * px});
    d.moveTo({2 * px, 20 * px});
    d.lineTo({12 * px, 20 * px});
    const QImage two = drawCanvas(d);
    EXPECT_EQ(two.pixel(7, 12), qRgb(255, 255, 255));
    EXPECT_EQ(two.pixel(7, 5), qRgb(0, 0, 255));
    EXPECT_EQ(two.pixel(7, 20), qRgb(0, 0, 255));
    // Without a line style nothing is stroked, and no fill means nothing filled.
    DrawingCanvas none;
    none.lineTo({10 * px, 10 * px});
    EXPECT_TRUE(none.isEmpty());
}

TEST(DrawingCanvas, ClearForgetsEverythingAndEditsAreCounted) {
    DrawingCanvas c;
    const uint64_t v0 = c.version();
    c.lineStyle(line(3, 1, 2, 3));
    c.lineTo({10 * px, 0});
    EXPECT_GT(c.version(), v0);
    EXPECT_FALSE(c.isEmpty());
    c.clear();
    EXPECT_TRUE(c.isEmpty());
    EXPECT_TRUE(c.bounds().isEmpty());
    // The line style went too: this draws nothing.
    c.lineTo({20 * px, 20 * px});
    EXPECT_TRUE(c.isEmpty());
}

TEST(DrawingCanvas, BitmapFillsShareTheScriptsPixels) {
    auto pixels = std::make_shared<QImage>(4, 4, QImage::Format_ARGB32_Premultiplied);
    pixels->fill(qRgb(9, 99, 199));
    DrawingCanvas c;
    swf::FillStyle f;
    f.type = swf::FillType::Bitmap;
    f.bitmapId = c.addBitmap(pixels);
    f.matrix.a = f.matrix.d = px; // one bitmap pixel per stage pixel
    f.smoothed = false;
    c.beginFill(f);
    c.lineTo({8 * px, 0});
    c.lineTo({8 * px, 8 * px});
    c.lineTo({0, 8 * px});
    c.endFill();
    EXPECT_EQ(drawCanvas(c).pixel(6, 6), qRgb(9, 99, 199)) << "the bitmap repeats";
    pixels->fill(qRgb(1, 2, 3));
    EXPECT_EQ(drawCanvas(c).pixel(1, 1), qRgb(1, 2, 3)) << "later changes to the bitmap show";
    EXPECT_EQ(c.bitmap(0x1234), nullptr);
}

TEST(DrawingCanvas, HostileInputIsIgnoredOrCapped) {
    DrawingCanvas c;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    c.lineStyle(line(1, 0, 0, 0));
    c.lineTo({nan, 5});
    c.curveTo({std::numeric_limits<double>::infinity(), 0}, {5, 5});
    c.moveTo({nan, nan});
    EXPECT_TRUE(c.isEmpty());
    for (size_t i = 0; i < DrawingCanvas::maxEdges + 100; ++i) c.lineTo({double(i % 7), double(i % 5)});
    size_t edges = 0;
    for (const auto& g : c.shape().groups)
        for (const auto& p : g.linePaths) edges += size_t(p.elementCount() - 1);
    EXPECT_LE(edges, DrawingCanvas::maxEdges);
}
