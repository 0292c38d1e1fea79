// The surface driving a real movie: its clock advances the frames, the
// commands reach the engine and painting draws the movie.
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

// A minimal uncompressed movie: 550 x 400 px stage, red background,
// `frames` empty frames at `fps` frames per second.
QByteArray tinyMovie(int frames, int fps) {
    QByteArray rect;
    quint64 bits = 0;
    int used = 0;
    auto put = [&](quint32 value, int n) {
        for (int i = n - 1; i >= 0; --i) {
            bits = (bits << 1) | ((value >> i) & 1);
            if (++used == 8) {
                rect.append(char(bits & 0xFF));
                bits = 0;
                used = 0;
            }
        }
    };
    put(15, 5);
    for (quint32 v : {0u, 550u * 20, 0u, 400u * 20})
        put(v, 15);
    if (used)
        put(0, 8 - used);

    QByteArray body = rect;
    auto u16 = [&](quint16 v) { body.append(char(v & 0xFF)).append(char(v >> 8)); };
    u16(quint16(fps << 8));
    u16(quint16(frames));
    u16((9 << 6) | 3);  // background colour
    body.append('\xFF').append('\0').append('\0');
    for (int i = 0; i < frames; ++i)
        u16(1 << 6);  // show frame
    u16(0);           // end

    QByteArray swf("FWS\x06", 4);
    quint32 length = quint32(8 + body.size());
    char le[4];
    qToLittleEndian(length, le);
    swf.append(le, 4).append(body);
    return swf;
}

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
