// Buttons under the pointer: states, the actions of each transition, and
// mouse clip events reaching the script engine.
#include "movie/MoviePlayer.h"
#include "movie/display/ButtonObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/ScriptEngine.h"
#include "movie/support/SwfBuilder.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using test::BitWriter;
using test::Placement;
using test::SwfBuilder;

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

// A 100 px button at (100,100): red when up, green under the pointer, blue
// while pressed; each transition of interest carries its name as "actions".
QByteArray buttonMovie() {
    SwfBuilder b;
    b.defineRect(1, {0, 2000, 0, 2000}, {255, 0, 0, 255});
    b.defineRect(2, {0, 2000, 0, 2000}, {0, 255, 0, 255});
    b.defineRect(3, {0, 2000, 0, 2000}, {0, 0, 255, 255});
    BitWriter w;
    w.u16(10);
    w.u8(0);
    const QByteArray records = [] {
        BitWriter r;
        const std::pair<uint8_t, uint16_t> recs[] = {{0x01 | 0x08, 1}, {0x02, 2}, {0x04, 3}};
        for (auto [states, id] : recs) {
            r.u8(states);
            r.u16(id);
            r.u16(1);
            r.matrix({});
            r.cxform({}, true);
        }
        r.u8(0);
        return r.data();
    }();
    w.u16(uint16_t(2 + records.size()));
    w.bytes(records);
    auto cond = [&](uint16_t c, const QByteArray& name, bool last) {
        w.u16(last ? 0 : uint16_t(4 + name.size()));
        w.u8(uint8_t(c >> 8));
        w.u8(uint8_t(c & 1));
        w.bytes(name);
    };
    cond(swf::CondIdleToOverUp, "rollover", false);
    cond(swf::CondOverUpToOverDown, "press", false);
    cond(swf::CondOverDownToOverUp, "release", false);
    cond(swf::CondOverUpToIdle, "rollout", true);
    b.tag(34, w.data());
    Placement p;
    p.characterId = 10;
    p.matrix = swf::Matrix{1, 0, 0, 1, 2000, 2000};
    b.placeObject2(p);
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
    const std::vector<std::string> want{"rollover", "press", "root:mousedown", "release", "rollout"};
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
