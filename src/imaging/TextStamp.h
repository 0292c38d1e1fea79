#pragma once
// Text written into the canvas picture: line by line from the given top-left
// corner, each line whole (however long), the lines a fixed advance apart that
// depends on the size only.
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <optional>

namespace nimbrel::imaging {

class TextStamp {
public:
    // The size box's text as a whole point size; nothing for text that is not a
    // usable size.
    static std::optional<int> size(const QString& sizeText);
    // Pixels from one line's top to the next: the size plus 0.4 of it.
    static int lineAdvance(int size);
    // Draws every line of `text` with a transparent background. The size in
    // points is taken as pixels at 96 dpi, as on the canvas.
    static void draw(QImage& canvas, const QString& text, const QString& family, int size, QColor colour,
                     QPoint topLeft);

    static constexpr int LargestSize = 1638;
};

} // namespace nimbrel::imaging
