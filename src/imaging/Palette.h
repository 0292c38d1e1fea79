#pragma once
// The editor's colour palette picture: two rows of fourteen swatches, each with a
// sunken border, on light grey. A press picks the colour of the pixel under the
// pointer, so borders and the grey background can be picked too.
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <array>

namespace nimbrel::imaging {

class Palette {
public:
    static constexpr int Width = 260;
    static constexpr int Height = 42;
    static constexpr int Columns = 14;
    static constexpr int FirstSwatchX = 32;
    static constexpr int Pitch = 16;
    static constexpr QRgb Background = 0xFFC0C0C0;

    static const std::array<QRgb, 2 * Columns>& colours();  // row 1 then row 2
    // Outer rectangle of swatch `column` in `row` (0 or 1), border included.
    static QRect swatchRect(int row, int column);
    // Where the current-colour swatch sits, in the grey area at the left.
    static QRect currentColourRect();
    // The picture, drawn once.
    static const QImage& picture();
    // The colour under `at`; the background colour outside the picture.
    static QColor pick(QPoint at);

private:
    static QImage draw();
};

} // namespace nimbrel::imaging
