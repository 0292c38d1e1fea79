#pragma once
// Movie time as scripts see it (getTimer). The player advances a ManualClock
// by the time it is given, so headless runs are repeatable.
namespace nimbrel::movie::host {

class Clock {
public:
    virtual ~Clock() = default;
    virtual double elapsedMs() const = 0;
};

} // namespace nimbrel::movie::host
