// Key and Mouse as scripts see them through the player: held keys and the
// last key, listener lists, clips with press handlers, pointer positions,
// dragging and the stage quality; what a clip tells of its movie.
#include "movie/MoviePlayer.h"
#include "movie/display/MovieClip.h"
#include "movie/support/SwfBuilder.h"
#include "support/ActionAssembler.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::avm1::test::ActionAssembler;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

namespace {

// object.method(args already pushed, argCount of them)
ActionAssembler& callMethod(ActionAssembler& a, const QString& object, const QString& method, int argCount) {
    return a.pushInt(argCount).getVariable(object).pushString(method).op(0x52);
}

// broadcaster.addListener({event: body})
ActionAssembler& addListener(ActionAssembler& a, const QString& broadcaster, const QString& event,
                             const ActionAssembler& body) {
    a.pushString(event).defineFunction(QString(), {}, body).pushInt(1).op(0x43); // InitObject
    return callMethod(a, broadcaster, QStringLiteral("addListener"), 1).op(0x17);
}

// "clip" (a 100 px square) at (100,100) and the given frame script.
QByteArray movieWith(const ActionAssembler& script) {
    SwfBuilder b;
    b.defineRect(1, {0, 2000, 0, 2000}, {255, 0, 0, 255});
    SwfBuilder square;
    Placement inner;
    inner.characterId = 1;
    square.placeObject2(inner);
    square.showFrame();
    square.end();
    b.defineSprite(20, 1, square);
    Placement clip;
    clip.characterId = 20;
    clip.name = QStringLiteral("clip");
    clip.matrix = swf::Matrix{1, 0, 0, 1, 2000, 2000};
    b.placeObject2(clip);
    b.doAction(script.tagBody());
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8);
}

struct ScriptedMovie {
    MoviePlayer player;
    QStringList lines;
    explicit ScriptedMovie(const ActionAssembler& script) {
        player.setTraceSink([this](const QString& l) { lines.append(l); });
        loaded = player.loadData(movieWith(script));
    }
    QStringList take() { return std::exchange(lines, {}); }
    bool loaded = false;
};

} // namespace

TEST(KeyObject, ListenersHearKeysAndReadTheHeldKeysAndTheLastOne) {
    ActionAssembler down;
    callMethod(down, QStringLiteral("Key"), QStringLiteral("getCode"), 0).trace();
    down.pushInt(65);
    callMethod(down, QStringLiteral("Key"), QStringLiteral("isDown"), 1).trace();
    callMethod(down, QStringLiteral("Key"), QStringLiteral("getAscii"), 0).trace();
    ActionAssembler up;
    up.traceString(QStringLiteral("up")).pushInt(65);
    callMethod(up, QStringLiteral("Key"), QStringLiteral("isDown"), 1).trace();
    ActionAssembler script;
    addListener(script, QStringLiteral("Key"), QStringLiteral("onKeyDown"), down);
    addListener(script, QStringLiteral("Key"), QStringLiteral("onKeyUp"), up);
    // A clip's own onKeyDown method is not a listener: it stays quiet.
    script.pushString(QStringLiteral("onKeyDown"))
        .defineFunction(QString(), {}, ActionAssembler().traceString(QStringLiteral("method")))
        .setVariable();
    ScriptedMovie run(script);
    ASSERT_TRUE(run.loaded);
    run.player.keyPress(65, QStringLiteral("a"));
    EXPECT_EQ(run.take(), QStringList({"65", "true", "97"}));
    EXPECT_TRUE(run.player.isKeyDown(65));
    run.player.keyRelease(65);
    EXPECT_EQ(run.take(), QStringList({"up", "false"}));
}

TEST(MouseObject, ListenersHearTheButtonBeforeTheClipUnderThePointerIsPressed) {
    ActionAssembler press;
    press.pushString(QStringLiteral("press "))
        .getVariable(QStringLiteral("_root"))
        .pushString(QStringLiteral("_xmouse"))
        .op(0x4E)
        .op(0x47)
        .trace()
        .getVariable(QStringLiteral("clip"))
        .pushString(QStringLiteral("_ymouse"))
        .op(0x4E)
        .trace();
    ActionAssembler script;
    script.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("onPress")).defineFunction(QString(), {}, press).op(0x4F);
    addListener(script, QStringLiteral("Mouse"), QStringLiteral("onMouseDown"),
                ActionAssembler().traceString(QStringLiteral("listener")));
    ScriptedMovie run(script);
    ASSERT_TRUE(run.loaded);
    const QSize vp(550, 400);
    run.player.mousePress({150, 130}, vp);
    run.player.mouseRelease({150, 130}, vp);
    EXPECT_EQ(run.take(), QStringList({"listener", "press 150", "30"}));
    EXPECT_TRUE(run.player.pointerOverButton());
    run.player.mousePress({50, 50}, vp);
    EXPECT_EQ(run.take(), QStringList({"listener"})) << "pressed beside the clip";
}

TEST(MouseObject, DisabledClipsAndClipsWithoutTheHandKeepTheirHandlersQuiet) {
    ActionAssembler script;
    script.getVariable(QStringLiteral("clip"))
        .pushString(QStringLiteral("onRelease"))
        .defineFunction(QString(), {}, ActionAssembler().traceString(QStringLiteral("released")))
        .op(0x4F);
    script.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("useHandCursor")).pushBool(false).op(0x4F);
    ScriptedMovie run(script);
    ASSERT_TRUE(run.loaded);
    const QSize vp(550, 400);
    run.player.mouseMove({150, 150}, vp);
    EXPECT_FALSE(run.player.pointerOverButton());
    run.player.mousePress({150, 150}, vp);
    run.player.mouseRelease({150, 150}, vp);
    EXPECT_EQ(run.take(), QStringList({"released"}));

    ActionAssembler disable;
    disable.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("enabled")).pushBool(false).op(0x4F);
    ScriptedMovie off(ActionAssembler(script).raw(disable.bytes()));
    ASSERT_TRUE(off.loaded);
    off.player.mousePress({150, 150}, vp);
    off.player.mouseRelease({150, 150}, vp);
    EXPECT_TRUE(off.take().isEmpty());
}

TEST(MovieClipDrag, StartDragFollowsThePointerUntilStopDrag) {
    ActionAssembler script;
    script.pushBool(true);
    callMethod(script, QStringLiteral("clip"), QStringLiteral("startDrag"), 1).op(0x17);
    ScriptedMovie run(script);
    ASSERT_TRUE(run.loaded);
    display::DisplayObject* clip = run.player.root()->childByName(QStringLiteral("clip"));
    ASSERT_TRUE(clip);
    run.player.mouseMove({300, 250}, QSize(550, 400));
    EXPECT_EQ(QPointF(clip->x(), clip->y()), QPointF(300, 250));
    run.player.stepFrame();
    run.player.mouseMove({200, 200}, QSize(550, 400));
    EXPECT_EQ(QPointF(clip->x(), clip->y()), QPointF(200, 200));
}

TEST(StageQuality, ToggleQualityAndTheQualityPropertyChangeThePlayersQuality) {
    ActionAssembler toggle;
    toggle.op(0x08);
    ScriptedMovie run(toggle);
    ASSERT_TRUE(run.loaded);
    EXPECT_EQ(run.player.quality(), QStringLiteral("LOW"));

    ActionAssembler set;
    set.pushString(QStringLiteral("_quality")).pushString(QStringLiteral("best")).setVariable();
    set.pushString(QStringLiteral("_quality")).pushString(QStringLiteral("nonsense")).setVariable();
    set.getVariable(QStringLiteral("_highquality")).trace();
    ScriptedMovie best(set);
    ASSERT_TRUE(best.loaded);
    EXPECT_EQ(best.player.quality(), QStringLiteral("BEST"));
    EXPECT_EQ(best.take(), QStringList({"2"}));
}

TEST(StageObject, DisplayStateTakesItsTwoNamesInAnyCaseAndTellsListenersOfChanges) {
    auto set = [](ActionAssembler& a, const QString& value) {
        a.getVariable(QStringLiteral("Stage")).pushString(QStringLiteral("displayState")).pushString(value).op(0x4F);
    };
    auto show = [](ActionAssembler& a) {
        a.getVariable(QStringLiteral("Stage")).pushString(QStringLiteral("displayState")).op(0x4E).trace();
    };
    ActionAssembler script;
    addListener(script, QStringLiteral("Stage"), QStringLiteral("onFullScreen"),
                ActionAssembler().traceString(QStringLiteral("changed")));
    show(script);
    set(script, QStringLiteral("FULLSCREEN"));
    show(script);
    set(script, QStringLiteral("bogus"));
    set(script, QStringLiteral("fullScreen"));
    show(script);
    ScriptedMovie run(script);
    ASSERT_TRUE(run.loaded);
    EXPECT_EQ(run.take(), QStringList({"normal", "changed", "fullScreen", "fullScreen"}));
}

TEST(MovieClipInfo, ClipsTellTheirMoviesVersionAndSize) {
    ActionAssembler a;
    callMethod(a, QStringLiteral("_root"), QStringLiteral("getSWFVersion"), 0).trace();
    callMethod(a, QStringLiteral("_root"), QStringLiteral("getBytesTotal"), 0).trace();
    callMethod(a, QStringLiteral("_root"), QStringLiteral("getBytesLoaded"), 0).trace();
    callMethod(a, QStringLiteral("clip"), QStringLiteral("getBytesTotal"), 0).trace();
    a.pushInt(5).pushString(QStringLiteral("made"));
    callMethod(a, QStringLiteral("_root"), QStringLiteral("createEmptyMovieClip"), 2).op(0x17);
    callMethod(a, QStringLiteral("made"), QStringLiteral("getBytesTotal"), 0).trace();
    // The player version stays on the main timeline of later movies.
    a.getVariable(QStringLiteral("$version")).trace();
    ScriptedMovie m(a);
    ASSERT_TRUE(m.loaded);
    const QString file = QString::number(movieWith(a).size());
    // The sprite's tags: PlaceObject2 of one character (7 bytes), ShowFrame and End (2 each).
    EXPECT_EQ(m.take(), QStringList({"8", file, file, "11", "0", "LNX 9,0,0,0"}));
}

TEST(MovieClipInfo, AClipKeepsItsOwnFocusRectUntilGivenNull) {
    // clip._focusrect reads null until set; SWF 7+ text is true when not empty.
    ActionAssembler a;
    a.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("_focusrect")).op(0x4E).trace();
    a.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("_focusrect")).pushString(QStringLiteral("0")).op(0x4F);
    a.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("_focusrect")).op(0x4E).trace();
    a.getVariable(QStringLiteral("_root")).pushString(QStringLiteral("_focusrect")).op(0x4E).trace();
    a.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("_focusrect")).pushNull().op(0x4F);
    a.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("_focusrect")).op(0x4E).trace();
    ScriptedMovie m(a);
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.take(), QStringList({"null", "true", "true", "null"}));
}
