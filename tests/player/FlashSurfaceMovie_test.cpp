// The surface driving a real movie: its clock advances the frames, the
// commands reach the engine and painting draws the movie.
#include "player/ProcessEventsUntil.h"
#include "TinyMovie.h"
#include "movie/support/HeavyScene.h"
#include "movie/MoviePlayer.h"
#include "movie/support/SwfBuilder.h"
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
    EXPECT_TRUE(processEventsUntil([&] { return s.FrameNum() > 0; })) << "the frame number never moved";

    s.Stop();
    const int stoppedAt = s.FrameNum();
    processEventsUntil([] { return false; }, 200);
    EXPECT_EQ(s.FrameNum(), stoppedAt);

    s.GotoFrame(3);
    EXPECT_EQ(s.FrameNum(), 3);
    s.Rewind();
    EXPECT_EQ(s.FrameNum(), 0);
    s.Play();
    EXPECT_TRUE(processEventsUntil([&] { return s.FrameNum() > 0; }));
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

// Counts the paint events a widget gets.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

// Plays the movie at `path` on a shown surface for about `ms` and counts the
// paints after the first picture; `frames` tells how many frames went by.
int paintsWhilePlaying(const QString& path, int ms, int* frames) {
    FlashSurface s;
    s.resize(200, 150);
    s.show();
    PaintCounter counter;
    s.installEventFilter(&counter);
    s.setMovie(path);
    processEventsUntil([&] { return counter.paints > 0; });
    processEventsUntil([] { return false; }, 100); // the window settles
    counter.paints = 0;
    const int from = s.FrameNum();
    int played = 0, last = from;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (s.FrameNum() != last)
            ++played, last = s.FrameNum();
        QThread::msleep(2);
    }
    *frames = played;
    return counter.paints;
}

TEST_F(FlashSurfaceMovieTest, AFrameThatLooksLikeTheLastIsNotPaintedAgain) {
    int frames = 0;
    EXPECT_EQ(paintsWhilePlaying(path, 400, &frames), 0);
    EXPECT_GE(frames, 3) << "the movie played on all the same";
}

TEST_F(FlashSurfaceMovieTest, FramesThatChangeArePainted) {
    nimbrel::movie::test::HeavySceneOptions options;
    options.objects = 3;
    options.width = 200;
    options.height = 150;
    options.frameRate = 30;
    const QString moving = dir.filePath("moving.swf");
    QFile f(moving);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(nimbrel::movie::test::buildHeavyScene(options));
    f.close();
    int frames = 0;
    const int paints = paintsWhilePlaying(moving, 400, &frames);
    EXPECT_GE(frames, 3);
    EXPECT_GE(paints, frames / 2) << "about one paint a frame";
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

// A movie that starts a second-long tone on its first frame.
static QByteArray soundMovie() {
    nimbrel::movie::test::SwfBuilder b;
    nimbrel::movie::test::BitWriter w;
    w.u16(1);
    w.u8(0x32); // little-endian PCM, 5.5 kHz, 16-bit, mono
    w.u32(5512);
    QByteArray samples;
    for (int i = 0; i < 5512; ++i) samples += QByteArray::fromHex(i % 10 < 5 ? "0040" : "00c0");
    w.bytes(samples);
    b.tag(14, w.data(), true);
    b.tag(15, QByteArray("\x01\x00\x00", 3)); // StartSound 1, no sound info
    for (int i = 0; i < 5; ++i) b.showFrame();
    b.end();
    return b.build(nimbrel::movie::test::SwfBuilder::Container::Fws, 8, {0, 2000, 0, 2000}, 30, 5);
}

TEST_F(FlashSurfaceMovieTest, MovieWithSoundPlaysWhetherOrNotASoundCardIsThere) {
    QFile f(dir.filePath("sound.swf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(soundMovie());
    f.close();
    FlashSurface s;
    bool failed = false;
    QObject::connect(&s.player(), &nimbrel::movie::MoviePlayer::loadFailed, [&] { failed = true; });
    s.player().setSoundVolume(0.3);
    s.setMovie(f.fileName());
    ASSERT_EQ(s.TotalFrames(), 5);
    EXPECT_TRUE(processEventsUntil([&] { return s.FrameNum() > 1; })) << "sound held the frames up";
    s.Stop();
    EXPECT_FALSE(failed);
    EXPECT_DOUBLE_EQ(s.player().soundVolume(), 0.3);
}
