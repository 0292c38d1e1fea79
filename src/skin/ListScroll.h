#pragma once

namespace nimbrel::skin {

// The horizontal scroll bars of the three side lists. Each step of a bar slides its
// list 100 twips to the left and widens it by as much, so the list's right edge stays
// put while its hidden left part grows.
class ListScroll {
public:
    struct Placement {
        int left = 0;
        int width = 0;
        bool operator==(const Placement&) const = default;
    };

    static constexpr int PlaylistBase = 4215; // bflblist's right edge in its panel
    static constexpr int SearchBase = 5895;   // lsearch's right edge in its panel

    // huakuai2 -> bflblist.
    static Placement huakuai2(int value);
    // huakuaione -> lsearch.
    static Placement huakuaione(int value);
    // huakuai3 -> convert. The layout makes the converter list as wide as its panel,
    // so the panel's width is the base: the right edge stays at the panel's right edge
    // however often the bar moves.
    static Placement huakuai3(int value, int panelWidth);

    static Placement slide(int value, int base);
};

} // namespace nimbrel::skin
