#include "movie/display/DrawingCanvas.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::display {

namespace {
bool finite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }
} // namespace

void DrawingCanvas::changed() {
    ++version_;
    shape_.reset();
}

void DrawingCanvas::flushGroup() {
    if (!hasOpenWork()) return;
    swf::StyleGroup g;
    if (fill_ && !fillPath_.isEmpty()) {
        QPainterPath closed = fillPath_;
        closed.closeSubpath();
        g.fills.push_back(*fill_);
        g.fillPaths.push_back(closed);
    }
    for (const OpenLine& l : lines_)
        if (!l.path.isEmpty()) {
            g.lines.push_back(l.style);
            g.linePaths.push_back(l.path);
        }
    if (!g.fills.empty() || !g.lines.empty()) groups_.push_back(std::move(g));
    lines_.clear();
    lineStarted_ = false;
}

void DrawingCanvas::beginFill(const std::optional<swf::FillStyle>& fill) {
    endFill();
    flushGroup();
    fill_ = fill;
    fillPath_ = QPainterPath();
    fillPath_.setFillRule(Qt::OddEvenFill); // the player fills drawn paths even-odd
    fillPath_.moveTo(pen_);
    fillStart_ = pen_;
    changed();
}

void DrawingCanvas::endFill() {
    if (!fill_) return;
    // The player closes an open fill with a straight line, stroked like any other.
    if (pen_ != fillStart_) lineTo(fillStart_);
    flushGroup();
    fill_.reset();
    fillPath_ = QPainterPath();
    changed();
}

void DrawingCanvas::lineStyle(const std::optional<swf::LineStyle>& line) {
    line_ = line;
    lineStarted_ = false;
    changed();
}

void DrawingCanvas::lineFill(const swf::FillStyle& fill) {
    if (!line_) return;
    line_->hasFill = true;
    line_->fill = fill;
    lineStarted_ = false;
    changed();
}

void DrawingCanvas::moveTo(QPointF to) {
    if (!finite(to)) return;
    pen_ = to;
    if (fill_) {
        // A new contour of the same fill; the old one closes on its own.
        fillPath_.moveTo(to);
        fillStart_ = to;
    }
    lineStarted_ = false;
    changed();
}

DrawingCanvas::OpenLine* DrawingCanvas::currentLine() {
    if (!line_) return nullptr;
    if (!lineStarted_) {
        lines_.push_back({*line_, QPainterPath()});
        lines_.back().path.moveTo(pen_);
        lineStarted_ = true;
    }
    return &lines_.back();
}

void DrawingCanvas::edge(QPointF to, const QPointF* control) {
    if (!finite(to) || (control && !finite(*control))) return;
    if (edges_ >= maxEdges) return;
    ++edges_;
    if (fill_) {
        if (control) fillPath_.quadTo(*control, to);
        else fillPath_.lineTo(to);
    }
    if (OpenLine* l = currentLine()) {
        if (control) l->path.quadTo(*control, to);
        else l->path.lineTo(to);
    }
    pen_ = to;
    changed();
}

void DrawingCanvas::lineTo(QPointF to) { edge(to, nullptr); }

void DrawingCanvas::curveTo(QPointF control, QPointF to) { edge(to, &control); }

void DrawingCanvas::clear() {
    groups_.clear();
    fill_.reset();
    fillPath_ = QPainterPath();
    line_.reset();
    lines_.clear();
    lineStarted_ = false;
    pen_ = QPointF();
    edges_ = 0;
    bitmaps_.clear();
    changed();
}

const swf::ShapeDef& DrawingCanvas::shape() const {
    if (shape_) return *shape_;
    auto s = std::make_shared<swf::ShapeDef>();
    s->version = 4;
    if (hasOpenWork()) {
        // What is still open shows as if finished now, closing line included.
        DrawingCanvas finished = *this;
        finished.endFill();
        finished.flushGroup();
        s->groups = std::move(finished.groups_);
    } else {
        s->groups = groups_;
    }
    QRectF r;
    for (const swf::StyleGroup& g : s->groups) {
        for (const QPainterPath& p : g.fillPaths) r = r.united(p.boundingRect());
        for (size_t i = 0; i < g.linePaths.size(); ++i) {
            const double half = std::max(1.0, g.lines[i].width / 2.0);
            r = r.united(g.linePaths[i].boundingRect().adjusted(-half, -half, half, half));
        }
    }
    auto clampTwips = [](double v) { return int32_t(std::clamp(v, -2147483000.0, 2147483000.0)); };
    s->bounds = {clampTwips(std::floor(r.left())), clampTwips(std::ceil(r.right())), clampTwips(std::floor(r.top())),
                 clampTwips(std::ceil(r.bottom()))};
    s->edgeBounds = s->bounds;
    shape_ = s;
    return *shape_;
}

QRectF DrawingCanvas::bounds() const {
    if (isEmpty()) return {};
    return shape().bounds.toQRectF();
}

uint16_t DrawingCanvas::addBitmap(std::shared_ptr<const QImage> image) {
    // Ids count down from the top so they never look like a file's characters.
    uint16_t id = 0xFFFE;
    while (bitmaps_.count(id) && id > 0) --id;
    bitmaps_[id] = std::move(image);
    return id;
}

const QImage* DrawingCanvas::bitmap(uint16_t id) const {
    auto it = bitmaps_.find(id);
    return it == bitmaps_.end() || !it->second ? nullptr : it->second.get();
}

} // namespace nimbrel::movie::display
