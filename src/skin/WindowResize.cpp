#include "skin/WindowResize.h"
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
                              double ty) {
    TwipRect w = window;
    const int x = static_cast<int>(std::lround(cursor.x() * tx));
    const int y = static_cast<int>(std::lround(cursor.y() * ty));

    const auto setWidth = [&w](int width) {
        if (width >= 0)
            w.width = width;
    };
    const auto setHeight = [&w](int height) {
        if (height >= 0)
            w.height = height;
    };
    const auto followRight = [&] { setWidth(x - w.left + 100); };
    const auto followBottom = [&] { setHeight(y - w.top + 100); };
    const auto followLeft = [&] {
        // The right edge stays where it was while the left edge moves to the pointer.
        const int oldLeft = w.left;
        const int oldWidth = w.width;
        w.left = x;
        setWidth(oldWidth + oldLeft - w.left);
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
