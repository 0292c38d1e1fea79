// Movies on levels above the main movie: loadMovieNum places one once it has
// come, _levelN names it from any script, it plays along with the main movie,
// and unloadMovieNum removes it when the next frame starts.
#include "support/TestFiles.h"
#include "movie/MoviePlayer.h"
#include "movie/support/SwfBuilder.h"
#include "support/ActionAssembler.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::avm1::test::ActionAssembler;
using nimbrel::movie::test::SwfBuilder;

namespace {

// loadMovieNum(url, level), or unloadMovieNum(level) for an empty url: GetURL2 to "_levelN".
ActionAssembler& levelRequest(ActionAssembler& a, const QString& url, int level) {
    return a.pushString(url).pushString(QStringLiteral("_level%1").arg(level)).record(0x9A, {0});
}

QByteArray movieOfFrames(const std::vector<ActionAssembler>& frames) {
    SwfBuilder b;
    for (const auto& f : frames) {
        b.doAction(f.tagBody());
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 24, uint16_t(frames.size()));
}

// Two frames, each tracing which it is and _root, which names the level's own root.
QByteArray levelMovie() {
    auto frame = [](const char* which) {
        ActionAssembler a;
        a.pushString(QLatin1String(which)).getVariable(QStringLiteral("_root")).op(0x47).trace();
        return a;
    };
    return movieOfFrames({frame("level frame 1 of "), frame("level frame 2 of ")});
}


struct HostRun {
    QTemporaryDir dir;
    MoviePlayer player;
    QStringList lines;
    explicit HostRun(const QByteArray& host) {
        writeTestFile(dir.filePath(QStringLiteral("host.swf")), host);
        writeTestFile(dir.filePath(QStringLiteral("level.swf")), levelMovie());
        player.setTraceSink([this](const QString& l) { lines.append(l); });
        player.setMovie(dir.filePath(QStringLiteral("host.swf")));
    }
};

} // namespace

TEST(Levels, ALoadedLevelPlaysUntilTheFrameAfterItsUnload) {
    ActionAssembler load, unload, after;
    levelRequest(load, QStringLiteral("level.swf"), 1);
    unload.getVariable(QStringLiteral("_level1")).trace();
    levelRequest(unload, QString(), 1);
    unload.getVariable(QStringLiteral("_level1")).trace();
    after.getVariable(QStringLiteral("_level1")).trace().op(0x07);
    HostRun run(movieOfFrames({load, unload, after}));
    ASSERT_TRUE(run.player.isLoaded());
    for (int i = 0; i < 2; ++i) run.player.stepFrame();
    EXPECT_EQ(run.lines, QStringList({"level frame 1 of _level1",
                                      // The unload waits for the next frame: the level is still there and plays on.
                                      "_level1", "_level1", "level frame 2 of _level1",
                                      "undefined"}));
}

TEST(Levels, UnloadingBeforeTheMovieCameDropsTheLoadAndANewerLoadReplacesAnOlder) {
    ActionAssembler first, check;
    levelRequest(first, QStringLiteral("level.swf"), 2);
    levelRequest(first, QString(), 2);
    levelRequest(first, QStringLiteral("missing.swf"), 3);
    levelRequest(first, QStringLiteral("level.swf?greeting=hi%20there"), 3);
    check.getVariable(QStringLiteral("_level2")).trace().getVariable(QStringLiteral("_level3")).trace();
    // The query's variables are the level's own; its slash path keeps the level's name.
    check.getVariable(QStringLiteral("_level3.greeting")).trace().getVariable(QStringLiteral("_level3._target")).trace();
    check.op(0x07);
    HostRun run(movieOfFrames({first, check}));
    run.player.stepFrame();
    EXPECT_EQ(run.lines, QStringList({"level frame 1 of _level3", "undefined", "_level3", "hi there", "_level3",
                                      "level frame 2 of _level3"}));
}

TEST(Levels, ALevelHearsThePointerLikeTheMainMovie) {
    // The level's root handles onMouseDown; the main movie loads it on level 2.
    ActionAssembler levelScript, load;
    levelScript.pushString(QStringLiteral("onMouseDown"))
        .defineFunction(QString(), {}, ActionAssembler().traceString(QStringLiteral("level heard the press")))
        .setVariable();
    levelRequest(load, QStringLiteral("listening.swf"), 2);
    load.op(0x07);
    QTemporaryDir dir;
    writeTestFile(dir.filePath(QStringLiteral("listening.swf")), movieOfFrames({levelScript}));
    writeTestFile(dir.filePath(QStringLiteral("host.swf")), movieOfFrames({load}));
    MoviePlayer player;
    QStringList lines;
    player.setTraceSink([&lines](const QString& l) { lines.append(l); });
    player.setMovie(dir.filePath(QStringLiteral("host.swf")));
    ASSERT_TRUE(player.isLoaded());
    const QSize viewport = player.stageSize();
    player.mousePress(QPointF(10, 10), viewport);
    player.mouseRelease(QPointF(10, 10), viewport);
    EXPECT_EQ(lines, QStringList({"level heard the press"}));
}
