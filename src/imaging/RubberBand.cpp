#include "imaging/RubberBand.h"
#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <utility>

namespace nimbrel::imaging {

RubberBand::Rect RubberBand::normalised(Rect r) {
    if (r.right < r.left)
        std::swap(r.left, r.right);
    if (r.bottom < r.top)
        std::swap(r.top, r.bottom);
    return r;
}

RubberBand::Rect RubberBand::fromDrag(QPoint anchor, QPoint current) {
    return normalised({anchor.x(), anchor.y(), current.x(), current.y()});
}

QString RubberBand::labelText(const Rect& r) {
    return QString::number(r.width()) + QLatin1Char('x') + QString::number(r.height());
}

QPoint RubberBand::labelPosition(const Rect& r, QSize textSize) {
    // Default rounding mode: nearest, ties to even.
    return QPoint(int(std::nearbyint(((r.right + r.left) - textSize.width()) / 2.0)),
                  int(std::nearbyint(((r.bottom + r.top) - textSize.height()) / 2.0)));
}

void RubberBand::invertBar(QImage& picture, int x, int y, int width, int height) {
    // Negative extents reach left or up from (x, y), as the frame's bars do.
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    const QRect bar = QRect(x, y, width, height) & picture.rect();
    for (int py = bar.top(); py <= bar.bottom(); ++py) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(py));
        for (int px = bar.left(); px <= bar.right(); ++px)
            line[px] ^= 0x00FFFFFF;
    }
}

void RubberBand::paint(QImage& picture, QPoint origin, const Rect& screen, const QFont& font) {
    if (screen.isEmpty() || picture.isNull())
        return;
    if (picture.format() != QImage::Format_RGB32)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    const Rect r{screen.left - origin.x(), screen.top - origin.y(), screen.right - origin.x(),
                 screen.bottom - origin.y()};
    // Four bars; where two meet the corner pixel is inverted twice.
    invertBar(picture, r.left, r.top, r.right - r.left, 1);
    invertBar(picture, r.left, r.bottom, 1, r.top - r.bottom);
    invertBar(picture, r.right - 1, r.top, 1, r.bottom - r.top);
    invertBar(picture, r.right, r.bottom - 1, r.left - r.right, 1);

    const QString text = labelText(screen);
    QFont sharp = font;
    sharp.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(sharp);
    const QSize size(metrics.horizontalAdvance(text), metrics.height());
    if (size.isEmpty())
        return;
    QImage glyphs(size, QImage::Format_RGB32);
    glyphs.fill(Qt::black);
    {
        QPainter p(&glyphs);
        p.setFont(sharp);
        p.setPen(Qt::white);
        p.drawText(0, metrics.ascent(), text);
    }
    // Only the pixels under the glyphs change.
    const QPoint at = labelPosition(r, size);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QPoint target = at + QPoint(x, y);
            if (qGray(glyphs.pixel(x, y)) > 127 && picture.rect().contains(target))
                reinterpret_cast<QRgb*>(picture.scanLine(target.y()))[target.x()] ^= 0x00FFFFFF;
        }
    }
}

QImage RubberBand::copy(const QImage& picture, QPoint origin, const Rect& r) {
    if (r.isEmpty())
        return {};
    // Parts outside the desktop come out black, as an off-screen copy would.
    QImage out(r.width(), r.height(), QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    p.drawImage(QPoint(0, 0), picture, QRect(r.left - origin.x(), r.top - origin.y(), r.width(), r.height()));
    return out;
}

} // namespace nimbrel::imaging
