#include "movie/support/PixelNear.h"
#include "ShapeTestBits.h"
#include "movie/render/GradientBrush.h"
#include "movie/render/ShapePainter.h"
#include "movie/swf/ShapeParser.h"
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::TestBits;

using nimbrel::movie::test::pixelNear;

namespace {

// A 100x100 px square (0..2000 twips) filled with whatever `writeFill` writes.
template <typename F>
swf::ShapeDef squareWith(int tag, F writeFill, int32_t size = 2000) {
    TestBits b;
    b.u16(1);
    b.rect(0, size, 0, size);
    b.u8(1);
    writeFill(b);
    b.u8(0);
    b.ub(4, 1);
    b.ub(4, 0);
    b.styleChange(1, true, 0, 0, -1, 1);
    b.box(size, size);
    b.endShape();
    QString error;
    auto s = swf::parseShape(tag, b.data().data(), b.size(), &error);
    EXPECT_TRUE(s) << error.toStdString();
    return s ? *s : swf::ShapeDef{};
}

// Two-stop red-to-blue gradient whose square spans `span` twips from the origin.
void linearRedBlue(TestBits& b, int32_t span, int spread, int interpolation) {
    b.u8(0x10);
    double k = span / 32768.0;
    b.matrix(k, k, span / 2, span / 2);
    b.ub(2, uint32_t(spread));
    b.ub(2, uint32_t(interpolation));
    b.ub(4, 2);
    b.u8(0);
    b.rgba(255, 0, 0, 255);
    b.u8(255);
    b.rgba(0, 0, 255, 255);
}

QImage drawFilledShape(const swf::ShapeDef& s, const swf::ColorTransform& cx = {}, const render::BitmapLookup& bitmaps = {},
           bool highQuality = true) {
    QImage img(100, 100, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    // High quality, as the stage draws by default; low quality turns both off.
    p.setRenderHint(QPainter::Antialiasing, highQuality);
    p.setRenderHint(QPainter::SmoothPixmapTransform, highQuality);
    p.scale(1.0 / 20, 1.0 / 20);
    render::paintShape(p, s, cx, bitmaps);
    p.end();
    return img;
}


} // namespace

TEST(ShapeFills, LinearGradientEndsAndMiddle) {
    swf::ShapeDef s = squareWith(32, [](TestBits& b) { linearRedBlue(b, 2000, 0, 0); });
    ASSERT_EQ(s.groups[0].fills[0].type, swf::FillType::LinearGradient);
    ASSERT_EQ(s.groups[0].fills[0].gradient.records.size(), 2u);
    QImage img = drawFilledShape(s);
    EXPECT_TRUE(pixelNear(img.pixel(0, 50), QColor(255, 0, 0), 8));
    EXPECT_TRUE(pixelNear(img.pixel(99, 50), QColor(0, 0, 255), 8));
    EXPECT_TRUE(pixelNear(img.pixel(50, 50), QColor(128, 0, 128), 8));
    EXPECT_EQ(img.pixel(50, 10), img.pixel(50, 90)) << "linear gradients vary along x only";
}

TEST(ShapeFills, GradientAlphaBlendsStraightColours) {
    // Transparent black to opaque white: half way is grey at half alpha
    // (premultiplied 64), not white at half alpha.
    swf::ShapeDef s = squareWith(32, [](TestBits& b) {
        b.u8(0x10);
        double k = 2000 / 32768.0;
        b.matrix(k, k, 1000, 1000);
        b.ub(2, 0);
        b.ub(2, 0);
        b.ub(4, 2);
        b.u8(0);
        b.rgba(0, 0, 0, 0);
        b.u8(255);
        b.rgba(255, 255, 255, 255);
    });
    QImage img = drawFilledShape(s);
    QRgb mid = reinterpret_cast<const QRgb*>(img.constScanLine(50))[50];
    EXPECT_NEAR(qAlpha(mid), 128, 6);
    EXPECT_NEAR(qRed(mid), 64, 6);
}

TEST(ShapeFills, SpreadModesBeyondTheGradientSquare) {
    // The gradient covers the left half; x = 60 px is 1.2 gradient lengths in.
    QImage pad = drawFilledShape(squareWith(32, [](TestBits& b) { linearRedBlue(b, 1000, 0, 0); }));
    QImage reflect = drawFilledShape(squareWith(32, [](TestBits& b) { linearRedBlue(b, 1000, 1, 0); }));
    QImage repeat = drawFilledShape(squareWith(32, [](TestBits& b) { linearRedBlue(b, 1000, 2, 0); }));
    EXPECT_TRUE(pixelNear(pad.pixel(60, 50), QColor(0, 0, 255), 4));
    EXPECT_TRUE(pixelNear(reflect.pixel(60, 50), QColor(51, 0, 204), 14));
    EXPECT_TRUE(pixelNear(repeat.pixel(60, 50), QColor(204, 0, 51), 14));
}

TEST(ShapeFills, LinearRgbInterpolationIsBrighterInTheMiddle) {
    QImage img = drawFilledShape(squareWith(32, [](TestBits& b) { linearRedBlue(b, 2000, 0, 1); }));
    EXPECT_TRUE(pixelNear(img.pixel(50, 50), QColor(188, 0, 188), 10));
    EXPECT_TRUE(pixelNear(img.pixel(0, 50), QColor(255, 0, 0), 20)) << "steep near the ends";
    EXPECT_TRUE(pixelNear(img.pixel(25, 50), QColor(225, 0, 137), 10));
}

TEST(ShapeFills, RadialAndFocalGradients) {
    auto radial = [](double focal) {
        return [focal](TestBits& b) {
            b.u8(focal != 0 ? 0x13 : 0x12);
            double k = 1000 / 16384.0; // radius 50 px centred in the square
            b.matrix(k, k, 1000, 1000);
            b.ub(2, 0);
            b.ub(2, 0);
            b.ub(4, 2);
            b.u8(0);
            b.rgba(255, 255, 255, 255);
            b.u8(255);
            b.rgba(0, 0, 0, 255);
            if (focal != 0) b.fixed8(focal);
        };
    };
    swf::ShapeDef plain = squareWith(32, radial(0));
    QImage img = drawFilledShape(plain);
    EXPECT_TRUE(pixelNear(img.pixel(50, 50), QColor(255, 255, 255), 12));
    EXPECT_TRUE(pixelNear(img.pixel(2, 50), QColor(10, 10, 10), 6)) << "0.96 of the radius";
    EXPECT_TRUE(pixelNear(img.pixel(5, 5), QColor(0, 0, 0), 2)) << "padded beyond the radius";

    swf::ShapeDef focal = squareWith(32, radial(0.5));
    ASSERT_EQ(focal.groups[0].fills[0].type, swf::FillType::FocalGradient);
    EXPECT_DOUBLE_EQ(focal.groups[0].fills[0].gradient.focalPoint, 0.5);
    QImage f = drawFilledShape(focal);
    // The first stop sits at the focal point, half way to the right edge.
    EXPECT_TRUE(pixelNear(f.pixel(75, 50), QColor(255, 255, 255), 16));
    EXPECT_LT(qRed(f.pixel(50, 50)), 250) << "centre is no longer the brightest point";
}

TEST(ShapeFills, ColourTransformAppliesToSolidAndGradientFills) {
    swf::ColorTransform cx;
    cx.rMult = 0;
    cx.gAdd = 255;
    QImage solid = drawFilledShape(squareWith(32, [](TestBits& b) {
        b.u8(0);
        b.rgba(255, 0, 0, 255);
    }), cx);
    EXPECT_TRUE(pixelNear(solid.pixel(50, 50), QColor(0, 255, 0), 1));

    swf::FillStyle fill;
    fill.type = swf::FillType::LinearGradient;
    fill.gradient.records = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
    QGradientStops stops = render::gradientStops(fill.gradient, cx);
    ASSERT_GE(stops.size(), 2);
    EXPECT_EQ(stops.front().second, QColor(0, 255, 0));
    EXPECT_EQ(stops.back().second, QColor(0, 255, 255));
}

TEST(ShapeFills, RepeatedRatiosShowAsOneCellBands) {
    // Three records at ratio 100: each gets its own 1/256 band, in file order.
    swf::Gradient g;
    g.records = {{0, {0, 0, 0, 255}}, {100, {255, 0, 0, 255}}, {100, {0, 255, 0, 255}}, {100, {0, 0, 255, 255}},
                 {255, {255, 255, 255, 255}}};
    QGradientStops stops = render::gradientStops(g, {});
    auto colourAt = [&](double pos) {
        QColor c;
        for (const auto& s : stops)
            if (s.first <= pos) c = s.second;
        return c;
    };
    EXPECT_EQ(colourAt(100.5 / 256), QColor(255, 0, 0));
    EXPECT_EQ(colourAt(101.5 / 256), QColor(0, 255, 0));
    EXPECT_EQ(colourAt(102.5 / 256), QColor(0, 0, 255));
    for (qsizetype i = 1; i < stops.size(); ++i) EXPECT_LT(stops[i - 1].first, stops[i].first) << i;
    EXPECT_LE(stops.back().first, 1.0);

    // Records past the top of the ramp are dropped rather than wrapped.
    swf::Gradient top;
    top.records = {{255, {1, 1, 1, 255}}, {255, {2, 2, 2, 255}}};
    QGradientStops t = render::gradientStops(top, {});
    EXPECT_EQ(t.back().second, QColor(1, 1, 1));
}

TEST(ShapeFills, LowQualityGradientsBlendStraightBetweenRecords) {
    swf::Gradient g;
    g.records = {{0, {255, 0, 0, 255}}, {51, {0, 255, 0, 255}}, {51, {0, 0, 255, 255}}, {255, {0, 0, 0, 255}}};
    const QGradientStops stops = render::gradientStops(g, {}, render::GradientRamp::Points);
    ASSERT_EQ(stops.size(), 4);
    EXPECT_EQ(stops[0], (QGradientStop{0.0, QColor(255, 0, 0)}));
    EXPECT_EQ(stops[1], (QGradientStop{51 / 255.0, QColor(0, 255, 0)}));
    EXPECT_EQ(stops[2], (QGradientStop{52 / 255.0, QColor(0, 0, 255)})) << "a repeated ratio moves up one step";
    EXPECT_EQ(stops[3], (QGradientStop{1.0, QColor(0, 0, 0)}));

    // Drawn aliased, each pixel takes the blend at its centre: ratio 255 is the far edge.
    swf::ShapeDef s = squareWith(32, [](TestBits& b) { linearRedBlue(b, 2000, 0, 0); });
    const QImage img = drawFilledShape(s, {}, {}, false);
    for (int x : {0, 25, 50, 99}) {
        const double t = (x + 0.5) / 100;
        EXPECT_TRUE(pixelNear(img.pixel(x, 40), QColor(int(std::lround(255 * (1 - t))), 0, int(std::lround(255 * t))), 2))
            << x;
    }
}

TEST(ShapeFills, GradientWithoutRecordsDrawsNothing) {
    swf::FillStyle fill;
    fill.type = swf::FillType::RadialGradient;
    EXPECT_EQ(render::gradientBrush(fill, {}).style(), Qt::NoBrush);
    fill.gradient.records = {{10, {1, 2, 3, 255}}};
    EXPECT_EQ(render::gradientBrush(fill, {}).color(), QColor(1, 2, 3)) << "one record is a solid colour";
}

namespace {

QImage checker() {
    QImage img(2, 2, QImage::Format_ARGB32_Premultiplied);
    img.setPixel(0, 0, qRgb(255, 0, 0));
    img.setPixel(1, 0, qRgb(0, 255, 0));
    img.setPixel(0, 1, qRgb(0, 0, 255));
    img.setPixel(1, 1, qRgb(255, 255, 255));
    return img;
}

// Bitmap 1 drawn at 10 px per bitmap pixel.
swf::ShapeDef bitmapSquare(uint8_t type, int32_t size) {
    return squareWith(32, [type](TestBits& b) {
        b.u8(type);
        b.u16(1);
        b.matrix(200, 200);
    }, size);
}

} // namespace

TEST(ShapeFills, BitmapFillsClippedRepeatingAndTinted) {
    const QImage bmp = checker();
    render::BitmapLookup lookup = [&](uint16_t id) { return id == 1 ? &bmp : nullptr; };

    swf::ShapeDef clipped = bitmapSquare(0x43, 400);
    ASSERT_EQ(clipped.groups[0].fills[0].type, swf::FillType::Bitmap);
    EXPECT_TRUE(clipped.groups[0].fills[0].clipped);
    EXPECT_FALSE(clipped.groups[0].fills[0].smoothed);
    QImage img = drawFilledShape(clipped, {}, lookup);
    EXPECT_TRUE(pixelNear(img.pixel(5, 5), Qt::red, 0));
    EXPECT_TRUE(pixelNear(img.pixel(15, 5), Qt::green, 0));
    EXPECT_TRUE(pixelNear(img.pixel(5, 15), Qt::blue, 0));
    EXPECT_EQ(qAlpha(img.pixel(30, 30)), 0) << "outside the shape";

    QImage rep = drawFilledShape(bitmapSquare(0x42, 800), {}, lookup);
    EXPECT_TRUE(pixelNear(rep.pixel(25, 5), Qt::red, 0)) << "tile repeats after two bitmap pixels";
    EXPECT_TRUE(pixelNear(rep.pixel(35, 35), Qt::white, 0));

    swf::ColorTransform half;
    half.aMult = 128;
    QImage faded = drawFilledShape(clipped, half, lookup);
    EXPECT_NEAR(qAlpha(faded.pixel(5, 5)), 128, 2);
    swf::ColorTransform tint;
    tint.rMult = 0;
    tint.bAdd = 255;
    QImage tinted = drawFilledShape(clipped, tint, lookup);
    EXPECT_TRUE(pixelNear(tinted.pixel(5, 5), QColor(0, 0, 255), 1));
    EXPECT_TRUE(pixelNear(tinted.pixel(15, 5), QColor(0, 255, 255), 1));

    QImage missing = drawFilledShape(clipped, {}, [](uint16_t) { return nullptr; });
    EXPECT_EQ(qAlpha(missing.pixel(5, 5)), 0) << "an unknown bitmap draws nothing";
}

TEST(ShapeFills, SmoothedClippedBitmapKeepsItsEdges) {
    // Left column red, right column blue, drawn 10x with smoothing: the outer
    // columns stay pure instead of blending with the opposite edge.
    QImage bmp(2, 2, QImage::Format_ARGB32_Premultiplied);
    bmp.setPixel(0, 0, qRgb(255, 0, 0));
    bmp.setPixel(0, 1, qRgb(255, 0, 0));
    bmp.setPixel(1, 0, qRgb(0, 0, 255));
    bmp.setPixel(1, 1, qRgb(0, 0, 255));
    render::BitmapLookup lookup = [&](uint16_t id) { return id == 1 ? &bmp : nullptr; };
    QImage img = drawFilledShape(bitmapSquare(0x41, 400), {}, lookup);
    EXPECT_TRUE(pixelNear(img.pixel(0, 10), Qt::red, 12));
    EXPECT_TRUE(pixelNear(img.pixel(19, 10), Qt::blue, 12));
    const QRgb mid = img.pixel(10, 10);
    EXPECT_GT(qRed(mid), 60) << "smoothing blends the two columns in the middle";
    EXPECT_GT(qBlue(mid), 60);
    EXPECT_EQ(qAlpha(img.pixel(25, 10)), 0);
}

TEST(ShapeFills, LowQualityDrawsSmoothedBitmapsUnsmoothed) {
    QImage bmp(2, 2, QImage::Format_ARGB32_Premultiplied);
    bmp.setPixel(0, 0, qRgb(255, 0, 0));
    bmp.setPixel(0, 1, qRgb(255, 0, 0));
    bmp.setPixel(1, 0, qRgb(0, 0, 255));
    bmp.setPixel(1, 1, qRgb(0, 0, 255));
    render::BitmapLookup lookup = [&](uint16_t id) { return id == 1 ? &bmp : nullptr; };
    QImage img = drawFilledShape(bitmapSquare(0x41, 400), {}, lookup, false);
    EXPECT_TRUE(pixelNear(img.pixel(8, 10), Qt::red, 0));
    EXPECT_TRUE(pixelNear(img.pixel(11, 10), Qt::blue, 0));
}

TEST(ShapeFills, StrokeWithGradientFill) {
    TestBits b;
    b.u16(1);
    b.rect(0, 2000, 0, 2000);
    b.rect(0, 2000, 0, 2000);
    b.u8(0);
    b.u8(0); // no fills
    b.u8(1);
    b.u16(400);
    b.ub(2, 1); // flat caps
    b.ub(2, 1); // bevel
    b.ub(1, 1); // has fill
    b.ub(3, 0);
    b.ub(5, 0);
    b.ub(1, 0);
    b.ub(2, 1);
    linearRedBlue(b, 2000, 0, 0);
    b.ub(4, 0);
    b.ub(4, 1);
    b.styleChange(1, true, 0, 1000, -1, -1, 1);
    b.line(2000, 0);
    b.endShape();
    QString error;
    auto s = swf::parseShape(83, b.data().data(), b.size(), &error);
    ASSERT_TRUE(s) << error.toStdString();
    ASSERT_TRUE(s->groups[0].lines[0].hasFill);
    QImage img = drawFilledShape(*s);
    EXPECT_TRUE(pixelNear(img.pixel(3, 50), QColor(255, 0, 0), 20));
    EXPECT_TRUE(pixelNear(img.pixel(96, 50), QColor(0, 0, 255), 20));
    EXPECT_EQ(qAlpha(img.pixel(50, 20)), 0);
    // Hit tests count the stroke; as a mask the shape has no fill to cut with.
    EXPECT_TRUE(render::shapeOutline(*s).contains(QPointF(1000, 1000)));
    EXPECT_TRUE(render::shapeFillArea(*s).isEmpty());
}
