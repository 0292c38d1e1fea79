#pragma once
// The canvas Picture1: shows the persistent image at its own size.
#include "imaging/CanvasImage.h"
#include <QWidget>

namespace nimbrel::imaging {

class CanvasView : public QWidget {
    Q_OBJECT
public:
    explicit CanvasView(QWidget* parent = nullptr);

    CanvasImage& canvas() { return canvas_; }
    const CanvasImage& canvas() const { return canvas_; }
    // The canvas takes the picture's size.
    void setPicture(const QImage& picture);
    void clear();
    QColor penColour() const { return pen_; }
    void setPenColour(QColor c) { pen_ = c; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    CanvasImage canvas_;
    QColor pen_ = Qt::black;
};

} // namespace nimbrel::imaging
