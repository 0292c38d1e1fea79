// The editor's self-sizing layout at 15 twips per pixel on the design client area.
#include "imaging/EditorLayout.h"
#include <gtest/gtest.h>

using nimbrel::imaging::EditorLayout;
using Case = EditorLayout::Case;
using Bar = EditorLayout::Bar;

namespace {

struct LayoutCase {
    const char* name;
    int canvasWidth, canvasHeight;
    Case which;
    std::optional<int> windowWidth, windowHeight, canvasTop;
    std::optional<Bar> mright, bottom;
};

EditorLayout::Input designClient(int canvasWidth, int canvasHeight) {
    EditorLayout::Input in;
    in.canvasWidth = canvasWidth;
    in.canvasHeight = canvasHeight;
    in.clientWidth = 13455;   // 897 px
    in.clientHeight = 8430;   // 562 px
    in.mrightWidth = 255;
    in.bottomHeight = 255;
    return in;
}

void expectBar(const std::optional<Bar>& got, const std::optional<Bar>& want, const char* which) {
    ASSERT_EQ(got.has_value(), want.has_value()) << which;
    if (!want)
        return;
    EXPECT_EQ(got->left, want->left) << which;
    EXPECT_EQ(got->top, want->top) << which;
    EXPECT_EQ(got->length, want->length) << which;
    EXPECT_EQ(got->maximum, want->maximum) << which;
    EXPECT_EQ(got->largeChange, want->largeChange) << which;
}

} // namespace

TEST(EditorLayout, EachCaseSizesTheWindowOrShowsTheBars) {
    const Bar wide{0, 0, 13455 - 380, 20000 - 13455, 1964};  // 1963.5 goes to the even 1964
    const LayoutCase cases[] = {
        {"fits: window hugs the picture", 3000, 2000, Case::Fits, 3500, 3000, {}, {}, {}},
        {"too tall: vertical bar beside the canvas", 3000, 12000, Case::TooTall, 3000 + 255 + 100, {}, 0,
         Bar{3000, 380, 8430 - 380, 12000 - 8430 + 380, 1185}, {}},
        {"too wide: horizontal bar at the top", 20000, 3000, Case::TooWide, {}, 3000 + 255 + 1000, 255, {}, wide},
        {"too wide, tie rounds down to even", 19990, 3000, Case::TooWide, {}, 4255, 255, {},
         Bar{0, 0, 13075, 6535, 1960}},
        {"too big: both bars", 20000, 12000, Case::TooBig, {}, {}, 255, Bar{13455 - 255, 380, 8050, 3570, 1071},
         wide},
        {"too wide and exactly as tall: both bars", 20000, 8430, Case::TooBig, {}, {}, 255,
         Bar{13200, 380, 8050, 0, 0}, wide},
        {"as wide as the client: nothing changes", 13455, 2000, Case::Settled, {}, {}, {}, {}, {}},
        {"under half a pixel narrower is as wide", 13448, 2000, Case::Settled, {}, {}, {}, {}, {}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const EditorLayout::Result r = EditorLayout::compute(designClient(c.canvasWidth, c.canvasHeight));
        EXPECT_EQ(r.which, c.which);
        EXPECT_EQ(r.windowWidth, c.windowWidth);
        EXPECT_EQ(r.windowHeight, c.windowHeight);
        EXPECT_EQ(r.canvasTop, c.canvasTop);
        expectBar(r.mright, c.mright, "mright");
        expectBar(r.bottom, c.bottom, "bottom");
    }
}

TEST(EditorLayout, TallBarFollowsAScrolledCanvasAndOtherDpi) {
    EditorLayout::Input in = designClient(3000, 12000);
    in.canvasLeft = -600;
    EXPECT_EQ(EditorLayout::compute(in).mright->left, 2400);
    // At 120 dpi (12 twips per pixel) the client is 1121 px wide: a 14000-twip canvas (1167 px) is too wide.
    in = designClient(14000, 2000);
    in.twipsPerPixelX = in.twipsPerPixelY = 12.0;
    EXPECT_EQ(EditorLayout::compute(in).which, Case::TooWide);
}
