// The movie surface: safe with nothing loaded, twips placement, and the right
// button left to the window when the built-in menu is off.
#include "platform/Twips.h"
#include "player/FlashSurface.h"
#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

using nimbrel::platform::Twips;
using nimbrel::player::FlashSurface;

namespace {

TEST(FlashSurface, EveryCallIsSafeWithNoMovie) {
    FlashSurface s;
    EXPECT_EQ(s.Movie(), "");
    s.Play();
    s.Stop();
    s.Rewind();
    s.GotoFrame(12);
    s.setFrameNum(-5);
    s.Zoom(50);
    s.Zoom(200);
    s.setScaleMode(2);
    EXPECT_EQ(s.FrameNum(), 0);
    EXPECT_EQ(s.TotalFrames(), 0);
    EXPECT_FALSE(s.IsPlaying());
    EXPECT_EQ(s.ScaleMode(), 2);
    EXPECT_FALSE(s.isTicking());
    // Painting with nothing loaded draws without failing.
    s.resize(64, 48);
    EXPECT_FALSE(s.grab().isNull());
}

TEST(FlashSurface, SettingAMovieStartsTheClockAndEmptyingStopsIt) {
    FlashSurface s;
    s.setMovie("/nonexistent/movie.swf");
    EXPECT_EQ(s.Movie(), "/nonexistent/movie.swf");
    EXPECT_TRUE(s.isTicking());
    s.setMovie("");
    EXPECT_EQ(s.Movie(), "");
    EXPECT_FALSE(s.isTicking());
    EXPECT_FALSE(s.IsPlaying());
}

TEST(FlashSurface, MoveAndReadBackInTwips) {
    QWidget parent;
    FlashSurface s(&parent);
    const double dx = Twips::dpiX(&s), dy = Twips::dpiY(&s);
    s.Move(1500, 3000, 15000, 7500);
    EXPECT_EQ(s.geometry(), QRect(Twips::toPixels(1500, dx), Twips::toPixels(3000, dy),
                                  Twips::toPixels(15000, dx), Twips::toPixels(7500, dy)));
    EXPECT_NEAR(s.Top(), 3000, Twips::perPixel(dy));
    EXPECT_NEAR(s.Height(), 7500, Twips::perPixel(dy));
    // A negative size is not applied; the surface stays where it was.
    const QRect before = s.geometry();
    s.Move(0, 0, -100, 500);
    EXPECT_EQ(s.geometry(), before);
}

TEST(FlashSurface, VisibleFollowsTheWidget) {
    QWidget parent;
    FlashSurface s(&parent);
    parent.show();
    EXPECT_TRUE(s.Visible());
    s.setVisible(false);
    EXPECT_FALSE(s.Visible());
}

QMouseEvent press(Qt::MouseButton button, const QPointF& at) {
    return QMouseEvent(QEvent::MouseButtonPress, at, at, button, button, Qt::NoModifier);
}

TEST(FlashSurface, RightButtonGoesToTheWindowWhenTheMenuIsOff) {
    FlashSurface s;
    s.resize(100, 100);
    s.setMenu(false);
    EXPECT_FALSE(s.Menu());
    QList<QPoint> requests;
    QObject::connect(&s, &FlashSurface::contextMenuRequested, [&](const QPoint& p) { requests << p; });
    QMouseEvent right = press(Qt::RightButton, QPointF(10, 20));
    QApplication::sendEvent(&s, &right);
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0], QPoint(10, 20));
    QMouseEvent left = press(Qt::LeftButton, QPointF(10, 20));
    QApplication::sendEvent(&s, &left);
    EXPECT_EQ(requests.size(), 1);
}

TEST(FlashSurface, DoubleClickAndMovesAreReported) {
    FlashSurface s;
    s.resize(100, 100);
    int dbl = 0, moved = 0;
    QObject::connect(&s, &FlashSurface::doubleClicked, [&] { ++dbl; });
    QObject::connect(&s, &FlashSurface::mouseMovedOverMovie, [&] { ++moved; });
    QMouseEvent d(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(&s, &d);
    QMouseEvent m(QEvent::MouseMove, QPointF(6, 6), QPointF(6, 6), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&s, &m);
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(moved, 1);
}

TEST(Twips, FifteenPerPixelAtNinetySixDpi) {
    EXPECT_DOUBLE_EQ(Twips::perPixel(96), 15.0);
    EXPECT_EQ(Twips::toPixels(15750, 96), 1050);
    EXPECT_EQ(Twips::toPixels(9885, 96), 659);
    EXPECT_DOUBLE_EQ(Twips::fromPixels(147, 96), 2205.0);
    EXPECT_DOUBLE_EQ(Twips::perPixel(120), 12.0);
    EXPECT_EQ(Twips::toPixels(15750, 120), 1313);  // 1312.5 rounds up
    EXPECT_EQ(Twips::toPixels(-22.5, 96), -2);    // -1.5 rounds away from zero
    // An unusable DPI falls back to 96 instead of dividing by zero.
    EXPECT_DOUBLE_EQ(Twips::perPixel(0), 15.0);
    EXPECT_DOUBLE_EQ(Twips::perPixel(-1), 15.0);
}

} // namespace
