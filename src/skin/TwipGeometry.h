#pragma once
#include "skin/TwipRect.h"
#include <QRect>

class QWidget;

namespace nimbrel::skin {

// Between twips and widget pixels. Edges are rounded one by one, so pieces that
// touch in twips touch in pixels too.
class TwipGeometry {
public:
    static QRect toPixels(const TwipRect& r, double tx, double ty);
    static TwipRect fromPixels(const QRect& r, double tx, double ty);
    // Moves and sizes a widget; a null widget is skipped.
    static void place(QWidget* widget, const TwipRect& r, double tx, double ty);
    // Twips per pixel of the screen the widget is on.
    static double twipsPerPixelX(const QWidget* widget);
    static double twipsPerPixelY(const QWidget* widget);
};

} // namespace nimbrel::skin
