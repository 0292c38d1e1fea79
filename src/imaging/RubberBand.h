#pragma once
// The capture's selection: the rectangle between the press point and the pointer,
// the inverted one-pixel frame and the centred "WxH" label drawn on the frozen
// screen picture, and the copy of the chosen area. Inverting is its own undo:
// painting the same rectangle twice leaves the picture as it was.
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

namespace nimbrel::imaging {

class RubberBand {
public:
    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;
        int width() const { return right - left; }
        int height() const { return bottom - top; }
        bool isEmpty() const { return width() <= 0 || height() <= 0; }
        bool operator==(const Rect&) const = default;
    };

    // Right and left exchanged when right < left, then bottom and top likewise.
    static Rect normalised(Rect r);
    // The rectangle of a drag from `anchor` to `current`, normalised.
    static Rect fromDrag(QPoint anchor, QPoint current);
    static QString labelText(const Rect& r);  // "320x200"
    // Top-left of a label of `textSize` centred in `r`, halves to even.
    static QPoint labelPosition(const Rect& r, QSize textSize);

    // Inverts the frame and the label on `picture`, whose top-left pixel is at
    // `origin`; an empty rectangle paints nothing.
    static void paint(QImage& picture, QPoint origin, const Rect& r, const QFont& font);
    // The area of `picture` (top-left at `origin`) under `r`; a null picture when empty.
    static QImage copy(const QImage& picture, QPoint origin, const Rect& r);

private:
    static void invertBar(QImage& picture, int x, int y, int width, int height);
};

} // namespace nimbrel::imaging
