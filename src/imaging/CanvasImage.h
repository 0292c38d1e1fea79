#pragma once
// The canvas's persistent image: its background, the picture last given to it and
// everything drawn since, in one image of the canvas's size. What the canvas shows
// and what saving writes are the same pixels.
#include <QColor>
#include <QImage>
#include <QSize>

namespace nimbrel::imaging {

class CanvasImage {
public:
    explicit CanvasImage(QSize size, QColor background = QColor(0xC0, 0xC0, 0xC0));

    // The canvas takes the picture's size; earlier drawings are gone. A null
    // picture leaves an empty (zero-size) canvas.
    void setPicture(const QImage& picture);
    // No picture: only the background colour shows, at the current size.
    void clear();

    const QImage& image() const { return image_; }
    // Drawing tools paint here; the changes persist.
    QImage& surface() { return image_; }
    QSize size() const { return image_.size(); }
    QColor background() const { return background_; }

private:
    QColor background_;
    QImage image_;
};

} // namespace nimbrel::imaging
