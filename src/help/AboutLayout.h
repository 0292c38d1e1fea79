#pragma once
// Where the about window's pictures, labels, separator and button sit: fixed
// positions in twips on a 6330 x 2805 client area, turned into pixels for a DPI.
#include <QLine>
#include <QRect>
#include <QSize>

namespace nimbrel::help {

class AboutLayout {
public:
    static constexpr int ClientWidth = 6330;
    static constexpr int ClientHeight = 2805;

    enum class Control {
        Image2,        // banner picture, 256 x 51 pixels at 96 dpi
        Image1,        // the program's icon picture
        Label1,        // version
        Label2,        // maker notice
        Label3Author,  // Label3(1)
        Label3Contact, // Label3(0)
        Label4,        // disclaimer
        Command1,      // close button
    };
    static constexpr Control All[] = {Control::Image2, Control::Image1, Control::Label1,
                                      Control::Label2, Control::Label3Author, Control::Label3Contact,
                                      Control::Label4, Control::Command1};

    static QRect twips(Control control);
    // Line1, the horizontal separator.
    static QLine separatorTwips();

    static QSize clientPixels(double dpiX, double dpiY);
    static QRect pixels(Control control, double dpiX, double dpiY);
    static QLine separatorPixels(double dpiX, double dpiY);
};

} // namespace nimbrel::help
