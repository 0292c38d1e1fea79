#include "imaging/Palette.h"

namespace nimbrel::imaging {

namespace {
constexpr int SwatchWidth = 15;
constexpr int SwatchHeight = 18;
constexpr int RowTop[2] = {3, 22};
constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Grey = 0xFF808080;
constexpr QRgb Black = 0xFF000000;
} // namespace

const std::array<QRgb, 2 * Palette::Columns>& Palette::colours() {
    static const std::array<QRgb, 2 * Columns> table = {
        0xFF000000, 0xFF808080, 0xFF800000, 0xFF808000, 0xFF008000, 0xFF008080, 0xFF000080,
        0xFF800080, 0xFF808040, 0xFF004040, 0xFF0080FF, 0xFF004080, 0xFF4000FF, 0xFF804000,
        0xFFFFFFFF, 0xFFC0C0C0, 0xFFFF0000, 0xFFFFFF00, 0xFF00FF00, 0xFF00FFFF, 0xFF0000FF,
        0xFFFF00FF, 0xFFFFFF80, 0xFF00FF80, 0xFF80FFFF, 0xFF8080FF, 0xFFFF0080, 0xFFFF8040,
    };
    return table;
}

QRect Palette::swatchRect(int row, int column) {
    return QRect(FirstSwatchX + column * Pitch, RowTop[row], SwatchWidth, SwatchHeight);
}

QRect Palette::currentColourRect() { return QRect(4, 6, 22, 30); }

QImage Palette::draw() {
    QImage img(Width, Height, QImage::Format_RGB32);
    img.fill(Background);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < Columns; ++col) {
            const QRect r = swatchRect(row, col);
            const QRgb fill = colours()[row * Columns + col];
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    QRgb c = fill;
                    // Sunken: grey outside and black inside along the top and left,
                    // white along the bottom and right.
                    if (x == r.right() || y == r.bottom())
                        c = White;
                    else if (x == r.left() || y == r.top())
                        c = Grey;
                    else if (x == r.left() + 1 || y == r.top() + 1)
                        c = Black;
                    img.setPixel(x, y, c);
                }
            }
        }
    }
    return img;
}

const QImage& Palette::picture() {
    static const QImage img = draw();
    return img;
}

QColor Palette::pick(QPoint at) {
    if (!picture().rect().contains(at))
        return QColor::fromRgb(Background);
    return QColor::fromRgb(picture().pixel(at));
}

} // namespace nimbrel::imaging
