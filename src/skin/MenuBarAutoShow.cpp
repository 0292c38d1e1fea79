#include "skin/MenuBarAutoShow.h"
#include <cmath>

namespace nimbrel::skin {

bool MenuBarAutoShow::inTopBand(const TwipRect& window, double tx, double ty, QPoint cursor) {
    if (!(tx > 0) || !(ty > 0))
        return false;
    const long left = std::lround(window.left / tx);
    const long right = std::lround((window.left + window.width) / tx);
    const long top = std::lround(window.top / ty);
    return left - 20 < cursor.x() && cursor.x() < right && top - 10 < cursor.y() &&
           cursor.y() < top + 5;
}

MenuBarAutoShow::Action MenuBarAutoShow::tick(bool maximised, const TwipRect& window, double tx,
                                              double ty, QPoint cursor) {
    if (maximised)
        return Action::None;
    Action action = Action::None;
    if (inTopBand(window, tx, ty, cursor)) {
        action = Action::Show;
        counter_ = 1;
    }
    // The counter also runs while the bar is hidden; hiding a hidden bar is harmless.
    if (counter_ == 25) {
        counter_ = 0;
        return Action::Hide;
    }
    ++counter_;
    return action;
}

} // namespace nimbrel::skin
