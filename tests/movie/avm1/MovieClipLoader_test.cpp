// MovieClipLoader through the player: a movie beside the host is loaded into
// a clip after the frame's scripts and the loader's handlers hear start, progress and
// complete, then init after the loaded movie's first frame; a missing file
// reports an error.
#include "support/TestFiles.h"
#include "movie/MoviePlayer.h"
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Interpreter.h"
#include "movie/display/MovieClip.h"
#include "movie/support/SwfBuilder.h"
#include "support/ActionAssembler.h"
#include "support/ScriptFixture.h"
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::avm1::test::ActionAssembler;
using nimbrel::movie::test::SwfBuilder;

namespace {

// mcl = new MovieClipLoader(), a handler tracing each event's name, then mcl.loadClip(url, "clip").
// onLoadError also traces the clip it names and its error code.
ActionAssembler loaderScript(const QString& url) {
    ActionAssembler a;
    a.pushString(QStringLiteral("mcl")).pushInt(0).pushString(QStringLiteral("MovieClipLoader")).op(0x40).setVariable();
    for (const char* event : {"onLoadStart", "onLoadProgress", "onLoadComplete", "onLoadInit", "onLoadError"}) {
        ActionAssembler handler;
        handler.pushString(QLatin1String(event));
        if (QLatin1String(event) == QLatin1String("onLoadError")) {
            handler.pushString(QStringLiteral(" ")).op(0x47).getVariable(QStringLiteral("target")).op(0x47);
            handler.pushString(QStringLiteral(" ")).op(0x47).getVariable(QStringLiteral("code")).op(0x47);
        }
        a.getVariable(QStringLiteral("mcl"))
            .pushString(QLatin1String(event))
            .defineFunction(QString(), {QStringLiteral("target"), QStringLiteral("code")}, handler.trace())
            .op(0x4F);
    }
    a.pushString(QStringLiteral("clip")).pushString(url).pushInt(2).getVariable(QStringLiteral("mcl"));
    a.pushString(QStringLiteral("loadClip")).op(0x52).trace();
    return a;
}

// With a second script, a second frame runs it (and the movie loops back).
QByteArray hostMovie(const ActionAssembler& script, const ActionAssembler* second = nullptr) {
    SwfBuilder b;
    b.placeEmptyClip(20, QStringLiteral("clip"));
    b.doAction(script.tagBody());
    b.showFrame();
    if (second) {
        b.doAction(second->tagBody());
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 24, second ? 2 : 1);
}

QByteArray loadedChildMovie() {
    SwfBuilder b;
    b.doAction(ActionAssembler().traceString(QStringLiteral("child frame 1")).tagBody());
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8);
}

// A 3x2 PNG picture.
QByteArray pictureFile() {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}


} // namespace

TEST(MovieClipLoader, LoadsBesideTheMovieOnALaterFrameAndReportsEachStep) {
    QTemporaryDir dir;
    writeTestFile(dir.filePath(QStringLiteral("host.swf")), hostMovie(loaderScript(QStringLiteral("child.swf"))));
    writeTestFile(dir.filePath(QStringLiteral("child.swf")), loadedChildMovie());
    MoviePlayer p;
    QStringList lines;
    p.setTraceSink([&lines](const QString& l) { lines.append(l); });
    p.setMovie(dir.filePath(QStringLiteral("host.swf")));
    ASSERT_TRUE(p.isLoaded());
    // The call answers first; the movie arrives once the frame's scripts are done.
    EXPECT_EQ(lines, QStringList({"true", "onLoadStart", "onLoadProgress", "onLoadComplete", "child frame 1"}));
    for (int i = 0; i < 3; ++i) p.stepFrame();
    EXPECT_EQ(lines, QStringList({"true", "onLoadStart", "onLoadProgress", "onLoadComplete", "child frame 1",
                                  "onLoadInit"}));
    auto* clip = p.root()->childByName(QStringLiteral("clip"));
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->placedName(), QString()) << "the loaded movie's clip is new, named after the old one";
}

TEST(MovieClipLoader, MissingFilesReportAnErrorAndLeaveTheClip) {
    QTemporaryDir dir;
    writeTestFile(dir.filePath(QStringLiteral("host.swf")), hostMovie(loaderScript(QStringLiteral("missing.swf"))));
    MoviePlayer p;
    QStringList lines;
    p.setTraceSink([&lines](const QString& l) { lines.append(l); });
    p.setMovie(dir.filePath(QStringLiteral("host.swf")));
    auto* before = p.root()->childByName(QStringLiteral("clip"));
    for (int i = 0; i < 3; ++i) p.stepFrame();
    EXPECT_EQ(lines, QStringList({"true", "onLoadError _level0.clip URLNotFound"}));
    EXPECT_EQ(p.root()->childByName(QStringLiteral("clip")), before);
}

TEST(MovieClipLoader, ProgressCountsTheBytesOfWhatALevelOrPathHolds) {
    // trace(mcl.getProgress(target).bytesTotal) for a path, level 0 and a path to nothing;
    // then trace(mcl.getProgress({})) for an object that is no clip.
    ActionAssembler check;
    auto progress = [&check](const std::function<void()>& pushTarget) {
        pushTarget();
        check.pushInt(1).getVariable(QStringLiteral("mcl")).pushString(QStringLiteral("getProgress")).op(0x52);
    };
    progress([&] { check.pushString(QStringLiteral("clip")); });
    check.pushString(QStringLiteral("bytesTotal")).op(0x4E).trace();
    progress([&] { check.pushInt(0); });
    check.pushString(QStringLiteral("bytesTotal")).op(0x4E).trace();
    progress([&] { check.pushString(QStringLiteral("nothing")); });
    check.pushString(QStringLiteral("bytesTotal")).op(0x4E).trace();
    progress([&] { check.pushInt(0).op(0x43); });
    check.trace();
    QTemporaryDir dir;
    const QByteArray host = hostMovie(loaderScript(QStringLiteral("child.swf")), &check);
    writeTestFile(dir.filePath(QStringLiteral("host.swf")), host);
    writeTestFile(dir.filePath(QStringLiteral("child.swf")), loadedChildMovie());
    MoviePlayer p;
    QStringList lines;
    p.setTraceSink([&lines](const QString& l) { lines.append(l); });
    p.setMovie(dir.filePath(QStringLiteral("host.swf")));
    lines.clear();
    p.stepFrame();
    EXPECT_EQ(lines, QStringList({"onLoadInit", QString::number(loadedChildMovie().size()), QString::number(host.size()),
                                  "undefined", "undefined"}));
}

// The events a loader hears, in order, for what lies at the address it was given.
struct LoadOutcomeCase {
    const char* name;
    const char* url;         // as the movie asks for it
    const char* file;        // what lies beside the movie (nothing when empty)
    enum { Movie, Picture, Damaged } kind;
    QStringList heard;
};

class MovieClipLoaderOutcome : public testing::TestWithParam<LoadOutcomeCase> {};

TEST_P(MovieClipLoaderOutcome, HearsItsEventsInOrder) {
    const LoadOutcomeCase& c = GetParam();
    QTemporaryDir dir;
    writeTestFile(dir.filePath(QStringLiteral("host.swf")), hostMovie(loaderScript(QLatin1String(c.url))));
    if (*c.file)
        writeTestFile(dir.filePath(QLatin1String(c.file)), c.kind == LoadOutcomeCase::Movie     ? loadedChildMovie()
                                                   : c.kind == LoadOutcomeCase::Picture ? pictureFile()
                                                                                        : QByteArray("FWS, but not a movie"));
    MoviePlayer p;
    QStringList lines;
    p.setTraceSink([&lines](const QString& l) { lines.append(l); });
    p.setMovie(dir.filePath(QStringLiteral("host.swf")));
    for (int i = 0; i < 3; ++i) p.stepFrame();
    EXPECT_EQ(lines, c.heard);
    if (c.kind == LoadOutcomeCase::Picture) {
        // The picture is the clip's content, at its own size.
        auto* clip = dynamic_cast<display::MovieClip*>(p.root()->childByName(QStringLiteral("clip")));
        ASSERT_TRUE(clip);
        EXPECT_EQ(clip->localBounds(), QRectF(0, 0, 60, 40));
    }
}

const QStringList loadedEvents = {"true", "onLoadStart", "onLoadProgress", "onLoadComplete", "child frame 1", "onLoadInit"};

INSTANTIATE_TEST_SUITE_P(
    Outcomes, MovieClipLoaderOutcome,
    testing::Values(
        LoadOutcomeCase{"Movie", "child.swf", "child.swf", LoadOutcomeCase::Movie, loadedEvents},
        LoadOutcomeCase{"InAFolderBesideTheMovie", "parts/child.swf", "parts/child.swf", LoadOutcomeCase::Movie,
                        loadedEvents},
        LoadOutcomeCase{"WithAQuery", "parts/child.swf?v=2", "parts/child.swf", LoadOutcomeCase::Movie, loadedEvents},
        // A picture is known by its bytes, whatever its name says.
        LoadOutcomeCase{"Picture", "photo.gif", "photo.gif", LoadOutcomeCase::Picture,
                        {"true", "onLoadStart", "onLoadProgress", "onLoadComplete", "onLoadInit"}},
        LoadOutcomeCase{"Missing", "child.swf", "", LoadOutcomeCase::Movie,
                        {"true", "onLoadError _level0.clip URLNotFound"}},
        LoadOutcomeCase{"Damaged", "child.swf", "child.swf", LoadOutcomeCase::Damaged,
                        {"true", "onLoadStart", "onLoadProgress", "onLoadError _level0.clip LoadNeverCompleted"}}),
    [](const testing::TestParamInfo<LoadOutcomeCase>& info) { return std::string(info.param.name); });

TEST(MovieClipLoader, BroadcastsThroughItsPrototypeAndListensToItself) {
    avm1::test::ScriptFixture f;
    avm1::Interpreter& vm = *f.vm;
    const avm1::Value loaderClass = vm.global->get("MovieClipLoader");
    avm1::Value mcl = vm.construct(loaderClass, {});
    avm1::Object* proto = vm.getMember(loaderClass, "prototype").object();
    ASSERT_TRUE(proto && mcl.object());
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"}) {
        EXPECT_TRUE(proto->hasOwnProperty(QLatin1String(name))) << name;
        EXPECT_FALSE(mcl.object()->hasOwnProperty(QLatin1String(name))) << name;
    }
    auto* listeners = dynamic_cast<avm1::ArrayObject*>(vm.getMember(mcl, "_listeners").object());
    ASSERT_TRUE(listeners);
    ASSERT_EQ(listeners->elements.size(), 1u);
    EXPECT_EQ(listeners->elements[0].object(), mcl.object());
    EXPECT_TRUE(vm.callMethod(mcl, "unloadClip", {}).isUndefined());
}
