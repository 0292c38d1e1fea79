#pragma once
#include <QPolygon>
#include <QRegion>

class QWidget;

namespace nimbrel::skin {

struct MainLayoutResult;

// The outline of the main window: a rectangle with cut, stepped corners, in pixels
// relative to the window's top-left corner.
class WindowRegion {
public:
    static constexpr int VertexCount = 31;

    // The 31-vertex outline for a width and height in pixels.
    static QPolygon polygon(int width, int height);
    // The outline filled odd-even; the width is rounded to whole pixels (halves to even).
    static QRegion region(double widthPx, int heightPx);
    static QRegion region(const MainLayoutResult& layout);
    // Replaces any earlier mask of the window with the layout's region and redraws it.
    static void apply(QWidget* window, const MainLayoutResult& layout);
};

} // namespace nimbrel::skin
