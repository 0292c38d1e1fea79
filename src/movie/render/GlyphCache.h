#pragma once
// Glyphs filled once into small images and reused. A text-heavy stage is
// mostly the same few glyphs at the same size and colour: filling every
// outline afresh each frame is what makes it slow. A glyph lands within an
// eighth of a pixel of where its outline would fall, its image being made
// at the nearest quarter-pixel offset.
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <cstdint>

namespace nimbrel::movie::render {

class GlyphCache {
public:
    // Whether the painter's state lets glyphs come from images: antialiased,
    // and a world transform that neither rotates nor shears.
    static bool usable(const QPainter& p);

    // Fills `outline` scaled by `scale` with its origin at `origin` (both in
    // the painter's world coordinates) in `color`. Returns false, drawing
    // nothing, when the glyph is too large to keep: the caller fills it.
    bool draw(QPainter& p, const QPainterPath& outline, double scale, QPointF origin, const QColor& color);

    void clear();
    qsizetype size() const { return entries_.size(); }

    // Sub-pixel offsets an image is made for, per axis.
    static constexpr int phases = 4;
    // Glyphs larger than this many pixels either way are filled directly.
    static constexpr int maxSide = 256;
    // Room kept: beyond either limit everything is dropped and made anew.
    static constexpr qsizetype maxEntries = 8192;
    static constexpr qint64 maxBytes = 32LL << 20;

private:
    struct Key {
        uint64_t outline; // hash of the outline's points
        double sx, sy;    // outline units to device pixels
        int phaseX, phaseY;
        QRgb color;
        bool operator==(const Key&) const = default;
    };
    struct Entry {
        QPainterPath outline; // told apart on a hash collision
        QImage image;         // null when the glyph covers nothing
        QPoint offset;        // of the image's top left from the glyph's whole-pixel origin
    };
    friend size_t qHash(const Key& k, size_t seed) {
        return qHashMulti(seed, k.outline, k.sx, k.sy, k.phaseX, k.phaseY, k.color);
    }
    static uint64_t hashOf(const QPainterPath& outline);
    static Entry make(const QPainterPath& outline, double sx, double sy, QPointF phase, const QColor& color);

    QHash<Key, Entry> entries_;
    qint64 bytes_ = 0;
};

} // namespace nimbrel::movie::render
