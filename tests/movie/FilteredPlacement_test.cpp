// Where a filtered object lands: it is drawn into a bitmap whose pixels start
// at its top left corner rounded to the nearest whole pixel, halves rounding
// up, so its edges move by up to half a pixel.
#include "movie/MoviePlayer.h"
#include "movie/display/MovieClip.h"
#include "movie/support/SwfBuilder.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

TEST(FilteredPlacement, TheCornerRoundsToTheNearestPixelHalvesUp) {
    const struct {
        int twipsX;   // the square's left edge
        int firstRed; // first column covered after rounding
    } cases[] = {{210, 11} /* 10.5 */, {200, 10}, {206, 10} /* 10.3 */, {214, 11} /* 10.7 */};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.twipsX);
        SwfBuilder b;
        b.setBackground({255, 255, 255, 255});
        b.defineRect(1, {0, 400, 0, 400}, {255, 0, 0, 255});
        Placement p;
        p.characterId = 1;
        p.depth = 1;
        p.matrix = swf::Matrix{1, 0, 0, 1, double(k.twipsX), 200};
        b.placeObject2(p);
        b.showFrame();
        b.end();
        MoviePlayer player;
        player.setScriptEngineFactory(nullptr);
        ASSERT_TRUE(player.loadData(b.build()));
        display::DisplayObject* square = player.root()->childAt(1);
        ASSERT_NE(square, nullptr);
        swf::Filter none; // a blur of nothing: only the placement shows
        none.type = swf::FilterType::Blur;
        none.passes = 1;
        none.blurX = none.blurY = 0;
        square->filters.push_back(none);
        const QImage img = player.renderImage(QSize(550, 400));
        EXPECT_EQ(img.pixelColor(k.firstRed - 1, 20), QColor(Qt::white));
        EXPECT_EQ(img.pixelColor(k.firstRed, 20), QColor(Qt::red));
        EXPECT_EQ(img.pixelColor(k.firstRed + 19, 20), QColor(Qt::red));
        EXPECT_EQ(img.pixelColor(k.firstRed + 20, 20), QColor(Qt::white));
    }
}
