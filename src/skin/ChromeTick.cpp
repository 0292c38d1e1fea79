#include "skin/ChromeTick.h"
#include "skin/WindowResize.h"

namespace nimbrel::skin {

void ChromeTick::pressHandle(ResizeMode handle, Qt::MouseButton button) {
    mode_ = WindowResize::pressed(mode_, handle, button);
}

ChromeTick::Result ChromeTick::tick(const Input& in) {
    Result result;
    if (!in.windowActive)
        return result;
    TwipRect window = in.window;
    if (mode_ != ResizeMode::None) {
        const TwipRect resized = WindowResize::follow(mode_, window, in.cursor, in.tx, in.ty, in.minWidth, in.minHeight);
        if (resized != window) {
            result.geometry = resized;
            window = resized;
        }
    }
    result.menuBar = menuBar_.tick(in.maximised, window, in.tx, in.ty, in.cursor);
    return result;
}

} // namespace nimbrel::skin
