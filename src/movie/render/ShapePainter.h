#pragma once
// Draws parsed shapes and morph shapes. The painter's world transform must
// already map the shape's twips to device pixels (object matrix x stage matrix).
// Edges are antialiased only if the painter's Antialiasing hint is on: the
// caller sets it from the stage quality (Flash's "low" quality draws aliased).
#include "movie/swf/Shape.h"
#include "movie/swf/Types.h"
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace nimbrel::movie::render {

using BitmapLookup = std::function<const QImage*(uint16_t id)>;

class StrokeCache;

// What a draw may keep for the next one. Without them every draw builds its
// brushes, pens and stroke outlines afresh, to the same pixels.
struct ShapeCaches {
    StrokeCache* strokes = nullptr; // outlines of scaling strokes (shapes only: morphs change)
    bool styles = true;             // brushes and pens per colour transform, kept on the shape
};

void paintShape(QPainter& p, const swf::ShapeDef& s, const swf::ColorTransform& cx, const BitmapLookup& bitmaps,
                const ShapeCaches& caches = {});
void paintMorphShape(QPainter& p, const swf::MorphShapeDef& m, double ratio /*0..1*/, const swf::ColorTransform& cx,
                     const BitmapLookup& bitmaps, const ShapeCaches& caches = {});

// Area covered by fills and strokes, in twips, for hit tests and masks.
QPainterPath shapeOutline(const swf::ShapeDef& s);
QPainterPath morphShapeOutline(const swf::MorphShapeDef& m, double ratio);
// Area covered by fills alone, in twips: shapes used as masks cut with their
// fills only, their strokes are left out.
QPainterPath shapeFillArea(const swf::ShapeDef& s);
QPainterPath morphShapeFillArea(const swf::MorphShapeDef& m, double ratio);

} // namespace nimbrel::movie::render
