// An object's opaque background: read from a placement, filled over the
// object's bounds under its content.
#include "movie/MoviePlayer.h"
#include "movie/display/MovieClip.h"
#include "movie/support/SwfBuilder.h"
#include "movie/swf/PlaceObject.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

TEST(OpaqueBackground, PlaceObject3CarriesTheColour) {
    test::BitWriter w;
    w.u8(0x02); // a character
    w.u8(0x40); // an opaque background
    w.u16(1);   // depth
    w.u16(5);   // character
    w.rgba({0x12, 0x34, 0x56, 0xFF});
    const QByteArray body = w.data();
    auto po = swf::PlaceObject::parse(70, reinterpret_cast<const uint8_t*>(body.constData()), size_t(body.size()), 11);
    ASSERT_TRUE(po.ok()) << po.error().toStdString();
    EXPECT_EQ(po->opaqueBackground.value_or(0), 0x123456u);
}

TEST(OpaqueBackground, FillsTheBoundsUnderTheContent) {
    // A clip of two red squares, 0..10 and 20..30 px, with a green background.
    SwfBuilder b;
    b.setBackground({255, 255, 255, 255});
    b.defineTwoSquaresClip(1, 20);
    Placement p;
    p.characterId = 20;
    p.depth = 1;
    b.placeObject2(p);
    b.showFrame();
    b.end();
    MoviePlayer player;
    player.setScriptEngineFactory(nullptr);
    ASSERT_TRUE(player.loadData(b.build()));
    display::DisplayObject* clip = player.root()->childAt(1);
    ASSERT_NE(clip, nullptr);
    clip->opaqueBackground = 0x00FF00;
    const QImage img = player.renderImage(QSize(550, 400));
    const struct {
        int x, y;
        QColor want;
    } cases[] = {{5, 5, Qt::red}, {15, 5, Qt::green}, {25, 5, Qt::red}, {35, 5, Qt::white}, {15, 15, Qt::white}};
    for (const auto& k : cases) EXPECT_EQ(img.pixelColor(k.x, k.y), k.want) << k.x << "," << k.y;
    // Taken away, the gap shows the stage again.
    clip->opaqueBackground.reset();
    EXPECT_EQ(player.renderImage(QSize(550, 400)).pixelColor(15, 5), QColor(Qt::white));
}
