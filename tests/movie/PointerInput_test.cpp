// Buttons under the pointer: states, the actions of each transition, and
// mouse clip events reaching the script engine.
#include "movie/MoviePlayer.h"
#include "movie/PointerInput.h"
#include "movie/display/ButtonObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/ScriptEngine.h"
#include "movie/support/ButtonFixtures.h"
#include "movie/support/SwfBuilder.h"
#include <gtest/gtest.h>
#include <optional>

using namespace nimbrel::movie;
using nimbrel::movie::test::BitWriter;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;
using nimbrel::movie::test::defineButton;

namespace {

class ButtonLog : public display::ScriptEngine {
public:
    explicit ButtonLog(std::vector<std::string>* l) : log(l) {}
    void buttonActions(display::ButtonObject*, const QByteArray& a) override { log->push_back(a.toStdString()); }
    void clipEvent(display::DisplayObject* o, swf::ClipEvent e, int) override {
        if (e == swf::ClipEventMouseDown && !o->parent()) log->push_back("root:mousedown");
    }
    std::vector<std::string>* log;
};

// The button alone at (100,100).
QByteArray buttonMovie() {
    SwfBuilder b;
    defineButton(b);
    Placement p;
    p.characterId = 10;
    p.matrix = swf::Matrix{1, 0, 0, 1, 2000, 2000};
    b.placeObject2(p);
    b.showFrame();
    b.end();
    return b.build();
}

// Logs the pointer's events by object name; clips named "clip*" have button handlers.
class EventLog : public display::ScriptEngine {
public:
    std::vector<std::string> log;
    bool disabled = false;
    void buttonActions(display::ButtonObject*, const QByteArray& a) override { log.push_back(a.toStdString()); }
    void clipEvent(display::DisplayObject* o, swf::ClipEvent e, int) override {
        if (e == swf::ClipEventMouseMove || e == swf::ClipEventLoad || e == swf::ClipEventUnload) return;
        log.push_back(eventName(e) + ":" + o->name().toStdString());
    }
    void broadcastInput(swf::ClipEvent e) override {
        if (e != swf::ClipEventMouseMove) log.push_back(eventName(e) + ":listeners");
    }
    bool actsAsButton(display::DisplayObject* o) override { return o->name().startsWith(QLatin1String("clip")); }
    bool isEnabled(display::DisplayObject*) override { return !disabled; }
    static std::string eventName(swf::ClipEvent e) {
        switch (e) {
        case swf::ClipEventMouseDown: return "mousedown";
        case swf::ClipEventMouseUp: return "mouseup";
        case swf::ClipEventPress: return "press";
        case swf::ClipEventRelease: return "release";
        case swf::ClipEventReleaseOutside: return "releaseOutside";
        case swf::ClipEventRollOver: return "rollOver";
        case swf::ClipEventRollOut: return "rollOut";
        case swf::ClipEventDragOut: return "dragOut";
        case swf::ClipEventDragOver: return "dragOver";
        default: return "other";
        }
    }
};

// "clip" (sprite 20 holding the red square) at (100,100); "holder" (sprite 21
// holding button 10) at (300,100), both 100 px squares.
QByteArray nestedMovie() {
    SwfBuilder b;
    defineButton(b);
    SwfBuilder square;
    Placement inner;
    inner.characterId = 1;
    square.placeObject2(inner);
    square.showFrame();
    square.end();
    b.defineSprite(20, 1, square);
    SwfBuilder holder;
    Placement button;
    button.characterId = 10;
    holder.placeObject2(button);
    holder.showFrame();
    holder.end();
    b.defineSprite(21, 1, holder);
    Placement clip;
    clip.characterId = 20;
    clip.name = QStringLiteral("clip");
    clip.matrix = swf::Matrix{1, 0, 0, 1, 2000, 2000};
    b.placeObject2(clip);
    Placement h;
    h.depth = 2;
    h.characterId = 21;
    h.name = QStringLiteral("holder");
    h.matrix = swf::Matrix{1, 0, 0, 1, 6000, 2000};
    b.placeObject2(h);
    b.showFrame();
    b.end();
    return b.build();
}

} // namespace

TEST(PointerInput, ButtonsFollowThePointerAndRunTheirTransitions) {
    std::vector<std::string> log;
    MoviePlayer p;
    p.setScriptEngineFactory([&log] { return std::make_unique<ButtonLog>(&log); });
    ASSERT_TRUE(p.loadData(buttonMovie()));
    const QSize vp(550, 400);
    EXPECT_EQ(p.renderImage(vp).pixelColor(150, 150), QColor(255, 0, 0));
    p.mouseMove({20, 20}, vp);
    EXPECT_TRUE(log.empty());
    p.mouseMove({150, 150}, vp);
    EXPECT_EQ(p.renderImage(vp).pixelColor(150, 150), QColor(0, 255, 0));
    p.mousePress({150, 150}, vp);
    EXPECT_EQ(p.renderImage(vp).pixelColor(150, 150), QColor(0, 0, 255));
    p.mouseRelease({150, 150}, vp);
    p.mouseMove({300, 300}, vp);
    EXPECT_EQ(p.renderImage(vp).pixelColor(150, 150), QColor(255, 0, 0));
    // The clips hear the button going down before the button's own press runs.
    const std::vector<std::string> want{"rollover", "root:mousedown", "press", "release", "rollout"};
    EXPECT_EQ(log, want);
}

TEST(PointerInput, ViewportPositionsFollowScaleModeAndZoom) {
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(buttonMovie()));
    // Twice the stage size: the button at 100..200 px now sits at 200..400.
    const QSize big(1100, 800);
    EXPECT_EQ(p.stagePoint({300, 300}, big), QPointF(3000, 3000));
    auto* root = p.root();
    p.mouseMove({300, 300}, big);
    auto* button = dynamic_cast<display::ButtonObject*>(root->childAt(1));
    ASSERT_TRUE(button);
    EXPECT_EQ(button->state(), swf::ButtonOver);
    p.mouseMove({150, 150}, big);
    EXPECT_EQ(button->state(), swf::ButtonUp);
    // Released away from where it was pressed: back to up.
    p.mousePress({300, 300}, big);
    EXPECT_EQ(button->state(), swf::ButtonDown);
    p.mouseRelease({10, 10}, big);
    EXPECT_EQ(button->state(), swf::ButtonUp);
}

TEST(PointerInput, ButtonsInsideSpritesAreFoundAndClipsWithHandlersActAsButtons) {
    EventLog* engine = nullptr;
    MoviePlayer p;
    p.setScriptEngineFactory([&engine] {
        auto e = std::make_unique<EventLog>();
        engine = e.get();
        return e;
    });
    ASSERT_TRUE(p.loadData(nestedMovie()));
    const QSize vp(550, 400);
    auto* holder = static_cast<display::MovieClip*>(p.root()->childByName(QStringLiteral("holder")));
    ASSERT_TRUE(holder);
    auto* button = dynamic_cast<display::ButtonObject*>(holder->childAt(1));
    ASSERT_TRUE(button);

    p.mouseMove({350, 150}, vp);
    EXPECT_EQ(button->state(), swf::ButtonOver);
    EXPECT_TRUE(p.pointerOverButton());
    p.mouseMove({150, 150}, vp);
    EXPECT_EQ(button->state(), swf::ButtonUp);
    EXPECT_TRUE(p.pointerOverButton()) << "a clip with press handlers shows the hand";
    p.mouseMove({10, 10}, vp);
    EXPECT_FALSE(p.pointerOverButton());
    // Buttons run their conditions, then their own handlers (the button is unnamed here).
    const std::vector<std::string> hover{"rollover", "rollOver:", "rollout", "rollOut:", "rollOver:clip",
                                         "rollOut:clip"};
    EXPECT_EQ(engine->log, hover);

    engine->log.clear();
    p.mousePress({150, 150}, vp);
    p.mouseMove({10, 10}, vp);
    p.mouseMove({150, 150}, vp);
    p.mouseRelease({150, 150}, vp);
    // Mouse clip events reach the topmost clips first, children before their parent.
    const std::vector<std::string> click{
        "rollOver:clip", "mousedown:holder", "mousedown:clip", "mousedown:", "mousedown:listeners", "press:clip",
        "dragOut:clip",  "dragOver:clip",    "mouseup:holder", "mouseup:clip", "mouseup:",           "mouseup:listeners",
        "release:clip"};
    EXPECT_EQ(engine->log, click);

    engine->log.clear();
    p.mousePress({150, 150}, vp);
    p.mouseRelease({350, 150}, vp);
    const std::vector<std::string> outside{"mousedown:holder", "mousedown:clip", "mousedown:", "mousedown:listeners",
                                           "press:clip", "dragOut:clip", "mouseup:holder", "mouseup:clip", "mouseup:",
                                           "mouseup:listeners", "releaseOutside:clip", "rollover", "rollOver:"};
    EXPECT_EQ(engine->log, outside) << "released over the button, which is entered only then";
}

TEST(PointerInput, DisabledButtonsAndClipsIgnoreThePointer) {
    EventLog* engine = nullptr;
    MoviePlayer p;
    p.setScriptEngineFactory([&engine] {
        auto e = std::make_unique<EventLog>();
        engine = e.get();
        return e;
    });
    ASSERT_TRUE(p.loadData(nestedMovie()));
    engine->disabled = true;
    p.mouseMove({150, 150}, QSize(550, 400));
    p.mouseMove({350, 150}, QSize(550, 400));
    EXPECT_TRUE(engine->log.empty());
    EXPECT_FALSE(p.pointerOverButton());
}

TEST(PointerInput, DraggedClipsFollowThePointerWithinTheirBounds) {
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(nestedMovie()));
    display::DisplayObject* clip = p.root()->childByName(QStringLiteral("clip"));
    ASSERT_TRUE(clip);
    PointerInput pointer;
    // Grabbed 5 px right and below its registration point: the offset stays.
    pointer.startDrag(clip, false, std::nullopt, QPointF(2100, 2100));
    pointer.updateDrag(QPointF(3100, 2600));
    EXPECT_EQ(QPointF(clip->matrix.tx, clip->matrix.ty), QPointF(3000, 2500));
    EXPECT_EQ(pointer.dragged(), clip);
    // Locked to the centre and kept inside 0..2500 twips.
    pointer.startDrag(clip, true, QRectF(0, 0, 2500, 2500), QPointF(1000, 1000));
    EXPECT_EQ(QPointF(clip->matrix.tx, clip->matrix.ty), QPointF(1000, 1000));
    pointer.updateDrag(QPointF(4000, -300));
    EXPECT_EQ(QPointF(clip->matrix.tx, clip->matrix.ty), QPointF(2500, 0));
    pointer.stopDrag();
    pointer.updateDrag(QPointF(100, 100));
    EXPECT_EQ(QPointF(clip->matrix.tx, clip->matrix.ty), QPointF(2500, 0));
    EXPECT_EQ(pointer.dragged(), nullptr);
}

TEST(PointerInput, DropTargetIsTheInnermostClipUnderThePointerButTheDraggedOne) {
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(nestedMovie()));
    display::DisplayObject* clip = p.root()->childByName(QStringLiteral("clip"));
    display::DisplayObject* holder = p.root()->childByName(QStringLiteral("holder"));
    EXPECT_EQ(PointerInput::clipAt(*p.root(), QPointF(3000, 3000), nullptr), clip);
    EXPECT_EQ(PointerInput::clipAt(*p.root(), QPointF(3000, 3000), clip), nullptr);
    EXPECT_EQ(PointerInput::clipAt(*p.root(), QPointF(7000, 3000), clip), holder);
}
