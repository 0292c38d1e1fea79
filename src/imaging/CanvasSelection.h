#pragma once
// The selection dragged on the canvas for a crop or a text box, in canvas
// pixels. The frame covers the rectangle between the press and the pointer
// whichever way the drag went, and the crop takes exactly what the frame showed.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <optional>

namespace nimbrel::imaging {

class CanvasSelection {
public:
    void press(QPoint at);
    // Only moves with the left button down resize the frame.
    void move(QPoint at, bool leftButtonDown);
    void release(QPoint at);

    bool selecting() const { return selecting_; }
    bool frameVisible() const { return frameVisible_; }
    void hideFrame() { frameVisible_ = false; }
    QRect frame() const { return frame_; }
    QPoint start() const { return start_; }
    QPoint end() const { return end_; }

    // The part of `canvas` between the press and the release points (signed
    // extents: a drag up or left selects above or left of the press point).
    // Nothing when that part is empty or lies off the canvas.
    std::optional<QImage> crop(const QImage& canvas) const;
    QRect cropRect(QSize canvas) const;

private:
    static QRect between(QPoint a, QPoint b);

    bool selecting_ = false;
    bool frameVisible_ = false;
    QRect frame_;
    QPoint start_;
    QPoint end_;
};

} // namespace nimbrel::imaging
