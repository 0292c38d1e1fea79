// A movie has an address opened at most once per press the user makes and
// otherwise at most once a second of movie time, however often it asks.
#include "movie/MoviePlayer.h"
#include "movie/host/ManualClock.h"
#include "movie/host/NavigationGate.h"
#include "movie/support/SwfBuilder.h"
#include "avm1/support/ActionAssembler.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::avm1::test::ActionAssembler;
using host::ManualClock;
using host::NavigationGate;
using nimbrel::movie::test::SwfBuilder;

namespace {

ActionAssembler getUrlTimes(int n, const QString& url) {
    ActionAssembler a;
    for (int i = 0; i < n; ++i) a.pushString(url).pushString("_blank").record(0x9A, {0});
    return a;
}

// A movie that may use the network, at 10 fps: frame 1 asks for 200 pages,
// frame 2 for one, and it loops; a key listener asks for three per key press.
QByteArray floodMovie() {
    SwfBuilder b;
    b.tag(69, QByteArray("\x01\0\0\0", 4));
    ActionAssembler first = getUrlTimes(200, "http://example.org/frame");
    first.pushString("o").pushInt(0).pushString("Object").op(0x40).setVariable();
    first.getVariable("o").pushString("onKeyDown")
        .defineFunction(QString(), {}, getUrlTimes(3, "http://example.org/key")).op(0x4F);
    first.getVariable("o").pushInt(1).getVariable("Key").pushString("addListener").op(0x52).op(0x17);
    b.doAction(first.tagBody());
    b.showFrame();
    b.doAction(getUrlTimes(1, "http://example.org/frame").tagBody());
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 10, 2);
}

} // namespace

TEST(NavigationGate, OnePerSecondAndOnePerUserPress) {
    ManualClock clock;
    NavigationGate gate(clock);
    EXPECT_TRUE(gate.tryOpen());
    EXPECT_FALSE(gate.tryOpen());
    clock.advance(999);
    EXPECT_FALSE(gate.tryOpen());
    clock.advance(1);
    EXPECT_TRUE(gate.tryOpen());
    EXPECT_FALSE(gate.tryOpen());

    // A press allows one more at once, only while its input is handled.
    gate.pressed();
    EXPECT_FALSE(gate.tryOpen()) << "outside the handling of the press";
    gate.enterInput();
    EXPECT_TRUE(gate.tryOpen());
    EXPECT_FALSE(gate.tryOpen());
    gate.leaveInput();
    // The release of an unused press may still use it; a release alone gives nothing.
    gate.pressed();
    gate.enterInput();
    gate.leaveInput();
    gate.enterInput();
    EXPECT_TRUE(gate.tryOpen());
    gate.leaveInput();
    gate.released();
    gate.enterInput();
    EXPECT_FALSE(gate.tryOpen());
    gate.leaveInput();
    // An open for a press restarts the second.
    clock.advance(999);
    EXPECT_FALSE(gate.tryOpen());
    clock.advance(1);
    EXPECT_TRUE(gate.tryOpen());

    gate.reset();
    EXPECT_TRUE(gate.tryOpen());
}

TEST(NavigationGate, AMovieAskingForPagesEveryFrameOpensOneASecond) {
    MoviePlayer p;
    QStringList opened;
    QObject::connect(&p, &MoviePlayer::urlRequested, [&](const QString& url, const QString&) { opened.append(url); });
    ASSERT_TRUE(p.loadData(floodMovie(), QStringLiteral("/tmp")));
    EXPECT_EQ(opened, QStringList{"http://example.org/frame"}) << "200 asked for in one frame";
    for (int i = 0; i < 9; ++i) p.stepFrame();
    EXPECT_EQ(opened.size(), 1) << "0.9 s later";
    p.stepFrame();
    EXPECT_EQ(opened.size(), 2) << "a second later";

    // Each key press opens one page at once, of the three its handler asks for.
    opened.clear();
    p.keyPress(65, QStringLiteral("a"));
    p.keyRelease(65);
    EXPECT_EQ(opened, QStringList{"http://example.org/key"});
    p.keyPress(65, QStringLiteral("a"));
    EXPECT_EQ(opened.size(), 2);
    p.keyRelease(65);
    p.stepFrame();
    EXPECT_EQ(opened.size(), 2) << "the frames' pages wait a second after the last one";
}
