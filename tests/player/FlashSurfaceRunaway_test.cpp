// Movies whose scripts never end, in a real window: the window keeps
// answering, the scripts are stopped for good, and opening another movie or
// closing the window meanwhile neither waits for the budget nor crashes.
#include "player/ProcessEventsUntil.h"
#include "TinyMovie.h"
#include "movie/MoviePlayer.h"
#include "movie/support/RunawayMovies.h"
#include "player/FlashSurface.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using nimbrel::movie::MoviePlayer;
using nimbrel::player::FlashSurface;
namespace test = nimbrel::movie::test;

namespace {


// Does something once, from a nested event while the movie's script runs (as
// a user's click would arrive).
struct FromInsideTheScript {
    QPointer<MoviePlayer> player;
    std::function<void()> act;
    bool done = false;
    QTimer poll;
    FromInsideTheScript(MoviePlayer& p, std::function<void()> what) : player(&p), act(std::move(what)) {
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (done || !player || !player->isBusy())
                return;
            done = true;
            poll.stop();
            act();
        });
        poll.start();
    }
};

class FlashSurfaceRunawayTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
};

} // namespace

TEST_F(FlashSurfaceRunawayTest, TheWindowKeepsAnsweringWhileTwentyClipsLoop) {
    // A 2 s budget keeps the test short; the default works the same way.
    const QString path = write("loops.swf", test::loopingClipsMovie(20, 2));
    QWidget window;
    window.resize(240, 180);
    auto* surface = new FlashSurface(&window);
    surface->resize(240, 180);
    window.show();
    QList<MoviePlayer::StopReason> halts;
    QObject::connect(&surface->player(), &MoviePlayer::scriptsHalted,
                     [&](MoviePlayer::StopReason why) { halts << why; });

    QElapsedTimer clock;
    std::vector<qint64> beats;
    int beatsWhileBusy = 0;
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    beat.setInterval(100);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        beats.push_back(clock.elapsed());
        if (surface->player().isBusy())
            ++beatsWhileBusy;
    });
    clock.start();
    beat.start();
    surface->setMovie(path);
    ASSERT_TRUE(processEventsUntil([&] { return !halts.isEmpty(); }, 8000)) << "the scripts were never stopped";
    const int frameAtStop = surface->FrameNum();
    EXPECT_TRUE(processEventsUntil([&] { return surface->FrameNum() != frameAtStop; }, 1500)) << "frames stopped too";
    beat.stop();

    EXPECT_GE(beatsWhileBusy, 12) << "the loop did not run under the timer";
    ASSERT_GE(beats.size(), 20u);
    qint64 shortest = beats[0], longest = beats[0];
    for (size_t i = 1; i < beats.size(); ++i) {
        shortest = std::min(shortest, beats[i] - beats[i - 1]);
        longest = std::max(longest, beats[i] - beats[i - 1]);
    }
    EXPECT_GE(shortest, 50);
    EXPECT_LE(longest, 150);
    EXPECT_EQ(halts, QList<MoviePlayer::StopReason>({MoviePlayer::StopReason::RanTooLong}));
    EXPECT_TRUE(surface->player().scriptsStopped());
    // The picture is still drawn.
    QColor background = surface->player().backgroundColor();
    background.setAlpha(255);
    EXPECT_EQ(surface->grab().toImage().pixelColor(120, 90), background);
}

TEST_F(FlashSurfaceRunawayTest, OpeningAnotherMovieDoesNotWaitForTheRunawayScript) {
    const QString loops = write("loops.swf", test::loopingClipsMovie(1, 30));
    const QString tiny = write("tiny.swf", tinyMovie(5, 30));
    FlashSurface surface;
    surface.resize(200, 150);
    surface.show();
    QList<MoviePlayer::StopReason> halts;
    QObject::connect(&surface.player(), &MoviePlayer::scriptsHalted,
                     [&](MoviePlayer::StopReason why) { halts << why; });
    QElapsedTimer sinceOpen;
    FromInsideTheScript open(surface.player(), [&] {
        sinceOpen.start();
        surface.setMovie(tiny);
    });
    surface.setMovie(loops);
    ASSERT_TRUE(processEventsUntil([&] { return open.done && surface.TotalFrames() == 5; }, 8000));
    EXPECT_LT(sinceOpen.elapsed(), 2000) << "the new movie waited for the old script";
    EXPECT_EQ(surface.Movie(), tiny);
    EXPECT_TRUE(halts.isEmpty());
    EXPECT_TRUE(processEventsUntil([&] { return surface.FrameNum() > 0; }, 2000));
}

TEST_F(FlashSurfaceRunawayTest, ClosingOrDeletingTheWindowWhileAScriptRunsAway) {
    const QString loops = write("loops.swf", test::loopingClipsMovie(3, 30));
    for (const bool deleteDirectly : {false, true}) {
        auto* window = new QWidget;
        if (!deleteDirectly)
            window->setAttribute(Qt::WA_DeleteOnClose);
        auto* surface = new FlashSurface(window);
        QPointer<QWidget> windowAlive(window);
        QPointer<MoviePlayer> playerAlive(&surface->player());
        window->resize(200, 150);
        window->show();
        QElapsedTimer sinceClose;
        FromInsideTheScript close(surface->player(), [&] {
            sinceClose.start();
            if (deleteDirectly)
                delete window;
            else
                window->close();
        });
        surface->setMovie(loops);
        EXPECT_TRUE(processEventsUntil([&] { return close.done && windowAlive.isNull() && playerAlive.isNull(); }, 8000))
            << deleteDirectly;
        EXPECT_LT(sinceClose.elapsed(), 3000) << deleteDirectly;
        delete windowAlive.data();
    }
}
