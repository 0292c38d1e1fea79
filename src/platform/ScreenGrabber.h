#pragma once
// A still picture of every screen at once, for the screen capture. X11
// compositors do not let a program draw straight onto the screen, so the capture
// shows this picture and draws its selection on it. Tests use ScriptedScreenGrabber.
#include <QImage>
#include <QPoint>

namespace nimbrel::platform {

class ScreenGrabber {
public:
    struct Grab {
        QImage picture;  // the whole desktop, one pixel per device pixel at scale 1
        QPoint origin;   // desktop position of the picture's top-left pixel
    };
    virtual ~ScreenGrabber() = default;
    virtual Grab grabAllScreens() = 0;
};

} // namespace nimbrel::platform
