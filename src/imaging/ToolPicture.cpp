#include "imaging/ToolPicture.h"
#include <QPainter>
#include <QPainterPath>

namespace nimbrel::imaging {

QImage ToolPicture::draw() {
    QImage img(2 * Cell, 4 * Cell, QImage::Format_RGB32);
    img.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    auto cell = [](int i) { return QRectF((i % 2) * Cell, (i / 2) * Cell, Cell, Cell).adjusted(6, 6, -6, -6); };
    p.setPen(QPen(Qt::black, 1));
    p.fillRect(cell(0), Qt::white);  // eraser
    p.drawRect(cell(0));
    p.drawLine(cell(1).bottomLeft(), cell(1).topRight());  // line
    p.drawRect(cell(2));                                    // rectangle
    p.drawEllipse(cell(3));                                 // circle
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(cell(4).bottomLeft(), cell(4).topRight());  // pencil
    p.drawLine(cell(4).bottomLeft(), cell(4).bottomLeft() + QPointF(3, -1));
    p.setPen(QPen(QColor(0x80, 0x40, 0), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(cell(5).bottomLeft(), cell(5).topRight());  // brush
    p.setPen(QPen(Qt::black, 1));
    QPainterPath bucket;
    bucket.addRect(cell(6).adjusted(2, 4, -2, 0));
    p.fillPath(bucket, QColor(0x00, 0x80, 0xFF));
    p.drawPath(bucket);
    const QRectF lens = cell(7).adjusted(0, 0, -4, -4);
    p.drawEllipse(lens);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(lens.bottomRight() - QPointF(1, 1), cell(7).bottomRight());
    return img;
}

} // namespace nimbrel::imaging
