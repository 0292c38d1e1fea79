#include "movie/support/PixelNear.h"
#include "movie/render/BlendPainter.h"
#include <QImage>
#include <gtest/gtest.h>

using namespace nimbrel::movie;

using nimbrel::movie::test::pixelNear;

namespace {

QImage solidImage(QRgb premultipliedColour, int w = 4, int h = 4) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(premultipliedColour);
    return img;
}

QRgb blendOne(QRgb backdrop, QRgb layer, swf::BlendMode mode) {
    QImage dst = solidImage(backdrop);
    render::compose(dst, solidImage(layer, 2, 2), QPoint(1, 1), mode);
    return reinterpret_cast<const QRgb*>(dst.constScanLine(1))[1];
}


} // namespace

TEST(BlendPainter, OpaquePairsMatchHandComputedValues) {
    const QRgb b = qRgb(200, 100, 50); // backdrop
    const QRgb s = qRgb(100, 150, 250); // layer
    using M = swf::BlendMode;
    // Expected: per channel on 0..255 values.
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Normal), s, 1));
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Layer), s, 1));
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Multiply), qRgb(78, 59, 49), 1));       // b*s/255
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Screen), qRgb(222, 191, 251), 1));      // b+s-b*s/255
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Lighten), qRgb(200, 150, 250), 1));
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Darken), qRgb(100, 100, 50), 1));
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Difference), qRgb(100, 50, 200), 1));
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Add), qRgb(255, 250, 255), 1));
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Subtract), qRgb(100, 0, 0), 1));        // b-s clamped
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Invert), qRgb(55, 155, 205), 1));       // 255-b
    // Overlay: b<128 ? 2bs/255 : 255-2(255-b)(255-s)/255
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::Overlay), qRgb(255 - 2 * 55 * 155 / 255, 2 * 100 * 150 / 255, 2 * 50 * 250 / 255), 2));
    // Hard light: the same with the roles swapped (s decides).
    EXPECT_TRUE(pixelNear(blendOne(b, s, M::HardLight), qRgb(2 * 200 * 100 / 255, 255 - 2 * 155 * 105 / 255, 255 - 2 * 205 * 5 / 255), 2));
}

TEST(BlendPainter, MultiplyByWhiteAndScreenByBlackAreIdentity) {
    const QRgb b = qRgb(12, 34, 56);
    EXPECT_TRUE(pixelNear(blendOne(b, qRgb(255, 255, 255), swf::BlendMode::Multiply), b, 0));
    EXPECT_TRUE(pixelNear(blendOne(b, qRgb(0, 0, 0), swf::BlendMode::Screen), b, 0));
}

TEST(BlendPainter, AlphaAndEraseActOnTheBackdropAlpha) {
    const QRgb b = qRgb(200, 100, 50);
    const QRgb halfLayer = qRgba(0, 0, 0, 128);
    QRgb alpha = blendOne(b, halfLayer, swf::BlendMode::Alpha);
    EXPECT_NEAR(qAlpha(alpha), 128, 1);
    EXPECT_NEAR(qRed(alpha), 100, 1) << "premultiplied colour follows the alpha";
    QRgb erase = blendOne(b, halfLayer, swf::BlendMode::Erase);
    EXPECT_NEAR(qAlpha(erase), 127, 1);
    EXPECT_NEAR(qRed(erase), 100, 1);
    EXPECT_EQ(blendOne(b, qRgb(9, 9, 9), swf::BlendMode::Erase), 0u) << "opaque erase clears";
}

TEST(BlendPainter, TransparentLayerPixelsLeaveTheBackdrop) {
    const QRgb b = qRgb(200, 100, 50);
    for (auto mode : {swf::BlendMode::Multiply, swf::BlendMode::Subtract, swf::BlendMode::Invert,
                      swf::BlendMode::Difference, swf::BlendMode::HardLight}) {
        EXPECT_TRUE(pixelNear(blendOne(b, 0, mode), b, 0)) << int(mode);
    }
}

TEST(BlendPainter, SemiTransparentLayerMixesWithSourceOver) {
    // Half-covered: the blended colour weighs in by the layer's alpha.
    const QRgb b = qRgb(200, 200, 200);
    const QRgb s = qRgba(50, 50, 50, 128); // premultiplied: unpremultiplied ~100
    QRgb sub = blendOne(b, s, swf::BlendMode::Subtract);
    EXPECT_NEAR(qRed(sub), 150, 2); // (200-100)*0.5 + 200*0.5
    EXPECT_EQ(qAlpha(sub), 255);
    QRgb inv = blendOne(b, s, swf::BlendMode::Invert);
    EXPECT_NEAR(qRed(inv), 127, 2); // 55*0.5 + 200*0.5
    QRgb mul = blendOne(b, s, swf::BlendMode::Multiply);
    EXPECT_NEAR(qRed(mul), 139, 2); // 200*100/255*0.5 + 200*0.5
}

TEST(BlendPainter, LayerIsPlacedAndClippedToTheDestination) {
    QImage dst = solidImage(qRgb(0, 0, 0), 4, 4);
    render::compose(dst, solidImage(qRgb(255, 255, 255), 3, 3), QPoint(2, -1), swf::BlendMode::Add);
    EXPECT_EQ(dst.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(dst.pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_EQ(dst.pixel(3, 1), qRgb(255, 255, 255));
    EXPECT_EQ(dst.pixel(3, 2), qRgb(0, 0, 0));
    render::compose(dst, solidImage(qRgb(255, 255, 255), 3, 3), QPoint(2, -1), swf::BlendMode::Subtract);
    EXPECT_EQ(dst.pixel(2, 0), qRgb(0, 0, 0));
}

TEST(BlendPainter, StoredBytesMapToModes) {
    EXPECT_EQ(swf::blendModeFromByte(0), swf::BlendMode::Normal);
    EXPECT_EQ(swf::blendModeFromByte(1), swf::BlendMode::Normal);
    EXPECT_EQ(swf::blendModeFromByte(3), swf::BlendMode::Multiply);
    EXPECT_EQ(swf::blendModeFromByte(14), swf::BlendMode::HardLight);
    EXPECT_EQ(swf::blendModeFromByte(15), swf::BlendMode::Normal);
    EXPECT_EQ(swf::blendModeFromByte(255), swf::BlendMode::Normal);
}
