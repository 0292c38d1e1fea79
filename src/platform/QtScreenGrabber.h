#pragma once
// Grabs each screen through Qt and joins them into one picture of the desktop.
#include "platform/ScreenGrabber.h"

namespace nimbrel::platform {

class QtScreenGrabber : public ScreenGrabber {
public:
    Grab grabAllScreens() override;
};

} // namespace nimbrel::platform
