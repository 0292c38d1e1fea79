// The surface driving a real movie: its clock advances the frames, the
// commands reach the engine and painting draws the movie.
#include "TinyMovie.h"
#include "player/FlashSurface.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

using nimbrel::player::FlashSurface;

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

class FlashSurfaceMovieTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path;
    void SetUp() override {
        path = dir.filePath("tiny.swf");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(tinyMovie(5, 30));
    }
};

TEST_F(FlashSurfaceMovieTest, ClockAdvancesFramesWhilePlaying) {
    FlashSurface s;
    s.resize(220, 160);
    s.show();
    s.setMovie(path);
    ASSERT_EQ(s.TotalFrames(), 5);
    EXPECT_TRUE(s.IsPlaying());
    EXPECT_TRUE(waitFor([&] { return s.FrameNum() > 0; })) << "the frame number never moved";

    s.Stop();
    const int stoppedAt = s.FrameNum();
    waitFor([] { return false; }, 200);
    EXPECT_EQ(s.FrameNum(), stoppedAt);

    s.GotoFrame(3);
    EXPECT_EQ(s.FrameNum(), 3);
    s.Rewind();
    EXPECT_EQ(s.FrameNum(), 0);
    s.Play();
    EXPECT_TRUE(waitFor([&] { return s.FrameNum() > 0; }));
}

TEST_F(FlashSurfaceMovieTest, PaintsTheMovie) {
    FlashSurface s;
    s.resize(220, 160);
    s.setMovie(path);
    const QImage shot = s.grab().toImage();
    EXPECT_EQ(shot.pixelColor(110, 80), QColor(255, 0, 0));
}

TEST_F(FlashSurfaceMovieTest, EmptyingTheSurfaceForgetsTheMovie) {
    FlashSurface s;
    s.setMovie(path);
    ASSERT_EQ(s.TotalFrames(), 5);
    s.setMovie("");
    EXPECT_EQ(s.TotalFrames(), 0);
    EXPECT_EQ(s.FrameNum(), 0);
    EXPECT_FALSE(s.isTicking());
}

TEST(FlashSurfaceClock, TicksAtLeastAsOftenAsTheMovieNeeds) {
    EXPECT_EQ(FlashSurface::tickIntervalFor(1000.0 / 12), FlashSurface::TickMs);
    EXPECT_EQ(FlashSurface::tickIntervalFor(1000.0 / 60), FlashSurface::TickMs);
    EXPECT_EQ(FlashSurface::tickIntervalFor(1000.0 / 120), 8);
    EXPECT_EQ(FlashSurface::tickIntervalFor(0.2), 1);
    EXPECT_EQ(FlashSurface::tickIntervalFor(0), FlashSurface::TickMs);
    EXPECT_EQ(FlashSurface::tickIntervalFor(-5), FlashSurface::TickMs);
}

} // namespace
