#include "platform/Twips.h"
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace nimbrel::platform {

namespace {
constexpr double FallbackDpi = 96.0;

const QScreen* screenOf(const QWidget* widget) {
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

double usable(double dpi) { return dpi > 0 && std::isfinite(dpi) ? dpi : FallbackDpi; }
} // namespace

double Twips::perPixel(double dpi) { return PerInch / usable(dpi); }

int Twips::toPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips / perPixel(dpi)));
}

double Twips::fromPixels(double pixels, double dpi) { return pixels * perPixel(dpi); }

double Twips::dpiX(const QWidget* widget) {
    const QScreen* s = screenOf(widget);
    return usable(s ? s->logicalDotsPerInchX() : FallbackDpi);
}

double Twips::dpiY(const QWidget* widget) {
    const QScreen* s = screenOf(widget);
    return usable(s ? s->logicalDotsPerInchY() : FallbackDpi);
}

} // namespace nimbrel::platform
