#pragma once
// What a clip's drawing methods (beginFill, lineStyle, lineTo...) have drawn:
// a shape of its own, drawn beneath the clip's children, part of its bounds
// and of what the pointer hits. Coordinates are twips of the clip.
#include "movie/swf/Shape.h"
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace nimbrel::movie::display {

class DrawingCanvas {
public:
    // Edges one canvas keeps at most; scripts that draw forever stop there.
    static constexpr size_t maxEdges = 200000;

    // Starts a fill at the pen (closing the one open); nullopt only ends the open fill.
    void beginFill(const std::optional<swf::FillStyle>& fill);
    // Closes the open fill back to where it started.
    void endFill();
    // Lines from now on; nullopt draws none.
    void lineStyle(const std::optional<swf::LineStyle>& line);
    // Paints the current line with fill (a gradient) instead of its colour.
    void lineFill(const swf::FillStyle& fill);
    void moveTo(QPointF to);
    void lineTo(QPointF to);
    void curveTo(QPointF control, QPointF to);
    // Forgets everything drawn, the styles included.
    void clear();

    bool isEmpty() const { return groups_.empty() && !hasOpenWork(); }
    // Everything drawn so far, an open fill as if closed.
    const swf::ShapeDef& shape() const;
    QRectF bounds() const;
    // Bitmaps of bitmap fills, by the id their fill style names; the pixels
    // are shared with the script's bitmap, so later changes show.
    uint16_t addBitmap(std::shared_ptr<const QImage> image);
    const QImage* bitmap(uint16_t id) const;
    bool hasBitmaps() const { return !bitmaps_.empty(); }
    // Changes with every edit, for caches of what was drawn.
    uint64_t version() const { return version_; }

private:
    struct OpenLine {
        swf::LineStyle style;
        QPainterPath path;
    };
    bool hasOpenWork() const { return fill_.has_value() || !lines_.empty(); }
    void flushGroup();
    void edge(QPointF to, const QPointF* control);
    OpenLine* currentLine();
    void changed();

    std::vector<swf::StyleGroup> groups_; // finished fills with the lines drawn meanwhile
    std::optional<swf::FillStyle> fill_;
    QPainterPath fillPath_;
    QPointF fillStart_;
    std::optional<swf::LineStyle> line_;
    std::vector<OpenLine> lines_;
    bool lineStarted_ = false; // the current line has a pen-down point
    QPointF pen_;
    size_t edges_ = 0;
    std::map<uint16_t, std::shared_ptr<const QImage>> bitmaps_;
    uint64_t version_ = 0;
    mutable std::shared_ptr<swf::ShapeDef> shape_; // built on demand
};

} // namespace nimbrel::movie::display
