// The palette picture and what a press on it picks.
#include "imaging/Palette.h"
#include <gtest/gtest.h>

using nimbrel::imaging::Palette;

TEST(Palette, PressPicksThePixelUnderThePointer) {
    struct Pick { const char* what; QPoint at; QRgb colour; };
    const QRect black = Palette::swatchRect(0, 0);
    const QRect red = Palette::swatchRect(1, 2);
    const QRect last = Palette::swatchRect(1, 13);
    const Pick picks[] = {
        {"grey corner", {0, 0}, 0xC0C0C0},
        {"grey where the current colour sits", {10, 20}, 0xC0C0C0},
        {"gap between swatches", {black.right() + 1, black.center().y()}, 0xC0C0C0},
        {"black swatch inside", black.center(), 0x000000},
        {"red swatch inside", red.center(), 0xFF0000},
        {"last swatch of row 2", last.center(), 0xFF8040},
        {"row 1, tenth swatch", Palette::swatchRect(0, 9).center(), 0x004040},
        {"row 2, silver swatch", Palette::swatchRect(1, 1).center(), 0xC0C0C0},
        {"sunken border: outer top-left grey", red.topLeft(), 0x808080},
        {"sunken border: inner top-left black", red.topLeft() + QPoint(1, 1), 0x000000},
        {"sunken border: bottom-right white", red.bottomRight(), 0xFFFFFF},
        {"outside the picture", {300, 50}, 0xC0C0C0},
    };
    for (const Pick& p : picks)
        EXPECT_EQ(Palette::pick(p.at).rgb() & 0xFFFFFF, p.colour) << p.what;
}

TEST(Palette, TwentyEightSwatchesFitThePictureWithoutTouching) {
    ASSERT_EQ(Palette::picture().size(), QSize(Palette::Width, Palette::Height));
    EXPECT_EQ(Palette::swatchRect(0, 0).left(), 32);
    EXPECT_EQ(Palette::swatchRect(0, 1).left() - Palette::swatchRect(0, 0).left(), 16);
    EXPECT_TRUE(Palette::picture().rect().contains(Palette::swatchRect(1, 13)));
    EXPECT_FALSE(Palette::swatchRect(0, 0).intersects(Palette::swatchRect(1, 0)));
    EXPECT_FALSE(Palette::currentColourRect().intersects(Palette::swatchRect(0, 0)));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < Palette::Columns; ++col)
            EXPECT_EQ(Palette::pick(Palette::swatchRect(row, col).center()).rgb(),
                      Palette::colours()[row * Palette::Columns + col]) << row << "," << col;
}
