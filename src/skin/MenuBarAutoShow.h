#pragma once
#include "skin/TwipRect.h"
#include <QPoint>
#include <cstdint>

namespace nimbrel::skin {

// The menu bar appears while the pointer touches the window's top edge and goes
// away 24 ticks (about 2.4 s at 100 ms) after it left. Counted in timer ticks.
class MenuBarAutoShow {
public:
    enum class Action { None, Show, Hide };

    // One tick. window is the window's geometry in twips, tx/ty twips per pixel,
    // cursor the pointer in screen pixels. While maximised nothing happens.
    Action tick(bool maximised, const TwipRect& window, double tx, double ty, QPoint cursor);

    // The band along the top edge where the pointer calls up the menu bar.
    static bool inTopBand(const TwipRect& window, double tx, double ty, QPoint cursor);

    std::int16_t counter() const { return counter_; }

private:
    std::int16_t counter_ = 0;
};

} // namespace nimbrel::skin
