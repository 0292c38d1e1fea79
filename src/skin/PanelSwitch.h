#pragma once
#include "skin/SkinHoverState.h"
#include <array>
#include <optional>

namespace nimbrel::skin {

// The four tabs that share the movie area: 0 movie, 1 playlist panel, 2 search
// panel, 3 converter panel.
class PanelSwitch {
public:
    struct Visibility {
        bool convertframe = false;
        bool flash = true;
        bool zhss = false;
        bool bflb = false;
        bool operator==(const Visibility&) const = default;
    };
    struct Switch {
        int panel = 0;                        // the new current panel number
        std::array<TabPicture, 4> tabs{};     // tab backgrounds
        Visibility visible;
        // The previews of the playlist and search panels are always stopped.
    };

    // Tab pictures: the pressed picture on tab index, none on the others.
    static std::array<TabPicture, 4> titleanjiu(int index);
    // Which of the movie surface and the three containers show for a panel number.
    static Visibility visibilityFor(int panel);
    // Selecting tab n while panel current is on show. Nothing happens (nullopt) for
    // the tab already on show or an index outside 0..3.
    static std::optional<Switch> select(int current, int n);
};

} // namespace nimbrel::skin
