// The facade as the main window uses it: loading, clock, commands, drawing.
#include "movie/MoviePlayer.h"
#include "movie/display/MovieClip.h"
#include "movie/support/SwfBuilder.h"
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include "movie/display/ScriptEngine.h"
#include <functional>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

namespace {

// Ten frames at 10 fps; a red 100x100 px square at (50,50), and a blue
// square that moves right by 10 px each frame. `paddingBytes` adds a tag the
// player skips, to make a file large enough to be parsed in the background.
QByteArray tenFrames(int paddingBytes = 0) {
    SwfBuilder b;
    if (paddingBytes > 0) b.tag(1000, QByteArray(paddingBytes, 'p'), true);
    b.setBackground({255, 255, 255, 255});
    b.defineRect(1, {0, 2000, 0, 2000}, {255, 0, 0, 255});
    b.defineRect(2, {0, 400, 0, 400}, {0, 0, 255, 255});
    Placement red;
    red.characterId = 1;
    red.depth = 1;
    red.matrix = swf::Matrix{1, 0, 0, 1, 1000, 1000};
    b.placeObject2(red);
    for (int f = 0; f < 10; ++f) {
        Placement blue;
        blue.depth = 2;
        blue.matrix = swf::Matrix{1, 0, 0, 1, 200.0 * f, 6000};
        if (f == 0) blue.characterId = 2;
        else blue.move = true;
        b.placeObject2(blue);
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Cws, 8, {0, 11000, 0, 8000}, 10, 10);
}

QString writeTemp(QTemporaryDir& dir, const QByteArray& bytes, const QString& name = QStringLiteral("m.swf")) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

TEST(MoviePlayer, LoadsLocalPathsAndFileUrlsAndPlaysOnLoad) {
    QTemporaryDir dir;
    const QString path = writeTemp(dir, tenFrames());
    for (const QString& address : {path, QUrl::fromLocalFile(path).toString()}) {
        MoviePlayer p;
        p.setMovie(address);
        ASSERT_TRUE(p.isLoaded()) << p.errorString().toStdString();
        EXPECT_EQ(p.movie(), address);
        EXPECT_TRUE(p.isPlaying());
        EXPECT_EQ(p.frameNum(), 0);
        EXPECT_EQ(p.totalFrames(), 10);
        EXPECT_EQ(p.stageSize(), QSize(550, 400));
    }
}

TEST(MoviePlayer, EmptyingAndFailingLoads) {
    QTemporaryDir dir;
    MoviePlayer p;
    QStringList failures;
    QObject::connect(&p, &MoviePlayer::loadFailed, [&](const QString& r) { failures << r; });
    p.setMovie(writeTemp(dir, tenFrames()));
    ASSERT_TRUE(p.isLoaded());
    p.setMovie(QString());
    EXPECT_FALSE(p.isLoaded());
    EXPECT_EQ(p.totalFrames(), 0);
    EXPECT_EQ(p.frameNum(), 0);
    EXPECT_FALSE(p.isPlaying());
    EXPECT_TRUE(failures.isEmpty());
    p.setMovie(dir.filePath(QStringLiteral("missing.swf")));
    p.setMovie(writeTemp(dir, QByteArray("not a movie at all"), QStringLiteral("bad.swf")));
    EXPECT_EQ(failures.size(), 2);
    EXPECT_FALSE(p.isLoaded());
    // Commands on an empty player do nothing rather than fail.
    p.play();
    p.gotoFrame(3);
    p.zoom(50);
    p.advanceTime(1000);
    EXPECT_EQ(p.frameNum(), 0);
    EXPECT_FALSE(p.renderImage(QSize(20, 20)).isNull());
}

TEST(MoviePlayer, NetworkAddressesLoadWithoutBlocking) {
    MoviePlayer p;
    QString failure;
    QObject::connect(&p, &MoviePlayer::loadFailed, [&](const QString& r) { failure = r; });
    // Nothing listens on port 1: the failure must arrive later, through the event loop.
    p.setMovie(QStringLiteral("http://127.0.0.1:1/movie.swf"));
    EXPECT_FALSE(p.isLoaded());
    EXPECT_TRUE(failure.isEmpty());
    QEventLoop loop;
    QObject::connect(&p, &MoviePlayer::loadFailed, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_FALSE(p.isLoaded());
}

namespace {

// Runs the event loop until the player reports its load, or ten seconds pass.
bool waitForLoad(MoviePlayer& p) {
    QEventLoop loop;
    bool done = false;
    auto finish = [&] {
        done = true;
        loop.quit();
    };
    QObject::connect(&p, &MoviePlayer::loaded, &loop, finish);
    QObject::connect(&p, &MoviePlayer::loadFailed, &loop, finish);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return done;
}

// Lets every worker finish and hands its result to the player.
void settleBackgroundParses() {
    ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(10000));
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

} // namespace

TEST(MoviePlayer, LargeFilesParseInTheBackgroundAndPlayWhenReady) {
    QTemporaryDir dir;
    const QString big = writeTemp(dir, tenFrames(int(MoviePlayer::backgroundParseBytes) + 1024), QStringLiteral("big.swf"));
    MoviePlayer p;
    p.setMovie(big);
    // Until the parse is done the player reads as empty, with the path set.
    EXPECT_FALSE(p.isLoaded());
    EXPECT_EQ(p.movie(), big);
    EXPECT_EQ(p.totalFrames(), 0);
    EXPECT_EQ(p.frameNum(), 0);
    EXPECT_FALSE(p.isPlaying());
    EXPECT_TRUE(p.errorString().isEmpty());
    p.play();
    p.advanceTime(1000);
    EXPECT_FALSE(p.renderImage(QSize(20, 20)).isNull());
    ASSERT_TRUE(waitForLoad(p));
    ASSERT_TRUE(p.isLoaded()) << p.errorString().toStdString();
    EXPECT_EQ(p.totalFrames(), 10);
    EXPECT_TRUE(p.isPlaying());
    EXPECT_EQ(p.stageSize(), QSize(550, 400));

    // A damaged large file fails later, through the same signal as any failure.
    QByteArray broken = tenFrames(int(MoviePlayer::backgroundParseBytes) + 1024);
    broken.truncate(20); // the header promises far more than the file holds
    const QString bad = writeTemp(dir, broken, QStringLiteral("bad.swf"));
    QString failure;
    QObject::connect(&p, &MoviePlayer::loadFailed, [&](const QString& r) { failure = r; });
    p.setMovie(bad);
    EXPECT_FALSE(p.isLoaded());
    EXPECT_TRUE(failure.isEmpty());
    ASSERT_TRUE(waitForLoad(p));
    EXPECT_FALSE(p.isLoaded());
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_EQ(p.errorString(), failure);
}

TEST(MoviePlayer, ABackgroundParseOvertakenByAnotherLoadIsDropped) {
    QTemporaryDir dir;
    const QString big = writeTemp(dir, tenFrames(int(MoviePlayer::backgroundParseBytes) + 1024), QStringLiteral("big.swf"));
    SwfBuilder one;
    one.showFrame();
    one.end();
    const QString small = writeTemp(dir, one.build(SwfBuilder::Container::Fws, 8, {0, 2000, 0, 2000}, 12, 1));
    for (const QString& next : {small, QString()}) {
        MoviePlayer p;
        int loads = 0;
        QObject::connect(&p, &MoviePlayer::loaded, [&] { ++loads; });
        p.setMovie(big);
        p.setMovie(next);
        settleBackgroundParses();
        EXPECT_EQ(p.movie(), next);
        EXPECT_EQ(p.totalFrames(), next.isEmpty() ? 0 : 1);
        EXPECT_EQ(loads, next.isEmpty() ? 0 : 1);
    }
    // A player destroyed while its file is parsed leaves nothing behind to call it.
    {
        MoviePlayer p;
        p.setMovie(big);
    }
    settleBackgroundParses();
}

TEST(MoviePlayer, ClockAdvancesAtTheFrameRateAndDropsFramesWhenLate) {
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(tenFrames()));
    EXPECT_DOUBLE_EQ(p.frameIntervalMs(), 100);
    p.advanceTime(99);
    EXPECT_EQ(p.frameNum(), 0);
    p.advanceTime(1);
    EXPECT_EQ(p.frameNum(), 1);
    p.advanceTime(250);
    EXPECT_EQ(p.frameNum(), 3);
    p.advanceTime(50); // the half frame carried over completes
    EXPECT_EQ(p.frameNum(), 4);
    // Five seconds late: only a few frames catch up, the rest is dropped.
    p.advanceTime(5000);
    EXPECT_EQ(p.frameNum(), 4 + MoviePlayer::maxCatchUpFrames);
    p.advanceTime(99);
    EXPECT_EQ(p.frameNum(), 4 + MoviePlayer::maxCatchUpFrames); // nothing owed afterwards
}

TEST(MoviePlayer, TransportCommands) {
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(tenFrames()));
    p.stop();
    p.advanceTime(1000);
    EXPECT_EQ(p.frameNum(), 0);
    p.play();
    p.advanceTime(300);
    EXPECT_EQ(p.frameNum(), 3);
    p.gotoFrame(7);
    EXPECT_EQ(p.frameNum(), 7);
    EXPECT_FALSE(p.isPlaying()); // stands at the frame it was sent to
    p.advanceTime(300);
    EXPECT_EQ(p.frameNum(), 7);
    p.setFrameNum(50);
    EXPECT_EQ(p.frameNum(), 9);
    p.play();
    p.advanceTime(100);
    EXPECT_EQ(p.frameNum(), 0); // looped
    p.advanceTime(200);
    p.rewind();
    EXPECT_EQ(p.frameNum(), 0);
    EXPECT_TRUE(p.isPlaying());
}

TEST(MoviePlayer, DrawsTheStageWithItsBackgroundScaleModeAndZoom) {
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(tenFrames()));
    QImage img = p.renderImage(QSize(550, 400));
    EXPECT_EQ(img.pixelColor(100, 100), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(10, 10), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(10, 310), QColor(0, 0, 255));
    p.gotoFrame(5); // blue moved 50 px right
    img = p.renderImage(QSize(550, 400));
    EXPECT_EQ(img.pixelColor(10, 310), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(60, 310), QColor(0, 0, 255));
    // Twice the pixels at a device pixel ratio of 2.
    img = p.renderImage(QSize(550, 400), 2.0);
    EXPECT_EQ(img.size(), QSize(1100, 800));
    EXPECT_EQ(img.pixelColor(200, 200), QColor(255, 0, 0));
    // Zoomed in by two around the centre: the red square now spans -175..25 across.
    p.zoom(50);
    img = p.renderImage(QSize(550, 400));
    EXPECT_EQ(img.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(30, 30), QColor(255, 255, 255));
    p.zoom(0);
    // Stretch: a viewport twice as wide doubles x only.
    p.setScaleMode(2);
    img = p.renderImage(QSize(1100, 400));
    EXPECT_EQ(img.pixelColor(110, 60), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(90, 60), QColor(255, 255, 255));
    // Painting into a widget-like device goes through the same drawing.
    QImage target(550, 400, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::black);
    QPainter painter(&target);
    p.setScaleMode(0);
    p.render(painter, QSize(550, 400));
    painter.end();
    EXPECT_EQ(target.pixelColor(100, 100), QColor(255, 0, 0));
}

TEST(MoviePlayer, ClipDepthMasksCutWhatTheyCover) {
    SwfBuilder b;
    b.defineRect(1, {0, 11000, 0, 8000}, {0, 255, 0, 255}); // covers the stage
    b.defineRect(2, {0, 2000, 0, 2000}, {0, 0, 0, 255});    // the mask: 100 px square
    Placement mask;
    mask.characterId = 2;
    mask.depth = 1;
    mask.clipDepth = 2;
    b.placeObject2(mask);
    Placement under;
    under.characterId = 1;
    under.depth = 2;
    b.placeObject2(under);
    b.showFrame();
    b.end();
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(b.build()));
    const QImage img = p.renderImage(QSize(550, 400));
    EXPECT_EQ(img.pixelColor(50, 50), QColor(0, 255, 0));    // inside the mask
    EXPECT_EQ(img.pixelColor(300, 300), QColor(255, 255, 255)); // masked away
}

TEST(MoviePlayer, ColourTransformsMultiplyDownTheTree) {
    SwfBuilder inner;
    Placement sq;
    sq.characterId = 1;
    sq.depth = 1;
    sq.cxform = swf::ColorTransform{256, 256, 256, 256, 0, 0, 255, 0}; // add blue
    inner.placeObject2(sq);
    inner.showFrame();
    inner.end();
    SwfBuilder b;
    b.defineRect(1, {0, 2000, 0, 2000}, {255, 0, 0, 255});
    b.defineSprite(3, 1, inner);
    Placement clip;
    clip.characterId = 3;
    clip.depth = 1;
    clip.cxform = swf::ColorTransform{128, 256, 256, 256, 0, 0, 0, 0}; // halve red
    b.placeObject2(clip);
    b.showFrame();
    b.end();
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(b.build()));
    const QColor c = p.renderImage(QSize(550, 400)).pixelColor(50, 50);
    EXPECT_EQ(c.red(), 127); // 255 * 128 / 256, truncated as the SWF file format does
    EXPECT_EQ(c.blue(), 255);
}

namespace {
// Calls back into the player from inside a frame's actions, as a host reacting
// to an fscommand would.
class ReentrantEngine : public display::ScriptEngine {
public:
    explicit ReentrantEngine(std::function<void()> hook) : hook_(std::move(hook)) {}
    void frameActions(display::MovieClip*, const QByteArray&) override { hook_(); }

private:
    std::function<void()> hook_;
};
} // namespace

TEST(MoviePlayer, ReplacingTheMovieFromInsideItsScriptsWaitsForTheScriptsToEnd) {
    SwfBuilder b;
    b.doAction("go");
    b.showFrame();
    b.doAction("go");
    b.showFrame();
    b.end();
    MoviePlayer p;
    int calls = 0;
    p.setScriptEngineFactory([&] {
        return std::make_unique<ReentrantEngine>([&] {
            ++calls;
            p.setMovie(QString());
            EXPECT_FALSE(p.loadData(tenFrames())); // refused, not torn down mid-run
        });
    });
    ASSERT_TRUE(p.loadData(b.build(SwfBuilder::Container::Fws, 10, {0, 100, 0, 100}, 24, 2)));
    EXPECT_TRUE(p.isLoaded()); // the request waits for the event loop
    p.stepFrame();
    EXPECT_EQ(calls, 2);
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_FALSE(p.isLoaded());
    EXPECT_EQ(p.movie(), QString());
}
