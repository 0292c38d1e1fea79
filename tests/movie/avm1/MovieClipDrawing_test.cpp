// The drawing methods of MovieClip as scripts call them: what they draw, where
// it sits among the clip's children, and how it counts toward the clip's size.
#include "movie/MoviePlayer.h"
#include "movie/support/SwfBuilder.h"
#include "support/ActionAssembler.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::avm1::test::ActionAssembler;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

namespace {

// clip.method(args...), the result dropped.
ActionAssembler& call(ActionAssembler& a, const QString& method, std::initializer_list<double> args) {
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) a.pushNumber(*it);
    a.pushInt(int(args.size())).getVariable(QStringLiteral("clip")).pushString(method).op(0x52).op(0x17);
    return a;
}

ActionAssembler& traceWidth(ActionAssembler& a) {
    return a.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("_width")).op(0x4E).trace();
}

// "clip": a sprite holding a 100 px red square, placed at (100,100), then the script.
struct DrawnMovie {
    MoviePlayer player;
    QStringList lines;
    bool loaded = false;
    explicit DrawnMovie(const ActionAssembler& script) {
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
        player.setTraceSink([this](const QString& l) { lines.append(l); });
        loaded = player.loadData(b.build(SwfBuilder::Container::Fws, 8));
        player.setQuality(QStringLiteral("LOW"));
    }
    QImage image() { return player.renderImage(player.stageSize()); }
};

} // namespace

TEST(MovieClipDrawing, FillsSitBeneathTheChildrenAndWidenTheClip) {
    ActionAssembler s;
    call(s, QStringLiteral("beginFill"), {0x0000FF, 100});
    call(s, QStringLiteral("moveTo"), {-20, -20});
    call(s, QStringLiteral("lineTo"), {50, -20});
    call(s, QStringLiteral("lineTo"), {50, 50});
    call(s, QStringLiteral("lineTo"), {-20, 50});
    call(s, QStringLiteral("endFill"), {});
    traceWidth(s);
    DrawnMovie m(s);
    ASSERT_TRUE(m.loaded) << m.player.errorString().toStdString();
    EXPECT_EQ(m.lines, QStringList({"120"}));
    const QImage img = m.image();
    EXPECT_EQ(img.pixel(80, 80), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(149, 90), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(150, 90), qRgb(255, 255, 255)) << "the fill ends at x = 50 in the clip";
    EXPECT_EQ(img.pixel(79, 80), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(120, 120), qRgb(255, 0, 0)) << "the clip's square covers the drawing";
}

TEST(MovieClipDrawing, LinesCurvesAndClear) {
    ActionAssembler s;
    call(s, QStringLiteral("lineStyle"), {4, 0x00FF00, 100});
    call(s, QStringLiteral("moveTo"), {150, 10});
    call(s, QStringLiteral("lineTo"), {250, 10});
    call(s, QStringLiteral("curveTo"), {300, 60, 250, 110});
    traceWidth(s); // from the square at 0 to the curve at 275, plus half the line
    DrawnMovie m(s);
    ASSERT_TRUE(m.loaded);
    ASSERT_EQ(m.lines.size(), 1);
    EXPECT_NEAR(m.lines[0].toDouble(), 275 + 2, 1.0);
    const QImage img = m.image();
    EXPECT_EQ(img.pixel(300, 110), qRgb(0, 255, 0)); // on the straight line (clip y 10)
    EXPECT_EQ(img.pixel(300, 120), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(375, 160), qRgb(0, 255, 0)) << "the curve passes its middle at x = 275";

    ActionAssembler cleared = s;
    call(cleared, QStringLiteral("clear"), {});
    traceWidth(cleared);
    DrawnMovie c(cleared);
    ASSERT_TRUE(c.loaded);
    ASSERT_EQ(c.lines.size(), 2);
    EXPECT_EQ(c.lines[1], QStringLiteral("100"));
    EXPECT_EQ(c.image().pixel(300, 110), qRgb(255, 255, 255));
}

TEST(MovieClipDrawing, GradientFillsTakeABoxMatrix) {
    // colors [0xFF0000, 0x0000FF], alphas [100, 100], ratios [0, 255],
    // matrix {matrixType: "box", x: 0, y: 200, w: 200, h: 50, r: 0}
    ActionAssembler s;
    s.pushString(QStringLiteral("matrixType")).pushString(QStringLiteral("box"));
    for (auto [k, v] : {std::pair{"x", 0}, {"y", 200}, {"w", 200}, {"h", 50}, {"r", 0}})
        s.pushString(QString::fromLatin1(k)).pushNumber(v);
    s.pushInt(6).op(0x43); // InitObject
    s.pushNumber(255).pushNumber(0).pushInt(2).op(0x42); // InitArray: ratios
    s.pushNumber(100).pushNumber(100).pushInt(2).op(0x42);
    s.pushNumber(0x0000FF).pushNumber(0xFF0000).pushInt(2).op(0x42);
    s.pushString(QStringLiteral("linear"));
    s.pushInt(5).getVariable(QStringLiteral("clip")).pushString(QStringLiteral("beginGradientFill")).op(0x52).op(0x17);
    call(s, QStringLiteral("moveTo"), {0, 200});
    call(s, QStringLiteral("lineTo"), {200, 200});
    call(s, QStringLiteral("lineTo"), {200, 250});
    call(s, QStringLiteral("lineTo"), {0, 250});
    call(s, QStringLiteral("endFill"), {});
    DrawnMovie m(s);
    ASSERT_TRUE(m.loaded);
    const QImage img = m.image();
    const QColor left = img.pixelColor(101, 320), mid = img.pixelColor(200, 320), right = img.pixelColor(298, 320);
    EXPECT_GT(left.red(), 245);
    EXPECT_LT(left.blue(), 10);
    EXPECT_NEAR(mid.red(), 128, 4);
    EXPECT_NEAR(mid.blue(), 128, 4);
    EXPECT_GT(right.blue(), 245);
    EXPECT_EQ(img.pixel(200, 299), qRgb(255, 255, 255)) << "the fill starts at clip y 200";
}

namespace {

// new <package>.<className>(args...) left on the stack.
ActionAssembler& construct(ActionAssembler& a, const char* package, const char* className,
                           std::initializer_list<double> args) {
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) a.pushNumber(*it);
    a.pushInt(int(args.size())).getVariable(QStringLiteral("flash")).pushString(QString::fromLatin1(package)).op(0x4E);
    return a.pushString(QString::fromLatin1(className)).op(0x53);
}

// trace(name.getPixel(x, y)) for each point.
void tracePixels(ActionAssembler& a, const QString& name, std::initializer_list<std::pair<int, int>> points) {
    for (auto [x, y] : points)
        a.pushNumber(y).pushNumber(x).pushInt(2).getVariable(name).pushString(QStringLiteral("getPixel")).op(0x52).trace();
}

} // namespace

TEST(MovieClipDrawing, BitmapDrawSnapshotsTheClipInItsOwnCoordinates) {
    ActionAssembler s;
    // Blue 50 px bitmaps; the clip's red square covers its own 0..100 whatever its place on the stage.
    for (const char* name : {"clipped", "moved"}) {
        s.pushString(QString::fromLatin1(name));
        construct(s, "display", "BitmapData", {50, 50, 0, double(0xFF0000FFu)}).setVariable();
    }
    construct(s, "geom", "Rectangle", {10, 10, 20, 20});
    s.pushUndefined().pushUndefined().pushUndefined().getVariable(QStringLiteral("clip"));
    s.pushInt(5).getVariable(QStringLiteral("clipped")).pushString(QStringLiteral("draw")).op(0x52).op(0x17);
    construct(s, "geom", "Matrix", {1, 0, 0, 1, -90, -90});
    s.getVariable(QStringLiteral("clip"));
    s.pushInt(2).getVariable(QStringLiteral("moved")).pushString(QStringLiteral("draw")).op(0x52).op(0x17);
    tracePixels(s, QStringLiteral("clipped"), {{5, 5}, {15, 15}, {29, 29}, {30, 30}});
    tracePixels(s, QStringLiteral("moved"), {{5, 5}, {9, 9}, {10, 10}});
    DrawnMovie m(s);
    ASSERT_TRUE(m.loaded);
    const QString red = QString::number(0xFF0000), blue = QString::number(0x0000FF);
    EXPECT_EQ(m.lines, QStringList({blue, red, red, blue, red, red, blue}));
}

TEST(MovieClipDrawing, BlendModeTakesNamesAndNumbersAndIgnoresTheRest) {
    ActionAssembler s;
    auto assign = [&](auto push) {
        s.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("blendMode"));
        push();
        s.op(0x4F);
        s.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("blendMode")).op(0x4E).trace();
    };
    assign([&] { s.pushString(QStringLiteral("screen")); });
    assign([&] { s.pushNumber(259); });                  // the low byte: 3
    assign([&] { s.pushBool(true); });                   // not a mode: kept
    assign([&] { s.pushString(QStringLiteral("LAYER")); }); // names are exact
    assign([&] { s.pushNumber(15); });
    assign([&] { s.pushNull(); });
    DrawnMovie m(s);
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.lines, QStringList({"screen", "multiply", "multiply", "multiply", "multiply", "normal"}));
}

TEST(MovieClipDrawing, HitTestPointsAreInTheRootsCoordinates) {
    ActionAssembler s;
    s.getVariable(QStringLiteral("_root")).pushString(QStringLiteral("_x")).pushNumber(200).op(0x4F);
    // The square lies at 100..200 in the root, 300..400 on the stage.
    for (auto [x, y] : {std::pair{150, 150}, {350, 150}}) {
        s.pushNumber(y).pushNumber(x).pushInt(2).getVariable(QStringLiteral("clip"));
        s.pushString(QStringLiteral("hitTest")).op(0x52).trace();
    }
    for (const char* path : {"_root.clip", "nothing", ""}) {
        s.pushString(QString::fromLatin1(path)).pushInt(1).getVariable(QStringLiteral("clip"));
        s.pushString(QStringLiteral("hitTest")).op(0x52).trace();
    }
    // Scaled to nothing, the square is a point at the clip's place; that point still counts.
    for (const char* scale : {"_xscale", "_yscale"})
        s.getVariable(QStringLiteral("clip")).pushString(QString::fromLatin1(scale)).pushNumber(0).op(0x4F);
    for (auto [x, y] : {std::pair{100, 100}, {101, 100}}) {
        s.pushNumber(y).pushNumber(x).pushInt(2).getVariable(QStringLiteral("clip"));
        s.pushString(QStringLiteral("hitTest")).op(0x52).trace();
    }
    DrawnMovie m(s);
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.lines, QStringList({"true", "false", "true", "false", "false", "true", "false"}));
}

TEST(MovieClipDrawing, OpaqueBackgroundTakesAColourAndNullTakesItAway) {
    ActionAssembler s;
    auto show = [&] { s.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("opaqueBackground")).op(0x4E).trace(); };
    auto assign = [&](auto push) {
        s.getVariable(QStringLiteral("clip")).pushString(QStringLiteral("opaqueBackground"));
        push();
        s.op(0x4F);
        show();
    };
    show();
    assign([&] { s.pushNumber(0x123456); });
    assign([&] { s.pushNumber(0x1FF00FF); }); // only the colour's 24 bits
    assign([&] { s.pushNull(); });
    DrawnMovie m(s);
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.lines, QStringList({"undefined", QString::number(0x123456), QString::number(0xFF00FF), "undefined"}));
}
