// What the renderer keeps between frames must never show: pictures drawn
// with its caches equal pictures drawn without them, frame after frame of a
// busy animated scene, and a kept picture is given back only for a stage
// that has not changed.
#include "movie/MoviePlayer.h"
#include "movie/display/MovieClip.h"
#include "movie/render/RenderCache.h"
#include "movie/render/StageRenderer.h"
#include "movie/render/StrokeCache.h"
#include "movie/support/HeavyScene.h"
#include "movie/swf/Movie.h"
#include <QSemaphore>
#include <QThreadPool>
#include <cstdlib>
#include <functional>
#include <memory>
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using render::RenderCache;
using render::StageRenderer;
using render::StrokeCache;

namespace {

const QSize kPixels(800, 600);
const QColor kBackground(236, 236, 228);

// The benchmark scene at 40 objects, loaded and playing.
struct SceneFixture : ::testing::Test {
    MoviePlayer player;
    void SetUp() override {
        test::HeavySceneOptions options;
        options.objects = 40;
        player.setScriptEngineFactory(nullptr);
        ASSERT_TRUE(player.loadData(test::buildHeavyScene(options))) << qPrintable(player.errorString());
        player.gotoFrame(0);
        player.play();
    }
    const swf::Movie& movie() { return *player.parsedMovie(); }
    display::MovieClip& root() { return *player.root(); }
    // The stage's twips onto the 800x600 picture.
    static QTransform stage() { return QTransform::fromScale(1 / 20.0, 1 / 20.0); }
    QImage draw(RenderCache* cache, StageRenderer::Quality quality = StageRenderer::Quality::High) {
        StageRenderer r(movie(), cache);
        r.setQuality(quality);
        return r.picture(kPixels, kBackground, root(), stage());
    }
};

// Pixels that differ by more than `tolerance` in some channel between two
// pictures of one size.
int differing(const QImage& a, const QImage& b, int tolerance = 0) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = pa[x], q = pb[x];
            n += std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                 std::abs(qBlue(p) - qBlue(q)) > tolerance || std::abs(qAlpha(p) - qAlpha(q)) > tolerance;
        }
    }
    return n;
}

} // namespace

// Every frame drawn twice, without caches and with them (kept across the
// frames as the player keeps them): the pictures are identical, not merely
// close, since a cache keeps exactly what would be drawn again.
TEST_F(SceneFixture, EveryFrameDrawnWithCachesEqualsTheSameFrameDrawnWithout) {
    for (auto quality : {StageRenderer::Quality::High, StageRenderer::Quality::Low}) {
        RenderCache cache;
        player.gotoFrame(0);
        player.play();
        QImage previous;
        int moving = 0;
        for (int frame = 0; frame < 120; ++frame) {
            if (frame > 0) player.stepFrame();
            const QImage plain = draw(nullptr, quality);
            const QImage cached = draw(&cache, quality);
            ASSERT_EQ(plain.size(), kPixels);
            ASSERT_EQ(differing(plain, cached), 0) << "frame " << frame << " quality " << int(quality);
            // Asked again with nothing changed: the kept picture, still right.
            const QImage again = draw(&cache, quality);
            EXPECT_EQ(again.cacheKey(), cached.cacheKey()) << "frame " << frame;
            moving += !previous.isNull() && differing(previous, plain) > 0;
            previous = plain;
        }
        EXPECT_EQ(moving, 119) << "every frame moves something";
        // Low quality outlines strokes its own way, pixel-exact, and keeps none.
        if (quality == StageRenderer::Quality::High) EXPECT_GT(cache.strokes.size(), 0) << "outlines were kept";
    }
}

// A kept picture is given back only while nothing it shows has changed.
TEST_F(SceneFixture, AnyChangeToTheStageDrawsANewPicture) {
    RenderCache cache;
    const QImage first = draw(&cache);
    ASSERT_EQ(draw(&cache).cacheKey(), first.cacheKey());
    display::DisplayObject& object = *root().children().begin()->second;
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"moved", [&] { object.matrix.tx += 1; }},
        {"faded", [&] { object.cxform.aMult = 100; }},
        {"hidden", [&] { object.visible = false; }},
        {"next frame", [&] { player.stepFrame(); }},
        {"stage moved", [&] { root().matrix.ty += 20; }},
    };
    QImage last = first;
    for (const auto& [what, change] : changes) {
        change();
        const QImage now = draw(&cache);
        EXPECT_NE(now.cacheKey(), last.cacheKey()) << what;
        EXPECT_EQ(differing(now, draw(nullptr)), 0) << what;
        last = now;
    }
    // Another size, quality or background is another picture too.
    StageRenderer r(movie(), &cache);
    EXPECT_NE(r.picture(QSize(400, 300), kBackground, root(), stage()).cacheKey(), last.cacheKey());
    EXPECT_NE(r.picture(kPixels, Qt::black, root(), stage()).cacheKey(), last.cacheKey());
    r.setQuality(StageRenderer::Quality::Low);
    EXPECT_NE(r.picture(kPixels, kBackground, root(), stage()).cacheKey(), last.cacheKey());
    cache.clear();
    EXPECT_TRUE(cache.picture.image.isNull());
}

// Many instances of the scene's shapes faded each to its own degree, more
// colour transforms per shape than are kept: brushes dropped and made again
// draw what fresh ones draw.
TEST_F(SceneFixture, MoreColourTransformsPerShapeThanKeptDrawLikeFreshBrushes) {
    RenderCache cache;
    for (int pass = 0; pass < 10; ++pass) {
        int k = 0;
        for (auto& [depth, child] : root().children()) child->cxform.aMult = int16_t(60 + (pass * 41 + k++) % 190);
        ASSERT_EQ(differing(draw(nullptr), draw(&cache)), 0) << "pass " << pass;
    }
}

// The kept picture's memory is drawn over only when nobody holds it: a
// picture a caller keeps stays as it was drawn.
TEST_F(SceneFixture, APictureStillHeldIsNeverDrawnOver) {
    RenderCache cache;
    const QImage held = draw(&cache);
    const QImage copy = held.copy();
    player.stepFrame();
    const QImage next = draw(&cache);
    EXPECT_EQ(differing(held, copy), 0);
    EXPECT_NE(differing(next, held), 0) << "the next frame moved";
    EXPECT_EQ(differing(next, draw(nullptr)), 0);
}

// A frame asked for while every thread of Qt's pool is taken is drawn on
// the caller's own thread (Qt's fills then wait for the pool's work, here
// for at most half a second); drawn from a pool thread it is drawn there.
TEST_F(SceneFixture, DrawsWhetherOrNotThePoolHasAThreadFree) {
    const QImage reference = draw(nullptr);
    QThreadPool* pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    QSemaphore release, started;
    for (int i = 0; i < threads; ++i)
        pool->start([&] {
            started.release();
            release.tryAcquire(1, 500);
        });
    started.acquire(threads);
    const QImage busy = draw(nullptr);
    release.release(threads);
    pool->waitForDone();
    // Qt's fills split across its pool step through scaled bitmaps from each
    // part's start: a few pixels round differently, by a level or two.
    EXPECT_LE(differing(busy, reference), 40);
    EXPECT_EQ(differing(busy, reference, 2), 0);

    QImage fromPool;
    pool->start([&] { fromPool = draw(nullptr); });
    pool->waitForDone();
    EXPECT_EQ(differing(fromPool, reference), 0);
}

TEST(StrokeCache, BucketsAreQuarterOctavesAndOutlinesAreMadeOncePerBucket) {
    struct Case {
        double scale;
        int bucket;
    };
    for (const Case& c : std::vector<Case>{{1.0, 0}, {1.1, 1}, {1.18, 1}, {1.2, 2}, {2.0, 4}, {0.5, -4}, {0.45, -4}})
        EXPECT_EQ(StrokeCache::bucketOf(c.scale), c.bucket) << c.scale;
    EXPECT_EQ(StrokeCache::bucketOf(0), StrokeCache::bucketOf(-1)) << "degenerate scales share one bucket";
    EXPECT_EQ(StrokeCache::bucketOf(std::nan("")), StrokeCache::bucketOf(0));

    QPainterPath curve;
    curve.moveTo(0, 0);
    curve.quadTo(400, -300, 800, 0);
    QPen pen(Qt::black, 60);
    StrokeCache cache;
    const QPainterPath& a = cache.outline(curve, pen, 0.05);
    EXPECT_EQ(a, StrokeCache::stroke(curve, pen, 0.05)) << "kept as made";
    EXPECT_TRUE(a.contains(QPointF(400, -150))) << "the stroke covers the curve";
    cache.outline(curve, pen, 0.049);
    EXPECT_EQ(cache.size(), 1) << "same bucket, same outline";
    cache.outline(curve, pen, 0.2);
    EXPECT_EQ(cache.size(), 2) << "four times larger: finer curves";
    pen.setWidthF(20);
    cache.outline(curve, pen, 0.2);
    EXPECT_EQ(cache.size(), 3) << "another width";
    // Another path where the first one was is stroked anew.
    {
        StrokeCache reused;
        auto path = std::make_unique<QPainterPath>(curve);
        const QPainterPath first = reused.outline(*path, pen, 1);
        *path = QPainterPath();
        path->moveTo(0, 0);
        path->lineTo(800, 0);
        EXPECT_EQ(reused.outline(*path, pen, 1), StrokeCache::stroke(*path, pen, 1));
        EXPECT_NE(reused.outline(*path, pen, 1), first);
    }
    // Unused outlines go after a while; used ones stay.
    for (int f = 0; f <= StrokeCache::keptFrames + 30; ++f) {
        cache.outline(curve, pen, 0.2);
        cache.nextFrame();
    }
    EXPECT_EQ(cache.size(), 1);
}
