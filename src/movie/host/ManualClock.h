#pragma once
#include "movie/host/Clock.h"

namespace nimbrel::movie::host {

// A clock that moves only when told to.
class ManualClock : public Clock {
public:
    double elapsedMs() const override { return ms_; }
    void advance(double ms) { ms_ += ms; }
    void reset() { ms_ = 0; }

private:
    double ms_ = 0;
};

} // namespace nimbrel::movie::host
