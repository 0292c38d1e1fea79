#include "skin/SkinGlyphs.h"
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>

namespace nimbrel::skin {

namespace {

// Glyphs are designed on a 10 x 10 grid around the box's centre.
struct Grid {
    QPointF origin;
    double unit;
    QPointF at(double x, double y) const { return origin + QPointF(x * unit, y * unit); }
    QRectF rect(double x, double y, double w, double h) const {
        return QRectF(at(x, y), QSizeF(w * unit, h * unit));
    }
};

Grid gridFor(const QRectF& box) {
    const double side = std::min(box.width(), box.height());
    const double unit = side / 10.0;
    return {box.center() - QPointF(5 * unit, 5 * unit), unit};
}

void triangle(QPainter& p, const Grid& g, double x0, double x1, double yTop, double yBottom,
              bool pointsRight) {
    const double mid = (yTop + yBottom) / 2.0;
    QPolygonF t;
    if (pointsRight)
        t << g.at(x0, yTop) << g.at(x1, mid) << g.at(x0, yBottom);
    else
        t << g.at(x1, yTop) << g.at(x0, mid) << g.at(x1, yBottom);
    QPainterPath path;
    path.addPolygon(t);
    path.closeSubpath();
    p.drawPath(path);
}

void bar(QPainter& p, const Grid& g, double x, double y, double w, double h) {
    p.drawRoundedRect(g.rect(x, y, w, h), g.unit * 0.3, g.unit * 0.3);
}

} // namespace

void SkinGlyphs::draw(QPainter& p, Glyph glyph, const QRectF& box, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const Grid g = gridFor(box);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    QPen line(colour, std::max(1.0, g.unit * 1.1), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    switch (glyph) {
    case Glyph::Play:
        // Optically centred: the triangle's weight sits left of its box.
        triangle(p, g, 3.0, 8.2, 1.8, 8.2, true);
        break;
    case Glyph::Pause:
        bar(p, g, 2.6, 2.0, 1.8, 6.0);
        bar(p, g, 5.6, 2.0, 1.8, 6.0);
        break;
    case Glyph::Stop:
        p.drawRoundedRect(g.rect(2.6, 2.6, 4.8, 4.8), g.unit * 0.6, g.unit * 0.6);
        break;
    case Glyph::PreviousMovie:
        bar(p, g, 1.6, 2.6, 1.2, 4.8);
        triangle(p, g, 2.6, 5.6, 2.6, 7.4, false);
        triangle(p, g, 5.4, 8.4, 2.6, 7.4, false);
        break;
    case Glyph::NextMovie:
        triangle(p, g, 1.6, 4.6, 2.6, 7.4, true);
        triangle(p, g, 4.4, 7.4, 2.6, 7.4, true);
        bar(p, g, 7.2, 2.6, 1.2, 4.8);
        break;
    case Glyph::PreviousFrame:
        triangle(p, g, 2.2, 6.0, 2.4, 7.6, false);
        bar(p, g, 6.8, 2.4, 1.2, 5.2);
        break;
    case Glyph::NextFrame:
        bar(p, g, 2.0, 2.4, 1.2, 5.2);
        triangle(p, g, 4.0, 7.8, 2.4, 7.6, true);
        break;
    case Glyph::Minimise:
        p.setPen(line);
        p.drawLine(g.at(2.5, 7.0), g.at(7.5, 7.0));
        break;
    case Glyph::Maximise:
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawRect(g.rect(2.5, 2.5, 5.0, 5.0));
        p.drawLine(g.at(2.5, 3.0), g.at(7.5, 3.0));
        break;
    case Glyph::Close:
        p.setPen(line);
        p.drawLine(g.at(2.7, 2.7), g.at(7.3, 7.3));
        p.drawLine(g.at(7.3, 2.7), g.at(2.7, 7.3));
        break;
    case Glyph::ListMenu:
        bar(p, g, 1.5, 1.2, 7.0, 1.1);
        bar(p, g, 1.5, 3.5, 7.0, 1.1);
        bar(p, g, 1.5, 5.8, 4.2, 1.1);
        {
            // A small caret under the lines: this button opens a menu.
            QPolygonF caret;
            caret << g.at(6.0, 6.2) << g.at(9.0, 6.2) << g.at(7.5, 8.6);
            p.drawPolygon(caret);
        }
        break;
    }
    p.restore();
}

} // namespace nimbrel::skin
