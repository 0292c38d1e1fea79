#include "skin/MainLayout.h"
#include <gtest/gtest.h>
#include <cmath>

using nimbrel::skin::MainLayout;
using nimbrel::skin::MainLayoutResult;
using nimbrel::skin::TwipRect;

namespace {

MainLayoutResult layoutAt(int sw, int sh, const MainLayoutResult& prev = MainLayoutResult::design(),
                          bool menuBar = false) {
    MainLayout::Input in;
    in.clientWidth = sw;
    in.clientHeight = sh;
    in.menuBarShowing = menuBar;
    return MainLayout::run(prev, in);
}

} // namespace

TEST(MainLayout, SmallWindowPlacesFrameAroundTheMovie) {
    const MainLayoutResult r = layoutAt(10035, 6285);
    // Top bar: the middle piece spans from the left part's end to the right end.
    EXPECT_EQ(r.up3, (TwipRect{10035 - 435, 0, 435, 1320}));
    EXPECT_EQ(r.up2.left, 6960);
    EXPECT_EQ(r.up2.right(), r.up3.left);
    EXPECT_EQ(r.Image8[0].left, r.up3.left - 500);
    EXPECT_EQ(r.Image8[0].top, 40);
    EXPECT_EQ(r.Image8[1].left, r.Image8[0].right());
    EXPECT_EQ(r.Image8[2].left, r.Image8[1].right());
    // Movie surface between the borders, from just under the top bar to 20 above the bottom bar.
    EXPECT_EQ(r.flash, (TwipRect{105, 1325, 10035 - 210, 6285 - 1395 - 885 + 50}));
    EXPECT_EQ(r.flash.bottom(), r.down1.top - 20);
    // Bottom bar.
    EXPECT_EQ(r.down1, (TwipRect{0, 6285 - 885, 4185, 885}));
    EXPECT_EQ(r.down3, (TwipRect{10035 - 450, 5400, 450, 885}));
    EXPECT_EQ(r.down2, (TwipRect{4185, 5400, 10035 - 450 - 4185, 885}));
    EXPECT_EQ(r.down2.right(), r.down3.left);
    // Borders overlap both bars by 100.
    EXPECT_EQ(r.hen1, (TwipRect{0, 1295, 105, 5400 - 1395 + 100}));
    EXPECT_EQ(r.hen2, (TwipRect{10035 - 105, 1220, 105, 5400 - 1320 + 100}));
    // Handles.
    EXPECT_EQ(r.buttom, (TwipRect{0, 6185, 10035 - 220, 100}));
    EXPECT_EQ(r.middle, (TwipRect{10035 - 255, 6285 - 255, 255, 255}));
    EXPECT_EQ(r.Label5, (TwipRect{0, 6285 - 255, 255, 255}));
    EXPECT_EQ(r.Label6, (TwipRect{r.down2.left, 5400 + 360, r.down2.width, 375}));
}

TEST(MainLayout, ProgressBarAndTransportRideOnTheBottomBar) {
    const MainLayoutResult r = layoutAt(10035, 6285);
    const int barTop = 6285 - 885;
    EXPECT_EQ(r.jindu.left, 50);
    EXPECT_EQ(r.jindu.top, barTop + 50);
    EXPECT_EQ(r.huakuai.left, 50);
    EXPECT_EQ(r.fugai, (TwipRect{50, barTop + 50, 10035 - 150, 150}));
    EXPECT_EQ(r.Image5[0], (TwipRect{450, barTop + 340, 450, 450}));
    const int expectedLefts[] = {450, 950, 1730, 2110, 2490, 2870};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(r.Image5[i].left, expectedLefts[i]) << "button " << i;
        if (i > 0) {
            EXPECT_EQ(r.Image5[i].top, barTop + 390) << "button " << i;
        }
    }
    // Stop and previous movie are 450 apart, the rest 50.
    EXPECT_EQ(r.Image5[2].left - r.Image5[1].right(), 450);
    EXPECT_EQ(r.Image5[4].left - r.Image5[3].right(), 50);
}

TEST(MainLayout, SidePanelsAndTheirChildren) {
    const MainLayoutResult r = layoutAt(15750, 9885);
    EXPECT_EQ(r.zhss, (TwipRect{105, 1325, 15750 - 210, 9885 - 1395 - 885}));
    EXPECT_EQ(r.convertframe, r.zhss);
    // The playlist panel starts 50 right and 70 lower and is 100 narrower and shorter.
    EXPECT_EQ(r.bflb.left - r.zhss.left, 50);
    EXPECT_EQ(r.bflb.top - r.zhss.top, 70);
    EXPECT_EQ(r.zhss.width - r.bflb.width, 100);
    EXPECT_EQ(r.zhss.height - r.bflb.height, 100);

    // Converter children stack up from the panel's bottom.
    EXPECT_EQ(r.Picture1, (TwipRect{0, r.convertframe.height - 375, r.convertframe.width, 375}));
    EXPECT_EQ(r.huakuai3, (TwipRect{0, r.Picture1.top - 255, r.convertframe.width, 255}));
    EXPECT_EQ(r.convert, (TwipRect{0, 375 + 50, r.convertframe.width, r.huakuai3.top - 375 - 20}));

    // Scroll bars at the panels' bottoms, lists above them.
    EXPECT_EQ(r.huakuaione, (TwipRect{0, r.zhss.height - 255, 5775, 255}));
    EXPECT_EQ(r.lsearch, (TwipRect{120, 600, 5775, r.huakuaione.top - 580}));
    EXPECT_EQ(r.huakuai2, (TwipRect{0, r.bflb.height - 255, 4575, 255}));
    EXPECT_EQ(r.bflblist, (TwipRect{0, 0, 4215, r.huakuai2.top - 100}));

    // Previews right of their lists, reaching the panel's (previous) size.
    EXPECT_EQ(r.flash2, (TwipRect{5945, 0, r.zhss.width - 5895, r.zhss.height}));
    EXPECT_EQ(r.yulanp, (TwipRect{5945, 300, r.zhss.width - 5895, r.zhss.height}));
    EXPECT_EQ(r.bflbflash, (TwipRect{4665, 100, r.bflb.width - 4215, r.bflb.height}));
}

TEST(MainLayout, StepsReadThePreviousRunWhereTheyComeEarlier) {
    // The previews and the move buttons read rectangles placed only further down, so
    // a size change reaches them one run late; a second run settles everything.
    const MainLayoutResult first = layoutAt(12000, 8000);
    EXPECT_EQ(first.flash2.width, MainLayoutResult::design().zhss.width - 5895);
    // The move buttons halve the list's design height: round(4020 / 2) - 200.
    EXPECT_EQ(first.Command18.height, 1810);
    EXPECT_EQ(first.Command19.height, 1810);
    EXPECT_EQ(first.Command19.top, first.Command18.top + 1810 + 50);

    const MainLayoutResult second = layoutAt(12000, 8000, first);
    EXPECT_EQ(second.flash2.width, first.zhss.width - 5895);
    EXPECT_EQ(second.flash2.height, first.zhss.height);
    EXPECT_EQ(second.Command18.height,
              static_cast<int>(std::nearbyint(first.bflblist.height / 2.0)) - 200);
    EXPECT_EQ(layoutAt(12000, 8000, second), layoutAt(12000, 8000, layoutAt(12000, 8000, second)));
}

TEST(MainLayout, MoveButtonHeightRoundsHalvesToEven) {
    MainLayoutResult prev = MainLayoutResult::design();
    prev.bflblist.height = 4005; // 2002.5 -> 2002
    EXPECT_EQ(layoutAt(15750, 9885, prev).Command18.height, 1802);
    prev.bflblist.height = 4007; // 2003.5 -> 2004
    EXPECT_EQ(layoutAt(15750, 9885, prev).Command18.height, 1804);
}

TEST(MainLayout, NarrowerThanTheTopBarKeepsThePreviousMiddleWidth) {
    const MainLayoutResult before = layoutAt(10035, 6285);
    const MainLayoutResult r = layoutAt(6000, 6285, before);
    // up3.L - up1.W = 5565 - 6960 < 0: the middle piece stays as it was.
    EXPECT_EQ(r.up2, before.up2);
    // Everything after it still ran.
    EXPECT_EQ(r.up3.left, 6000 - 435);
    EXPECT_EQ(r.down3.left, 6000 - 450);
    EXPECT_EQ(r.flash.width, 6000 - 210);
    EXPECT_EQ(r.Image8[0].left, 6000 - 435 - 500);
    EXPECT_EQ(r.middle.left, 6000 - 255);
}

TEST(MainLayout, NegativeSizeStepsAreSkippedOneByOne) {
    const MainLayoutResult before = layoutAt(10035, 6285);
    // Height 2000: the movie area (2000 - 1395 - 885 + 50) and the panels go negative,
    // the bottom bar and the handles still follow the bottom edge.
    const MainLayoutResult r = layoutAt(10035, 2000, before);
    EXPECT_EQ(r.flash, before.flash);
    EXPECT_EQ(r.zhss, before.zhss);
    EXPECT_EQ(r.bflb, before.bflb);
    EXPECT_EQ(r.convertframe, before.convertframe);
    EXPECT_EQ(r.hen1, before.hen1);   // 1115 - 1395 + 100 < 0
    EXPECT_EQ(r.down1.top, 2000 - 885);
    EXPECT_EQ(r.Label5.top, 2000 - 255);
    EXPECT_EQ(r.buttom.top, 1900);
    EXPECT_EQ(r.Image5[0].top, 1115 + 340);
}

TEST(MainLayout, TinyWidthSkipsEveryStretchedPiece) {
    const MainLayoutResult before = layoutAt(10035, 6285);
    const MainLayoutResult r = layoutAt(100, 6285, before);
    EXPECT_EQ(r.fugai, before.fugai); // 100 - 150 < 0
    EXPECT_EQ(r.buttom, before.buttom);
    EXPECT_EQ(r.down2, before.down2);
    EXPECT_EQ(r.flash, before.flash);
    // Pieces that only move still move, even off the left edge.
    EXPECT_EQ(r.up3.left, 100 - 435);
    EXPECT_EQ(r.middle.left, 100 - 255);
}

TEST(MainLayout, FixedElementsKeepTheirDesignPlaces) {
    const MainLayoutResult d = MainLayoutResult::design();
    const MainLayoutResult r = layoutAt(20000, 12000);
    EXPECT_EQ(r.up1, d.up1);
    EXPECT_EQ(r.Label1, d.Label1);
    EXPECT_EQ(r.ontime, d.ontime);
    EXPECT_EQ(r.Label2, d.Label2);
    EXPECT_EQ(r.Image2, d.Image2);
    EXPECT_EQ(r.Command5, d.Command5);
}

TEST(MainLayout, RegionSizeInPixels) {
    EXPECT_DOUBLE_EQ(layoutAt(10035, 6285).Wpx, 669.0);
    EXPECT_EQ(layoutAt(10035, 6285).Hpx, 419);
    EXPECT_EQ(layoutAt(10035, 6285, MainLayoutResult::design(), true).Hpx, 519);
    // Rounded to the nearest pixel, halves to even.
    EXPECT_EQ(MainLayout::regionHeight(6292, 15.0, false, 0), 419);  // 419.47
    EXPECT_EQ(MainLayout::regionHeight(6293, 15.0, false, 0), 420);  // 419.53
    EXPECT_EQ(MainLayout::regionHeight(5, 2.0, false, 0), 2);        // 2.5 -> 2
    EXPECT_EQ(MainLayout::regionHeight(7, 2.0, false, 0), 4);        // 3.5 -> 4
    // A height beyond 16 bits keeps the previous value.
    EXPECT_EQ(MainLayout::regionHeight(40000 * 15, 15.0, false, 333), 333);
    // At 120 dpi a pixel is 12 twips.
    EXPECT_DOUBLE_EQ(MainLayout::regionWidth(1200, 12.0), 100.0);
}

namespace {

TEST(MainLayoutMinimum, TheFixedPiecesJustFitAtTheMinimum) {
    const MainLayout::Size least = MainLayout::minimumClientSize();
    EXPECT_EQ(least, (MainLayout::Size{7395, 2280})); // 493 x 152 px at 96 dpi
    const MainLayoutResult r = layoutAt(least.width, least.height);
    // The ends of the top and bottom bars meet but do not overlap.
    EXPECT_GE(r.up3.left, r.up1.left + r.up1.width);
    EXPECT_GE(r.down3.left, r.down1.left + r.down1.width);
    EXPECT_GE(r.down1.top, r.up1.top + r.up1.height);
    EXPECT_GE(r.flash.height, 0);
    // One twip less and they would.
    const MainLayoutResult narrow = layoutAt(least.width - 1, least.height);
    EXPECT_LT(narrow.up3.left, narrow.up1.left + narrow.up1.width);
    const MainLayoutResult low = layoutAt(least.width, least.height - 1);
    EXPECT_LT(low.down1.top, low.up1.top + low.up1.height);
}

TEST(MainLayoutMinimum, FollowsTheSkinsPieces) {
    MainLayoutResult skin = MainLayoutResult::design();
    skin.down1.width = 8000; // a bottom bar wider than the top bar
    skin.down3.height = 1000;
    EXPECT_EQ(MainLayout::minimumClientSize(skin), (MainLayout::Size{8450, 2395}));
}

} // namespace
