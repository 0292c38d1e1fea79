#include "skin/WindowRegion.h"
#include "skin/MainLayoutResult.h"
#include "skin/RoundHalfEven.h"
#include <QWidget>

namespace nimbrel::skin {

QPolygon WindowRegion::polygon(int W, int H) {
    // Clockwise from the top-left: stepped top-left corner, left edge, bottom-left,
    // bottom edge, bottom-right, right edge, top-right. The top-right vertex one
    // pixel above the edge is part of the outline as it always was.
    return QPolygon(QList<QPoint>{
        {8, 0}, {7, 1}, {6, 1}, {5, 2}, {4, 2}, {3, 3}, {2, 3}, {1, 4}, {0, 5},
        {0, H - 5}, {1, H - 4}, {1, H - 3}, {2, H - 2}, {2, H - 2}, {3, H - 2}, {4, H - 1},
        {5, H}, {W - 5, H}, {W - 4, H - 1}, {W - 3, H - 1}, {W - 2, H - 2}, {W - 1, H - 3},
        {W - 1, H - 4}, {W, H - 5}, {W, 5}, {W - 1, 4}, {W - 1, 3}, {W - 2, 3}, {W - 3, 2},
        {W - 4, -1}, {W - 5, 0}});
}

QRegion WindowRegion::region(double widthPx, int heightPx) {
    return QRegion(polygon(static_cast<int>(roundHalfEven(widthPx)), heightPx), Qt::OddEvenFill);
}

QRegion WindowRegion::region(const MainLayoutResult& layout) {
    return region(layout.Wpx, layout.Hpx);
}

void WindowRegion::apply(QWidget* window, const MainLayoutResult& layout) {
    if (!window)
        return;
    window->clearMask();
    window->setMask(region(layout));
    window->update();
}

} // namespace nimbrel::skin
