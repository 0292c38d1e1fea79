#include "movie/host/NavigationGate.h"

namespace nimbrel::movie::host {

void NavigationGate::pressed()
{
    actionAllowance_ = true;
}

void NavigationGate::released()
{
    actionAllowance_ = false;
}

bool NavigationGate::tryOpen()
{
    const double now = clock_.elapsedMs();
    bool allowed = false;
    if (inInput_ > 0 && actionAllowance_) {
        actionAllowance_ = false;
        allowed = true;
    } else if (!openedBefore_ || now - lastOpenMs_ >= intervalMs_ || now < lastOpenMs_) {
        allowed = true;
    }
    if (allowed) {
        openedBefore_ = true;
        lastOpenMs_ = now;
    }
    return allowed;
}

void NavigationGate::reset()
{
    actionAllowance_ = false;
    openedBefore_ = false;
    lastOpenMs_ = 0;
}

} // namespace nimbrel::movie::host
