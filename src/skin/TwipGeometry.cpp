#include "skin/TwipGeometry.h"
#include "platform/Twips.h"
#include <QWidget>
#include <cmath>

namespace nimbrel::skin {

namespace {
int px(double twips, double perPixel) { return static_cast<int>(std::lround(twips / perPixel)); }
int tw(double pixels, double perPixel) { return static_cast<int>(std::lround(pixels * perPixel)); }
} // namespace

QRect TwipGeometry::toPixels(const TwipRect& r, double tx, double ty) {
    const int left = px(r.left, tx);
    const int top = px(r.top, ty);
    return QRect(left, top, px(r.left + r.width, tx) - left, px(r.top + r.height, ty) - top);
}

TwipRect TwipGeometry::fromPixels(const QRect& r, double tx, double ty) {
    return {tw(r.x(), tx), tw(r.y(), ty), tw(r.width(), tx), tw(r.height(), ty)};
}

void TwipGeometry::place(QWidget* widget, const TwipRect& r, double tx, double ty) {
    if (widget)
        widget->setGeometry(toPixels(r, tx, ty));
}

double TwipGeometry::twipsPerPixelX(const QWidget* widget) {
    return platform::Twips::perPixel(platform::Twips::dpiX(widget));
}

double TwipGeometry::twipsPerPixelY(const QWidget* widget) {
    return platform::Twips::perPixel(platform::Twips::dpiY(widget));
}

} // namespace nimbrel::skin
