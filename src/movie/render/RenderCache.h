#pragma once
// What the stage renderer keeps from one frame to the next for one movie:
// mask outlines of shapes, glyph images, stroke outlines, and filtered layers of objects
// whose content has not changed since they were drawn. Owned by whoever owns
// the movie; clear() when the movie goes.
#include "movie/render/GlyphCache.h"
#include "movie/render/StrokeCache.h"
#include "movie/swf/Types.h"
#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QTransform>
#include <cstdint>
#include <memory>
#include <vector>

namespace nimbrel::movie::display {
class DisplayObject;
}

namespace nimbrel::movie::render {

class RenderCache {
public:
    struct Layer {
        uint64_t content = 0; // fingerprint of what was drawn
        QTransform transform;  // object to device
        swf::ColorTransform cx;
        QImage image;          // filters applied
        QPoint at;             // where the image goes on the device
    };

    // Mask outline of a shape, by its definition.
    QHash<const void*, QPainterPath> outlines;
    // Text glyphs as images.
    GlyphCache glyphs;
    // Outlines of scaling strokes of shapes.
    StrokeCache strokes;
    // The last whole picture of the stage and a key to what it shows: an
    // unchanged stage asked for again gets it back without drawing.
    struct Picture {
        uint64_t key = 0;
        QImage image;
    };
    Picture picture;

    // The layer kept for object, when it was drawn from the same content at
    // the same place and colours; null otherwise.
    const Layer* layer(const display::DisplayObject& object, uint64_t content, const QTransform& t,
                       const swf::ColorTransform& cx);
    void keepLayer(const display::DisplayObject& object, Layer layer);
    // Offscreen images for masks, of exactly `size` (contents undefined),
    // handed back after use: the next frame reuses them rather than asking the
    // system for fresh memory.
    QImage takeImage(const QSize& size);
    void giveImage(QImage image);

    // Starts a frame: layers not used during the previous one are dropped.
    void nextFrame();
    void clear();

    // Room for layers: beyond either limit the oldest frame's are dropped.
    static constexpr int maxLayers = 64;
    static constexpr qint64 maxLayerBytes = 96LL << 20;
    static constexpr size_t maxSpareImages = 8;
    static constexpr qint64 maxSpareBytes = 64LL << 20;

private:
    struct Entry {
        std::weak_ptr<const display::DisplayObject> object;
        Layer layer;
        uint64_t frame = 0;
    };
    QHash<const display::DisplayObject*, Entry> layers_;
    uint64_t frame_ = 0;
    qint64 bytes_ = 0;
    std::vector<QImage> spare_; // oldest first
    qint64 spareBytes_ = 0;
};

} // namespace nimbrel::movie::render
