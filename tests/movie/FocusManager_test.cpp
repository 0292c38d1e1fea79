// Keyboard focus: the Tab order (reading order, tab indexes, tabChildren,
// hidden objects), moving and wrapping with Tab and Shift+Tab, what scripts
// may focus, and focus lost when its object leaves the stage.
#include "movie/MoviePlayer.h"
#include "movie/display/FocusManager.h"
#include "movie/display/MovieClip.h"
#include "movie/display/ScriptEngine.h"
#include "movie/support/SwfBuilder.h"
#include <gtest/gtest.h>
#include <map>

using namespace nimbrel::movie;
using display::DisplayObject;
using display::FocusManager;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

namespace {

// Answers the focus settings a test gives by object name and logs focus changes.
class FocusScripts : public display::ScriptEngine {
public:
    std::map<QString, display::FocusTraits> traits;
    std::vector<std::string> log;

    display::FocusTraits focusTraits(DisplayObject* o) override {
        auto it = traits.find(o->name());
        return it == traits.end() ? display::FocusTraits{} : it->second;
    }
    void focusChanged(DisplayObject* lost, DisplayObject* gained) override {
        log.push_back((lost ? lost->name() : QStringLiteral("null")).toStdString() + "->" +
                      (gained ? gained->name() : QStringLiteral("null")).toStdString());
    }
};

struct Spot {
    const char* name;
    double x, y;         // pixels
    bool inBox = false;  // inside the clip "box" (at 0,0) rather than on the root
};

// Empty clips named and placed as given; "box" holds the ones marked inBox.
QByteArray clipsMovie(const std::vector<Spot>& spots) {
    SwfBuilder b;
    SwfBuilder empty;
    empty.showFrame();
    empty.end();
    b.defineSprite(1, 1, empty);
    SwfBuilder box;
    uint16_t boxDepth = 1;
    for (const Spot& s : spots) {
        if (!s.inBox) continue;
        Placement p;
        p.depth = boxDepth++;
        p.characterId = 1;
        p.name = QString::fromLatin1(s.name);
        p.matrix = swf::Matrix{1, 0, 0, 1, s.x * 20.0, s.y * 20.0};
        box.placeObject2(p);
    }
    box.showFrame();
    box.end();
    b.defineSprite(2, 1, box);
    uint16_t depth = 1;
    for (const Spot& s : spots) {
        if (s.inBox) continue;
        Placement p;
        p.depth = depth++;
        p.characterId = 1;
        p.name = QString::fromLatin1(s.name);
        p.matrix = swf::Matrix{1, 0, 0, 1, s.x * 20.0, s.y * 20.0};
        b.placeObject2(p);
    }
    Placement holder;
    holder.depth = 100;
    holder.characterId = 2;
    holder.name = QStringLiteral("box");
    b.placeObject2(holder);
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 8000, 0, 8000}, 12, 1);
}

class FocusTest : public ::testing::Test {
protected:
    void load(const std::vector<Spot>& spots) {
        player.setScriptEngineFactory([this, spots] {
            auto s = std::make_unique<FocusScripts>();
            scripts = s.get();
            for (const Spot& spot : spots) scripts->traits[QString::fromLatin1(spot.name)].tabEnabled = true;
            return s;
        });
        ASSERT_TRUE(player.loadData(clipsMovie(spots)));
    }
    DisplayObject* find(const char* name) {
        return findIn(*player.root(), QString::fromLatin1(name));
    }
    static DisplayObject* findIn(display::MovieClip& clip, const QString& name) {
        for (const auto& [d, child] : clip.children()) {
            if (child->name() == name) return child.get();
            if (child->type() == DisplayObject::Type::MovieClip)
                if (auto* inner = findIn(static_cast<display::MovieClip&>(*child), name)) return inner;
        }
        return nullptr;
    }
    std::vector<std::string> order() {
        std::vector<std::string> names;
        for (DisplayObject* o : FocusManager::tabOrder(*player.root())) names.push_back(o->name().toStdString());
        return names;
    }

    MoviePlayer player;
    FocusScripts* scripts = nullptr;
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(FocusTest, TabOrderReadsTopToBottomThenLeftToRightAcrossNesting) {
    load({{"c", 10, 200}, {"a", 300, 10}, {"b", 20, 100, true}, {"d", 5, 200}});
    EXPECT_EQ(order(), (Names{"a", "b", "d", "c"}));
}

TEST_F(FocusTest, TabIndexesLimitAndSortTheOrder) {
    load({{"a", 0, 0}, {"b", 0, 10}, {"c", 0, 20}, {"d", 0, 30}});
    scripts->traits["c"].tabIndex = 1;
    scripts->traits["a"].tabIndex = 7;
    scripts->traits["d"].tabIndex = 1;
    // Equal indexes keep their reading order.
    EXPECT_EQ(order(), (Names{"c", "d", "a"}));
}

TEST_F(FocusTest, DisabledHiddenAndClosedOffObjectsAreSkipped) {
    load({{"a", 0, 0}, {"b", 0, 10}, {"c", 0, 20, true}, {"d", 0, 30}});
    scripts->traits["b"].tabEnabled = false;
    find("d")->visible = false;
    EXPECT_EQ(order(), (Names{"a", "c"}));
    scripts->traits["box"].tabChildren = false;
    EXPECT_EQ(order(), (Names{"a"}));
    // A clip is not in the order unless asked for or acting as a button.
    scripts->traits["a"].tabEnabled.reset();
    EXPECT_TRUE(order().empty());
    scripts->traits["a"].actsAsButton = true;
    EXPECT_EQ(order(), (Names{"a"}));
}

TEST_F(FocusTest, TabAndShiftTabMoveAndWrapAndTellTheScripts) {
    load({{"a", 0, 0}, {"b", 0, 10}, {"c", 0, 20}});
    const int tab = 9, shift = 16;
    player.keyPress(tab, QStringLiteral("\t"));
    player.keyPress(tab, QStringLiteral("\t"));
    player.keyPress(tab, QStringLiteral("\t"));
    player.keyPress(tab, QStringLiteral("\t"));
    player.keyPress(shift, QString());
    player.keyPress(tab, QStringLiteral("\t"));
    player.keyRelease(shift);
    EXPECT_EQ(scripts->log, (Names{"null->a", "a->b", "b->c", "c->a", "a->c"}));
}

TEST_F(FocusTest, ShiftTabFromNothingStartsAtTheEndAndASingleEntryStaysPut) {
    load({{"a", 0, 0}, {"b", 0, 10}});
    FocusManager focus;
    focus.tab(*player.root(), true);
    EXPECT_EQ(focus.focused(), find("b"));
    scripts->traits["a"].tabIndex = 3;
    focus.tab(*player.root(), false);
    focus.tab(*player.root(), false);
    EXPECT_EQ(focus.focused(), find("a"));
    EXPECT_EQ(scripts->log, (Names{"null->b", "b->a"}));
}

TEST_F(FocusTest, ScriptsFocusOnlyWhatMayHoldFocus) {
    load({{"a", 0, 0}});
    FocusManager focus;
    DisplayObject* a = find("a");
    scripts->traits["a"] = {};
    EXPECT_FALSE(focus.setFocus(a));
    EXPECT_EQ(focus.focused(), nullptr);
    scripts->traits["a"].focusEnabled = true;
    EXPECT_TRUE(focus.setFocus(a));
    EXPECT_TRUE(focus.setFocus(a)); // already there: no second change
    EXPECT_TRUE(focus.setFocus(nullptr));
    EXPECT_EQ(scripts->log, (Names{"null->a", "a->null"}));
}

TEST_F(FocusTest, FocusIsLostWhenItsObjectOrAParentGoesAway) {
    load({{"a", 0, 0}, {"b", 0, 10, true}});
    FocusManager focus;
    ASSERT_TRUE(focus.setFocus(find("b")));
    focus.dropWithin(find("a")); // elsewhere: nothing happens
    EXPECT_EQ(focus.focused(), find("b"));
    focus.dropWithin(find("box"));
    EXPECT_EQ(focus.focused(), nullptr);
    EXPECT_EQ(scripts->log, (Names{"null->b", "b->null"}));
}

TEST_F(FocusTest, TabIndexesCompareAsSignedNumbersAndMinusOneMeansNone) {
    load({{"a", 0, 0}, {"b", 0, 10}, {"c", 0, 20}, {"d", 0, 30}});
    scripts->traits["a"].tabIndex = 2;
    scripts->traits["b"].tabIndex = uint32_t(-1);
    scripts->traits["c"].tabIndex = uint32_t(-3);
    scripts->traits["d"].tabIndex = 0;
    EXPECT_EQ(order(), (Names{"c", "d", "a"}));
}

TEST_F(FocusTest, TheMainTimelineNeverTakesFocus) {
    load({{"a", 0, 0}});
    scripts->traits[QString()].focusEnabled = true;
    FocusManager focus;
    EXPECT_FALSE(focus.setFocus(player.root()));
    EXPECT_EQ(focus.focused(), nullptr);
    EXPECT_TRUE(scripts->log.empty());
}

TEST_F(FocusTest, KeysReachTheFocusOnlyUntilThePointerMoves) {
    load({{"a", 0, 0}, {"b", 0, 10}});
    FocusManager focus;
    EXPECT_FALSE(focus.keyboardDriven());
    ASSERT_TRUE(focus.setFocus(find("a")));
    EXPECT_TRUE(focus.keyboardDriven());
    focus.pointerMoved();
    EXPECT_FALSE(focus.keyboardDriven());
    EXPECT_EQ(focus.focused(), find("a")); // the focus itself stays
    focus.tab(*player.root(), false);
    EXPECT_TRUE(focus.keyboardDriven());
    focus.dropWithin(find("b"));
    EXPECT_FALSE(focus.keyboardDriven());
}
