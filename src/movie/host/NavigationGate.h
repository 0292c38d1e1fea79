#pragma once
// How often a movie may have the host open an address (getURL and send):
// once for each press of a mouse button or key the movie handles, and apart
// from those at most once a second, so that a movie cannot open a flood of
// browser windows.
#include "movie/host/Clock.h"

namespace nimbrel::movie::host {

class NavigationGate {
public:
    static constexpr double defaultIntervalMs = 1000;

    explicit NavigationGate(const Clock& clock, double intervalMs = defaultIntervalMs)
        : clock_(clock), intervalMs_(intervalMs) {}

    // A press starts a user action that may open one address; its release
    // ends it. Scripts run between begin and end belong to the action.
    void pressed();
    void released();
    // Marks the stretch in which the movie handles the user's input.
    void enterInput() { ++inInput_; }
    void leaveInput() { --inInput_; }

    // True when an address may be opened now, and counts it as opened.
    bool tryOpen();
    void reset();

private:
    const Clock& clock_;
    double intervalMs_;
    int inInput_ = 0;
    bool actionAllowance_ = false;
    bool openedBefore_ = false;
    double lastOpenMs_ = 0;
};

} // namespace nimbrel::movie::host
