#pragma once
#include "skin/MainLayoutResult.h"

namespace nimbrel::skin {

// Places every element of the main window for a client size. Pure: the previous
// rectangles go in, the new ones come out. The steps run in a fixed order and later
// steps read what earlier ones placed (some read rectangles that are only placed
// further down, so they see the previous run's values). A step that would give an
// element a negative width or height is skipped: that element keeps its previous
// rectangle and the remaining steps still run. The window itself is kept at least
// at minimumClientSize(), so the fixed pieces of the skin always fit.
class MainLayout {
public:
    struct Input {
        int clientWidth = 15750;  // SW, twips
        int clientHeight = 9885;  // SH, twips
        double twipsPerPixelX = 15.0;
        double twipsPerPixelY = 15.0;
        bool menuBarShowing = false; // the window region then reaches 100 px further down
    };

    static MainLayoutResult run(const MainLayoutResult& previous, const Input& input);

    // Region height in pixels: SH / twips-per-pixel rounded (halves to even) to a
    // 16-bit value, plus 100 while the menu bar shows. A value that does not fit
    // keeps the previous height.
    static int regionHeight(int clientHeight, double twipsPerPixelY, bool menuBarShowing,
                            int previous);
    static double regionWidth(int clientWidth, double twipsPerPixelX);

    // The smallest client area the skin's fixed pieces need, twips: the wider of
    // the top and bottom bars' two ends side by side, and the taller ends of both
    // bars one above the other.
    struct Size {
        int width = 0;
        int height = 0;
        bool operator==(const Size&) const = default;
    };
    static Size minimumClientSize(const MainLayoutResult& design = MainLayoutResult::design());
};

} // namespace nimbrel::skin
