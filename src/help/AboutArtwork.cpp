#include "help/AboutArtwork.h"
#include "help/ProjectContact.h"
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace nimbrel::help {

namespace {

const QColor Graphite(0x25, 0x2a, 0x32);
const QColor GraphiteLight(0x3a, 0x41, 0x4c);
const QColor Accent(0x2f, 0x8f, 0xe6);
const QColor AccentLight(0x6c, 0xbd, 0xff);

// A rounded blue tile with a white play triangle, filling `box`.
void paintPlayTile(QPainter& p, const QRectF& box) {
    QLinearGradient blue(box.topLeft(), box.bottomLeft());
    blue.setColorAt(0.0, AccentLight);
    blue.setColorAt(1.0, Accent);
    p.setPen(QPen(QColor(0x14, 0x18, 0x1e), 1.0));
    p.setBrush(blue);
    const double r = box.width() * 0.2;
    p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), r, r);

    QPainterPath play;
    const double w = box.width();
    const double h = box.height();
    play.moveTo(box.left() + w * 0.36, box.top() + h * 0.26);
    play.lineTo(box.left() + w * 0.76, box.top() + h * 0.5);
    play.lineTo(box.left() + w * 0.36, box.top() + h * 0.74);
    play.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(play);
}

} // namespace

QPixmap AboutArtwork::banner() {
    QImage img(BannerSize, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    QLinearGradient bg(0, 0, 0, BannerSize.height());
    bg.setColorAt(0.0, GraphiteLight);
    bg.setColorAt(1.0, Graphite);
    p.fillRect(img.rect(), bg);
    p.fillRect(QRect(0, BannerSize.height() - 3, BannerSize.width(), 3), Accent);
    p.setRenderHint(QPainter::Antialiasing, true);
    paintPlayTile(p, QRectF(8, 7, 34, 34));

    p.setPen(Qt::white);
    QFont title = p.font();
    title.setPixelSize(22);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(52, 2, 200, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Nimbrel"));
    QFont sub = p.font();
    sub.setPixelSize(11);
    sub.setBold(false);
    p.setFont(sub);
    p.setPen(QColor(0xc8, 0xd0, 0xda));
    p.drawText(QRect(53, 29, 200, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("SWF 播放器 ") + ProjectContact::version());
    p.end();
    return QPixmap::fromImage(img);
}

QPixmap AboutArtwork::icon() {
    QImage img(IconSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    paintPlayTile(p, QRectF(QPointF(0, 0), QSizeF(IconSize)));
    p.end();
    return QPixmap::fromImage(img);
}

} // namespace nimbrel::help
