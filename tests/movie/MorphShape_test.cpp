#include "ShapeTestBits.h"
#include "movie/render/MorphInterpolation.h"
#include "movie/render/ShapePainter.h"
#include "movie/swf/ShapeParser.h"
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::TestBits;

namespace {

struct MorphParts {
    TestBits styles; // fill and line arrays
    TestBits start;  // SHAPE
    TestBits end;    // SHAPE
};

std::vector<uint8_t> morphBody(int version, const MorphParts& parts) {
    TestBits b;
    b.u16(12);
    b.rect(0, 2000, 0, 2000);
    b.rect(0, 2000, 0, 2000);
    if (version == 2) {
        b.rect(0, 2000, 0, 2000);
        b.rect(0, 2000, 0, 2000);
        b.u8(0x01);
    }
    b.u32(uint32_t(parts.styles.size() + parts.start.size()));
    b.bytes(parts.styles.data());
    b.bytes(parts.start.data());
    b.bytes(parts.end.data());
    return b.data();
}

// Red square of 20 px at the origin growing into a blue one of 80 px.
MorphParts growingSquare() {
    MorphParts m;
    m.styles.u8(1);
    m.styles.u8(0);
    m.styles.rgba(255, 0, 0, 255);
    m.styles.rgba(0, 0, 255, 255);
    m.styles.u8(1);
    m.styles.u16(20);
    m.styles.u16(100);
    m.styles.rgba(0, 0, 0, 255);
    m.styles.rgba(0, 0, 0, 255);
    m.start.ub(4, 1);
    m.start.ub(4, 1);
    m.start.styleChange(1, true, 0, 0, -1, 1, 1);
    m.start.box(400, 400);
    m.start.endShape();
    m.end.ub(4, 0);
    m.end.ub(4, 0);
    m.end.styleChange(0, true, 0, 0);
    m.end.box(1600, 1600);
    m.end.endShape();
    return m;
}

swf::MorphShapeDef parseMorph(int tag, const std::vector<uint8_t>& body) {
    QString error;
    auto m = swf::parseMorphShape(tag, body.data(), body.size(), &error);
    EXPECT_TRUE(m) << error.toStdString();
    return m ? *m : swf::MorphShapeDef{};
}

QImage drawMorph(const swf::MorphShapeDef& m, double ratio) {
    QImage img(100, 100, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing); // high quality, as the stage draws by default
    p.scale(1.0 / 20, 1.0 / 20);
    render::paintMorphShape(p, m, ratio, {}, {});
    p.end();
    return img;
}

} // namespace

TEST(MorphShape, ParsesPairedStylesAndEdges) {
    swf::MorphShapeDef m = parseMorph(46, morphBody(1, growingSquare()));
    EXPECT_EQ(m.id, 12);
    ASSERT_EQ(m.fills.size(), 1u);
    EXPECT_EQ(m.fills[0].start.color, (swf::Rgba{255, 0, 0, 255}));
    EXPECT_EQ(m.fills[0].end.color, (swf::Rgba{0, 0, 255, 255}));
    ASSERT_EQ(m.lines.size(), 1u);
    EXPECT_EQ(m.lines[0].start.width, 20);
    EXPECT_EQ(m.lines[0].end.width, 100);
    ASSERT_EQ(m.startRecords.size(), m.endRecords.size());
    EXPECT_EQ(m.startRecords.size(), 5u);
    EXPECT_EQ(m.endRecords[1].dx, 1600);
}

TEST(MorphShape, RatioInterpolatesGeometryAndColour) {
    swf::MorphShapeDef m = parseMorph(46, morphBody(1, growingSquare()));
    QImage start = drawMorph(m, 0);
    EXPECT_EQ(qRed(start.pixel(10, 10)), 255);
    EXPECT_EQ(qAlpha(start.pixel(30, 30)), 0);
    QImage mid = drawMorph(m, 0.5);
    QColor c = QColor::fromRgba(mid.pixel(25, 25));
    EXPECT_NEAR(c.red(), 128, 2);
    EXPECT_NEAR(c.blue(), 128, 2);
    EXPECT_EQ(qAlpha(mid.pixel(45, 45)), 255) << "inside the 50 px square";
    EXPECT_EQ(qAlpha(mid.pixel(60, 60)), 0);
    QImage end = drawMorph(m, 1);
    EXPECT_EQ(qBlue(end.pixel(70, 70)), 255);
    // The cached ratio must not leak into a different ratio.
    EXPECT_EQ(qAlpha(drawMorph(m, 0).pixel(30, 30)), 0);

    QPainterPath outline = render::morphShapeOutline(m, 0.5);
    EXPECT_TRUE(outline.contains(QPointF(900, 900)));
    EXPECT_FALSE(outline.contains(QPointF(1300, 1300)));
}

TEST(MorphShape, StraightEdgeMorphingIntoCurve) {
    MorphParts m;
    m.styles.u8(1);
    m.styles.u8(0);
    m.styles.rgba(0, 255, 0, 255);
    m.styles.rgba(0, 255, 0, 255);
    m.styles.u8(0);
    m.start.ub(4, 1);
    m.start.ub(4, 0);
    m.start.styleChange(1, true, 400, 1000, -1, 1);
    m.start.line(1200, 0); // flat base on top edge
    m.start.line(0, 600);
    m.start.line(-1200, 0);
    m.start.line(0, -600);
    m.start.endShape();
    m.end.ub(4, 0);
    m.end.ub(4, 0);
    m.end.styleChange(0, true, 400, 1000);
    m.end.curve(600, -1200, 600, 1200); // the top edge bulges up at the end
    m.end.line(0, 600);
    m.end.line(-1200, 0);
    m.end.line(0, -600);
    m.end.endShape();
    swf::MorphShapeDef def = parseMorph(46, morphBody(1, m));
    ASSERT_EQ(def.startRecords[1].kind, swf::ShapeRecord::Kind::Curved) << "straight start edge turned into a curve";
    EXPECT_EQ(def.startRecords[1].cdx + def.startRecords[1].dx, 1200);
    EXPECT_EQ(qAlpha(drawMorph(def, 0).pixel(50, 40)), 0);
    EXPECT_EQ(qAlpha(drawMorph(def, 1).pixel(50, 40)), 255);
}

TEST(MorphShape, Version2LineStylesAndFlags) {
    MorphParts m;
    m.styles.u8(0);
    m.styles.u8(1);
    m.styles.u16(40);
    m.styles.u16(80);
    m.styles.ub(2, 2); // square start cap
    m.styles.ub(2, 2); // miter
    m.styles.ub(1, 0);
    m.styles.ub(1, 0);
    m.styles.ub(1, 1); // no vertical scale
    m.styles.ub(1, 0);
    m.styles.ub(5, 0);
    m.styles.ub(1, 0);
    m.styles.ub(2, 1);
    m.styles.fixed8(4);
    m.styles.rgba(10, 20, 30, 255);
    m.styles.rgba(50, 60, 70, 255);
    m.start.ub(4, 0);
    m.start.ub(4, 1);
    m.start.styleChange(1, true, 0, 0, -1, -1, 1);
    m.start.line(1000, 0);
    m.start.endShape();
    m.end.ub(4, 0);
    m.end.ub(4, 0);
    m.end.styleChange(0, true, 0, 0);
    m.end.line(1000, 1000);
    m.end.endShape();
    swf::MorphShapeDef def = parseMorph(84, morphBody(2, m));
    EXPECT_EQ(def.version, 2);
    EXPECT_TRUE(def.usesScalingStrokes);
    ASSERT_EQ(def.lines.size(), 1u);
    const auto& l = def.lines[0];
    EXPECT_EQ(l.start.startCap, swf::CapStyle::Square);
    EXPECT_EQ(l.end.join, swf::JoinStyle::Miter);
    EXPECT_DOUBLE_EQ(l.end.miterLimit, 4);
    EXPECT_TRUE(l.end.noVScale);
    EXPECT_EQ(l.end.width, 80);
    EXPECT_EQ(l.end.color, (swf::Rgba{50, 60, 70, 255}));
    swf::LineStyle mid = render::lerpLine(l.start, l.end, 0.5);
    EXPECT_EQ(mid.width, 60);
    EXPECT_EQ(mid.color, (swf::Rgba{30, 40, 50, 255}));
}

TEST(MorphShape, TruncatedBodiesAreErrors) {
    std::vector<uint8_t> body = morphBody(1, growingSquare());
    QString error;
    EXPECT_FALSE(swf::parseMorphShape(2, body.data(), body.size(), &error));
    for (size_t n = 0; n + 1 < body.size(); ++n) {
        EXPECT_FALSE(swf::parseMorphShape(46, body.data(), n, &error)) << n;
    }
    std::vector<uint8_t> badOffset = body;
    badOffset[2 + 9 + 9] = 0xFF; // offset far past the end
    EXPECT_FALSE(swf::parseMorphShape(46, badOffset.data(), badOffset.size(), &error));
}
