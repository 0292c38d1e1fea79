// MovieClip.loadMovie: the loaded movie takes the clip's place, keeping its
// placement and _lockroot but none of the old clip's own variables; it hears
// the address's query variables and knows where it came from.
#include "support/TestFiles.h"
#include "movie/MoviePlayer.h"
#include "movie/support/SwfBuilder.h"
#include "support/ActionAssembler.h"
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::avm1::test::ActionAssembler;
using nimbrel::movie::test::SwfBuilder;

namespace {

QByteArray movieOfFrames(const std::vector<ActionAssembler>& frames, bool withClip) {
    SwfBuilder b;
    if (withClip) b.placeEmptyClip(20, QStringLiteral("clip"));
    for (const auto& f : frames) {
        b.doAction(f.tagBody());
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 24, uint16_t(frames.size()));
}

ActionAssembler& setClipMember(ActionAssembler& a, const QString& name, const std::function<void()>& pushValue) {
    a.getVariable(QStringLiteral("clip")).pushString(name);
    pushValue();
    return a.op(0x4F);
}


} // namespace

TEST(LoadMovie, TheLoadedMovieKeepsThePlacementAndLockRootButNotTheOldClipsVariables) {
    ActionAssembler before, after, child;
    setClipMember(before, QStringLiteral("_x"), [&] { before.pushInt(50); });
    setClipMember(before, QStringLiteral("note"), [&] { before.pushString(QStringLiteral("old")); });
    setClipMember(before, QStringLiteral("_lockroot"), [&] { before.pushBool(true); });
    before.pushString(QStringLiteral("child.swf?greeting=hello")).pushInt(1).getVariable(QStringLiteral("clip"));
    before.pushString(QStringLiteral("loadMovie")).op(0x52).op(0x17);
    for (const char* what : {"clip._x", "clip.note", "clip._lockroot"}) after.getVariable(QLatin1String(what)).trace();
    after.op(0x07);
    for (const char* what : {"_root", "greeting", "_url"}) child.getVariable(QLatin1String(what)).trace();

    QTemporaryDir dir;
    writeTestFile(dir.filePath(QStringLiteral("host.swf")), movieOfFrames({before, after}, true));
    writeTestFile(dir.filePath(QStringLiteral("child.swf")), movieOfFrames({child}, false));
    MoviePlayer p;
    QStringList lines;
    p.setTraceSink([&lines](const QString& l) { lines.append(l); });
    p.setMovie(dir.filePath(QStringLiteral("host.swf")));
    p.stepFrame();
    EXPECT_EQ(lines, QStringList({"_level0.clip", "hello", QUrl::fromLocalFile(dir.filePath("child.swf")).toString(),
                                  "50", "undefined", "true"}));
}
