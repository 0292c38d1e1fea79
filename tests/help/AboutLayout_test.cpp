// The about window's fixed places: the given positions, nothing outside the client
// area or overlapping, and pixel edges that follow the screen's DPI.
#include "help/AboutLayout.h"
#include <gtest/gtest.h>

using nimbrel::help::AboutLayout;
using Control = AboutLayout::Control;

TEST(AboutLayout, LabelsButtonAndSeparatorSitWhereTheWindowPutsThem) {
    struct Case {
        Control control;
        QPoint at;
    };
    const Case cases[] = {
        {Control::Label1, {2040, 840}},        {Control::Label2, {2040, 1080}},
        {Control::Label3Author, {2040, 1440}}, {Control::Label3Contact, {2040, 1800}},
        {Control::Label4, {240, 2400}},        {Control::Command1, {4560, 2280}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AboutLayout::twips(c.control).topLeft(), c.at) << static_cast<int>(c.control);
    EXPECT_EQ(AboutLayout::twips(Control::Command1).size(), QSize(1695, 375));
    EXPECT_EQ(AboutLayout::separatorTwips(), QLine(0, 2160, 6240, 2160));
}

TEST(AboutLayout, EverythingFitsTheClientAreaWithoutOverlapOrCrossingTheSeparator) {
    const QRect client(0, 0, AboutLayout::ClientWidth, AboutLayout::ClientHeight);
    const int sepY = AboutLayout::separatorTwips().y1();
    for (Control a : AboutLayout::All) {
        const QRect ra = AboutLayout::twips(a);
        EXPECT_TRUE(client.contains(ra)) << static_cast<int>(a);
        EXPECT_FALSE(ra.top() <= sepY && ra.bottom() >= sepY) << static_cast<int>(a);
        for (Control b : AboutLayout::All) {
            if (a != b) {
                EXPECT_FALSE(ra.intersects(AboutLayout::twips(b)))
                    << static_cast<int>(a) << " and " << static_cast<int>(b);
            }
        }
    }
}

TEST(AboutLayout, BannerKeepsItsPictureSizeAtNinetySixDpi) {
    EXPECT_EQ(AboutLayout::pixels(Control::Image2, 96, 96).size(), QSize(256, 51));
}

TEST(AboutLayout, PixelPlacesFollowTheDpi) {
    EXPECT_EQ(AboutLayout::clientPixels(96, 96), QSize(422, 187));
    EXPECT_EQ(AboutLayout::pixels(Control::Command1, 96, 96), QRect(304, 152, 113, 25));
    EXPECT_EQ(AboutLayout::separatorPixels(96, 96), QLine(0, 144, 416, 144));
    // 120 dpi: 12 twips a pixel.
    EXPECT_EQ(AboutLayout::clientPixels(120, 120), QSize(528, 234));
    EXPECT_EQ(AboutLayout::pixels(Control::Command1, 120, 120), QRect(380, 190, 141, 31));
    EXPECT_EQ(AboutLayout::pixels(Control::Label1, 120, 144).topLeft(), QPoint(170, 84));
}

TEST(AboutLayout, NeighboursStayApartAtOddDpis) {
    // Rounded edges must not make the disclaimer run into the button or a label
    // spill past the window.
    for (double dpi : {72.0, 96.0, 101.0, 120.0, 144.0, 168.0, 192.0}) {
        const QSize client = AboutLayout::clientPixels(dpi, dpi);
        for (Control c : AboutLayout::All) {
            const QRect r = AboutLayout::pixels(c, dpi, dpi);
            EXPECT_TRUE(QRect(QPoint(0, 0), client).contains(r)) << dpi;
            EXPECT_GT(r.width(), 0);
            EXPECT_GT(r.height(), 0);
        }
        EXPECT_LT(AboutLayout::pixels(Control::Label4, dpi, dpi).right(),
                  AboutLayout::pixels(Control::Command1, dpi, dpi).left())
            << dpi;
    }
}
