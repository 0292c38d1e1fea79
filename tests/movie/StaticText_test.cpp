// Static text drawn from embedded font outlines.
#include "movie/MoviePlayer.h"
#include "movie/support/SwfBuilder.h"
#include "movie/swf/Movie.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

TEST(StaticText, GlyphsAreScaledPlacedAndColoured) {
    SwfBuilder b;
    b.defineSquareFont(1);
    // Two 20 px glyphs (400 twips) starting at x = 40 px, baseline at y = 100 px.
    b.defineText(2, 1, 400, {0, 0, 255, 255}, 800, 2000, 2, {0, 2000, 0, 2400});
    Placement p;
    p.characterId = 2;
    b.placeObject2(p);
    b.showFrame();
    b.end();
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(b.build()));
    const auto& font = player.parsedMovie()->fonts.at(1);
    ASSERT_EQ(font.glyphs.size(), 1u);
    EXPECT_EQ(font.codes, std::vector<uint16_t>{'A'});
    const QImage img = player.renderImage(QSize(550, 400));
    EXPECT_EQ(img.pixelColor(45, 90), QColor(0, 0, 255));  // first glyph
    EXPECT_EQ(img.pixelColor(75, 90), QColor(0, 0, 255));  // second glyph
    EXPECT_EQ(img.pixelColor(45, 105), QColor(255, 255, 255)); // below the baseline
    EXPECT_EQ(img.pixelColor(85, 90), QColor(255, 255, 255));  // after the run
}

TEST(StaticText, MissingFontsAndBadGlyphIndexesDrawNothing) {
    SwfBuilder b;
    b.defineText(2, 9, 400, {0, 0, 255, 255}, 800, 2000, 2, {0, 2000, 0, 2400}); // font 9 never defined
    Placement p;
    p.characterId = 2;
    b.placeObject2(p);
    b.showFrame();
    b.end();
    MoviePlayer player;
    ASSERT_TRUE(player.loadData(b.build()));
    EXPECT_EQ(player.renderImage(QSize(550, 400)).pixelColor(45, 90), QColor(255, 255, 255));
    // Every cut of a font and a text tag parses or fails without harm.
    SwfBuilder f;
    f.defineSquareFont(1);
    f.defineText(2, 1, 400, {0, 0, 255, 255}, 0, 0, 3, {0, 100, 0, 100});
    const QByteArray tags = f.tags();
    for (int cut = 0; cut < tags.size(); ++cut) {
        SwfBuilder t;
        t.rawBytes(tags.left(cut));
        MoviePlayer m;
        (void)m.loadData(t.build());
    }
}
