#include "skin/WindowResize.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::skin {

ResizeMode WindowResize::pressed(ResizeMode current, ResizeMode handle, Qt::MouseButton button) {
    if (handle == ResizeMode::None)
        return current;
    if (handle != ResizeMode::Right && button != Qt::LeftButton)
        return current;
    return current == handle ? ResizeMode::None : handle;
}

TwipRect WindowResize::follow(ResizeMode mode, const TwipRect& window, QPoint cursor, double tx,
                              double ty, int minWidth, int minHeight) {
    TwipRect w = window;
    const int x = static_cast<int>(std::lround(cursor.x() * tx));
    const int y = static_cast<int>(std::lround(cursor.y() * ty));

    const auto setWidth = [&](int width) {
        if (width >= 0)
            w.width = std::max(width, minWidth);
    };
    const auto setHeight = [&](int height) {
        if (height >= 0)
            w.height = std::max(height, minHeight);
    };
    const auto followRight = [&] { setWidth(x - w.left + 100); };
    const auto followBottom = [&] { setHeight(y - w.top + 100); };
    const auto followLeft = [&] {
        // The right edge stays where it was while the left edge moves to the pointer.
        const int right = w.left + w.width;
        const int width = right - x;
        if (minWidth > 0 && width < minWidth) {
            w.left = right - minWidth;
            w.width = minWidth;
            return;
        }
        w.left = x;
        setWidth(width);
    };

    switch (mode) {
    case ResizeMode::Right: followRight(); break;
    case ResizeMode::Bottom: followBottom(); break;
    case ResizeMode::BottomRight: followRight(); followBottom(); break;
    case ResizeMode::Left: followLeft(); break;
    case ResizeMode::BottomLeft: followLeft(); followBottom(); break;
    case ResizeMode::None: break;
    }
    return w;
}

} // namespace nimbrel::skin
