#include "ShapeTestBits.h"
#include "movie/render/FilterPainter.h"
#include "movie/swf/FilterParser.h"
#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::TestBits;

namespace {

// 40x40 transparent image with an opaque square from 10 to 29.
QImage squareImage(QRgb colour = qRgb(255, 0, 0)) {
    QImage img(40, 40, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.fillRect(10, 10, 20, 20, QColor::fromRgba(colour));
    return img;
}

long totalAlpha(const QImage& img) {
    long sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) sum += qAlpha(img.pixel(x, y));
    return sum;
}

// Pixel at (x, y) of the source's coordinates in a filtered result.
QRgb at(const QImage& out, QPoint offset, int x, int y) {
    return reinterpret_cast<const QRgb*>(out.constScanLine(y - offset.y()))[x - offset.x()];
}

swf::Filter blur(double bx, double by, int passes) {
    swf::Filter f;
    f.type = swf::FilterType::Blur;
    f.blurX = bx;
    f.blurY = by;
    f.passes = passes;
    return f;
}

} // namespace

TEST(FilterParser, ReadsEveryFilterKind) {
    TestBits b;
    b.u8(8);
    // Drop shadow
    b.u8(0);
    b.rgba(1, 2, 3, 4);
    b.fixed16(5);
    b.fixed16(6);
    b.fixed16(0.5);
    b.fixed16(7);
    b.fixed8(1.5);
    b.ub(1, 1);
    b.ub(1, 0);
    b.ub(1, 1);
    b.ub(5, 3);
    // Blur
    b.u8(1);
    b.fixed16(10);
    b.fixed16(12);
    b.ub(5, 2);
    b.ub(3, 0);
    // Glow
    b.u8(2);
    b.rgba(9, 9, 9, 9);
    b.fixed16(2);
    b.fixed16(2);
    b.fixed8(2);
    b.ub(1, 0);
    b.ub(1, 1);
    b.ub(1, 1);
    b.ub(5, 1);
    // Bevel
    b.u8(3);
    b.rgba(255, 255, 255, 255); // highlight comes first
    b.rgba(0, 0, 0, 255);
    b.fixed16(4);
    b.fixed16(4);
    b.fixed16(0.785);
    b.fixed16(4);
    b.fixed8(1);
    b.ub(1, 1);
    b.ub(1, 0);
    b.ub(1, 1);
    b.ub(1, 1);
    b.ub(4, 1);
    // Gradient glow with two colours
    b.u8(4);
    b.u8(2);
    b.rgba(255, 0, 0, 0);
    b.rgba(255, 0, 0, 255);
    b.u8(0);
    b.u8(255);
    b.fixed16(3);
    b.fixed16(3);
    b.fixed16(0);
    b.fixed16(0);
    b.fixed8(1);
    b.ub(1, 0);
    b.ub(1, 0);
    b.ub(1, 1);
    b.ub(1, 0);
    b.ub(4, 2);
    // Convolution 3x1
    b.u8(5);
    b.u8(3);
    b.u8(1);
    b.f32(3);
    b.f32(0.5f);
    b.f32(1);
    b.f32(1);
    b.f32(1);
    b.rgba(1, 1, 1, 1);
    b.ub(6, 0);
    b.ub(1, 0);
    b.ub(1, 1);
    // Colour matrix
    b.u8(6);
    for (int i = 0; i < 20; ++i) b.f32(float(i));
    // Gradient bevel, no colours
    b.u8(7);
    b.u8(0);
    b.fixed16(1);
    b.fixed16(1);
    b.fixed16(0);
    b.fixed16(0);
    b.fixed8(1);
    b.u8(0x11);

    swf::BitReader r(b.data().data(), b.size());
    std::vector<swf::Filter> fs = swf::parseFilterList(r);
    ASSERT_FALSE(r.failed());
    ASSERT_EQ(fs.size(), 8u);
    EXPECT_EQ(fs[0].type, swf::FilterType::DropShadow);
    EXPECT_EQ(fs[0].color, (swf::Rgba{1, 2, 3, 4}));
    EXPECT_DOUBLE_EQ(fs[0].blurX, 5);
    EXPECT_DOUBLE_EQ(fs[0].angle, 0.5);
    EXPECT_DOUBLE_EQ(fs[0].distance, 7);
    EXPECT_DOUBLE_EQ(fs[0].strength, 1.5);
    EXPECT_TRUE(fs[0].inner);
    EXPECT_FALSE(fs[0].knockout);
    EXPECT_TRUE(fs[0].compositeSource);
    EXPECT_EQ(fs[0].passes, 3);
    EXPECT_DOUBLE_EQ(fs[1].blurY, 12);
    EXPECT_EQ(fs[1].passes, 2);
    EXPECT_TRUE(fs[2].knockout);
    EXPECT_EQ(fs[3].highlightColor, (swf::Rgba{255, 255, 255, 255}));
    EXPECT_EQ(fs[3].color, (swf::Rgba{0, 0, 0, 255}));
    EXPECT_TRUE(fs[3].onTop);
    ASSERT_EQ(fs[4].gradient.size(), 2u);
    EXPECT_EQ(fs[4].gradient[1].ratio, 255);
    EXPECT_EQ(fs[4].gradient[1].color.a, 255);
    EXPECT_EQ(fs[4].passes, 2);
    EXPECT_EQ(fs[5].matrixX, 3);
    EXPECT_FLOAT_EQ(fs[5].divisor, 3);
    EXPECT_FLOAT_EQ(fs[5].bias, 0.5f);
    EXPECT_FALSE(fs[5].clamp);
    EXPECT_TRUE(fs[5].preserveAlpha);
    EXPECT_FLOAT_EQ(fs[6].colorMatrix[19], 19);
    EXPECT_EQ(fs[7].type, swf::FilterType::GradientBevel);
    EXPECT_EQ(fs[7].passes, 1);
    EXPECT_TRUE(r.atEnd());
}

TEST(FilterParser, UnknownOrTruncatedListsFailTheReader) {
    const uint8_t unknown[] = {1, 9, 0, 0, 0};
    swf::BitReader r(unknown, sizeof unknown);
    EXPECT_TRUE(swf::parseFilterList(r).empty());
    EXPECT_TRUE(r.failed());

    const uint8_t truncated[] = {2, 1, 0, 0, 4, 0, 0, 0, 4, 0, 0x20, 0};
    swf::BitReader r2(truncated, sizeof truncated);
    auto fs = swf::parseFilterList(r2);
    EXPECT_TRUE(r2.failed());
    EXPECT_LE(fs.size(), 1u);

    const uint8_t hugeConvolution[] = {1, 5, 255, 255, 0, 0, 0, 0};
    swf::BitReader r3(hugeConvolution, sizeof hugeConvolution);
    EXPECT_TRUE(swf::parseFilterList(r3).empty());
    EXPECT_TRUE(r3.failed());
}

TEST(FilterPainter, BlurSpreadsAndKeepsTotalAlpha) {
    const QImage src = squareImage();
    QPoint off;
    QImage out = render::applyFilters(src, {blur(8, 8, 1)}, 1, 1, &off);
    EXPECT_LT(off.x(), 0);
    EXPECT_GT(out.width(), src.width());
    EXPECT_EQ(qAlpha(at(out, off, 20, 20)), 255) << "centre stays solid";
    EXPECT_GT(qAlpha(at(out, off, 8, 20)), 0) << "spreads outside";
    EXPECT_LT(qAlpha(at(out, off, 11, 20)), 255) << "edge softened";
    EXPECT_NEAR(double(totalAlpha(out)), double(totalAlpha(src)), totalAlpha(src) * 0.03);
    const QRgb edge = at(out, off, 9, 20);
    EXPECT_LE(qRed(edge), qAlpha(edge)) << "stays premultiplied";
    EXPECT_EQ(qGreen(edge), 0);

    QPoint off3;
    QImage three = render::applyFilters(src, {blur(8, 8, 3)}, 1, 1, &off3);
    EXPECT_LT(off3.x(), off.x()) << "more passes reach further";
    EXPECT_NEAR(double(totalAlpha(three)), double(totalAlpha(src)), totalAlpha(src) * 0.03);

    QPoint offX;
    QImage horizontal = render::applyFilters(src, {blur(8, 0, 1)}, 1, 1, &offX);
    EXPECT_EQ(qAlpha(at(horizontal, offX, 20, 8)), 0) << "no vertical spread";
    EXPECT_GT(qAlpha(at(horizontal, offX, 8, 20)), 0);
}

TEST(FilterPainter, FilterSizesScaleWithTheObject) {
    std::vector<swf::Filter> fs{blur(8, 8, 1)};
    QRect base(0, 0, 10, 10);
    QRect one = render::filterMargin(base, fs, 1, 1);
    QRect two = render::filterMargin(base, fs, 2, 2);
    EXPECT_GT(one.width(), base.width());
    EXPECT_NEAR(two.width() - base.width(), 2 * (one.width() - base.width()), 2);
    QPoint off;
    QImage out = render::applyFilters(squareImage(), fs, 2, 2, &off);
    EXPECT_EQ(QRect(off, out.size()), render::filterMargin(QRect(0, 0, 40, 40), fs, 2, 2));
    EXPECT_GT(qAlpha(at(out, off, 4, 20)), 0) << "a doubled blur reaches twice as far";
}

TEST(FilterPainter, ColourMatrixIdentityAndChannelSwap) {
    const QImage src = squareImage(qRgba(100, 50, 25, 200));
    swf::Filter id;
    id.type = swf::FilterType::ColorMatrix;
    QPoint off;
    QImage same = render::applyFilters(src, {id}, 1, 1, &off);
    EXPECT_EQ(off, QPoint(0, 0));
    for (int y = 0; y < 40; y += 7)
        for (int x = 0; x < 40; x += 3) EXPECT_EQ(same.pixel(x, y), src.pixel(x, y));

    swf::Filter swap = id;
    swap.colorMatrix = {0, 0, 1, 0, 0, /**/ 0, 1, 0, 0, 0, /**/ 1, 0, 0, 0, 0, /**/ 0, 0, 0, 1, 0};
    QImage swapped = render::applyFilters(src, {swap}, 1, 1, &off);
    QColor c = QColor::fromRgba(swapped.pixel(20, 20));
    QColor s = QColor::fromRgba(src.pixel(20, 20));
    EXPECT_EQ(c.red(), s.blue());
    EXPECT_EQ(c.blue(), s.red());
    EXPECT_EQ(c.alpha(), s.alpha());

    swf::Filter opaque = id;
    opaque.colorMatrix[18] = 0;
    opaque.colorMatrix[19] = 255; // alpha = 255 everywhere
    QImage filled = render::applyFilters(src, {opaque}, 1, 1, &off);
    EXPECT_EQ(qAlpha(filled.pixel(0, 0)), 255);
}

TEST(FilterPainter, DropShadowOffsetKnockoutAndHiddenObject) {
    swf::Filter f;
    f.type = swf::FilterType::DropShadow;
    f.color = {0, 0, 255, 255};
    f.blurX = f.blurY = 0;
    f.distance = 5;
    f.angle = 0; // to the right
    f.passes = 1;
    QPoint off;
    QImage out = render::applyFilters(squareImage(), {f}, 1, 1, &off);
    EXPECT_EQ(at(out, off, 32, 20), qRgb(0, 0, 255)) << "shadow to the right";
    EXPECT_EQ(qAlpha(at(out, off, 7, 20)), 0) << "nothing to the left";
    EXPECT_EQ(at(out, off, 20, 20), qRgb(255, 0, 0)) << "object on top";

    f.knockout = true;
    out = render::applyFilters(squareImage(), {f}, 1, 1, &off);
    EXPECT_EQ(qAlpha(at(out, off, 20, 20)), 0) << "knockout removes the object";
    EXPECT_EQ(at(out, off, 32, 20), qRgb(0, 0, 255));

    f.knockout = false;
    f.compositeSource = false;
    out = render::applyFilters(squareImage(), {f}, 1, 1, &off);
    EXPECT_EQ(at(out, off, 20, 20), qRgb(0, 0, 255)) << "hidden object leaves the whole shadow";
    EXPECT_EQ(qAlpha(at(out, off, 12, 20)), 0);

    f.compositeSource = true;
    f.distance = 3;
    f.strength = 0.5;
    out = render::applyFilters(squareImage(), {f}, 1, 1, &off);
    EXPECT_NEAR(qAlpha(at(out, off, 31, 20)), 128, 1) << "strength scales the shadow";
}

TEST(FilterPainter, InnerShadowStaysInsideTheObject) {
    swf::Filter f;
    f.type = swf::FilterType::DropShadow;
    f.color = {0, 0, 0, 255};
    f.blurX = f.blurY = 0;
    f.distance = 4;
    f.angle = 0;
    f.inner = true;
    QPoint off;
    QImage out = render::applyFilters(squareImage(), {f}, 1, 1, &off);
    EXPECT_EQ(off, QPoint(0, 0));
    EXPECT_EQ(at(out, off, 11, 20), qRgb(0, 0, 0)) << "left inner edge in shadow";
    EXPECT_EQ(at(out, off, 25, 20), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(at(out, off, 5, 20)), 0);
}

TEST(FilterPainter, GlowOuterAndInner) {
    swf::Filter f;
    f.type = swf::FilterType::Glow;
    f.color = {0, 255, 0, 255};
    f.blurX = f.blurY = 6;
    f.strength = 2;
    QPoint off;
    QImage out = render::applyFilters(squareImage(), {f}, 1, 1, &off);
    QRgb outside = at(out, off, 8, 20);
    EXPECT_GT(qGreen(outside), 100);
    EXPECT_EQ(qRed(outside), 0);
    EXPECT_EQ(at(out, off, 20, 20), qRgb(255, 0, 0));

    f.inner = true;
    out = render::applyFilters(squareImage(), {f}, 1, 1, &off);
    QRgb edge = at(out, off, 10, 20);
    EXPECT_GT(qGreen(edge), 100) << "inner edge glows";
    EXPECT_EQ(at(out, off, 20, 20), qRgb(255, 0, 0)) << "centre untouched";
    EXPECT_EQ(qAlpha(at(out, off, 5, 20)), 0);
}

TEST(FilterPainter, BevelLightsOneSideAndShadesTheOther) {
    swf::Filter f;
    f.type = swf::FilterType::Bevel;
    f.color = {0, 0, 0, 255};
    f.highlightColor = {255, 255, 255, 255};
    f.blurX = f.blurY = 2;
    f.distance = 3;
    f.angle = M_PI / 4; // shadow toward bottom right
    f.inner = true;
    QPoint off;
    QImage out = render::applyFilters(squareImage(qRgb(128, 128, 128)), {f}, 1, 1, &off);
    QColor topLeft = QColor::fromRgba(at(out, off, 11, 11));
    QColor bottomRight = QColor::fromRgba(at(out, off, 28, 28));
    QColor centre = QColor::fromRgba(at(out, off, 20, 20));
    EXPECT_GT(topLeft.red(), 170);
    EXPECT_LT(bottomRight.red(), 90);
    EXPECT_EQ(centre.red(), 128);
    EXPECT_EQ(qAlpha(at(out, off, 5, 5)), 0) << "inner bevel draws nothing outside";
}

TEST(FilterPainter, GradientGlowUsesTheRamp) {
    swf::Filter f;
    f.type = swf::FilterType::GradientGlow;
    f.gradient = {{0, {0, 0, 255, 0}}, {255, {255, 255, 0, 255}}};
    f.blurX = f.blurY = 8;
    f.strength = 1;
    QPoint off;
    QImage out = render::applyFilters(squareImage(), {f}, 1, 1, &off);
    QRgb near = at(out, off, 9, 20);
    QRgb far = at(out, off, 7, 20);
    EXPECT_GT(qAlpha(near), qAlpha(far));
    EXPECT_GT(qGreen(near), 0) << "colour comes from the ramp, not the object";
    EXPECT_EQ(qAlpha(at(out, off, 0, 0)), 0);
}

TEST(FilterPainter, ConvolutionIdentityAndEdges) {
    const QImage src = squareImage(qRgb(40, 80, 120));
    swf::Filter f;
    f.type = swf::FilterType::Convolution;
    f.matrixX = f.matrixY = 3;
    f.matrix = {0, 0, 0, 0, 1, 0, 0, 0, 0};
    f.divisor = 1;
    QPoint off;
    QImage same = render::applyFilters(src, {f}, 1, 1, &off);
    EXPECT_EQ(same.pixel(20, 20), src.pixel(20, 20));
    EXPECT_EQ(same.pixel(0, 0), src.pixel(0, 0));

    f.matrix = {0, 0, 0, 1, 1, 1, 0, 0, 0};
    f.divisor = 3;
    f.preserveAlpha = true;
    QImage smeared = render::applyFilters(src, {f}, 1, 1, &off);
    EXPECT_EQ(qAlpha(smeared.pixel(9, 20)), 0) << "alpha preserved";
    QRgb edge = qUnpremultiply(smeared.pixel(10, 20));
    EXPECT_NEAR(qRed(edge), 27, 1); // two of three samples red 40, one transparent black

    f.clamp = false;
    f.defaultColor = {255, 255, 255, 255};
    f.preserveAlpha = false;
    f.matrix = {1, 0, 0, 0, 0, 0, 0, 0, 0};
    f.divisor = 1;
    QImage shifted = render::applyFilters(src, {f}, 1, 1, &off);
    EXPECT_EQ(shifted.pixel(0, 0), qRgb(255, 255, 255)) << "outside samples use the default colour";
}

TEST(FilterPainter, FiltersChainAndAccumulateOffsets) {
    swf::Filter shadow;
    shadow.type = swf::FilterType::DropShadow;
    shadow.blurX = shadow.blurY = 0;
    shadow.distance = 4;
    shadow.angle = M_PI; // to the left
    std::vector<swf::Filter> fs{blur(5, 5, 1), shadow};
    QPoint off;
    QImage out = render::applyFilters(squareImage(), fs, 1, 1, &off);
    EXPECT_EQ(QRect(off, out.size()), render::filterMargin(QRect(0, 0, 40, 40), fs, 1, 1));
    EXPECT_LE(off.x(), -6);
    EXPECT_GT(qAlpha(at(out, off, 6, 20)), 0);
}

TEST(FilterPainter, HugeFiltersStayBounded) {
    // 255 px blur, 15 passes, drawn at 4x: the result must stay a sane size.
    swf::Filter f = blur(255, 255, 15);
    QPoint off;
    QImage out = render::applyFilters(squareImage(), {f, f, f}, 4, 4, &off);
    EXPECT_LE(qint64(out.width()) * out.height(), 4096LL * 4096);
    EXPECT_FALSE(out.isNull());
    QRect room = render::filterMargin(QRect(0, 0, 40, 40), {f}, 4, 4);
    EXPECT_LE(room.width(), 40 + 2 * 1024);
}

TEST(FilterPainter, WhatIsSeenComesOutAsIfTheWholeWereFiltered) {
    swf::Filter shadow;
    shadow.type = swf::FilterType::DropShadow;
    shadow.blurX = shadow.blurY = 6;
    shadow.passes = 2;
    shadow.distance = 9;
    shadow.angle = M_PI / 4;
    shadow.color = {0, 0, 255, 255};
    shadow.strength = 1;
    swf::Filter bevel = shadow;
    bevel.type = swf::FilterType::Bevel;
    bevel.highlightColor = {255, 255, 0, 255};
    swf::Filter glow = shadow;
    glow.type = swf::FilterType::Glow;
    glow.inner = true;
    // The last runs as three wider passes: its crop must follow the reach of those.
    const std::vector<std::vector<swf::Filter>> chains{
        {blur(8, 3, 3)}, {shadow}, {bevel}, {glow, blur(5, 5, 1)}, {blur(255, 255, 15)}};
    // A window onto the square's corner, as when the object hangs off the stage.
    const QRect seen(22, 24, 12, 9);
    for (size_t i = 0; i < chains.size(); ++i) {
        QPoint wholeAt, partAt;
        const QImage whole = render::applyFilters(squareImage(), chains[i], 1, 1, &wholeAt);
        const QImage part = render::applyFilters(squareImage(), chains[i], 1, 1, &partAt, &seen);
        EXPECT_LT(qint64(part.width()) * part.height(), qint64(whole.width()) * whole.height()) << i;
        for (int y = seen.top(); y <= seen.bottom(); ++y)
            for (int x = seen.left(); x <= seen.right(); ++x)
                ASSERT_EQ(at(part, partAt, x, y), at(whole, wholeAt, x, y)) << "chain " << i << " at " << x << "," << y;
    }
}

// Left of a straight edge, one pass of a box covers half its width less
// the centre pixel: the blur filter's box is the largest odd width not above
// its blur, a glow's keeps the blur exactly (fractional ends weighted).
TEST(FilterPainter, OnePassReachesHalfTheBoxWidth) {
    QImage wide(120, 8, QImage::Format_ARGB32_Premultiplied);
    wide.fill(Qt::transparent);
    QPainter(&wide).fillRect(60, 0, 60, 8, Qt::red);
    swf::Filter glow;
    glow.type = swf::FilterType::Glow;
    glow.color = {255, 0, 0, 255};
    glow.strength = 1;
    glow.passes = 1;
    glow.blurX = 20;
    const struct {
        const char* name;
        swf::Filter filter;
        double scale;
        int reach; // pixels left of the edge the blur covers in part
    } cases[] = {{"blur 20", blur(20, 0, 1), 1, 9}, {"blur 10 doubled", blur(10, 0, 1), 2, 9},
                 {"blur 7", blur(7, 0, 1), 1, 3},   {"blur 2", blur(2, 0, 1), 1, 1},
                 {"glow 20", glow, 1, 10}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        QPoint off;
        const QImage out = render::applyFilters(wide, {k.filter}, k.scale, 1, &off);
        int reach = 0;
        for (int x = 0; x < 60; ++x) reach += qAlpha(at(out, off, x, 4)) > 0;
        EXPECT_EQ(reach, k.reach);
    }
}
