#include "skin/MainLayout.h"
#include "skin/WindowRegion.h"
#include <gtest/gtest.h>

using nimbrel::skin::MainLayout;
using nimbrel::skin::MainLayoutResult;
using nimbrel::skin::WindowRegion;

TEST(WindowRegion, OutlineHas31VerticesWithTheStepsAtTheCorners) {
    const QPolygon p = WindowRegion::polygon(669, 419);
    ASSERT_EQ(p.size(), WindowRegion::VertexCount);
    EXPECT_EQ(p.first(), QPoint(8, 0));
    EXPECT_EQ(p[9], QPoint(0, 414));
    EXPECT_EQ(p[16], QPoint(5, 419));
    EXPECT_EQ(p[17], QPoint(664, 419));
    EXPECT_EQ(p[24], QPoint(669, 5));
    EXPECT_EQ(p[29], QPoint(665, -1)); // one pixel above the top edge
    EXPECT_EQ(p.last(), QPoint(664, 0));
}

TEST(WindowRegion, CoversTheWindowButItsCorners) {
    const QRegion r = WindowRegion::region(669.0, 419);
    const QRect box = r.boundingRect();
    EXPECT_EQ(box.left(), 0);
    EXPECT_EQ(box.right(), 668);
    EXPECT_EQ(box.bottom(), 418);
    EXPECT_TRUE(r.contains(QPoint(334, 200)));
    EXPECT_TRUE(r.contains(QPoint(0, 200)));
    EXPECT_TRUE(r.contains(QPoint(668, 200)));
    EXPECT_TRUE(r.contains(QPoint(334, 0)));
    EXPECT_TRUE(r.contains(QPoint(334, 418)));
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.contains(QPoint(668, 418)));
    EXPECT_FALSE(r.contains(QPoint(0, 418)));
    EXPECT_FALSE(r.contains(QPoint(669, 200)));
    EXPECT_FALSE(r.contains(QPoint(334, 419)));
}

TEST(WindowRegion, MenuBarMakesTheRegion100PixelsTaller) {
    MainLayout::Input in;
    in.clientWidth = 10035;
    in.clientHeight = 6285;
    const MainLayoutResult hidden = MainLayout::run(MainLayoutResult::design(), in);
    in.menuBarShowing = true;
    const MainLayoutResult showing = MainLayout::run(MainLayoutResult::design(), in);

    EXPECT_EQ(WindowRegion::region(hidden).boundingRect().height(), 419);
    EXPECT_EQ(WindowRegion::region(showing).boundingRect().height(), 519);
    EXPECT_EQ(WindowRegion::region(showing).boundingRect().width(),
              WindowRegion::region(hidden).boundingRect().width());
}

TEST(WindowRegion, FractionalWidthRoundsHalvesToEven) {
    EXPECT_EQ(WindowRegion::region(100.5, 50).boundingRect().width(), 100);
    EXPECT_EQ(WindowRegion::region(101.5, 50).boundingRect().width(), 102);
}
