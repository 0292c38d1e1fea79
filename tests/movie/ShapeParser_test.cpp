#include "movie/support/PixelNear.h"
#include "ShapeTestBits.h"
#include "movie/render/ShapePainter.h"
#include "movie/swf/ShapeParser.h"
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::TestBits;

using nimbrel::movie::test::pixelNear;

namespace {

constexpr int kStyleBits = 4;

// DefineShape header + style arrays for solid fills (RGB for version 1/2, RGBA for 3+).
void header(TestBits& b, int version, const std::vector<QColor>& fills, const std::vector<std::pair<int, QColor>>& lines = {}) {
    b.u16(7);
    b.rect(0, 2000, 0, 2000);
    if (version == 4) {
        b.rect(0, 2000, 0, 2000);
        b.u8(0);
    }
    b.u8(uint8_t(fills.size()));
    for (const QColor& c : fills) {
        b.u8(0x00);
        if (version >= 3) b.rgba(c.red(), c.green(), c.blue(), c.alpha());
        else b.rgb(c.red(), c.green(), c.blue());
    }
    b.u8(uint8_t(lines.size()));
    for (const auto& [w, c] : lines) {
        b.u16(uint16_t(w));
        if (version >= 3) b.rgba(c.red(), c.green(), c.blue(), c.alpha());
        else b.rgb(c.red(), c.green(), c.blue());
    }
    b.ub(4, kStyleBits);
    b.ub(4, kStyleBits);
}

int tagFor(int version) { return version == 1 ? 2 : version == 2 ? 22 : version == 3 ? 32 : 83; }

swf::ShapeDef parseShape(const TestBits& b, int version) {
    QString error;
    auto s = swf::parseShape(tagFor(version), b.data().data(), b.size(), &error);
    EXPECT_TRUE(s.has_value()) << error.toStdString();
    return s ? *s : swf::ShapeDef{};
}

// Draws at 1/20 scale (twips to pixels) into a transparent 100x100 image.
QImage drawParsedShape(const swf::ShapeDef& s, const render::BitmapLookup& bitmaps = {}, double scale = 1.0 / 20) {
    QImage img(100, 100, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing); // high quality, as the stage draws by default
    p.scale(scale, scale);
    render::paintShape(p, s, swf::ColorTransform{}, bitmaps);
    p.end();
    return img;
}


} // namespace

TEST(ShapeParser, SolidSquareFillsInsideOnly) {
    for (int version = 1; version <= 4; ++version) {
        TestBits b;
        header(b, version, {Qt::red});
        b.styleChange(kStyleBits, true, 400, 400, -1, 1);
        b.box(1200, 1200); // 20..80 px
        b.endShape();
        swf::ShapeDef s = parseShape(b, version);
        EXPECT_EQ(s.id, 7);
        EXPECT_EQ(s.version, version);
        EXPECT_EQ(s.bounds.xMax, 2000);
        QImage img = drawParsedShape(s);
        EXPECT_TRUE(pixelNear(img.pixel(50, 50), Qt::red, 3)) << "version " << version;
        EXPECT_TRUE(pixelNear(img.pixel(25, 75), Qt::red, 3));
        EXPECT_EQ(qAlpha(img.pixel(5, 5)), 0);
        EXPECT_EQ(qAlpha(img.pixel(90, 50)), 0);
    }
}

TEST(ShapeParser, LeftFillOnReversedEdgesFillsTheSameArea) {
    // Counter-clockwise edges carry the fill on their left (fill0).
    TestBits b;
    header(b, 1, {Qt::red});
    b.styleChange(kStyleBits, true, 400, 400, 1, -1);
    b.boxCounter(1200, 1200);
    b.endShape();
    QImage img = drawParsedShape(parseShape(b, 1));
    EXPECT_TRUE(pixelNear(img.pixel(50, 50), Qt::red, 3));
    EXPECT_EQ(qAlpha(img.pixel(10, 10)), 0);
}

TEST(ShapeParser, InnerContourWithFillOnOuterSideMakesAHole) {
    TestBits b;
    header(b, 1, {Qt::red});
    b.styleChange(kStyleBits, true, 400, 400, -1, 1);
    b.box(1200, 1200);
    b.styleChange(kStyleBits, true, 800, 800, 1, 0); // inner square: ring on its left
    b.box(400, 400);
    b.endShape();
    QImage img = drawParsedShape(parseShape(b, 1));
    EXPECT_EQ(qAlpha(img.pixel(50, 50)), 0) << "hole";
    EXPECT_TRUE(pixelNear(img.pixel(30, 30), Qt::red, 3));
    EXPECT_TRUE(pixelNear(img.pixel(70, 50), Qt::red, 3));
}

TEST(ShapeParser, SharedEdgeBetweenTwoFillsJoinsOutOfOrderEdges) {
    // Left half red, right half blue. The middle edge runs down with red on
    // its right (west on screen) and blue on its left; the outer edges of each
    // half come in separate runs, so contours must be joined across records.
    TestBits b;
    header(b, 1, {Qt::red, Qt::blue});
    b.styleChange(kStyleBits, true, 1000, 400, 2, 1);
    b.line(0, 1200);
    b.styleChange(kStyleBits, true, 1000, 400, 0, 2, -1);
    b.line(600, 0); // top of blue
    b.line(0, 1200);
    b.line(-600, 0);
    b.styleChange(kStyleBits, true, 1000, 1600, 0, 1, -1);
    b.line(-600, 0); // bottom of red
    b.line(0, -1200);
    b.line(600, 0);
    b.endShape();
    QImage img = drawParsedShape(parseShape(b, 1));
    EXPECT_TRUE(pixelNear(img.pixel(35, 50), Qt::red, 3));
    EXPECT_TRUE(pixelNear(img.pixel(65, 50), Qt::blue, 3));
    EXPECT_EQ(qAlpha(img.pixel(10, 50)), 0);
    EXPECT_EQ(qAlpha(img.pixel(90, 50)), 0);
}

TEST(ShapeParser, CurvedEdgesBulgeOutward) {
    TestBits b;
    header(b, 1, {Qt::green});
    b.styleChange(kStyleBits, true, 400, 1000, -1, 1);
    b.curve(600, -1200, 600, 1200); // arch from (20,50) to (80,50) px, apex at y=20 px
    b.line(-1200, 0);
    b.endShape();
    QImage img = drawParsedShape(parseShape(b, 1));
    EXPECT_TRUE(pixelNear(img.pixel(50, 45), Qt::green, 3)) << "under the arch";
    EXPECT_EQ(qAlpha(img.pixel(25, 22)), 0) << "outside the curve near the corner of its hull";
    EXPECT_EQ(qAlpha(img.pixel(50, 60)), 0) << "below the base";
}

TEST(ShapeParser, StrokeDrawnWithWidthAndHairline) {
    TestBits b;
    header(b, 1, {}, {{200, Qt::black}, {0, Qt::blue}});
    b.styleChange(kStyleBits, true, 200, 600, -1, -1, 1);
    b.line(1600, 0); // 10 px black line at y=30
    b.styleChange(kStyleBits, true, 200, 1400, -1, -1, 2);
    b.line(1600, 0); // hairline at y=70
    b.endShape();
    swf::ShapeDef s = parseShape(b, 1);
    ASSERT_EQ(s.groups.size(), 1u);
    ASSERT_EQ(s.groups[0].lines.size(), 2u);
    EXPECT_EQ(s.groups[0].lines[0].width, 200);
    QImage img = drawParsedShape(s);
    EXPECT_TRUE(pixelNear(img.pixel(50, 30), Qt::black, 3));
    EXPECT_TRUE(pixelNear(img.pixel(50, 27), Qt::black, 3));
    EXPECT_EQ(qAlpha(img.pixel(50, 40)), 0);
    // The hairline still covers about one pixel at this scale.
    int covered = qAlpha(img.pixel(50, 69)) + qAlpha(img.pixel(50, 70)) + qAlpha(img.pixel(50, 71));
    EXPECT_GT(covered, 200);
    EXPECT_LT(covered, 600);
}

TEST(ShapeParser, NewStylesMidShapeDrawOverEarlierGroups) {
    TestBits b;
    header(b, 2, {Qt::red});
    b.styleChange(kStyleBits, true, 200, 200, -1, 1);
    b.box(1600, 1600);
    // New style arrays: one blue fill; the index space restarts.
    b.styleChange(kStyleBits, false, 0, 0, -1, -1, -1, true);
    b.u8(1);
    b.u8(0);
    b.rgb(0, 0, 255);
    b.u8(0);
    b.ub(4, kStyleBits);
    b.ub(4, kStyleBits);
    b.styleChange(kStyleBits, true, 800, 800, -1, 1);
    b.box(400, 400);
    b.endShape();
    swf::ShapeDef s = parseShape(b, 2);
    ASSERT_EQ(s.groups.size(), 2u);
    QImage img = drawParsedShape(s);
    EXPECT_TRUE(pixelNear(img.pixel(50, 50), Qt::blue, 3));
    EXPECT_TRUE(pixelNear(img.pixel(20, 20), Qt::red, 3));
}

TEST(ShapeParser, LineStyle2FieldsAndWindingFlag) {
    TestBits b;
    b.u16(3);
    b.rect(0, 2000, 0, 2000);
    b.rect(10, 1990, 10, 1990);
    b.u8(0x07); // winding, non-scaling and scaling strokes
    b.u8(0);    // no fills
    b.u8(1);
    b.u16(60);
    b.ub(2, 1); // start cap none
    b.ub(2, 2); // miter
    b.ub(1, 0); // no fill
    b.ub(1, 1); // no horizontal scale
    b.ub(1, 0);
    b.ub(1, 1); // pixel hinting
    b.ub(5, 0);
    b.ub(1, 1); // no close
    b.ub(2, 2); // end cap square
    b.fixed8(2.5);
    b.rgba(1, 2, 3, 4);
    b.ub(4, 0);
    b.ub(4, 1);
    b.endShape();
    swf::ShapeDef s = parseShape(b, 4);
    EXPECT_TRUE(s.nonZeroWinding);
    EXPECT_TRUE(s.usesNonScalingStrokes);
    EXPECT_EQ(s.edgeBounds.xMin, 10);
    ASSERT_EQ(s.groups[0].lines.size(), 1u);
    const swf::LineStyle& l = s.groups[0].lines[0];
    EXPECT_EQ(l.startCap, swf::CapStyle::None);
    EXPECT_EQ(l.endCap, swf::CapStyle::Square);
    EXPECT_EQ(l.join, swf::JoinStyle::Miter);
    EXPECT_DOUBLE_EQ(l.miterLimit, 2.5);
    EXPECT_TRUE(l.noHScale);
    EXPECT_FALSE(l.noVScale);
    EXPECT_TRUE(l.pixelHinting);
    EXPECT_TRUE(l.noClose);
    EXPECT_EQ(l.color, (swf::Rgba{1, 2, 3, 4}));
}

TEST(ShapeParser, NonScalingStrokeKeepsItsPixelWidth) {
    TestBits b;
    b.u16(3);
    b.rect(0, 2000, 0, 2000);
    b.rect(0, 2000, 0, 2000);
    b.u8(0);
    b.u8(0);
    b.u8(1);
    b.u16(60); // 3 px
    b.ub(2, 0);
    b.ub(2, 0);
    b.ub(1, 0);
    b.ub(1, 1);
    b.ub(1, 1); // no scale either way
    b.ub(1, 0);
    b.ub(5, 0);
    b.ub(1, 0);
    b.ub(2, 0);
    b.rgba(0, 0, 0, 255);
    b.ub(4, 0);
    b.ub(4, 1);
    b.styleChange(1, true, 0, 100, -1, -1, 1);
    b.line(400, 0);
    b.endShape();
    swf::ShapeDef s = parseShape(b, 4);
    // Drawn at 10x the twips-to-pixel scale the stroke still covers ~3 pixels.
    QImage img = drawParsedShape(s, {}, 0.5);
    int rows = 0;
    for (int y = 40; y < 60; ++y) rows += qAlpha(img.pixel(10, y)) > 128;
    EXPECT_GE(rows, 2);
    EXPECT_LE(rows, 4);
}

TEST(ShapeParser, StrokeFollowsFillsAndKeepsFileOrder) {
    TestBits b;
    header(b, 1, {Qt::red}, {{400, Qt::black}});
    b.styleChange(kStyleBits, true, 400, 400, -1, 1, 1);
    b.box(1200, 1200);
    b.endShape();
    swf::ShapeDef s = parseShape(b, 1);
    QImage img = drawParsedShape(s);
    EXPECT_TRUE(pixelNear(img.pixel(50, 50), Qt::red, 3));
    EXPECT_TRUE(pixelNear(img.pixel(20, 50), Qt::black, 3)) << "stroke on top of the fill's edge";
    EXPECT_TRUE(pixelNear(img.pixel(50, 20), Qt::black, 3));
    EXPECT_TRUE(pixelNear(img.pixel(20, 20), Qt::black, 3)) << "closed outline gets a joined corner";
}

TEST(ShapeParser, OutlineCoversFillsAndStrokes) {
    TestBits b;
    header(b, 1, {Qt::red}, {{400, Qt::black}});
    b.styleChange(kStyleBits, true, 400, 400, -1, 1);
    b.box(400, 400);
    b.styleChange(kStyleBits, true, 1200, 1200, 0, 0, 1);
    b.line(400, 0);
    b.endShape();
    QPainterPath outline = render::shapeOutline(parseShape(b, 1));
    EXPECT_TRUE(outline.contains(QPointF(600, 600)));
    EXPECT_TRUE(outline.contains(QPointF(1400, 1250)));
    EXPECT_FALSE(outline.contains(QPointF(1000, 1000)));
}

TEST(ShapeParser, RejectsWrongTagAndTruncatedBodies) {
    TestBits b;
    header(b, 3, {Qt::red}, {{20, Qt::black}});
    b.styleChange(kStyleBits, true, 400, 400, -1, 1, 1);
    b.box(1200, 1200);
    b.curve(10, 10, 10, 10);
    b.endShape();
    QString error;
    EXPECT_FALSE(swf::parseShape(1, b.data().data(), b.size(), &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(swf::parseShape(32, b.data().data(), b.size(), &error));
    for (size_t n = 0; n + 1 < b.size(); ++n) {
        error.clear();
        EXPECT_FALSE(swf::parseShape(32, b.data().data(), n, &error)) << n;
        EXPECT_FALSE(error.isEmpty()) << n;
    }
}

TEST(ShapeParser, UnknownFillTypeIsAnError) {
    TestBits b;
    b.u16(1);
    b.rect(0, 20, 0, 20);
    b.u8(1);
    b.u8(0x33);
    b.ub(4, 1);
    b.ub(4, 0);
    b.endShape();
    QString error;
    EXPECT_FALSE(swf::parseShape(2, b.data().data(), b.size(), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ShapeParser, StyleIndexBeyondTheArrayIsIgnored) {
    TestBits b;
    header(b, 1, {Qt::red});
    b.styleChange(kStyleBits, true, 400, 400, 9, 1, 7);
    b.box(1200, 1200);
    b.endShape();
    QImage img = drawParsedShape(parseShape(b, 1));
    EXPECT_TRUE(pixelNear(img.pixel(50, 50), Qt::red, 3));
}
