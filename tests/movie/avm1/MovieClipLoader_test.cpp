// MovieClipLoader through the player: a movie beside the host is loaded into
// a clip after the frame's scripts and the loader's handlers hear start, progress and
// complete, then init after the loaded movie's first frame; a missing file
// reports an error.
#include "movie/MoviePlayer.h"
#include "movie/display/MovieClip.h"
#include "movie/support/SwfBuilder.h"
#include "support/ActionAssembler.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using avm1::test::ActionAssembler;
using test::Placement;
using test::SwfBuilder;

namespace {

QByteArray bytesOf(const ActionAssembler& a) {
    return QByteArray(reinterpret_cast<const char*>(a.bytes().data()), int(a.size()));
}

// mcl = new MovieClipLoader(), a handler tracing each event's name, then mcl.loadClip(url, "clip").
ActionAssembler loaderScript(const QString& url) {
    ActionAssembler a;
    a.pushString(QStringLiteral("mcl")).pushInt(0).pushString(QStringLiteral("MovieClipLoader")).op(0x40).setVariable();
    for (const char* event : {"onLoadStart", "onLoadProgress", "onLoadComplete", "onLoadInit", "onLoadError"}) {
        a.getVariable(QStringLiteral("mcl"))
            .pushString(QLatin1String(event))
            .defineFunction(QString(), {QStringLiteral("target")},
                            ActionAssembler().traceString(QLatin1String(event)))
            .op(0x4F);
    }
    a.pushString(QStringLiteral("clip")).pushString(url).pushInt(2).getVariable(QStringLiteral("mcl"));
    a.pushString(QStringLiteral("loadClip")).op(0x52).trace();
    return a;
}

QByteArray hostMovie(const ActionAssembler& script) {
    SwfBuilder b;
    SwfBuilder empty;
    empty.showFrame();
    empty.end();
    b.defineSprite(20, 1, empty);
    Placement clip;
    clip.characterId = 20;
    clip.name = QStringLiteral("clip");
    b.placeObject2(clip);
    b.doAction(bytesOf(script));
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8);
}

QByteArray childMovie() {
    SwfBuilder b;
    b.doAction(bytesOf(ActionAssembler().traceString(QStringLiteral("child frame 1"))));
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8);
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(MovieClipLoader, LoadsBesideTheMovieOnALaterFrameAndReportsEachStep) {
    QTemporaryDir dir;
    write(dir.filePath(QStringLiteral("host.swf")), hostMovie(loaderScript(QStringLiteral("child.swf"))));
    write(dir.filePath(QStringLiteral("child.swf")), childMovie());
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
    write(dir.filePath(QStringLiteral("host.swf")), hostMovie(loaderScript(QStringLiteral("missing.swf"))));
    MoviePlayer p;
    QStringList lines;
    p.setTraceSink([&lines](const QString& l) { lines.append(l); });
    p.setMovie(dir.filePath(QStringLiteral("host.swf")));
    auto* before = p.root()->childByName(QStringLiteral("clip"));
    for (int i = 0; i < 3; ++i) p.stepFrame();
    EXPECT_EQ(lines, QStringList({"true", "onLoadError"}));
    EXPECT_EQ(p.root()->childByName(QStringLiteral("clip")), before);
}
