// The player facade and scripts that run long, on a manual clock: one budget
// per frame, the file's ScriptLimits, no catch-up after a cut frame, scripts
// stopped for good, and nothing re-entering the movie while a script runs.
#include "movie/MoviePlayer.h"
#include "movie/support/RunawayMovies.h"
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::SwfBuilder;

namespace {

// Frames of action lists, each list one DoAction tracing its text.
QByteArray framesOfLists(const QList<QStringList>& frames, uint16_t timeoutSeconds)
{
    SwfBuilder b;
    test::scriptLimits(b, 256, timeoutSeconds);
    for (const QStringList& lists : frames) {
        for (const QString& text : lists)
            b.doAction(avm1::test::ActionAssembler().traceString(text).tagBody());
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 2000, 0, 2000}, 10, uint16_t(frames.size()));
}

struct ManualPlayer {
    MoviePlayer player;
    double now = 0;
    double perRead = 0;  // ms the clock moves each time it is read
    double perTrace = 0; // ms each traced line costs
    QStringList traces;
    QList<MoviePlayer::StopReason> halts;
    ManualPlayer()
    {
        player.setScriptClock([this] { return now += perRead; });
        player.setTraceSink([this](const QString& line) {
            traces << line;
            now += perTrace;
        });
        QObject::connect(&player, &MoviePlayer::scriptsHalted,
                         [this](MoviePlayer::StopReason why) { halts << why; });
    }
};

void processPostedEvents()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

TEST(ScriptTimeBudget, TheScriptsOfAFrameShareOneBudget)
{
    ManualPlayer m;
    m.perTrace = 800;
    // A 2 s budget: two lists of 800 ms fit a frame, the fourth of a frame does not start.
    ASSERT_TRUE(m.player.loadData(framesOfLists({{"a0", "b0"}, {"a1", "b1"}, {"a2", "b2", "c2", "d2"}, {"a3"}}, 2)));
    m.player.stepFrame();
    EXPECT_FALSE(m.player.scriptsStopped()); // every frame starts with the whole budget
    m.player.stepFrame();
    EXPECT_EQ(m.traces, QStringList({"a0", "b0", "a1", "b1", "a2", "b2", "c2"}));
    EXPECT_EQ(m.player.scriptStopReason(), MoviePlayer::StopReason::RanTooLong);
    EXPECT_EQ(m.halts, QList<MoviePlayer::StopReason>({MoviePlayer::StopReason::RanTooLong}));

    // Stopped for good: the frames go on, their scripts do not.
    m.player.stepFrame();
    EXPECT_EQ(m.player.frameNum(), 3);
    EXPECT_EQ(m.traces.size(), 7);
    EXPECT_EQ(m.halts.size(), 1);
}

TEST(ScriptTimeBudget, TheFilesScriptLimitsSetTheBudget)
{
    struct Case {
        uint16_t timeoutSeconds; // 0: no ScriptLimits tag
        double budgetMs;
    };
    // The reference player's 15 s unless the file says otherwise; a file cannot ask for hours.
    for (const Case& c : {Case{0, 15000}, Case{3, 3000}, Case{600, 60000}}) {
        ManualPlayer m;
        m.perRead = 1;
        ASSERT_TRUE(m.player.loadData(test::tracingFramesMovie({"first", ""}, c.timeoutSeconds)));
        const double start = m.now;
        m.player.stepFrame();
        EXPECT_TRUE(m.player.scriptsStopped()) << c.timeoutSeconds;
        EXPECT_GE(m.now - start, c.budgetMs) << c.timeoutSeconds;
        // Each clock read moves this clock, the host's share included: a little over.
        EXPECT_LT(m.now - start, c.budgetMs * 1.05) << c.timeoutSeconds;
    }
}

TEST(ScriptTimeBudget, NoCatchUpFramesAfterACutFrame)
{
    ManualPlayer m;
    m.perRead = 1;
    ASSERT_TRUE(m.player.loadData(test::tracingFramesMovie({"f0", "", "f2", "f3", "f4"}, 1)));
    const double interval = m.player.frameIntervalMs();
    // Three frames are due; the second runs away and ends the advance.
    m.player.advanceTime(3.5 * interval);
    EXPECT_EQ(m.player.frameNum(), 1);
    EXPECT_EQ(m.traces, QStringList({"f0", "loop"}));
    EXPECT_TRUE(m.player.scriptsStopped());

    // The host then reports the seconds the frame took, and more: none of it is made up for.
    m.now += 30;
    m.player.advanceTime(5000);
    EXPECT_EQ(m.player.frameNum(), 1);
    m.player.advanceTime(interval);
    EXPECT_EQ(m.player.frameNum(), 2);
    EXPECT_EQ(m.traces, QStringList({"f0", "loop"}));
}

TEST(ScriptTimeBudget, NothingReentersTheMovieWhileAScriptRuns)
{
    ManualPlayer m;
    m.perRead = 1;
    ASSERT_TRUE(m.player.loadData(test::tracingFramesMovie({"f0", "", "f2", "f3"}, 1)));
    int calls = 0;
    bool busyInside = true;
    m.player.setStillRunningHook([&] {
        ++calls;
        busyInside = busyInside && m.player.isBusy();
        // What a window's nested events could ask for: all of it waits or is dropped.
        m.player.advanceTime(1000);
        m.player.stepFrame();
        m.player.mousePress(QPointF(10, 10), QSize(100, 100));
        m.player.keyPress(65, QStringLiteral("a"));
        m.player.gotoFrame(3);
        EXPECT_EQ(m.player.frameNum(), 1);
    });
    m.player.stepFrame();
    EXPECT_GT(calls, 10);
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(m.player.isBusy());
    EXPECT_EQ(m.player.frameNum(), 1);
    // The goto was put off until the script had unwound.
    processPostedEvents();
    EXPECT_EQ(m.player.frameNum(), 3);
}

TEST(ScriptTimeBudget, ANewMovieCutsTheRunningScriptShortAndWaitsForIt)
{
    ManualPlayer m;
    m.perRead = 1;
    ASSERT_TRUE(m.player.loadData(test::tracingFramesMovie({"f0", ""}, 10)));
    m.player.setStillRunningHook([&] { m.player.setMovie(QString()); });
    m.player.stepFrame();
    EXPECT_LT(m.now, 500); // not the ten seconds the file allows
    EXPECT_FALSE(m.player.scriptsStopped()); // cut short, not stopped for good
    EXPECT_TRUE(m.player.isLoaded());
    processPostedEvents();
    EXPECT_FALSE(m.player.isLoaded());
    EXPECT_TRUE(m.halts.isEmpty());
}

TEST(ScriptTimeBudget, APlayerToldToGoWhileItsScriptRunsGoesOnceItUnwound)
{
    auto* p = new MoviePlayer;
    QPointer<MoviePlayer> alive(p);
    double now = 0;
    p->setScriptClock([&] { return now += 1; });
    ASSERT_TRUE(p->loadData(test::tracingFramesMovie({"f0", ""}, 10)));
    bool stillThereInside = false;
    p->setStillRunningHook([&] {
        p->deleteWhenIdle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        stillThereInside = !alive.isNull();
    });
    p->stepFrame();
    EXPECT_TRUE(stillThereInside);
    EXPECT_LT(now, 500);
    ASSERT_FALSE(alive.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    processPostedEvents();
    EXPECT_TRUE(alive.isNull());
}
