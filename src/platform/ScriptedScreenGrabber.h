#pragma once
// Answers every grab with a fixed picture and counts the grabs.
#include "platform/ScreenGrabber.h"

namespace nimbrel::platform {

class ScriptedScreenGrabber : public ScreenGrabber {
public:
    explicit ScriptedScreenGrabber(Grab grab = {}) : grab_(std::move(grab)) {}
    Grab grabAllScreens() override {
        ++grabs_;
        return grab_;
    }
    int grabs() const { return grabs_; }

private:
    Grab grab_;
    int grabs_ = 0;
};

} // namespace nimbrel::platform
