// The ActionScript 3 machine in the player: event phases and listener order
// over the display list, the display list's errors and events, and frame
// scripts working together with pointer input.
#include "movie/MoviePlayer.h"
#include "movie/avm2/Avm2ScriptEngine.h"
#include "movie/avm2/FunctionObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/StageBridge.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/support/AbcBuilder.h"
#include "movie/support/RunawayMovies.h"
#include "movie/support/SwfBuilder.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using avm2::Args;
using avm2::Name;
using avm2::PropertyAccess;
using avm2::Value;

namespace {

// An ActionScript 3 movie of `frames` empty frames whose one block runs `code`
// at once (by default it does nothing); a timeout > 0 adds ScriptLimits.
QByteArray emptyAs3Movie(int frames, QByteArray code = test::AbcCode().op(avm2::Op::ReturnVoid).data(),
                         uint16_t timeoutSeconds = 0) {
    test::AbcBodySpec body;
    body.code = code;
    test::SwfBuilder swf;
    swf.tag(69, QByteArray("\x08\0\0\0", 4));
    if (timeoutSeconds > 0) test::scriptLimits(swf, 256, timeoutSeconds);
    test::AbcBytes doAbc;
    doAbc.u8(0).u8(0).u8(0).u8(0).u8(0).bytes(test::AbcBuilder::withBody(body));
    swf.tag(82, doAbc.data(), true);
    for (int i = 0; i < frames; ++i) swf.showFrame();
    swf.end();
    return swf.build(test::SwfBuilder::Container::Fws, 10, {0, 4000, 0, 4000}, 24, uint16_t(frames));
}

// What the listeners saw, as "name:phase".
QStringList seen;

QString nameOf(avm2::Runtime& rt, const Value& v) {
    if (auto* t = dynamic_cast<avm2::EventTargetObject*>(v.obj()); t && !t->displayObject) return QStringLiteral("stage");
    return rt.toString(PropertyAccess::get(rt, v, Name::publicName(QStringLiteral("name"))));
}
Value record(avm2::Runtime& rt, const Value&, Args a) {
    auto* e = dynamic_cast<avm2::EventObject*>(a[0].obj());
    seen << nameOf(rt, e->currentTarget) + QLatin1Char(':') + QString::number(e->phase);
    return Value();
}
Value recordAndStop(avm2::Runtime& rt, const Value& self, Args a) {
    record(rt, self, a);
    PropertyAccess::call(rt, a[0], Name::publicName(QStringLiteral("stopPropagation")), {});
    return Value();
}
Value recordAndStopAtOnce(avm2::Runtime& rt, const Value& self, Args a) {
    record(rt, self, a);
    PropertyAccess::call(rt, a[0], Name::publicName(QStringLiteral("stopImmediatePropagation")), {});
    return Value();
}
Value recordType(avm2::Runtime& rt, const Value&, Args a) {
    auto* e = dynamic_cast<avm2::EventObject*>(a[0].obj());
    seen << nameOf(rt, e->target) + QLatin1Char(':') + e->eventType;
    return Value();
}
Value stopTimeline(avm2::Runtime& rt, const Value& self, Args) {
    PropertyAccess::call(rt, self, Name::publicName(QStringLiteral("stop")), {});
    return Value();
}
// A click listener: the main timeline of what was clicked plays on.
Value playRoot(avm2::Runtime& rt, const Value&, Args a) {
    const Value target = PropertyAccess::get(rt, a[0], Name::publicName(QStringLiteral("target")));
    const Value root = PropertyAccess::get(rt, target, Name::publicName(QStringLiteral("root")));
    PropertyAccess::call(rt, root, Name::publicName(QStringLiteral("play")), {});
    return Value();
}

struct Avm2Stage : ::testing::Test {
    MoviePlayer player;
    avm2::Avm2ScriptEngine* engine = nullptr;
    avm2::Runtime* rt = nullptr;

    void load(int frames) {
        ASSERT_TRUE(player.loadData(emptyAs3Movie(frames), QString(), QString()));
        engine = dynamic_cast<avm2::Avm2ScriptEngine*>(&player.root()->context()->scripts());
        ASSERT_NE(engine, nullptr) << "an ActionScript 3 movie gets the ActionScript 3 machine";
        rt = engine->runtime();
        seen.clear();
    }
    void SetUp() override { load(1); }

    Value root() { return engine->bridge()->valueOf(player.root()); }
    Value make(const char* cls, std::vector<Value> args = {}) {
        return rt->construct(Value::object(rt->builtin(QString::fromLatin1(cls))->shared_from_this()),
                             Args{args.data(), int(args.size())});
    }
    Value sprite(const QString& name) {
        Value s = make("flash.display.Sprite");
        PropertyAccess::set(*rt, s, Name::publicName(QStringLiteral("name")), Value::string(name));
        return s;
    }
    Value call(const Value& on, const char* method, std::vector<Value> args = {}) {
        return PropertyAccess::call(*rt, on, Name::publicName(QString::fromLatin1(method)),
                                    Args{args.data(), int(args.size())});
    }
    Value fn(avm2::NativeFn f) { return Value::object(rt->makeFunction(avm2::MethodRef{nullptr, 0, f}, nullptr)); }
    void listen(const Value& on, const char* type, avm2::NativeFn f, bool capture = false, int priority = 0) {
        call(on, "addEventListener", {Value::string(QString::fromLatin1(type)), fn(f), Value::boolean(capture),
                                      Value::integer(priority)});
    }
    int errorId(const std::function<void()>& run) {
        try {
            run();
        } catch (const avm2::ScriptThrow& t) {
            return rt->toInt32(PropertyAccess::get(*rt, t.value, Name::publicName(QStringLiteral("errorID"))));
        }
        return 0;
    }
};

TEST_F(Avm2Stage, EventsGoThroughCaptureTargetAndBubblePhasesInListenerOrder) {
    struct Case {
        const char* name;
        bool bubbles;
        avm2::NativeFn atOuterCapture; // the capture listener of "outer"
        avm2::NativeFn atTargetFirst;  // the first (higher priority) listener of "inner"
        QStringList expected;
    };
    const QStringList all = {"stage:1", "root1:1", "outer:1", "inner:2", "inner:2", "outer:3", "root1:3", "stage:3"};
    const Case cases[] = {
        {"bubbling", true, record, record, all},
        {"not bubbling", false, record, record, all.mid(0, 5)},
        {"stopped in capture", true, recordAndStop, record, all.mid(0, 3)},
        {"stopped at target", true, record, recordAndStop, all.mid(0, 5)},
        {"stopped at once", true, record, recordAndStopAtOnce, all.mid(0, 4)},
    };
    for (const Case& c : cases) {
        load(1);
        const Value outer = sprite(QStringLiteral("outer")), inner = sprite(QStringLiteral("inner"));
        call(root(), "addChild", {outer});
        call(outer, "addChild", {inner});
        const Value stage = PropertyAccess::get(*rt, root(), Name::publicName(QStringLiteral("stage")));
        // Added out of order: bubble before capture, low priority before high.
        listen(stage, "ping", record);
        listen(root(), "ping", record);
        listen(outer, "ping", record);
        listen(inner, "ping", record, false, 0);
        listen(inner, "ping", c.atTargetFirst, false, 5);
        listen(outer, "ping", c.atOuterCapture, true);
        listen(root(), "ping", record, true);
        listen(stage, "ping", record, true);
        call(inner, "dispatchEvent", {make("flash.events.Event", {Value::string(QStringLiteral("ping")), Value::boolean(c.bubbles)})});
        EXPECT_EQ(seen, c.expected) << c.name;
    }
}

TEST_F(Avm2Stage, ContainersRaiseTheDocumentedErrors) {
    const Value outer = sprite(QStringLiteral("outer")), inner = sprite(QStringLiteral("inner"));
    const Value stranger = sprite(QStringLiteral("stranger"));
    call(root(), "addChild", {outer});
    call(outer, "addChild", {inner});
    struct Case {
        const char* what;
        std::function<void()> run;
        int id;
    };
    const Case cases[] = {
        {"index past the end", [&] { call(outer, "getChildAt", {Value::integer(1)}); }, 2006},
        {"negative index", [&] { call(outer, "removeChildAt", {Value::integer(-1)}); }, 2006},
        {"insert past the end", [&] { call(outer, "addChildAt", {stranger, Value::integer(2)}); }, 2006},
        {"not a child", [&] { call(outer, "removeChild", {stranger}); }, 2025},
        {"index of a stranger", [&] { call(outer, "getChildIndex", {stranger}); }, 2025},
        {"itself", [&] { call(outer, "addChild", {outer}); }, 2024},
        {"its own parent", [&] { call(inner, "addChild", {outer}); }, 2150},
        {"null", [&] { call(outer, "addChild", {Value::null()}); }, 2007},
        {"swap with a stranger", [&] { call(outer, "swapChildren", {inner, stranger}); }, 2025},
        {"fine", [&] { call(outer, "addChildAt", {stranger, Value::integer(0)}); }, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(errorId(c.run), c.id) << c.what;
    EXPECT_EQ(rt->toInt32(call(outer, "getChildIndex", {inner})), 1);
    EXPECT_EQ(rt->toInt32(PropertyAccess::get(*rt, outer, Name::publicName(QStringLiteral("numChildren")))), 2);
}

TEST_F(Avm2Stage, IndexEditsKeepTheOrderScriptsAskFor) {
    const Value a = sprite(QStringLiteral("a")), b = sprite(QStringLiteral("b")), c = sprite(QStringLiteral("c"));
    for (const Value& s : {a, b, c}) call(root(), "addChild", {s});
    auto order = [&] {
        QString out;
        for (int i = 0; i < 3; ++i) out += nameOf(*rt, call(root(), "getChildAt", {Value::integer(i)}));
        return out;
    };
    call(root(), "setChildIndex", {c, Value::integer(0)});
    EXPECT_EQ(order(), QStringLiteral("cab"));
    call(root(), "swapChildren", {c, b});
    EXPECT_EQ(order(), QStringLiteral("bac"));
    call(root(), "addChildAt", {c, Value::integer(1)});
    EXPECT_EQ(order(), QStringLiteral("bca"));
    call(root(), "addChild", {b}); // re-adding moves it to the top
    EXPECT_EQ(order(), QStringLiteral("cab"));
    EXPECT_EQ(nameOf(*rt, call(root(), "getChildByName", {Value::string(QStringLiteral("a"))})), QStringLiteral("a"));
}

TEST_F(Avm2Stage, AddingAndRemovingAnnounceItselfToTheObjectAndWhatItHolds) {
    const Value outer = sprite(QStringLiteral("outer")), inner = sprite(QStringLiteral("inner"));
    call(outer, "addChild", {inner}); // off the stage: added, but not addedToStage
    for (const char* type : {"added", "addedToStage", "removed", "removedFromStage"}) {
        listen(outer, type, recordType);
        listen(inner, type, recordType);
    }
    EXPECT_TRUE(seen.isEmpty());
    call(root(), "addChild", {outer});
    EXPECT_EQ(seen, QStringList({"outer:added", "outer:addedToStage", "inner:addedToStage"}));
    seen.clear();
    call(root(), "addChild", {outer}); // already there: a new place at most, nothing leaves or joins
    EXPECT_TRUE(seen.isEmpty());
    call(root(), "removeChild", {outer});
    EXPECT_EQ(seen, QStringList({"outer:removed", "outer:removedFromStage", "inner:removedFromStage"}));
    EXPECT_TRUE(PropertyAccess::get(*rt, outer, Name::publicName(QStringLiteral("stage"))).isNull());
}

TEST_F(Avm2Stage, AFrameScriptStopsTheMovieAndAClickOnASpritePlaysItAgain) {
    load(4);
    call(root(), "addFrameScript", {Value::integer(1), fn(stopTimeline)});
    const Value button = sprite(QStringLiteral("button"));
    const Value graphics = PropertyAccess::get(*rt, button, Name::publicName(QStringLiteral("graphics")));
    call(graphics, "beginFill", {Value::integer(0xff0000)});
    call(graphics, "drawRect", {Value::integer(0), Value::integer(0), Value::integer(100), Value::integer(100)});
    call(root(), "addChild", {button});
    listen(button, "click", playRoot);

    player.stepFrame();
    player.stepFrame();
    player.stepFrame();
    EXPECT_EQ(player.root()->currentFrame(), 1) << "the frame script stopped the movie on its frame";
    EXPECT_FALSE(player.isPlaying());

    const QSize viewport = player.stageSize();
    player.mousePress(QPointF(150, 150), viewport); // beside the sprite: nothing
    player.mouseRelease(QPointF(150, 150), viewport);
    EXPECT_FALSE(player.isPlaying());
    player.mousePress(QPointF(50, 50), viewport);
    player.mouseRelease(QPointF(50, 50), viewport);
    EXPECT_TRUE(player.isPlaying());
    player.stepFrame();
    EXPECT_EQ(player.root()->currentFrame(), 2);
}

TEST_F(Avm2Stage, FrameEventsComeInThePlayersOrderEachFrame) {
    load(3);
    for (const char* type : {"enterFrame", "frameConstructed", "exitFrame"}) listen(root(), type, recordType);
    call(root(), "addFrameScript", {Value::integer(1), fn([](avm2::Runtime&, const Value&, Args) {
                                         seen << QStringLiteral("script");
                                         return Value();
                                     })});
    player.stepFrame();
    EXPECT_EQ(seen, QStringList({"root1:enterFrame", "root1:frameConstructed", "script", "root1:exitFrame"}));
}

TEST_F(Avm2Stage, AGotoFromAFrameScriptConstructsRunsAndExitsTheFrameItReached) {
    load(3);
    for (const char* type : {"enterFrame", "frameConstructed", "exitFrame"}) listen(root(), type, recordType);
    call(root(), "addFrameScript", {Value::integer(1), fn([](avm2::Runtime& rt, const Value& self, Args) {
                                         seen << QStringLiteral("script 2");
                                         const Value third = Value::integer(3);
                                         PropertyAccess::call(rt, self, Name::publicName(QStringLiteral("gotoAndStop")), Args{&third, 1});
                                         seen << QStringLiteral("goto over");
                                         return Value();
                                     }),
                                     Value::integer(2), fn([](avm2::Runtime&, const Value&, Args) {
                                         seen << QStringLiteral("script 3");
                                         return Value();
                                     })});
    player.stepFrame();
    EXPECT_EQ(seen, QStringList({"root1:enterFrame", "root1:frameConstructed", "script 2", "goto over",
                                 "root1:frameConstructed", "script 3", "root1:exitFrame", "root1:exitFrame"}));
    EXPECT_EQ(player.root()->currentFrame(), 2);
}

// A class linked to several symbols finds them in the order the movie linked
// them, every run alike; a symbol linked again belongs to its latest class.
TEST_F(Avm2Stage, ClassesFindTheirSymbolsInLinkOrder) {
    avm2::StageBridge& bridge = *engine->bridge();
    const std::pair<uint16_t, const char*> links[] = {{7, "Child"}, {0, "Main"}, {3, "Child"}, {5, "Other"}, {7, "Child"},
                                                      {5, "Child"}, {9, "Other"}};
    for (const auto& [id, cls] : links) bridge.link(id, QString::fromLatin1(cls));
    EXPECT_EQ(bridge.symbolsOf(QStringLiteral("Child")), (std::vector<uint16_t>{7, 3, 5}));
    EXPECT_EQ(bridge.symbolsOf(QStringLiteral("Other")), (std::vector<uint16_t>{9}));
    EXPECT_TRUE(bridge.symbolsOf(QStringLiteral("Main")).empty()) << "the document class is no library symbol";
}

TEST(Avm2TimeBudget, AScriptThatNeverEndsStopsTheMoviesScriptsForGood) {
    MoviePlayer player;
    QList<MoviePlayer::StopReason> halts;
    QObject::connect(&player, &MoviePlayer::scriptsHalted, [&](MoviePlayer::StopReason why) { halts << why; });
    // label; jump back to it: for ever.
    const QByteArray loop = test::AbcCode().op(avm2::Op::Label).op(avm2::Op::Jump).s24(-5).data();
    ASSERT_TRUE(player.loadData(emptyAs3Movie(3, loop, 1), QString(), QString()));
    EXPECT_EQ(player.scriptStopReason(), MoviePlayer::StopReason::RanTooLong);
    player.stepFrame();
    player.stepFrame();
    EXPECT_EQ(halts, QList<MoviePlayer::StopReason>({MoviePlayer::StopReason::RanTooLong}));
    EXPECT_EQ(player.root()->currentFrame(), 2) << "the timeline plays on without its scripts";
}

} // namespace

TEST_F(Avm2Stage, AnEventGoesOutAgainAsItsCloneOnlyOnceSomeoneHeardIt) {
    static std::vector<const void*> received;
    received.clear();
    const Value quiet = sprite(QStringLiteral("quiet")), heard = sprite(QStringLiteral("heard"));
    listen(heard, "ping", [](avm2::Runtime&, const Value&, Args a) {
        received.push_back(a[0].obj());
        return Value();
    });
    const Value event = make("flash.events.Event", {Value::string(QStringLiteral("ping"))});
    EXPECT_TRUE(call(quiet, "dispatchEvent", {event}).toBoolean());
    EXPECT_TRUE(PropertyAccess::get(*rt, event, Name::publicName(QStringLiteral("target"))).isNull())
        << "nobody listened: the event was not sent";
    call(heard, "dispatchEvent", {event});
    call(heard, "dispatchEvent", {event});
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], event.obj()) << "a fresh event goes out itself";
    EXPECT_NE(received[1], event.obj()) << "a sent one goes out as its clone";
}

TEST_F(Avm2Stage, ADispatcherStandingInForASpriteSendsAsItAlongItsPath) {
    const Value child = sprite(QStringLiteral("child"));
    call(root(), "addChild", {child});
    const Value standIn = make("flash.events.EventDispatcher", {child});
    listen(root(), "ping", record, true);
    listen(standIn, "ping", record);
    listen(standIn, "ping", [](avm2::Runtime& rt, const Value&, Args a) {
        seen << nameOf(rt, PropertyAccess::get(rt, a[0], Name::publicName(QStringLiteral("target"))));
        return Value();
    });
    call(standIn, "dispatchEvent", {make("flash.events.Event", {Value::string(QStringLiteral("ping"))})});
    EXPECT_EQ(seen, QStringList({"root1:1", "child:2", "child"}));
}

TEST_F(Avm2Stage, AMouseEventNotYetSentIsAtItsTargetWithNoPointOnTheStage) {
    const struct {
        std::vector<Value> args;
        const char* local;
        const char* stage;
    } cases[] = {
        {{Value::string(QStringLiteral("fake"))}, "NaN", "NaN"},
        {{Value::string(QStringLiteral("click")), Value::boolean(false), Value::boolean(true), Value::integer(50)}, "50", "0"},
    };
    for (const auto& c : cases) {
        const Value e = make("flash.events.MouseEvent", c.args);
        auto prop = [&](const char* name) { return rt->toString(PropertyAccess::get(*rt, e, Name::publicName(QString::fromLatin1(name)))); };
        EXPECT_EQ(prop("eventPhase"), "2") << c.local;
        EXPECT_EQ(prop("localX"), c.local);
        EXPECT_EQ(prop("stageX"), c.stage);
    }
}

TEST_F(Avm2Stage, AMouseEventsStagePointGoesThroughTheMainTimelinesOwnPlace) {
    PropertyAccess::set(*rt, root(), Name::publicName(QStringLiteral("x")), Value::integer(100));
    listen(root(), "fake", [](avm2::Runtime& rt, const Value&, Args a) {
        seen << rt.toString(PropertyAccess::get(rt, a[0], Name::publicName(QStringLiteral("stageX"))));
        return Value();
    });
    call(root(), "dispatchEvent",
         {make("flash.events.MouseEvent", {Value::string(QStringLiteral("fake")), Value::boolean(false),
                                           Value::boolean(false), Value::integer(1), Value::integer(2)})});
    EXPECT_EQ(seen, QStringList{"101"});
}
