// The capture's rectangle arithmetic, the frame and label painting, and the copy.
#include "imaging/RubberBand.h"
#include <QFontMetrics>
#include <gtest/gtest.h>

using nimbrel::imaging::RubberBand;
using Rect = RubberBand::Rect;

namespace {
// A striped desktop picture, so copies and inversions can be told apart.
QImage desktop(QSize size = {200, 120}) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb(x, y, (x * 7 + y * 3) & 0xFF));
    return img;
}
} // namespace

TEST(RubberBand, DragsInEveryDirectionGiveTheSameRectangle) {
    const Rect want{10, 20, 330, 220};
    const struct { const char* direction; QPoint anchor, current; } drags[] = {
        {"down-right", {10, 20}, {330, 220}},
        {"up-left", {330, 220}, {10, 20}},
        {"down-left", {330, 20}, {10, 220}},
        {"up-right", {10, 220}, {330, 20}},
    };
    for (const auto& d : drags) {
        const Rect r = RubberBand::fromDrag(d.anchor, d.current);
        EXPECT_EQ(r, want) << d.direction;
        EXPECT_EQ(RubberBand::labelText(r), "320x200") << d.direction;
    }
    // Press and release on one point: nothing to paint and nothing to copy.
    const Rect still = RubberBand::fromDrag({50, 60}, {50, 60});
    EXPECT_TRUE(still.isEmpty());
    EXPECT_EQ(RubberBand::labelText(still), "0x0");
    EXPECT_TRUE(RubberBand::copy(desktop(), {}, still).isNull());
    EXPECT_TRUE(RubberBand::copy(desktop(), {}, RubberBand::fromDrag({5, 5}, {90, 5})).isNull());
}

TEST(RubberBand, LabelIsCentredWithHalvesToEven) {
    // (10 + 31 - 20) / 2 = 10.5 -> 10; (0 + 15 - 4) / 2 = 5.5 -> 6.
    EXPECT_EQ(RubberBand::labelPosition({10, 0, 31, 15}, {20, 4}), QPoint(10, 6));
    EXPECT_EQ(RubberBand::labelPosition({0, 0, 100, 50}, {30, 10}), QPoint(35, 20));
}

TEST(RubberBand, FrameInvertsOnePixelBarsAndTwicePaintedLeavesNoTrace) {
    const QImage before = desktop();
    QImage img = before;
    const QPoint origin(-100, 0);  // a screen left of the primary one
    const Rect r{-80, 10, -20, 100};  // 60 x 90 at picture x 20..80
    RubberBand::paint(img, origin, r, QFont());
    auto inverted = [&](int x, int y) { return img.pixel(x, y) == (before.pixel(x, y) ^ 0x00FFFFFF); };
    EXPECT_TRUE(inverted(50, 10));   // top bar
    EXPECT_TRUE(inverted(20, 50));   // left bar
    EXPECT_TRUE(inverted(79, 50));   // right bar
    EXPECT_TRUE(inverted(50, 99));   // bottom bar
    EXPECT_FALSE(inverted(20, 10));  // corners are inverted twice
    EXPECT_EQ(img.pixel(19, 50), before.pixel(19, 50));
    EXPECT_EQ(img.pixel(21, 30), before.pixel(21, 30));
    int labelPixels = 0;  // "60x90" inverted inside the frame
    for (int y = 11; y < 99; ++y)
        for (int x = 21; x < 79; ++x)
            labelPixels += inverted(x, y);
    EXPECT_GT(labelPixels, 10);
    RubberBand::paint(img, origin, r, QFont());
    EXPECT_EQ(img, before);
    RubberBand::paint(img, origin, RubberBand::fromDrag({-50, 40}, {-50, 90}), QFont());
    EXPECT_EQ(img, before) << "an empty rectangle paints nothing";
}

TEST(RubberBand, CopyTakesTheChosenAreaOfTheDesktop) {
    const QImage shot = desktop();
    const QImage area = RubberBand::copy(shot, {-100, 0}, {-90, 5, -60, 25});
    ASSERT_EQ(area.size(), QSize(30, 20));
    EXPECT_EQ(area.pixel(0, 0), shot.pixel(10, 5));
    EXPECT_EQ(area.pixel(29, 19), shot.pixel(39, 24));
}
