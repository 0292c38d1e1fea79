// Timelines: playing, looping, nested sprites, and gotos that must rebuild
// exactly the display list playing would have produced.
#include "movie/MoviePlayer.h"
#include "movie/display/DrawingCanvas.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/swf/MovieParser.h"
#include "movie/display/ScriptEngine.h"
#include "movie/support/SwfBuilder.h"
#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

namespace {

struct Entry {
    int depth;
    uint16_t characterId;
    swf::Matrix matrix;
    swf::ColorTransform cxform;
    QString name;
    int clipDepth;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) {
    *os << "d" << e.depth << " c" << e.characterId << " x" << e.matrix.tx << " " << e.name.toStdString();
}

std::vector<Entry> snapshot(const display::MovieClip& clip) {
    std::vector<Entry> out;
    for (const auto& [depth, o] : clip.children())
        out.push_back({depth, o->characterId(), o->matrix, o->cxform, o->name(), o->clipDepth});
    return out;
}

std::string describe(const std::vector<Entry>& v) {
    std::string s;
    for (const auto& e : v)
        s += "[d" + std::to_string(e.depth) + " c" + std::to_string(e.characterId) + " x" +
             std::to_string(e.matrix.tx) + " " + e.name.toStdString() + "] ";
    return s;
}

// A movie whose frames place, move, swap and remove shapes on a few depths,
// chosen by a seeded generator so every run sees the same file.
QByteArray randomTimeline(int frames, quint32 seed) {
    QRandomGenerator rng(seed);
    SwfBuilder b;
    for (uint16_t id = 1; id <= 3; ++id) b.defineRect(id, {0, 200 * id, 0, 200}, {uint8_t(80 * id), 0, 0, 255});
    std::map<int, uint16_t> occupied;
    for (int f = 0; f < frames; ++f) {
        const int ops = 1 + rng.bounded(3);
        for (int i = 0; i < ops; ++i) {
            const uint16_t depth = uint16_t(1 + rng.bounded(4));
            const int kind = rng.bounded(4);
            Placement p;
            p.depth = depth;
            if (kind == 0 || !occupied.count(depth)) { // new object
                p.characterId = uint16_t(1 + rng.bounded(3));
                p.matrix = swf::Matrix{1, 0, 0, 1, double(rng.bounded(5000)), double(rng.bounded(5000))};
                if (rng.bounded(2)) p.name = QStringLiteral("n%1").arg(f);
                if (occupied.count(depth)) b.removeObject2(depth);
                b.placeObject2(p);
                occupied[depth] = *p.characterId;
            } else if (kind == 1) { // move
                p.move = true;
                p.matrix = swf::Matrix{1, 0, 0, 1, double(rng.bounded(5000)), 7};
                if (rng.bounded(2)) p.cxform = swf::ColorTransform{128, 256, 256, 256, 0, 0, 0, 0};
                b.placeObject2(p);
            } else if (kind == 2) { // character swap keeping the placement
                p.move = true;
                p.characterId = uint16_t(1 + rng.bounded(3));
                b.placeObject2(p);
                occupied[depth] = *p.characterId;
            } else {
                b.removeObject2(depth);
                occupied.erase(depth);
            }
        }
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 10, {0, 11000, 0, 8000}, 24, uint16_t(frames));
}

class RecordingEngine : public display::ScriptEngine {
public:
    std::vector<std::string>* log;
    explicit RecordingEngine(std::vector<std::string>* l) : log(l) {}
    void frameActions(display::MovieClip* clip, const QByteArray& a) override {
        log->push_back("frame:" + std::to_string(clip->characterId()) + ":" + a.toStdString());
    }
    void initActions(display::MovieClip*, uint16_t id, const QByteArray& a) override {
        log->push_back("init:" + std::to_string(id) + ":" + a.toStdString());
    }
    void objectRemoved(display::DisplayObject* o) override {
        log->push_back("removed:" + std::to_string(o->characterId()));
    }
    void objectCreated(display::DisplayObject* o) override {
        log->push_back("created:" + std::to_string(o->characterId()));
    }
    void warning(const QString& message) override { log->push_back("warning:" + message.toStdString()); }
};

size_t countOf(const std::vector<std::string>& log, const std::string& entry) {
    return size_t(std::count(log.begin(), log.end(), entry));
}

} // namespace

TEST(MovieClip, GotoInEitherDirectionEqualsPlayingThere) {
    const int frames = 24;
    for (quint32 seed : {1u, 2u, 3u, 99u}) {
        const QByteArray swf = randomTimeline(frames, seed);
        // No interpreter: it would name unnamed instances differently in each player.
        MoviePlayer played;
        played.setScriptEngineFactory(nullptr);
        ASSERT_TRUE(played.loadData(swf));
        std::vector<std::vector<Entry>> expected{snapshot(*played.root())};
        for (int f = 1; f < frames; ++f) {
            played.stepFrame();
            ASSERT_EQ(played.frameNum(), f);
            expected.push_back(snapshot(*played.root()));
        }
        MoviePlayer jumper;
        jumper.setScriptEngineFactory(nullptr);
        ASSERT_TRUE(jumper.loadData(swf));
        // Visit frames in an order mixing long and short jumps both ways.
        QRandomGenerator order(seed * 7);
        // Going back keeps a later instance of the same character under the
        // name it has, so names are compared until the first backward jump.
        auto nameless = [](std::vector<Entry> v) {
            for (Entry& e : v) e.name.clear();
            return v;
        };
        bool wentBack = false;
        for (int i = 0; i < 60; ++i) {
            const int target = order.bounded(frames);
            wentBack = wentBack || target < jumper.frameNum();
            jumper.gotoFrame(target);
            ASSERT_EQ(jumper.frameNum(), target);
            auto got = snapshot(*jumper.root());
            auto want = expected[size_t(target)];
            if (wentBack) {
                got = nameless(got);
                want = nameless(want);
            }
            EXPECT_EQ(got, want)
                << "seed " << seed << " frame " << target << "\n got  " << describe(snapshot(*jumper.root()))
                << "\n want " << describe(expected[size_t(target)]);
        }
    }
}

TEST(MovieClip, BackwardGotoKeepsObjectsThatStayAtTheirDepth) {
    SwfBuilder b;
    b.defineRect(1, {0, 100, 0, 100}, {255, 0, 0, 255});
    b.defineRect(2, {0, 100, 0, 100}, {0, 255, 0, 255});
    Placement p;
    p.characterId = 1;
    p.depth = 1;
    b.placeObject2(p);
    b.showFrame();
    Placement moved;
    moved.depth = 1;
    moved.move = true;
    moved.matrix = swf::Matrix{1, 0, 0, 1, 500, 0};
    b.placeObject2(moved);
    Placement other;
    other.characterId = 2;
    other.depth = 2;
    b.placeObject2(other);
    b.showFrame();
    b.end();
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(b.build(SwfBuilder::Container::Fws, 10, {0, 1000, 0, 1000}, 24, 2)));
    player.stepFrame();
    auto* kept = player.root()->childAt(1);
    ASSERT_TRUE(kept);
    EXPECT_DOUBLE_EQ(kept->matrix.tx, 500);
    ASSERT_TRUE(player.root()->childAt(2));
    player.gotoFrame(0);
    EXPECT_EQ(player.root()->childAt(1), kept);       // same instance, even with a name given by scripts
    EXPECT_DOUBLE_EQ(kept->matrix.tx, 0);             // placement reset to frame 0's
    EXPECT_EQ(player.root()->childAt(2), nullptr);    // placed later: gone
}

TEST(MovieClip, LoopsAtTheEndAndStopsWhenAsked) {
    const QByteArray swf = randomTimeline(5, 11);
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(swf));
    const auto first = snapshot(*player.root());
    for (int i = 0; i < 4; ++i) player.stepFrame();
    EXPECT_EQ(player.frameNum(), 4);
    player.stepFrame();
    EXPECT_EQ(player.frameNum(), 0);
    EXPECT_EQ(snapshot(*player.root()), first);
    player.stop();
    player.stepFrame();
    EXPECT_EQ(player.frameNum(), 0);
    EXPECT_FALSE(player.isPlaying());
}

TEST(MovieClip, NestedSpritesAdvanceEveryFrameOnTheirOwn) {
    SwfBuilder inner;
    inner.showFrame();
    inner.showFrame();
    inner.showFrame();
    inner.end();
    SwfBuilder b;
    b.defineSprite(10, 3, inner);
    Placement p;
    p.characterId = 10;
    p.depth = 1;
    b.placeObject2(p);
    b.showFrame();
    b.end();
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(b.build(SwfBuilder::Container::Fws, 10, {0, 100, 0, 100}, 24, 1)));
    auto* clip = dynamic_cast<display::MovieClip*>(player.root()->childAt(1));
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->currentFrame(), 0);
    player.stepFrame();
    EXPECT_EQ(player.frameNum(), 0); // a one-frame root stands still
    EXPECT_EQ(clip->currentFrame(), 1);
    player.stepFrame();
    player.stepFrame();
    EXPECT_EQ(clip->currentFrame(), 0); // looped
}

TEST(MovieClip, SpriteThatPlacesItselfDoesNotRecurse) {
    SwfBuilder inner;
    Placement self;
    self.characterId = 20;
    self.depth = 1;
    inner.placeObject2(self);
    inner.showFrame();
    inner.end();
    SwfBuilder b;
    b.defineSprite(20, 1, inner);
    b.placeObject2(self);
    b.showFrame();
    b.end();
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(b.build(SwfBuilder::Container::Fws, 10, {0, 100, 0, 100}, 24, 1)));
    auto* outer = dynamic_cast<display::MovieClip*>(player.root()->childAt(1));
    ASSERT_TRUE(outer);
    EXPECT_TRUE(outer->children().empty());
    player.stepFrame();
    (void)player.renderImage(QSize(10, 10));
}

TEST(MovieClip, ActionsReachTheScriptEngineInOrderAndOnlyForTheTargetFrame) {
    SwfBuilder b;
    b.doAction("A0");
    b.tag(59, QByteArray("\x05\x00I5", 4)); // DoInitAction for sprite 5
    b.showFrame();
    b.doAction("A1");
    b.showFrame();
    b.doAction("A2");
    b.showFrame();
    b.end();
    std::vector<std::string> log;
    MoviePlayer player;
    player.setScriptEngineFactory([&log] { return std::make_unique<RecordingEngine>(&log); });
    ASSERT_TRUE(player.loadData(b.build(SwfBuilder::Container::Fws, 10, {0, 100, 0, 100}, 24, 3)));
    player.gotoFrame(2);
    player.gotoFrame(0);
    const std::vector<std::string> want{"init:5:I5", "frame:0:A0", "frame:0:A2", "frame:0:A0"};
    EXPECT_EQ(log, want);
}

TEST(MovieClip, GotoClampsToTheTimeline) {
    const QByteArray swf = randomTimeline(6, 5);
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(swf));
    player.gotoFrame(1000);
    EXPECT_EQ(player.frameNum(), 5);
    player.gotoFrame(-3);
    EXPECT_EQ(player.frameNum(), 0);
    EXPECT_TRUE(player.root()->gotoLabel(QStringLiteral("nowhere"), false) == false);
}

TEST(MovieClip, ScriptMadeClipsSurviveTimelineRebuilds) {
    const QByteArray swf = randomTimeline(6, 8);
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(swf));
    display::MovieClip* made = player.root()->createEmptyMovieClip(QStringLiteral("made"), 16384 + 5);
    ASSERT_TRUE(made);
    player.gotoFrame(5);
    player.gotoFrame(0);
    EXPECT_EQ(player.root()->childByName(QStringLiteral("MADE")), made);
    EXPECT_TRUE(player.root()->removeChildAt(16384 + 5));
    EXPECT_EQ(player.root()->childByName(QStringLiteral("made")), nullptr);
}

namespace {

// A movie of `frames` frames placing shape 1 (a square as wide as `width` twips) on depth 1.
QByteArray squareMovie(int frames, int width) {
    SwfBuilder b;
    b.defineRect(1, {0, width, 0, 200}, {0, 0, 255, 255});
    Placement p;
    p.characterId = 1;
    b.placeObject2(p);
    for (int f = 0; f < frames; ++f) b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 24, uint16_t(frames));
}

// "holder" (sprite 20, one empty frame) at (50,60) px.
QByteArray holderMovie() {
    SwfBuilder b;
    b.placeEmptyClip(20, QStringLiteral("holder"), swf::Matrix{1, 0, 0, 1, 1000, 1200});
    b.showFrame();
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 24, 2);
}

} // namespace

TEST(MovieClip, LoadedMoviesTakeTheClipsPlaceAndPlayOnTheHostsClock) {
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(holderMovie()));
    auto* holder = static_cast<display::MovieClip*>(p.root()->childByName(QStringLiteral("holder")));
    ASSERT_TRUE(holder);
    auto child = swf::MovieParser::parse(squareMovie(3, 777));
    ASSERT_TRUE(child);
    display::MovieClip* loaded = holder->replaceWithMovie(child.value());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(p.root()->childByName(QStringLiteral("holder")), loaded);
    EXPECT_EQ(loaded->depth(), 1);
    EXPECT_EQ(QPointF(loaded->x(), loaded->y()), QPointF(50, 60));
    // The loaded movie's own characters: its shape 1 is 777 twips wide, not the host's.
    ASSERT_TRUE(loaded->childAt(1));
    EXPECT_EQ(loaded->childAt(1)->localBounds().width(), 777);
    EXPECT_EQ(loaded->totalFrames(), 3);
    p.stepFrame();
    p.stepFrame();
    EXPECT_EQ(loaded->currentFrame(), 2);

    loaded->unloadContents();
    EXPECT_TRUE(loaded->children().empty());
    EXPECT_EQ(loaded->totalFrames(), 1);
    p.stepFrame();
    EXPECT_TRUE(loaded->children().empty());
}

TEST(MovieClip, MoviesLoadingMoviesStopAtTheLimit) {
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(holderMovie()));
    auto child = swf::MovieParser::parse(squareMovie(1, 100));
    ASSERT_TRUE(child);
    int made = 0;
    for (int i = 0; i < display::MovieContext::maxLoadedMovies + 5; ++i) {
        auto* holder = static_cast<display::MovieClip*>(p.root()->childByName(QStringLiteral("holder")));
        ASSERT_TRUE(holder);
        if (holder->replaceWithMovie(child.value())) ++made;
    }
    EXPECT_EQ(made, display::MovieContext::maxLoadedMovies);
    EXPECT_FALSE(display::MovieClip(p.root()->context(), 0, nullptr).replaceWithMovie(child.value()))
        << "a clip without a parent has no place to give";
}

TEST(MovieClip, PlacingOnATakenDepthFailsAndIsReported) {
    SwfBuilder b;
    b.defineRect(1, {0, 100, 0, 100}, {255, 0, 0, 255});
    b.defineRect(2, {0, 100, 0, 100}, {0, 255, 0, 255});
    Placement first;
    first.characterId = 1;
    first.depth = 3;
    b.placeObject2(first);
    Placement second;
    second.characterId = 2;
    second.depth = 3;
    b.placeObject2(second);
    b.showFrame();
    b.end();
    std::vector<std::string> log;
    MoviePlayer player;
    player.setScriptEngineFactory([&log] { return std::make_unique<RecordingEngine>(&log); });
    ASSERT_TRUE(player.loadData(b.build(SwfBuilder::Container::Fws, 10, {0, 100, 0, 100}, 24, 1)));
    ASSERT_TRUE(player.root()->childAt(3));
    EXPECT_EQ(player.root()->childAt(3)->characterId(), 1); // the first one stays
    EXPECT_EQ(countOf(log, "created:2"), 0u);
    EXPECT_EQ(countOf(log, "warning:Failed to place object at depth 3."), 1u);
}

namespace {

// Frame 0 places sprite 5 on depth 1 as "kid"; frame 1 removes it, frame 2
// places it again (a new instance) as "again" with the given ratio; frame 3 holds.
QByteArray replacedMovie(uint16_t laterRatio) {
    SwfBuilder b;
    SwfBuilder inner;
    inner.showFrame();
    inner.end();
    b.defineSprite(5, 1, inner);
    Placement p;
    p.characterId = 5;
    p.depth = 1;
    p.name = QStringLiteral("kid");
    b.placeObject2(p);
    b.showFrame();
    b.removeObject2(1);
    b.showFrame();
    p.name = QStringLiteral("again");
    if (laterRatio) p.ratio = laterRatio;
    b.placeObject2(p);
    b.showFrame();
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 10, {0, 100, 0, 100}, 24, 4);
}

} // namespace

TEST(MovieClip, GoingBackKeepsALaterInstanceOfTheSameCharacterAndRatio) {
    std::vector<std::string> log;
    MoviePlayer player;
    player.setScriptEngineFactory([&log] { return std::make_unique<RecordingEngine>(&log); });
    ASSERT_TRUE(player.loadData(replacedMovie(0)));
    player.gotoFrame(3);
    display::DisplayObject* later = player.root()->childAt(1);
    ASSERT_TRUE(later);
    log.clear();
    player.gotoFrame(0);
    EXPECT_EQ(player.root()->childAt(1), later);
    EXPECT_EQ(later->name(), QStringLiteral("again")); // it keeps its own name
    EXPECT_EQ(countOf(log, "removed:5") + countOf(log, "created:5"), 0u);
}

TEST(MovieClip, GoingBackMakesAgainWhatADifferentRatioPlaced) {
    std::vector<std::string> log;
    MoviePlayer player;
    player.setScriptEngineFactory([&log] { return std::make_unique<RecordingEngine>(&log); });
    ASSERT_TRUE(player.loadData(replacedMovie(7)));
    player.gotoFrame(3);
    ASSERT_TRUE(player.root()->childAt(1));
    log.clear();
    player.gotoFrame(0);
    ASSERT_TRUE(player.root()->childAt(1));
    EXPECT_EQ(countOf(log, "removed:5"), 1u);
    EXPECT_EQ(countOf(log, "created:5"), 1u);
    EXPECT_EQ(player.root()->childAt(1)->name(), QStringLiteral("kid"));
    EXPECT_EQ(player.root()->childAt(1)->ratio, 0);
}

TEST(MovieClip, GoingBackClearsScriptClipsFromTimelineDepthsOnly) {
    MoviePlayer player;
    player.setScriptEngineFactory(nullptr);
    ASSERT_TRUE(player.loadData(replacedMovie(0)));
    player.gotoFrame(3);
    ASSERT_TRUE(player.root()->createEmptyMovieClip(QStringLiteral("low"), 100));
    ASSERT_TRUE(player.root()->createEmptyMovieClip(QStringLiteral("high"), 16384 + 100));
    player.gotoFrame(1);
    EXPECT_EQ(player.root()->childByName(QStringLiteral("low")), nullptr);
    EXPECT_TRUE(player.root()->childByName(QStringLiteral("high")));
}

TEST(MovieClip, ObjectsSwappedByScriptsSurviveTheLoopAsTheSameInstances) {
    SwfBuilder b;
    SwfBuilder inner;
    inner.showFrame();
    inner.end();
    b.defineSprite(5, 1, inner);
    b.defineSprite(6, 1, inner);
    Placement a;
    a.characterId = 5;
    a.depth = 3;
    b.placeObject2(a);
    Placement c;
    c.characterId = 6;
    c.depth = 16384 + 10;
    b.placeObject2(c);
    b.showFrame();
    b.showFrame();
    b.end();
    std::vector<std::string> log;
    MoviePlayer player;
    player.setScriptEngineFactory([&log] { return std::make_unique<RecordingEngine>(&log); });
    ASSERT_TRUE(player.loadData(b.build(SwfBuilder::Container::Fws, 10, {0, 100, 0, 100}, 24, 2)));
    display::DisplayObject* first = player.root()->childAt(3);
    display::DisplayObject* second = player.root()->childAt(16384 + 10);
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(player.root()->swapChildDepths(3, 16384 + 10));
    log.clear();
    player.stepFrame();
    player.stepFrame(); // back to frame 0
    EXPECT_EQ(player.frameNum(), 0);
    EXPECT_EQ(player.root()->childAt(3), second);
    EXPECT_EQ(player.root()->childAt(16384 + 10), first);
    EXPECT_EQ(countOf(log, "created:5") + countOf(log, "created:6"), 0u);
    EXPECT_EQ(countOf(log, "removed:5") + countOf(log, "removed:6"), 0u);
}

TEST(MovieClip, TimelineMovesNoLongerTransformWhatAScriptTransformed) {
    SwfBuilder b;
    b.defineRect(1, {0, 100, 0, 100}, {255, 0, 0, 255});
    Placement p;
    p.characterId = 1;
    p.matrix = swf::Matrix{1, 0, 0, 1, 200, 200};
    b.placeObject2(p);
    b.showFrame();
    Placement moved;
    moved.move = true;
    moved.matrix = swf::Matrix{1, 0, 0, 1, 1000, 200};
    b.placeObject2(moved);
    b.showFrame();
    b.showFrame();
    b.end();
    MoviePlayer player;
    player.setScriptEngineFactory(nullptr);
    ASSERT_TRUE(player.loadData(b.build(SwfBuilder::Container::Fws, 10, {0, 100, 0, 100}, 24, 3)));
    display::DisplayObject* shape = player.root()->childAt(1);
    ASSERT_TRUE(shape);
    shape->setY(20);
    shape->transformedByScript = true;
    player.stepFrame();
    EXPECT_DOUBLE_EQ(shape->matrix.tx, 200);
    player.gotoFrame(0); // going back keeps the instance and what the script did
    EXPECT_EQ(player.root()->childAt(1), shape);
    EXPECT_DOUBLE_EQ(shape->matrix.ty, 400);
}

TEST(MovieClip, DuplicatesOfScriptMadeClipsCarryTheirDrawing) {
    MoviePlayer player;
    player.setScriptEngineFactory(nullptr);
    ASSERT_TRUE(player.loadData(squareMovie(1, 100)));
    display::MovieClip* made = player.root()->createEmptyMovieClip(QStringLiteral("made"), 16384 + 1);
    ASSERT_TRUE(made);
    made->drawing = std::make_shared<display::DrawingCanvas>();
    swf::FillStyle red;
    red.color = swf::Rgba{255, 0, 0, 255};
    made->drawing->beginFill(red);
    made->drawing->moveTo(QPointF(0, 0));
    made->drawing->lineTo(QPointF(400, 0));
    made->drawing->lineTo(QPointF(400, 400));
    made->drawing->endFill();
    made->matrix.tx = 60;
    display::DisplayObject* copy = made->duplicate(QStringLiteral("copy"), 16384 + 2);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->type(), display::DisplayObject::Type::MovieClip);
    auto* clip = static_cast<display::MovieClip*>(copy);
    ASSERT_TRUE(clip->drawing);
    EXPECT_NE(clip->drawing, made->drawing); // a copy: drawing on one leaves the other alone
    EXPECT_EQ(copy->localBounds(), made->localBounds());
    EXPECT_DOUBLE_EQ(copy->matrix.tx, 60);
    EXPECT_EQ(copy->name(), QStringLiteral("copy"));
}

// What a frame removes before anything else it does at that depth leaves while
// the clip still shows the frame before; the rest happens on the new frame, in
// the order of the frame's tags.
TEST(MovieClip, RemovalsLeadingTheNextFrameHappenOnTheFrameBefore) {
    struct FrameNoting : RecordingEngine {
        using RecordingEngine::RecordingEngine;
        void objectRemoved(display::DisplayObject* o) override { note("removed", o); }
        void objectCreated(display::DisplayObject* o) override { note("created", o); }
        void note(const char* what, display::DisplayObject* o) {
            const int frame = o->parent() ? o->parent()->currentFrame() : -1;
            log->push_back(std::string(what) + ":" + std::to_string(o->characterId()) + "@" + std::to_string(frame));
        }
    };
    SwfBuilder b;
    b.defineRect(1, {0, 200, 0, 200}, {255, 0, 0, 255});
    b.defineRect(2, {0, 200, 0, 200}, {0, 0, 255, 255});
    b.placeObject2(Placement{1, 1});
    b.showFrame();
    b.placeObject2(Placement{3, 2}); // something else first
    b.removeObject2(1);              // leads at depth 1: leaves early
    b.placeObject2(Placement{4, 2});
    b.removeObject2(4);              // follows a placing at depth 4: in order
    b.showFrame();
    b.end();
    std::vector<std::string> log;
    MoviePlayer player;
    player.setScriptEngineFactory([&log] { return std::make_unique<FrameNoting>(&log); });
    ASSERT_TRUE(player.loadData(b.build(SwfBuilder::Container::Fws, 10, {0, 100, 0, 100}, 24, 2)));
    log.clear();
    player.stepFrame();
    const std::vector<std::string> want{"removed:1@0", "created:2@1", "created:2@1", "removed:2@1"};
    EXPECT_EQ(log, want);
    EXPECT_EQ(snapshot(*player.root()).size(), 1u);
}
