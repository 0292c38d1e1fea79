// Fitting the stage into a viewport and zooming: pure geometry.
#include "movie/render/StageLayout.h"
#include <gtest/gtest.h>

using nimbrel::movie::render::ScaleMode;
using nimbrel::movie::render::StageLayout;

namespace {
const QRectF stage(0, 0, 11000, 8000); // 550 x 400 px
}

TEST(StageLayout, ShowAllKeepsProportionsAndLetterboxes) {
    const QTransform t = StageLayout::transform(stage, QSizeF(1100, 1000), ScaleMode::ShowAll);
    EXPECT_DOUBLE_EQ(t.m11(), 0.1);
    EXPECT_DOUBLE_EQ(t.m22(), 0.1);
    EXPECT_EQ(t.mapRect(stage), QRectF(0, 100, 1100, 800)); // bars above and below
}

TEST(StageLayout, NoBorderKeepsProportionsAndCrops) {
    const QTransform t = StageLayout::transform(stage, QSizeF(1100, 1000), ScaleMode::NoBorder);
    EXPECT_DOUBLE_EQ(t.m11(), t.m22());
    const QRectF r = t.mapRect(stage);
    EXPECT_DOUBLE_EQ(r.height(), 1000);
    EXPECT_DOUBLE_EQ(r.width(), 1375);
    EXPECT_DOUBLE_EQ(r.center().x(), 550); // cropped evenly on both sides
}

TEST(StageLayout, ExactFitStretchesEachAxis) {
    const QTransform t = StageLayout::transform(stage, QSizeF(300, 900), ScaleMode::ExactFit);
    EXPECT_EQ(t.mapRect(stage), QRectF(0, 0, 300, 900));
}

TEST(StageLayout, StageWithAnOffsetOriginStillFills) {
    const QRectF shifted(-2000, 1000, 11000, 8000);
    const QTransform t = StageLayout::transform(shifted, QSizeF(550, 400), ScaleMode::ShowAll);
    EXPECT_EQ(t.mapRect(shifted), QRectF(0, 0, 550, 400));
}

TEST(StageLayout, DegenerateInputGivesANullTransformNotADivisionByZero) {
    const QTransform t = StageLayout::transform(QRectF(0, 0, 0, 100), QSizeF(100, 100), ScaleMode::ShowAll);
    EXPECT_EQ(t.mapRect(stage).width(), 0);
    EXPECT_EQ(StageLayout::transform(stage, QSizeF(0, 0), ScaleMode::ExactFit).m11(), 0);
}

TEST(StageLayout, ZoomHalvesAndDoublesAroundTheCentreAndZeroResets) {
    QRectF v = StageLayout::zoom(stage, stage, 50);
    EXPECT_EQ(v, QRectF(2750, 2000, 5500, 4000));
    v = StageLayout::zoom(v, stage, 50);
    EXPECT_EQ(v.size(), QSizeF(2750, 2000));
    EXPECT_EQ(v.center(), stage.center());
    v = StageLayout::zoom(v, stage, 200);
    EXPECT_EQ(v, QRectF(2750, 2000, 5500, 4000));
    EXPECT_EQ(StageLayout::zoom(v, stage, 0), stage);
    // Zooming in shows the middle of the stage at twice the size.
    const QTransform t = StageLayout::transform(StageLayout::zoom(stage, stage, 50), QSizeF(550, 400), ScaleMode::ShowAll);
    EXPECT_EQ(t.mapRect(stage), QRectF(-275, -200, 1100, 800));
}

TEST(StageLayout, ZoomStopsAtSaneLimits) {
    QRectF v = stage;
    for (int i = 0; i < 40; ++i) v = StageLayout::zoom(v, stage, 50);
    EXPECT_GE(v.width(), 20);
    EXPECT_GT(v.height(), 0);
    v = stage;
    for (int i = 0; i < 40; ++i) v = StageLayout::zoom(v, stage, 200);
    EXPECT_LE(v.width(), stage.width() * 100);
}
