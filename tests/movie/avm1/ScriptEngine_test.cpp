// The engine behind the timeline: frame actions in order, gotos from scripts,
// clip events, default instance names and references to removed clips.
#include "movie/avm1/Avm1ScriptEngine.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptHost.h"
#include "movie/swf/Movie.h"
#include "support/ActionAssembler.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm1::test;

namespace {

struct Host : display::ScriptHost {
    QStringList lines;
    QStringList commands;
    void trace(const QString& line) override { lines.append(line); }
    void fsCommand(const QString& command, const QString&) override { commands.append(command); }
    void getUrl(const QString&, const QString&) override {}
    QString baseUrl() const override { return QString(); }
};

QByteArray bytes(const ActionAssembler& a)
{
    return QByteArray(reinterpret_cast<const char*>(a.bytes().data()), int(a.size()));
}

swf::DoAction action(const ActionAssembler& a)
{
    return swf::DoAction{bytes(a)};
}

// A movie player reduced to what the engine sees: load, then frame ticks.
class EngineStage {
public:
    explicit EngineStage(std::shared_ptr<swf::Movie> m) : movie(std::move(m))
    {
        context = std::make_unique<display::MovieContext>(movie, &engine);
        root = std::make_shared<display::MovieClip>(context.get(), 0, &movie->timeline);
        engine.attach(root.get(), &host);
        engine.frameStarted();
        root->start();
        root->flushActions();
        engine.runQueuedActions();
    }
    ~EngineStage()
    {
        engine.detach();
        root->removed();
    }
    void tick()
    {
        context->nextTick();
        engine.frameStarted();
        root->dispatchEnterFrame();
        root->tick();
        engine.runQueuedActions();
    }

    std::shared_ptr<swf::Movie> movie;
    avm1::Avm1ScriptEngine engine;
    Host host;
    std::unique_ptr<display::MovieContext> context;
    std::shared_ptr<display::MovieClip> root;
};

std::shared_ptr<swf::Movie> movieWithFrames(int frames, int version = 8)
{
    auto m = std::make_shared<swf::Movie>();
    m->header.version = uint8_t(version);
    m->header.frameRate = 24;
    m->timeline.frames.resize(size_t(frames));
    m->timeline.declaredFrames = frames;
    return m;
}

} // namespace

TEST(Avm1ScriptEngine, FrameActionsRunOncePerFrameAndGotosRunTheTargetFrame)
{
    auto m = movieWithFrames(3);
    m->timeline.frames[0].tags.push_back(action(ActionAssembler().traceString("one")));
    m->timeline.frames[1].tags.push_back(action(ActionAssembler().traceString("two")));
    // Frame 3 jumps back to frame 2 and stops there.
    m->timeline.frames[2].tags.push_back(
        action(ActionAssembler().traceString("three").record(0x81, {1, 0}).op(0x07)));
    EngineStage s(m);
    EXPECT_EQ(s.host.lines, QStringList({"one"}));
    s.tick();
    s.tick();
    s.tick();
    EXPECT_EQ(s.host.lines, QStringList({"one", "two", "three", "two"}));
}

TEST(Avm1ScriptEngine, ClipsGetDefaultNamesAndRunTheirOwnFrames)
{
    auto m = movieWithFrames(1);
    auto sprite = std::make_shared<swf::SpriteDef>();
    sprite->id = 5;
    sprite->timeline.frames.resize(1);
    sprite->timeline.declaredFrames = 1;
    sprite->timeline.frames[0].tags.push_back(
        action(ActionAssembler().pushString("this").op(0x1C).trace()));
    m->characters[5] = std::shared_ptr<const swf::SpriteDef>(sprite);
    swf::PlaceObject po;
    po.depth = 1;
    po.characterId = 5;
    m->timeline.frames[0].tags.push_back(po);
    m->timeline.frames[0].tags.push_back(action(ActionAssembler().traceString("root")));
    EngineStage s(m);
    EXPECT_EQ(s.host.lines, QStringList({"root", "_level0.instance1"}));
}

TEST(Avm1ScriptEngine, ClipEventsAndRemovedClips)
{
    auto m = movieWithFrames(2);
    auto sprite = std::make_shared<swf::SpriteDef>();
    sprite->id = 7;
    sprite->timeline.frames.resize(1);
    sprite->timeline.declaredFrames = 1;
    m->characters[7] = std::shared_ptr<const swf::SpriteDef>(sprite);
    swf::PlaceObject po;
    po.depth = 3;
    po.characterId = 7;
    po.name = QStringLiteral("kid");
    swf::ClipAction onLoad;
    onLoad.events = swf::ClipEventLoad;
    onLoad.actions = bytes(ActionAssembler().traceString("loaded"));
    swf::ClipAction onUnload;
    onUnload.events = swf::ClipEventUnload;
    onUnload.actions = bytes(ActionAssembler().traceString("unloaded"));
    po.clipActions = {onLoad, onUnload};
    m->timeline.frames[0].tags.push_back(po);
    // Keep a reference, then the clip goes away on frame 2.
    m->timeline.frames[0].tags.push_back(
        action(ActionAssembler().pushString("ref").getVariable("kid").setVariable().op(0x07)));
    EngineStage s(m);
    EXPECT_EQ(s.host.lines, QStringList({"loaded"}));
    s.root->removeChildAt(3);
    s.engine.runQueuedActions();
    EXPECT_EQ(s.host.lines, QStringList({"loaded", "unloaded"}));
    // The dead reference names no clip (nothing holds its path now) and finds no display properties.
    s.host.lines.clear();
    auto code = ActionAssembler().getVariable("ref").trace().getVariable("ref._x").trace();
    s.engine.interpreter()->runActions(code.code(8), s.engine.interpreter()->root);
    EXPECT_EQ(s.host.lines, QStringList({"", "undefined"}));
}

TEST(Avm1ScriptEngine, FsCommandAndTimeAdvanceWithFrames)
{
    auto m = movieWithFrames(1);
    m->timeline.frames[0].tags.push_back(action(ActionAssembler().record(0x83, {'F','S','C','o','m','m','a','n','d',':','q','u','i','t',0,0})));
    EngineStage s(m);
    EXPECT_EQ(s.host.commands, QStringList({"quit"}));
    const double before = s.engine.movieTimeMs();
    s.tick();
    EXPECT_NEAR(s.engine.movieTimeMs() - before, 1000.0 / 24, 0.001);
}

TEST(Avm1ScriptEngine, LaterFramesRunChildrenNewestFirstBeforeTheirParent)
{
    auto m = movieWithFrames(2);
    // Two two-frame sprites that trace their own name on each frame.
    for (uint16_t id : {5, 6}) {
        auto sprite = std::make_shared<swf::SpriteDef>();
        sprite->id = id;
        sprite->timeline.frames.resize(2);
        sprite->timeline.declaredFrames = 2;
        const QString name = id == 5 ? QStringLiteral("a") : QStringLiteral("b");
        sprite->timeline.frames[0].tags.push_back(action(ActionAssembler().traceString(name + "1")));
        sprite->timeline.frames[1].tags.push_back(action(ActionAssembler().traceString(name + "2")));
        m->characters[id] = std::shared_ptr<const swf::SpriteDef>(sprite);
    }
    // The clip made first sits deeper: order must follow creation, not depth.
    swf::PlaceObject a;
    a.depth = 2;
    a.characterId = 5;
    swf::PlaceObject b;
    b.depth = 1;
    b.characterId = 6;
    m->timeline.frames[0].tags.push_back(a);
    m->timeline.frames[0].tags.push_back(b);
    m->timeline.frames[0].tags.push_back(action(ActionAssembler().traceString("root1")));
    m->timeline.frames[1].tags.push_back(action(ActionAssembler().traceString("root2")));
    EngineStage s(m);
    EXPECT_EQ(s.host.lines, QStringList({"root1", "a1", "b1"}));
    s.tick();
    EXPECT_EQ(s.host.lines, QStringList({"root1", "a1", "b1", "b2", "a2", "root2"}));
}

TEST(Avm1ScriptEngine, ClipsDuplicatedByScriptsAreConstructedBeforeTheScriptGoesOn)
{
    auto m = movieWithFrames(1);
    auto sprite = std::make_shared<swf::SpriteDef>();
    sprite->id = 7;
    sprite->timeline.frames.resize(1);
    sprite->timeline.declaredFrames = 1;
    m->characters[7] = std::shared_ptr<const swf::SpriteDef>(sprite);
    swf::PlaceObject po;
    po.depth = 3;
    po.characterId = 7;
    po.name = QStringLiteral("kid");
    swf::ClipAction onConstruct;
    onConstruct.events = swf::ClipEventConstruct;
    onConstruct.actions = bytes(ActionAssembler().traceString("constructed"));
    po.clipActions = {onConstruct};
    m->timeline.frames[0].tags.push_back(po);
    // duplicateMovieClip("kid", "copy", 5): the action carries the file's depth.
    m->timeline.frames[0].tags.push_back(action(
        ActionAssembler().pushString("kid").pushString("copy").pushInt(16384 + 5).op(0x24).traceString("after")));
    EngineStage s(m);
    // The placed clip before the frame's actions; the copy within them, at once.
    EXPECT_EQ(s.host.lines, QStringList({"constructed", "constructed", "after"}));
    ASSERT_TRUE(s.root->childAt(16384 + 5));
    EXPECT_EQ(s.root->childAt(16384 + 5)->name(), QStringLiteral("copy"));
}
