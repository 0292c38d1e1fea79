#include "imaging/DrawingTools.h"
#include <QPainter>
#include <QPen>
#include <cmath>

namespace nimbrel::imaging {

namespace {
constexpr int FigureWidth = 2;  // rectangle and circle
constexpr int BrushWidth = 5;
} // namespace

qreal DrawingTools::distance(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

bool DrawingTools::press(QPointF at) {
    if (!surface_)
        return false;
    switch (mode_) {
    case Line:
        width_ = 1;
        break;
    case Rectangle:
    case Circle:
        width_ = FigureWidth;
        break;
    case Pencil:
        break;
    case Brush:
        width_ = BrushWidth;
        break;
    default:
        return false;
    }
    dragging_ = true;
    start_ = current_ = at;
    // A click without a move draws a dot, not a circle of some earlier radius.
    radius_ = 0;
    if (mode_ == Line || mode_ == Rectangle || mode_ == Circle)
        drawFigure(current_, true, radius_);
    return true;
}

void DrawingTools::move(QPointF at) {
    if (!dragging_)
        return;
    switch (mode_) {
    case Line:
    case Rectangle:
        drawFigure(current_, true);
        drawFigure(at, true);
        current_ = at;
        break;
    case Circle: {
        const qreal radius = distance(start_, at);
        drawFigure(current_, true, radius_);
        drawFigure(at, true, radius);
        radius_ = radius;
        current_ = at;
        break;
    }
    case Pencil:
    case Brush: {
        QPainter p(surface_);
        p.setPen(QPen(colour_, width_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(current_, at);
        current_ = at;
        break;
    }
    default:
        break;
    }
}

void DrawingTools::release() {
    if (!dragging_)
        return;
    dragging_ = false;
    if (mode_ == Line || mode_ == Rectangle || mode_ == Circle) {
        drawFigure(current_, true, radius_);
        drawFigure(current_, false, radius_);
    }
}

void DrawingTools::drawFigure(QPointF to, bool preview, qreal radius) {
    QPainter p(surface_);
    QColor colour = colour_;
    if (preview) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        colour = QColor::fromRgb(~colour_.rgb() | 0xFF000000u);
    }
    // Width 1 is the thin pen; wider pens are stroked as one outline, so no
    // pixel is touched twice and a second XOR pass restores every pixel.
    p.setPen(QPen(colour, width_ == 1 ? 0 : width_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    switch (mode_) {
    case Line:
        p.drawLine(start_, to);
        break;
    case Rectangle:
        p.drawRect(QRectF(start_, to).normalized());
        break;
    case Circle:
        p.drawEllipse(start_, radius, radius);
        break;
    default:
        break;
    }
}

void DrawingTools::paintBox(const QRectF& box) {
    if (!surface_)
        return;
    QPainter p(surface_);
    p.setPen(QPen(colour_, width_ == 1 ? 0 : width_));
    for (qreal y = box.top(); y <= box.top() + box.height(); y += 1)
        p.drawLine(QPointF(box.left(), y), QPointF(box.left() + box.width(), y));
}

QSizeF DrawingTools::resizedBox(QSizeF size, bool larger) { return size * (larger ? 1.2 : 0.8); }

} // namespace nimbrel::imaging
