#pragma once
// A rectangle in twips as the window toolkit keeps it: left, top, width, height.
// Unlike QRect it has no "right() == left + width - 1" convention, so the layout
// arithmetic reads exactly as the placement rules are written.
namespace nimbrel::skin {

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const TwipRect&) const = default;
};

} // namespace nimbrel::skin
