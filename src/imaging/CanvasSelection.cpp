#include "imaging/CanvasSelection.h"
#include <algorithm>
#include <cstdlib>

namespace nimbrel::imaging {

QRect CanvasSelection::between(QPoint a, QPoint b) {
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QSize(std::abs(b.x() - a.x()), std::abs(b.y() - a.y())));
}

void CanvasSelection::press(QPoint at) {
    start_ = at;
    frame_ = QRect(at, QSize(0, 0));
    selecting_ = true;
}

void CanvasSelection::move(QPoint at, bool leftButtonDown) {
    if (!leftButtonDown)
        return;
    if (!selecting_) {
        frameVisible_ = false;
        return;
    }
    frame_ = between(start_, at);
    frameVisible_ = true;
}

void CanvasSelection::release(QPoint at) {
    selecting_ = false;
    end_ = at;
}

QRect CanvasSelection::cropRect(QSize canvas) const {
    return between(start_, end_).intersected(QRect(QPoint(0, 0), canvas));
}

std::optional<QImage> CanvasSelection::crop(const QImage& canvas) const {
    const QRect r = cropRect(canvas.size());
    if (r.isEmpty())
        return std::nullopt;
    return canvas.copy(r);
}

} // namespace nimbrel::imaging
