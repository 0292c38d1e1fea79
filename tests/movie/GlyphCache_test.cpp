#include "movie/render/GlyphCache.h"
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>

using nimbrel::movie::render::GlyphCache;

namespace {

// A glyph-like outline in font units: a bowl with a hole and a stem.
QPainterPath letter() {
    QPainterPath p;
    p.addEllipse(QRectF(0, -60, 50, 60));
    p.addEllipse(QRectF(12, -45, 26, 30));
    p.addRect(QRectF(44, -100, 9, 100));
    p.setFillRule(Qt::OddEvenFill); // the cache fills as whole text runs do, nonzero
    return p;
}

QImage blank() {
    QImage image(120, 90, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

int largestDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

// The glyph filled straight from its outline, as text is without the cache.
QImage filled(const QTransform& world, double scale, QPointF origin, const QColor& color) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(world);
    p.setPen(Qt::NoPen);
    QPainterPath path = QTransform(scale, 0, 0, scale, origin.x(), origin.y()).map(letter());
    path.setFillRule(Qt::WindingFill);
    p.fillPath(path, color);
    return image;
}

QImage cached(GlyphCache& cache, const QTransform& world, double scale, QPointF origin, const QColor& color,
              bool* drawn = nullptr) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(world);
    const bool ok = cache.draw(p, letter(), scale, origin, color);
    if (drawn) *drawn = ok;
    EXPECT_EQ(p.worldTransform(), world) << "the painter's transform is left as it was";
    return image;
}

} // namespace

// Where the glyph lands on one of the offsets its images are made for, it
// looks as the filled outline does; elsewhere it moves by at most an eighth
// of a pixel, so no pixel changes by more than that much coverage.
TEST(GlyphCache, LooksLikeTheFilledOutline) {
    GlyphCache cache;
    const QTransform world = QTransform::fromScale(0.05, 0.05) * QTransform::fromTranslate(0.5, 0.25);
    const QColor ink(20, 40, 200);
    for (QPointF origin : {QPointF(200, 1500), QPointF(453, 1203), QPointF(1011, 1607)}) {
        // 0.05 x 200 + 0.5 = 10.5 and 0.05 x 1500 + 0.25 = 75.25: quarter pixels.
        EXPECT_LE(largestDifference(cached(cache, world, 10, origin, ink), filled(world, 10, origin, ink)),
                  origin == QPointF(200, 1500) ? 2 : 255 / 8 + 8)
            << origin.x() << "," << origin.y();
    }
    // Ink lands somewhere: the images are not blank.
    EXPECT_GT(largestDifference(cached(cache, world, 10, QPointF(200, 1500), ink), blank()), 200);
}

// A glyph drawn again at another whole-pixel place reuses its image; another
// colour, size or sub-pixel offset needs its own.
TEST(GlyphCache, ReusesImagesOnlyForTheSameGlyphLook) {
    GlyphCache cache;
    const QTransform world;
    cached(cache, world, 0.5, QPointF(10, 60), Qt::black);
    ASSERT_EQ(cache.size(), 1);
    cached(cache, world, 0.5, QPointF(40, 70), Qt::black);
    EXPECT_EQ(cache.size(), 1) << "moved by whole pixels";
    const QImage here = cached(cache, world, 0.5, QPointF(10, 60), Qt::black);
    const QImage moved = cached(cache, world, 0.5, QPointF(13, 62), Qt::black);
    EXPECT_EQ(here.copy(0, 0, 100, 70), moved.copy(3, 2, 100, 70)) << "the same image, moved";
    cached(cache, world, 0.5, QPointF(10, 60), Qt::red);
    EXPECT_EQ(cache.size(), 2) << "colour";
    cached(cache, world, 0.6, QPointF(10, 60), Qt::black);
    EXPECT_EQ(cache.size(), 3) << "size";
    cached(cache, world, 0.5, QPointF(10.5, 60), Qt::black);
    EXPECT_EQ(cache.size(), 4) << "half-pixel offset";
    cached(cache, QTransform::fromScale(2, 2), 0.25, QPointF(5, 30), Qt::black);
    EXPECT_EQ(cache.size(), 4) << "the same device size by another route";
    cache.clear();
    EXPECT_EQ(cache.size(), 0);
}

// Painter clips hold for glyphs from images as for filled ones.
TEST(GlyphCache, KeepsToThePaintersClip) {
    GlyphCache cache;
    QImage image = blank();
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipRect(QRect(0, 0, 30, 90));
        ASSERT_TRUE(cache.draw(p, letter(), 1.0, QPointF(5, 80), Qt::black));
    }
    bool inkLeft = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (x >= 30) ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
            else inkLeft = inkLeft || image.pixel(x, y) != qRgb(255, 255, 255);
        }
    EXPECT_TRUE(inkLeft);
}

// Rotated or aliased drawing, and glyphs too large to keep, are left to the
// caller; off-screen glyphs cost no image.
TEST(GlyphCache, DeclinesWhatItCannotDrawAlike) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    EXPECT_TRUE(GlyphCache::usable(p));
    p.rotate(10);
    EXPECT_FALSE(GlyphCache::usable(p));
    p.resetTransform();
    p.scale(-1, 2);
    EXPECT_TRUE(GlyphCache::usable(p)) << "mirrored and stretched still maps rows to rows";
    p.resetTransform();
    p.setRenderHint(QPainter::Antialiasing, false);
    EXPECT_FALSE(GlyphCache::usable(p));
    p.setRenderHint(QPainter::Antialiasing, true);

    GlyphCache cache;
    EXPECT_FALSE(cache.draw(p, letter(), 10.0, QPointF(0, 1000), Qt::black)) << "1000 pixels tall";
    EXPECT_TRUE(cache.draw(p, letter(), 1.0, QPointF(5000, 5000), Qt::black));
    EXPECT_FALSE(cache.draw(p, letter(), 1.0, QPointF(1e30, 0), Qt::black));
    EXPECT_FALSE(cache.draw(p, letter(), std::numeric_limits<double>::quiet_NaN(), QPointF(0, 0), Qt::black));
    EXPECT_EQ(cache.size(), 0);
    p.end();
    EXPECT_EQ(image, blank());
}

// However many different glyphs a movie shows, the cache stays within its room.
TEST(GlyphCache, StaysWithinItsRoom) {
    GlyphCache cache;
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < GlyphCache::maxEntries + 50; ++i) {
        ASSERT_TRUE(cache.draw(p, letter(), 0.1 + i * 1e-5, QPointF(20, 40), Qt::black));
        ASSERT_LE(cache.size(), GlyphCache::maxEntries);
    }
    EXPECT_GT(cache.size(), 0);
}
