// Points on what objects draw: shapes by outline, clips by their children,
// hidden objects and masks, and coordinates through nested transforms.
#include "movie/MoviePlayer.h"
#include "movie/display/HitTest.h"
#include "movie/display/MovieClip.h"
#include "movie/support/SwfBuilder.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using display::HitTest;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

namespace {

// "outer" at (100,100) scaled twice holds "inner" at (10,0) holding a 20 px
// square (0..400 twips); a mask square sits on the root at depth 3.
QByteArray nestedSquares() {
    SwfBuilder b;
    b.defineRect(1, {0, 400, 0, 400}, {255, 0, 0, 255});
    SwfBuilder innerTags;
    Placement sq;
    sq.characterId = 1;
    innerTags.placeObject2(sq);
    innerTags.showFrame();
    innerTags.end();
    b.defineSprite(20, 1, innerTags);
    SwfBuilder outerTags;
    Placement in;
    in.characterId = 20;
    in.name = QStringLiteral("inner");
    in.matrix = swf::Matrix{1, 0, 0, 1, 200, 0};
    outerTags.placeObject2(in);
    outerTags.showFrame();
    outerTags.end();
    b.defineSprite(21, 1, outerTags);
    Placement out;
    out.characterId = 21;
    out.name = QStringLiteral("outer");
    out.matrix = swf::Matrix{2, 0, 0, 2, 2000, 2000};
    b.placeObject2(out);
    Placement mask;
    mask.depth = 3;
    mask.characterId = 1;
    mask.clipDepth = 4;
    mask.matrix = swf::Matrix{1, 0, 0, 1, 8000, 0};
    b.placeObject2(mask);
    b.showFrame();
    b.end();
    return b.build();
}

} // namespace

TEST(HitTest, ClipsAreHitWhereTheirShapesDrawThroughEveryTransform) {
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(nestedSquares()));
    auto* outer = static_cast<display::MovieClip*>(p.root()->childByName(QStringLiteral("outer")));
    ASSERT_TRUE(outer);
    display::DisplayObject* inner = outer->childByName(QStringLiteral("inner"));
    ASSERT_TRUE(inner);
    // The square covers stage twips 2400..3200 across and 2000..2800 down.
    EXPECT_TRUE(HitTest::contains(*outer, QPointF(2500, 2500), true));
    EXPECT_TRUE(HitTest::contains(*outer, QPointF(3150, 2750), true));
    EXPECT_FALSE(HitTest::contains(*outer, QPointF(2300, 2500), true)) << "the clip's origin is not drawn on";
    EXPECT_FALSE(HitTest::contains(*outer, QPointF(3300, 2500), true));
    EXPECT_EQ(HitTest::toStage(*inner).map(QPointF(400, 400)), QPointF(3200, 2800));
    QPointF local;
    ASSERT_TRUE(HitTest::stageToLocal(*inner, QPointF(2800, 2400), &local));
    EXPECT_EQ(local, QPointF(200, 200));
}

TEST(HitTest, HiddenObjectsAndMasksCountOnlyWhenAsked) {
    MoviePlayer p;
    ASSERT_TRUE(p.loadData(nestedSquares()));
    auto* outer = static_cast<display::MovieClip*>(p.root()->childByName(QStringLiteral("outer")));
    ASSERT_TRUE(outer);
    outer->childByName(QStringLiteral("inner"))->visible = false;
    EXPECT_FALSE(HitTest::contains(*outer, QPointF(2500, 2500), true));
    EXPECT_TRUE(HitTest::contains(*outer, QPointF(2500, 2500), false));
    display::DisplayObject* mask = p.root()->childAt(3);
    ASSERT_TRUE(mask);
    EXPECT_FALSE(HitTest::contains(*mask, QPointF(8100, 100), true));
    EXPECT_TRUE(HitTest::contains(*mask, QPointF(8100, 100), false));
}
