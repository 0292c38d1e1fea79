#include "help/AboutLayout.h"
#include "platform/Twips.h"

namespace nimbrel::help {

using platform::Twips;

namespace {
constexpr int LabelLeft = 2040;
// The version and maker lines are only 240 twips apart.
constexpr int LabelHeight = 240;
// Wide enough for the longest line at the usual font; ends before the client's edge.
constexpr int LabelWidth = 4170;
// The contact labels act like links: only their text's width answers the pointer.
constexpr int ContactWidth = 3600;
} // namespace

QRect AboutLayout::twips(Control control) {
    switch (control) {
    case Control::Image2: return {1245, 45, 3840, 765}; // centred above the labels
    case Control::Image1: return {600, 960, 720, 720};  // 48 x 48 pixels, left of the labels
    case Control::Label1: return {LabelLeft, 840, LabelWidth, LabelHeight};
    case Control::Label2: return {LabelLeft, 1080, LabelWidth, LabelHeight};
    case Control::Label3Author: return {LabelLeft, 1440, ContactWidth, LabelHeight};
    case Control::Label3Contact: return {LabelLeft, 1800, ContactWidth, LabelHeight};
    case Control::Label4: return {240, 2400, 4200, LabelHeight}; // stops short of the button
    case Control::Command1: return {4560, 2280, 1695, 375};
    }
    return {};
}

QLine AboutLayout::separatorTwips() { return {0, 2160, 6240, 2160}; }

QSize AboutLayout::clientPixels(double dpiX, double dpiY) {
    return {Twips::toPixels(ClientWidth, dpiX), Twips::toPixels(ClientHeight, dpiY)};
}

QRect AboutLayout::pixels(Control control, double dpiX, double dpiY) {
    const QRect t = twips(control);
    // Edges are converted, not sizes, so neighbours never gain or lose a pixel between them.
    const int left = Twips::toPixels(t.x(), dpiX);
    const int top = Twips::toPixels(t.y(), dpiY);
    const int right = Twips::toPixels(t.x() + t.width(), dpiX);
    const int bottom = Twips::toPixels(t.y() + t.height(), dpiY);
    return {left, top, right - left, bottom - top};
}

QLine AboutLayout::separatorPixels(double dpiX, double dpiY) {
    const QLine t = separatorTwips();
    return {Twips::toPixels(t.x1(), dpiX), Twips::toPixels(t.y1(), dpiY),
            Twips::toPixels(t.x2(), dpiX), Twips::toPixels(t.y2(), dpiY)};
}

} // namespace nimbrel::help
