#pragma once
#include "skin/ResizeMode.h"
#include "skin/TwipRect.h"
#include <QPoint>
#include <Qt>

namespace nimbrel::skin {

// Resizing by the skin's handles. A click on a handle switches its mode on, a
// second click on the same handle switches it off; while a mode is on, every timer
// tick puts the dragged edge 100 twips beyond the pointer, so the handle stays
// under it and the next click lands on it again.
class WindowResize {
public:
    // The mode after a mouse-down on a handle. The right border answers to any
    // button, the other handles to the left button only.
    static ResizeMode pressed(ResizeMode current, ResizeMode handle, Qt::MouseButton button);

    // The window geometry (twips) after one tick with the pointer at cursor (screen
    // pixels); tx and ty are twips per pixel. An assignment that would give a
    // negative size is skipped on its own, the others still take effect. A size
    // below minWidth x minHeight stops at it, the edge that does not follow the
    // pointer staying where it was.
    static TwipRect follow(ResizeMode mode, const TwipRect& window, QPoint cursor, double tx,
                           double ty, int minWidth = 0, int minHeight = 0);
};

} // namespace nimbrel::skin
