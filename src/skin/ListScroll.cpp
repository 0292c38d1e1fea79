#include "skin/ListScroll.h"

namespace nimbrel::skin {

ListScroll::Placement ListScroll::slide(int value, int base) {
    return {-100 * value, 100 * value + base};
}

ListScroll::Placement ListScroll::huakuai2(int value) { return slide(value, PlaylistBase); }

ListScroll::Placement ListScroll::huakuaione(int value) { return slide(value, SearchBase); }

ListScroll::Placement ListScroll::huakuai3(int value, int panelWidth) {
    return slide(value, panelWidth);
}

} // namespace nimbrel::skin
