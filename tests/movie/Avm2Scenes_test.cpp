// Scenes of an ActionScript 3 timeline: the scene table read from the movie,
// frame numbers and labels counted within a scene, and the goto calls that
// name a scene or step between scenes.
#include "movie/support/Avm2PlayerTest.h"
#include "movie/swf/Timeline.h"

using namespace nimbrel::movie;
using avm2::Value;

namespace {

// Eight frames: "Intro" holds three, "Main" five. FrameLabel tags name frames
// 1, 3, 4 and 7; the scene table repeats "main" and alone names frame 8 "last".
QByteArray twoSceneMovie() {
    return test::as3Movie(
        8, [](test::SwfBuilder& b) { b.sceneTable({{0, "Intro"}, {3, "Main"}}, {{3, "main"}, {7, "last"}}); },
        [](test::SwfBuilder& b, int frame) {
            if (frame == 0) b.frameLabel("top");
            if (frame == 2) b.frameLabel("introEnd");
            if (frame == 3) b.frameLabel("main");
            if (frame == 6) b.frameLabel("1.5");
        });
}

struct Avm2Scenes : test::Avm2PlayerTest {
    void SetUp() override { load(twoSceneMovie()); }
    // "scene frame label" as the main timeline reports them.
    QString where() {
        return text(get(root(), "currentScene"), "name") + ' ' + text(root(), "currentFrame") + ' ' +
               text(root(), "currentLabel");
    }
    // FrameLabels of an array as "name:frame" items.
    QStringList labels(const Value& array) {
        QStringList out;
        for (int i = 0, n = rt->toInt32(get(array, "length")); i < n; ++i) {
            const Value label = at(array, uint32_t(i));
            out << text(label, "name") + ':' + text(label, "frame");
        }
        return out;
    }
};

} // namespace

TEST(SceneTable, ScenesCoverTheTimelineWhateverTheTableSays) {
    using Table = std::vector<std::pair<int, QString>>;
    using Spans = std::vector<std::tuple<QString, int, int>>;
    const struct {
        const char* what;
        Table table;
        Spans spans;
    } cases[] = {
        {"no table", {}, {{"Scene 1", 0, 8}}},
        {"two scenes", {{0, "A"}, {3, "B"}}, {{"A", 0, 3}, {"B", 3, 5}}},
        {"first scene starts late", {{2, "B"}, {5, "C"}}, {{"B", 0, 5}, {"C", 5, 3}}},
        {"repeated and outside starts", {{0, "A"}, {0, "B"}, {5, "C"}, {4, "D"}, {99, "E"}}, {{"A", 0, 5}, {"C", 5, 3}}},
    };
    for (const auto& c : cases) {
        swf::Timeline t;
        t.declaredFrames = 8;
        t.sceneTable = c.table;
        Spans got;
        for (const auto& s : t.scenes()) got.emplace_back(s.name, s.first, s.count);
        EXPECT_EQ(got, c.spans) << c.what;
        EXPECT_EQ(t.sceneIndexAt(7), int(c.spans.size()) - 1) << c.what;
    }
}

TEST_F(Avm2Scenes, TheTableSplitsTheTimelineAndItsLabelsJoinTheFrames) {
    const swf::Timeline& t = *player.root()->timeline();
    ASSERT_EQ(t.scenes().size(), 2u);
    EXPECT_EQ(t.frame(3).labels, QStringList{"main"}) << "a label both give is one label";
    EXPECT_EQ(t.frame(7).labels, QStringList{"last"});

    const Value scenes = get(root(), "scenes");
    ASSERT_EQ(rt->toInt32(get(scenes, "length")), 2);
    const Value intro = at(scenes, 0), main = at(scenes, 1);
    EXPECT_EQ(text(intro, "name") + text(intro, "numFrames"), "Intro3");
    EXPECT_EQ(text(main, "name") + text(main, "numFrames"), "Main5");
    EXPECT_EQ(labels(get(intro, "labels")), (QStringList{"top:1", "introEnd:3"}));
    EXPECT_EQ(labels(get(main, "labels")), (QStringList{"main:1", "1.5:4", "last:5"})) << "numbered within the scene";
    EXPECT_EQ(text(root(), "totalFrames"), "8") << "the whole timeline";
}

TEST_F(Avm2Scenes, GotoCountsFramesAndFindsLabelsWithinTheScene) {
    const struct {
        Value frame;
        const char* scene;
        const char* after; // where the playhead is afterwards
        int error;
    } steps[] = {
        {Value::integer(2), "Main", "Main 2 main", 0},
        {Value::string("last"), nullptr, "Main 5 last", 0},
        {Value::integer(1), nullptr, "Main 1 main", 0},          // within the current scene
        {Value::string("introEnd"), nullptr, "Intro 3 introEnd", 0}, // a label of another scene
        {Value::string("top"), "Main", "Intro 3 introEnd", 2109},    // not in the scene named
        {Value::integer(1), "Nope", "Intro 3 introEnd", 2108},
        {Value::string("2"), "Intro", "Intro 2 top", 0},
        {Value::number(1.5), "Main", "Main 4 1.5", 0}, // a fraction names a label
    };
    for (const auto& s : steps) {
        const Value scene = s.scene ? Value::string(QString::fromLatin1(s.scene)) : Value::null();
        EXPECT_EQ(errorId([&] { call(root(), "gotoAndStop", {s.frame, scene}); }), s.error) << s.after;
        EXPECT_EQ(where(), s.after);
        const bool inMain = text(get(root(), "currentScene"), "name") == "Main";
        EXPECT_EQ(labels(get(root(), "currentLabels")),
                  inMain ? QStringList({"main:1", "1.5:4", "last:5"}) : QStringList({"top:1", "introEnd:3"}));
    }
}

TEST_F(Avm2Scenes, NextAndPrevSceneStartTheNeighbourPlaying) {
    call(root(), "gotoAndStop", {Value::integer(2)});
    call(root(), "prevScene");
    EXPECT_EQ(where(), "Intro 1 top") << "the first scene starts over";
    EXPECT_TRUE(player.root()->isPlaying());
    call(root(), "gotoAndStop", {Value::integer(2)});
    call(root(), "nextScene");
    EXPECT_EQ(where(), "Main 1 main");
    EXPECT_TRUE(player.root()->isPlaying());
    call(root(), "gotoAndStop", {Value::string("last")});
    call(root(), "nextScene");
    EXPECT_EQ(where(), "Main 5 last") << "nothing after the last scene";
    call(root(), "prevScene");
    EXPECT_EQ(where(), "Intro 1 top");
    player.stepFrame();
    EXPECT_EQ(where(), "Intro 2 top");
}
