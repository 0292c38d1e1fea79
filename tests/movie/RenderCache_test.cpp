#include "movie/MoviePlayer.h"
#include "movie/display/DrawingCanvas.h"
#include "movie/display/MovieClip.h"
#include "movie/render/ContentFingerprint.h"
#include "movie/render/RenderCache.h"
#include "movie/support/SwfBuilder.h"
#include <algorithm>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using render::ContentFingerprint;
using render::RenderCache;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

namespace {

// A sprite "clip" holding two red squares, placed on the root.
struct TwoSquares {
    MoviePlayer player;
    display::MovieClip* clip = nullptr;
    TwoSquares() {
        SwfBuilder b;
        b.defineTwoSquaresClip(1, 20);
        Placement p;
        p.characterId = 20;
        p.name = QStringLiteral("clip");
        b.placeObject2(p);
        b.showFrame();
        b.end();
        if (player.loadData(b.build(SwfBuilder::Container::Fws, 8)) && player.root())
            for (const auto& [depth, child] : player.root()->children())
                if (child->type() == display::DisplayObject::Type::MovieClip)
                    clip = static_cast<display::MovieClip*>(child.get());
    }
};

} // namespace

TEST(RenderCache, FingerprintsFollowWhatTheContentShows) {
    TwoSquares m;
    ASSERT_NE(m.clip, nullptr);
    const auto before = ContentFingerprint::of(*m.clip);
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(ContentFingerprint::of(*m.clip), before) << "nothing changed";
    // The clip's own place is not content: the layer moves with it.
    m.clip->matrix.tx += 100;
    EXPECT_EQ(ContentFingerprint::of(*m.clip), before);
    // A child moving, fading or gaining a filter is.
    display::DisplayObject* child = m.clip->children().begin()->second.get();
    child->matrix.tx += 20;
    const auto moved = ContentFingerprint::of(*m.clip);
    EXPECT_NE(moved, before);
    child->cxform.aMult = 128;
    const auto faded = ContentFingerprint::of(*m.clip);
    EXPECT_NE(faded, moved);
    child->filters.push_back(swf::Filter{});
    EXPECT_NE(ContentFingerprint::of(*m.clip), faded);
    // Drawing into the clip changes it; a bitmap fill makes it unknowable.
    const auto drawnBefore = ContentFingerprint::of(*m.clip);
    m.clip->drawing = std::make_shared<display::DrawingCanvas>();
    m.clip->drawing->lineStyle(swf::LineStyle{});
    m.clip->drawing->lineTo({100, 100});
    EXPECT_NE(ContentFingerprint::of(*m.clip), drawnBefore);
    m.clip->drawing->addBitmap(std::make_shared<QImage>(2, 2, QImage::Format_ARGB32_Premultiplied));
    EXPECT_FALSE(ContentFingerprint::of(*m.clip).has_value());
}

TEST(RenderCache, LayersAreReusedOnlyForTheSameObjectContentPlaceAndColours) {
    TwoSquares m;
    ASSERT_NE(m.clip, nullptr);
    RenderCache cache;
    const QTransform t = QTransform::fromTranslate(3, 4);
    swf::ColorTransform cx;
    QImage img(8, 8, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::red);
    cache.nextFrame();
    cache.keepLayer(*m.clip, RenderCache::Layer{42, t, cx, img, QPoint(1, 2)});
    const RenderCache::Layer* kept = cache.layer(*m.clip, 42, t, cx);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->at, QPoint(1, 2));
    EXPECT_EQ(kept->image.pixel(0, 0), img.pixel(0, 0));
    EXPECT_EQ(cache.layer(*m.clip, 43, t, cx), nullptr) << "other content";
    EXPECT_EQ(cache.layer(*m.clip, 42, QTransform::fromTranslate(3.5, 4), cx), nullptr) << "moved";
    swf::ColorTransform tinted;
    tinted.rMult = 10;
    EXPECT_EQ(cache.layer(*m.clip, 42, t, tinted), nullptr) << "other colours";
    EXPECT_EQ(cache.layer(*m.clip->children().begin()->second, 42, t, cx), nullptr) << "other object";
    // Used in a frame, kept for the next; unused for a whole frame, dropped.
    cache.nextFrame();
    EXPECT_NE(cache.layer(*m.clip, 42, t, cx), nullptr);
    cache.nextFrame();
    cache.nextFrame();
    EXPECT_EQ(cache.layer(*m.clip, 42, t, cx), nullptr);
    // A layer too large to keep is not kept.
    QImage huge(2600, 2600, QImage::Format_ARGB32_Premultiplied);
    ASSERT_GT(huge.sizeInBytes(), RenderCache::maxLayerBytes / 4);
    cache.keepLayer(*m.clip, RenderCache::Layer{7, t, cx, huge, {}});
    EXPECT_EQ(cache.layer(*m.clip, 7, t, cx), nullptr);
}

// Mask images handed back are handed out again for the same size only, and
// the spares kept stay few.
TEST(RenderCache, SpareImagesComeBackBySizeAndStayFew) {
    RenderCache cache;
    QImage first = cache.takeImage(QSize(40, 30));
    ASSERT_EQ(first.size(), QSize(40, 30));
    EXPECT_EQ(first.format(), QImage::Format_ARGB32_Premultiplied);
    const uchar* memory = first.constBits();
    cache.giveImage(std::move(first));
    EXPECT_NE(cache.takeImage(QSize(30, 40)).constBits(), memory) << "another size needs its own";
    QImage again = cache.takeImage(QSize(40, 30));
    EXPECT_EQ(again.constBits(), memory) << "the same memory, reused";
    EXPECT_NE(cache.takeImage(QSize(40, 30)).constBits(), memory) << "handed out once only";

    // Copies here keep every given image's memory alive, so that no new
    // image can land at the address of a dropped one.
    std::vector<QImage> given;
    for (size_t i = 0; i < RenderCache::maxSpareImages + 3; ++i) {
        given.emplace_back(8, 8, QImage::Format_ARGB32_Premultiplied);
        cache.giveImage(given.back());
    }
    size_t reused = 0;
    std::vector<QImage> taken;
    for (size_t i = 0; i < given.size(); ++i) {
        taken.push_back(cache.takeImage(QSize(8, 8)));
        reused += std::any_of(given.begin(), given.end(),
                              [&](const QImage& g) { return g.constBits() == taken.back().constBits(); });
    }
    EXPECT_EQ(reused, RenderCache::maxSpareImages) << "the oldest spares were let go";
    cache.giveImage(QImage(8, 8, QImage::Format_ARGB32_Premultiplied));
    cache.clear();
    const QImage fresh = cache.takeImage(QSize(8, 8));
    EXPECT_EQ(fresh.size(), QSize(8, 8));
}
