#include "skin/MainLayout.h"
#include <algorithm>
#include "skin/RoundHalfEven.h"
#include <cstdint>
#include <limits>

namespace nimbrel::skin {

namespace {

// Assigns a new rectangle unless its size is negative; a refused placement leaves
// the element as it was, which is how a too-small window degrades.
void place(TwipRect& element, const TwipRect& wanted) {
    if (wanted.width < 0 || wanted.height < 0)
        return;
    element = wanted;
}

void move(TwipRect& element, int left, int top) { place(element, {left, top, element.width, element.height}); }

} // namespace

double MainLayout::regionWidth(int clientWidth, double twipsPerPixelX) {
    return twipsPerPixelX > 0 ? clientWidth / twipsPerPixelX : 0.0;
}

int MainLayout::regionHeight(int clientHeight, double twipsPerPixelY, bool menuBarShowing,
                             int previous) {
    if (!(twipsPerPixelY > 0))
        return previous;
    const long long h = roundHalfEven(clientHeight / twipsPerPixelY);
    if (h < std::numeric_limits<int16_t>::min() || h > std::numeric_limits<int16_t>::max())
        return previous;
    return static_cast<int>(h) + (menuBarShowing ? 100 : 0);
}

MainLayout::Size MainLayout::minimumClientSize(const MainLayoutResult& d) {
    const int top = std::max(d.up1.height, d.up3.height);
    const int bottom = std::max(d.down1.height, d.down3.height);
    return {std::max(d.up1.width + d.up3.width, d.down1.width + d.down3.width), top + bottom};
}

MainLayoutResult MainLayout::run(const MainLayoutResult& previous, const Input& in) {
    MainLayoutResult r = previous;
    const int SW = in.clientWidth;
    const int SH = in.clientHeight;

    // 1. Region size in pixels.
    r.SW = SW;
    r.SH = SH;
    r.Wpx = regionWidth(SW, in.twipsPerPixelX);
    r.Hpx = regionHeight(SH, in.twipsPerPixelY, in.menuBarShowing, previous.Hpx);

    // 2-3. Top bar: the right end sticks to the right edge, the middle stretches.
    move(r.up3, SW - r.up3.width, 0);
    place(r.up2, {r.up1.left + r.up1.width, 0, r.up3.left - r.up1.width, r.up2.height});

    // 4-9. Bottom bar and the progress bar riding on it.
    move(r.down1, 0, SH - r.down1.height);
    move(r.jindu, 50, r.down1.top + 50);
    place(r.fugai, {50, r.down1.top + 50, SW - 150, r.fugai.height});
    move(r.huakuai, 50, r.down1.top + 50);
    move(r.down3, SW - r.down3.width, r.down1.top);
    place(r.down2, {r.down1.left + r.down1.width, r.down1.top, r.down3.left - r.down1.width,
                    r.down2.height});

    // 10-11. Borders reach 100 twips into the bars above and below them.
    place(r.hen1, {0, r.up1.top + r.up1.height - 100, r.hen1.width,
                   r.down1.top - r.up1.height + 100});
    place(r.hen2, {SW - r.hen2.width, r.up3.height - 100, r.hen2.width,
                   r.down3.top - r.up3.height + 100});

    // 12. Movie surface between the borders and the bars.
    place(r.flash, {r.hen1.width, r.up1.height - 70, SW - r.hen1.width - r.hen2.width,
                    SH - r.up1.height - r.down1.height + 50});

    // 13-14. Search preview and picture preview right of the result list (they read
    // the search panel's size from the previous run).
    const int afterList = r.lsearch.left + r.lsearch.width;
    place(r.flash2, {afterList + 50, 0, r.zhss.width - afterList, r.zhss.height});
    place(r.yulanp, {afterList + 50, 300, r.zhss.width - afterList, r.zhss.height});

    // 15-16. Bottom strip and bottom-right corner handles.
    place(r.buttom, {0, SH - r.buttom.height, SW - 220, r.buttom.height});
    move(r.middle, SW - r.middle.width, SH - r.middle.height);

    // 17. Title buttons, left to right from 500 twips left of the right end.
    move(r.Image8[0], r.up3.left - 500, 40);
    for (int i = 1; i < 3; ++i)
        move(r.Image8[i], r.Image8[i - 1].left + r.Image8[i - 1].width, 40);

    // 18-20. Playlist panel and its children.
    place(r.bflb, {r.hen1.width + 50, r.up1.height, SW - 2 * r.hen2.width - 100,
                   SH - r.up1.height - r.down1.height - 100});
    const int afterPlaylist = r.bflblist.left + r.bflblist.width;
    place(r.bflbflash, {afterPlaylist + 450, 100, r.bflb.width - afterPlaylist, r.bflb.height});
    const int buttonHeight = static_cast<int>(roundHalfEven(r.bflblist.height / 2.0)) - 200;
    place(r.Command18, {r.Command18.left, r.Command18.top, r.Command18.width, buttonHeight});
    place(r.Command19, {r.Command19.left, r.Command18.top + r.Command18.height + 50,
                        r.Command19.width, buttonHeight});

    // 21-22. Status line over the bar's middle; bottom-left corner handle.
    place(r.Label6, {r.down2.left, r.down2.top + 360, r.down2.width, r.Label6.height});
    move(r.Label5, 0, SH - r.Label5.height);

    // 23-24. Transport buttons; a wider gap separates stop from the navigation group.
    move(r.Image5[0], r.down1.left + 450, r.down1.top + 340);
    move(r.Image5[1], r.down1.left + r.Image5[0].left + r.Image5[0].width + 50, r.down1.top + 390);
    move(r.Image5[2],
         r.down1.left + r.Image5[0].left + r.Image5[0].width + r.Image5[1].width + 500,
         r.down1.top + 390);
    for (int i = 3; i < 6; ++i)
        move(r.Image5[i], r.Image5[i - 1].left + r.Image5[i - 1].width + 50, r.down1.top + 390);

    // 25-26. Search and converter panels.
    place(r.zhss, {r.hen1.width, r.up1.height - 70, SW - 2 * r.hen2.width,
                   SH - r.up1.height - r.down1.height});
    place(r.convertframe, {r.hen1.width, r.up1.height - 70, SW - r.hen1.width - r.hen2.width,
                           SH - r.up1.height - r.down1.height});

    // 27-29. Converter panel children, bottom up.
    place(r.Picture1, {0, r.convertframe.height - r.Picture1.height, r.convertframe.width,
                       r.Picture1.height});
    place(r.huakuai3, {0, r.Picture1.top - r.huakuai3.height, r.convertframe.width,
                       r.huakuai3.height});
    place(r.convert, {0, r.Command5.height + 50, r.huakuai3.width,
                      r.huakuai3.top - r.Command5.height - 20});

    // 30-31. List scroll bars at the bottom of their panels; the lists end above them.
    move(r.huakuaione, 0, r.zhss.height - r.huakuaione.height);
    place(r.lsearch, {r.lsearch.left, r.lsearch.top, r.lsearch.width, r.huakuaione.top - 580});
    move(r.huakuai2, 0, r.bflb.height - r.huakuai2.height);
    place(r.bflblist, {r.bflblist.left, r.bflblist.top, r.bflblist.width, r.huakuai2.top - 100});

    // 32 (the window region and the repaint) belongs to whoever applies the result.
    return r;
}

} // namespace nimbrel::skin
