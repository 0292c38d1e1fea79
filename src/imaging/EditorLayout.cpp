#include "imaging/EditorLayout.h"
#include <cmath>

namespace nimbrel::imaging {

int EditorLayout::whole(double v) { return int(std::nearbyint(v)); }  // default mode: ties to even

EditorLayout::Result EditorLayout::compute(const Input& in) {
    const int cw = whole(in.canvasWidth / in.twipsPerPixelX);
    const int aw = whole(in.clientWidth / in.twipsPerPixelX);
    const int ch = whole(in.canvasHeight / in.twipsPerPixelY);
    const int ah = whole(in.clientHeight / in.twipsPerPixelY);

    auto vertical = [&](int left, int maximum) {
        const int max = whole(maximum);
        return Bar{left, TopStrip, in.clientHeight - TopStrip, max, whole(max * 0.3)};
    };
    auto horizontal = [&] {
        const int max = whole(in.canvasWidth - in.clientWidth);
        return Bar{0, 0, in.clientWidth - TopStrip, max, whole(max * 0.3)};
    };

    Result r;
    if (cw < aw && ch < ah) {
        r.which = Case::Fits;
        r.windowWidth = in.canvasWidth + FitExtraWidth;
        r.windowHeight = in.canvasHeight + FitExtraHeight;
    } else if (cw < aw && ah < ch) {
        r.which = Case::TooTall;
        r.canvasTop = 0;
        r.windowWidth = in.canvasWidth + in.mrightWidth + TallExtraWidth;
        r.mright = vertical(in.canvasLeft + in.canvasWidth, in.canvasHeight - in.clientHeight + TopStrip);
    } else if (aw < cw && ch < ah) {
        r.which = Case::TooWide;
        r.canvasTop = in.bottomHeight;
        r.windowHeight = in.canvasHeight + in.bottomHeight + FitExtraHeight;
        r.bottom = horizontal();
    } else if (aw < cw) {
        r.which = Case::TooBig;
        r.canvasTop = in.bottomHeight;
        r.mright = vertical(in.clientWidth - in.mrightWidth, in.canvasHeight - in.clientHeight);
        r.bottom = horizontal();
    }
    return r;
}

} // namespace nimbrel::imaging
