#pragma once
// Twips are the unit of every stored position and size: 1/1440 inch, so 15 per
// pixel at 96 dpi. Pure conversions; the widget helpers only read the screen's DPI.
class QWidget;

namespace nimbrel::platform {

class Twips {
public:
    static constexpr double PerInch = 1440.0;

    static double perPixel(double dpi);
    // Rounded to the nearest pixel; halves go away from zero.
    static int toPixels(double twips, double dpi);
    static double fromPixels(double pixels, double dpi);

    // Logical DPI of the screen the widget is on (the primary screen when it has none yet).
    static double dpiX(const QWidget* widget);
    static double dpiY(const QWidget* widget);
};

} // namespace nimbrel::platform
