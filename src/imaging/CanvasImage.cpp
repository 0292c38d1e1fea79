#include "imaging/CanvasImage.h"
#include <QPainter>

namespace nimbrel::imaging {

CanvasImage::CanvasImage(QSize size, QColor background)
    : background_(background), image_(size, QImage::Format_RGB32) {
    image_.fill(background_);
}

void CanvasImage::setPicture(const QImage& picture) {
    image_ = QImage(picture.size(), QImage::Format_RGB32);
    image_.fill(background_);
    if (picture.isNull())
        return;
    // Transparent parts of a GIF show the background, as on the canvas.
    QPainter p(&image_);
    p.drawImage(0, 0, picture);
}

void CanvasImage::clear() { image_.fill(background_); }

} // namespace nimbrel::imaging
