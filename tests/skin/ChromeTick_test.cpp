#include "skin/ChromeTick.h"
#include "skin/WindowResize.h"
#include <gtest/gtest.h>

using nimbrel::skin::ChromeTick;
using nimbrel::skin::MenuBarAutoShow;
using nimbrel::skin::ResizeMode;
using nimbrel::skin::TwipRect;
using nimbrel::skin::WindowResize;
using Action = MenuBarAutoShow::Action;

namespace {
// A window at 100, 50 px, 600 x 400 px.
const TwipRect window{1500, 750, 9000, 6000};
const QPoint farAway{2000, 2000};
const QPoint atTopEdge{300, 52};
} // namespace

TEST(WindowResize, HandlesToggleTheirModeAndSwitchBetweenEachOther) {
    EXPECT_EQ(WindowResize::pressed(ResizeMode::None, ResizeMode::Bottom, Qt::LeftButton),
              ResizeMode::Bottom);
    EXPECT_EQ(WindowResize::pressed(ResizeMode::Bottom, ResizeMode::Bottom, Qt::LeftButton),
              ResizeMode::None);
    EXPECT_EQ(WindowResize::pressed(ResizeMode::Bottom, ResizeMode::Left, Qt::LeftButton),
              ResizeMode::Left);
    // The right border answers to any button, the others to the left button only.
    EXPECT_EQ(WindowResize::pressed(ResizeMode::None, ResizeMode::Right, Qt::RightButton),
              ResizeMode::Right);
    EXPECT_EQ(WindowResize::pressed(ResizeMode::Right, ResizeMode::Right, Qt::MiddleButton),
              ResizeMode::None);
    for (ResizeMode h : {ResizeMode::Bottom, ResizeMode::BottomRight, ResizeMode::Left,
                         ResizeMode::BottomLeft})
        EXPECT_EQ(WindowResize::pressed(ResizeMode::None, h, Qt::RightButton), ResizeMode::None);
    EXPECT_EQ(WindowResize::pressed(ResizeMode::Left, ResizeMode::Bottom, Qt::RightButton),
              ResizeMode::Left);
}

TEST(WindowResize, EdgesFollowThePointer100TwipsBeyondIt) {
    const QPoint cursor{800, 600};
    // Right edge: 800 px = 12000 twips, so the width reaches 12100 - left.
    EXPECT_EQ(WindowResize::follow(ResizeMode::Right, window, cursor, 15, 15),
              (TwipRect{1500, 750, 12000 - 1500 + 100, 6000}));
    EXPECT_EQ(WindowResize::follow(ResizeMode::Bottom, window, cursor, 15, 15),
              (TwipRect{1500, 750, 9000, 9000 - 750 + 100}));
    EXPECT_EQ(WindowResize::follow(ResizeMode::BottomRight, window, cursor, 15, 15),
              (TwipRect{1500, 750, 10600, 8350}));
    EXPECT_EQ(WindowResize::follow(ResizeMode::None, window, cursor, 15, 15), window);
}

TEST(WindowResize, LeftEdgeKeepsTheRightEdgeInPlace) {
    const TwipRect moved = WindowResize::follow(ResizeMode::Left, window, {60, 600}, 15, 15);
    EXPECT_EQ(moved.left, 900);
    EXPECT_EQ(moved.right(), window.right());
    EXPECT_EQ(moved.height, window.height);
    const TwipRect both = WindowResize::follow(ResizeMode::BottomLeft, window, {60, 600}, 15, 15);
    EXPECT_EQ(both, (TwipRect{900, 750, 9600, 8350}));
    // Wider than 16 bits of twips: still exact.
    const TwipRect wide{0, 0, 40000, 6000};
    EXPECT_EQ(WindowResize::follow(ResizeMode::Left, wide, {100, 0}, 15, 15).width, 38500);
}

TEST(WindowResize, NegativeSizesAreSkippedAssignmentByAssignment) {
    // Pointer left of the window: the width would go negative and stays.
    EXPECT_EQ(WindowResize::follow(ResizeMode::Right, window, {10, 600}, 15, 15), window);
    // Pointer right of the right edge in left mode: the left edge still moves, the
    // width keeps its value.
    const TwipRect r = WindowResize::follow(ResizeMode::Left, window, {800, 20}, 15, 15);
    EXPECT_EQ(r.left, 12000);
    EXPECT_EQ(r.width, window.width);
    // Bottom-right with the pointer above the window: only the width changes.
    EXPECT_EQ(WindowResize::follow(ResizeMode::BottomRight, window, {800, 10}, 15, 15),
              (TwipRect{1500, 750, 10600, 6000}));
}

TEST(ChromeTick, RightBorderDragFollowsOnEveryTickUntilClickedAgain) {
    ChromeTick chrome;
    chrome.pressHandle(ResizeMode::Right, Qt::RightButton);
    ASSERT_EQ(chrome.resizeMode(), ResizeMode::Right);
    TwipRect w = window;
    for (int x : {700, 900, 650}) {
        const auto r = chrome.tick({true, false, w, {x, 300}, 15, 15});
        ASSERT_TRUE(r.geometry);
        w = *r.geometry;
        EXPECT_EQ(w.right(), x * 15 + 100);
    }
    // Not active: nothing follows.
    EXPECT_FALSE(chrome.tick({false, false, w, {900, 300}, 15, 15}).geometry);
    chrome.pressHandle(ResizeMode::Right, Qt::LeftButton);
    EXPECT_EQ(chrome.resizeMode(), ResizeMode::None);
    EXPECT_FALSE(chrome.tick({true, false, w, {900, 300}, 15, 15}).geometry);
}

TEST(ChromeTick, BottomStripIgnoresTheRightButton) {
    ChromeTick chrome;
    chrome.pressHandle(ResizeMode::Bottom, Qt::RightButton);
    EXPECT_EQ(chrome.resizeMode(), ResizeMode::None);
}

TEST(MenuBarAutoShow, TopBandBounds) {
    // left 100 px, right 700 px, top 50 px.
    EXPECT_TRUE(MenuBarAutoShow::inTopBand(window, 15, 15, {300, 50}));
    EXPECT_TRUE(MenuBarAutoShow::inTopBand(window, 15, 15, {81, 41}));
    EXPECT_TRUE(MenuBarAutoShow::inTopBand(window, 15, 15, {699, 54}));
    EXPECT_FALSE(MenuBarAutoShow::inTopBand(window, 15, 15, {80, 50}));
    EXPECT_FALSE(MenuBarAutoShow::inTopBand(window, 15, 15, {700, 50}));
    EXPECT_FALSE(MenuBarAutoShow::inTopBand(window, 15, 15, {300, 40}));
    EXPECT_FALSE(MenuBarAutoShow::inTopBand(window, 15, 15, {300, 55}));
}

TEST(MenuBarAutoShow, HidesOnThe24thTickAfterThePointerLeft) {
    MenuBarAutoShow bar;
    EXPECT_EQ(bar.tick(false, window, 15, 15, atTopEdge), Action::Show);
    EXPECT_EQ(bar.tick(false, window, 15, 15, atTopEdge), Action::Show);
    for (int tick = 1; tick <= 23; ++tick)
        ASSERT_EQ(bar.tick(false, window, 15, 15, farAway), Action::None) << "tick " << tick;
    EXPECT_EQ(bar.tick(false, window, 15, 15, farAway), Action::Hide);
    EXPECT_EQ(bar.counter(), 0);
    // A hidden bar stays hidden: the counter runs on and only ever hides again.
    for (int tick = 1; tick <= 100; ++tick)
        ASSERT_NE(bar.tick(false, window, 15, 15, farAway), Action::Show);
}

TEST(MenuBarAutoShow, ComingBackRestartsTheDelay) {
    MenuBarAutoShow bar;
    bar.tick(false, window, 15, 15, atTopEdge);
    for (int tick = 0; tick < 20; ++tick)
        bar.tick(false, window, 15, 15, farAway);
    EXPECT_EQ(bar.tick(false, window, 15, 15, atTopEdge), Action::Show);
    for (int tick = 1; tick <= 23; ++tick)
        ASSERT_EQ(bar.tick(false, window, 15, 15, farAway), Action::None);
    EXPECT_EQ(bar.tick(false, window, 15, 15, farAway), Action::Hide);
}

TEST(MenuBarAutoShow, MaximisedWindowNeverShowsTheBarAndFreezesTheCount) {
    MenuBarAutoShow bar;
    for (int tick = 0; tick < 50; ++tick)
        ASSERT_EQ(bar.tick(true, window, 15, 15, atTopEdge), Action::None);
    EXPECT_EQ(bar.counter(), 0);
}

TEST(ChromeTick, MenuBandIsTestedAgainstTheResizedWindow) {
    ChromeTick chrome;
    chrome.pressHandle(ResizeMode::Left, Qt::LeftButton);
    // The pointer at x 60 moves the left edge to 60 px; the band then starts at 40 px.
    const auto r = chrome.tick({true, false, window, {60, 52}, 15, 15});
    ASSERT_TRUE(r.geometry);
    EXPECT_EQ(r.menuBar, Action::Show);
    EXPECT_EQ(chrome.menuBarCounter(), 2);
}

namespace {

TEST(WindowResizeLeast, EdgesStopAtTheLeastSizeAndTheOtherEdgeStays) {
    using nimbrel::skin::ResizeMode;
    using nimbrel::skin::TwipRect;
    using nimbrel::skin::WindowResize;
    const TwipRect w{1500, 750, 9000, 6000};
    const int minW = 7395, minH = 2280;
    struct Case {
        const char* what;
        ResizeMode mode;
        QPoint cursor;
        TwipRect want;
    };
    const Case cases[] = {
        {"right edge pulled far in", ResizeMode::Right, {110, 600}, {1500, 750, minW, 6000}},
        {"bottom edge pulled far up", ResizeMode::Bottom, {300, 60}, {1500, 750, 9000, minH}},
        {"corner pulled in", ResizeMode::BottomRight, {110, 60}, {1500, 750, minW, minH}},
        {"left edge pulled in: the right edge stays", ResizeMode::Left, {600, 300}, {3105, 750, minW, 6000}},
        {"left edge past the right edge", ResizeMode::Left, {900, 300}, {3105, 750, minW, 6000}},
        {"bottom-left corner pulled in", ResizeMode::BottomLeft, {600, 60}, {3105, 750, minW, minH}},
        {"above the least size the edge follows", ResizeMode::Right, {700, 600}, {1500, 750, 9100, 6000}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowResize::follow(c.mode, w, c.cursor, 15, 15, minW, minH), c.want) << c.what;
}

} // namespace
