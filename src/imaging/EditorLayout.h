#pragma once
// The editor's self-sizing layout: given the canvas and the client area in twips,
// which window size, canvas top and scroll bars to apply. Pure; the window applies it.
#include <optional>

namespace nimbrel::imaging {

class EditorLayout {
public:
    // The scroll bars' strip the layout leaves for the tool panel and the menu, twips.
    static constexpr int TopStrip = 380;
    // Margins the window keeps around a picture that fits, twips.
    static constexpr int FitExtraWidth = 500;
    static constexpr int FitExtraHeight = 1000;
    static constexpr int TallExtraWidth = 100;

    struct Input {
        int canvasLeft = 0;
        int canvasWidth = 0;
        int canvasHeight = 0;
        int clientWidth = 0;
        int clientHeight = 0;
        int mrightWidth = 0;   // vertical bar's thickness
        int bottomHeight = 0;  // horizontal bar's thickness
        double twipsPerPixelX = 15.0;
        double twipsPerPixelY = 15.0;
    };
    struct Bar {
        int left = 0;
        int top = 0;
        int length = 0;  // height of mright, width of bottom
        int maximum = 0;
        int largeChange = 0;
    };
    enum class Case { Settled, Fits, TooTall, TooWide, TooBig };
    struct Result {
        Case which = Case::Settled;
        std::optional<int> windowWidth;
        std::optional<int> windowHeight;
        std::optional<int> canvasTop;
        std::optional<Bar> mright;  // shown when set
        std::optional<Bar> bottom;  // shown when set
    };

    static Result compute(const Input& in);
    // Nearest integer, halves to the even neighbour.
    static int whole(double v);
};

} // namespace nimbrel::imaging
