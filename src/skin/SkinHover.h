#pragma once
#include "skin/SkinHoverState.h"
#include <QString>

namespace nimbrel::skin {

// Hover feedback of the skin: elements light up under the pointer and fall back
// when it moves over the bars or the movie. Each function returns the new state.
class SkinHover {
public:
    static PlayState playState(const QString& playButtonToolTip);

    // Option strip label i takes the highlight colour, the others the normal one.
    static SkinHoverState stripHovered(SkinHoverState s, int i);
    // Tab i shows the hover picture unless it is the current panel's tab; every other
    // tab except the current one is cleared.
    static SkinHoverState tabHovered(SkinHoverState s, int i, int currentPanel);
    // Title button i highlighted, the other two normal.
    static SkinHoverState titleHovered(SkinHoverState s, int i);
    static SkinHoverState quickMenuHovered(SkinHoverState s);
    // Transport button i under the pointer.
    static SkinHoverState transportHovered(SkinHoverState s, int i, PlayState play);

    // Pointer over the top bar's left part or middle, or over the movie.
    static SkinHoverState resetAll(SkinHoverState s, int currentPanel);
    // Pointer over the top bar's right end.
    static SkinHoverState resetTitleButtons(SkinHoverState s);
    // Pointer over the bottom bar's left part.
    static SkinHoverState resetTransport(SkinHoverState s, PlayState play);
    // The play button's picture for the movie's state (kept in step by the 100 ms timer).
    static SkinHoverState playButtonFor(SkinHoverState s, PlayState play);
};

} // namespace nimbrel::skin
