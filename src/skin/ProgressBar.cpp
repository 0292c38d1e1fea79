#include "skin/ProgressBar.h"
#include "skin/RoundHalfEven.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::skin {

std::optional<ProgressBar::Placement> ProgressBar::jindutiao(int frame, int total, int SW,
                                                             int fillLeft, int previousFillWidth) {
    if (total <= 0)
        return std::nullopt;
    Placement p;
    const long long width = roundHalfEven(static_cast<double>(frame) / total * (SW - 300));
    int appliedWidth = previousFillWidth;
    if (width >= 0 && width <= 0x7fffffff) {
        p.fillWidth = static_cast<int>(width);
        appliedWidth = static_cast<int>(width);
    }
    p.thumbLeft = appliedWidth + fillLeft - 50;
    return p;
}

std::optional<int> ProgressBar::seekFrame(int cursorX, double tx, int windowLeft, int SW,
                                          int total) {
    // The track is scaled by SW - 200 here but drawn over SW - 300, so a click on the
    // thumb lands a little before the frame it shows; kept, the bar reads the same.
    if (total <= 0 || SW - 200 == 0)
        return std::nullopt;
    const double ratio = (cursorX * tx - windowLeft - 50) / (SW - 200);
    if (!std::isfinite(ratio))
        return std::nullopt;
    // The track runs 50 twips past the scale's end, and a click there must not ask
    // the movie for a frame it does not have.
    const double frame = std::clamp(ratio * total, 0.0, static_cast<double>(total - 1));
    return static_cast<int>(roundHalfEven(frame));
}

} // namespace nimbrel::skin
