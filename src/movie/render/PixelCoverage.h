#pragma once
// Which device pixels an aliased fill covers: a pixel belongs to a path when
// its centre lies inside (edges through a centre count on their left and top
// side only), curves flattened finely. Low stage quality draws every fill,
// stroke and mask this way, so that neighbouring shapes meet without gaps or
// overlaps and edges land on the same pixels as the reference player's.
#include <QBrush>
#include <QPainterPath>
#include <QRect>
#include <QTransform>
#include <vector>

class QPainter;
class QImage;

namespace nimbrel::movie::render {

class PixelCoverage {
public:
    struct Span {
        int y, x0, x1; // pixels x0 .. x1-1 of row y
    };

    // Covered pixels of `path` after `toDevice`, within `clip`, row by row.
    static std::vector<Span> spans(const QPainterPath& path, const QTransform& toDevice, const QRect& clip);

    // Paints the spans with `brush`, whose own transform is in device
    // pixels; the painter's world transform is ignored and left as it was.
    static void fill(QPainter& p, const std::vector<Span>& spans, const QBrush& brush);

    // The spans as whole-pixel rectangles (rows alike merged), for clipping to
    // exactly those pixels.
    static QPainterPath path(const std::vector<Span>& spans);

    // The spans as an 8-bit coverage mask (0 or 255) of `size` whose origin
    // is device pixel `origin`.
    static QImage mask(const std::vector<Span>& spans, const QSize& size, const QPoint& origin);

    // Limits for hostile shapes: line pieces per curve and in one path.
    static constexpr int maxPiecesPerCurve = 256;
    static constexpr size_t maxEdges = 1u << 20;
};

} // namespace nimbrel::movie::render
