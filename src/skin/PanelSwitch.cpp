#include "skin/PanelSwitch.h"

namespace nimbrel::skin {

std::array<TabPicture, 4> PanelSwitch::titleanjiu(int index) {
    std::array<TabPicture, 4> tabs{};
    for (int i = 0; i < 4; ++i)
        tabs[i] = (i == index) ? TabPicture::Pressed : TabPicture::None;
    return tabs;
}

PanelSwitch::Visibility PanelSwitch::visibilityFor(int panel) {
    Visibility v;
    v.flash = panel == 0;
    v.bflb = panel == 1;
    v.zhss = panel == 2;
    v.convertframe = panel == 3;
    return v;
}

std::optional<PanelSwitch::Switch> PanelSwitch::select(int current, int n) {
    if (n < 0 || n > 3 || n == current)
        return std::nullopt;
    return Switch{n, titleanjiu(n), visibilityFor(n)};
}

} // namespace nimbrel::skin
