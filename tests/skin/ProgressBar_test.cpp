#include "skin/ListScroll.h"
#include "skin/ProgressBar.h"
#include <gtest/gtest.h>

using nimbrel::skin::ListScroll;
using nimbrel::skin::ProgressBar;

TEST(ProgressBar, FillAndThumbFollowTheFrame) {
    // 200 frames at frame 50 with SW = 6300: a quarter of 6000.
    const auto p = ProgressBar::jindutiao(50, 200, 6300, 50, 0);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->fillWidth, 1500);
    EXPECT_EQ(p->thumbLeft, 1500);

    const auto start = ProgressBar::jindutiao(0, 200, 6300, 50, 777);
    EXPECT_EQ(start->fillWidth, 0);
    EXPECT_EQ(start->thumbLeft, 0);

    const auto last = ProgressBar::jindutiao(200, 200, 6300, 50, 0);
    EXPECT_EQ(last->fillWidth, 6000);
    EXPECT_EQ(last->thumbLeft, 6000);
}

TEST(ProgressBar, FillWidthRoundsHalvesToEven) {
    // 1/4 of 10 = 2.5 -> 2; 3/4 of 10 = 7.5 -> 8.
    EXPECT_EQ(ProgressBar::jindutiao(1, 4, 310, 50, 0)->fillWidth, 2);
    EXPECT_EQ(ProgressBar::jindutiao(3, 4, 310, 50, 0)->fillWidth, 8);
}

TEST(ProgressBar, NoFramesLeavesTheBarAlone) {
    EXPECT_FALSE(ProgressBar::jindutiao(0, 0, 6300, 50, 1234));
    EXPECT_FALSE(ProgressBar::jindutiao(5, -1, 6300, 50, 1234));
}

TEST(ProgressBar, NegativeFillKeepsThePreviousWidthForTheThumb) {
    // A window narrower than 300 twips.
    const auto p = ProgressBar::jindutiao(50, 100, 200, 50, 40);
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->fillWidth);
    EXPECT_EQ(p->thumbLeft, 40);
}

TEST(ProgressBar, SeekMapsTheClickOntoTheTrack) {
    // Window at 1500 twips (100 px), SW = 6200: the scale is 6000 twips wide.
    // Left end: 100 px + 50 twips is not a whole pixel at 15 twips, use 1 twip per pixel.
    EXPECT_EQ(ProgressBar::seekFrame(1550, 1.0, 1500, 6200, 200), 0);
    EXPECT_EQ(ProgressBar::seekFrame(1500 + 50 + 3000, 1.0, 1500, 6200, 200), 100);
    EXPECT_EQ(ProgressBar::seekFrame(1500 + 50 + 1500, 1.0, 1500, 6200, 200), 50);
    // Halves to even: ratio 0.5 of 5 frames = 2.5 -> 2.
    EXPECT_EQ(ProgressBar::seekFrame(1500 + 50 + 3000, 1.0, 1500, 6200, 5), 2);
    // In pixels at 15 twips per pixel.
    EXPECT_EQ(ProgressBar::seekFrame(304, 15.0, 1500, 6200, 200), 100); // 4560 - 1550 = 3010
}

TEST(ProgressBar, SeekStaysInsideTheMovieAtTheTrackEnds) {
    // The track reaches SW - 100, beyond the scale's end at SW - 150.
    EXPECT_EQ(ProgressBar::seekFrame(1500 + 6100, 1.0, 1500, 6200, 200), 199);
    // Left of the track.
    EXPECT_EQ(ProgressBar::seekFrame(1500, 1.0, 1500, 6200, 200), 0);
    EXPECT_EQ(ProgressBar::seekFrame(1500 + 6100, 1.0, 1500, 6200, 1), 0);
}

TEST(ProgressBar, SeekWithoutFramesOrScaleGivesNoFrame) {
    EXPECT_FALSE(ProgressBar::seekFrame(1600, 1.0, 1500, 6200, 0));
    EXPECT_FALSE(ProgressBar::seekFrame(1600, 1.0, 1500, 200, 100));
}

TEST(ListScroll, ListsSlideLeftWithTheirRightEdgeFixed) {
    EXPECT_EQ(ListScroll::huakuai2(10), (ListScroll::Placement{-1000, 5215}));
    EXPECT_EQ(ListScroll::huakuai2(0), (ListScroll::Placement{0, 4215}));
    EXPECT_EQ(ListScroll::huakuaione(100), (ListScroll::Placement{-10000, 15895}));
    for (int v : {0, 1, 37, 100}) {
        const auto p = ListScroll::huakuaione(v);
        EXPECT_EQ(p.left + p.width, 5895);
    }
}

TEST(ListScroll, ConverterListStaysInsideItsPanelHoweverOftenItScrolls) {
    const int panel = 15540;
    // Scrolling back and forth never lets the right edge drift.
    for (int v : {5, 40, 3, 100, 0, 100, 100}) {
        const auto p = ListScroll::huakuai3(v, panel);
        EXPECT_EQ(p.left, -100 * v);
        EXPECT_EQ(p.left + p.width, panel) << "value " << v;
    }
    EXPECT_EQ(ListScroll::huakuai3(0, panel), (ListScroll::Placement{0, panel}));
}
