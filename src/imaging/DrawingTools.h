#pragma once
// What the canvas tools draw for a press, the moves and the release, on the
// canvas's persistent image, in canvas pixels. Line, rectangle and circle show
// an XOR preview while dragged (the complement of the colour XORed in, so a
// preview over white shows the colour and drawing it twice restores the pixels);
// the release draws the figure at the last previewed point. Pencil and brush
// draw as the pointer moves; the pencil keeps the width another tool last set.
// The eraser box paints its area in the current colour. No widgets here: the
// editor window forwards its events.
#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace nimbrel::imaging {

class DrawingTools {
public:
    enum Mode { Eraser = 0, Line = 1, Rectangle = 2, Circle = 3, Pencil = 4, Brush = 5, Selection = 8 };

    DrawingTools() = default;
    explicit DrawingTools(QImage& surface) : surface_(&surface) {}
    // The image drawn on; the editor swaps it when the canvas gets a new picture.
    void setSurface(QImage& surface) { surface_ = &surface; }

    int mode() const { return mode_; }
    void setMode(int mode) { mode_ = mode; }
    QColor colour() const { return colour_; }
    void setColour(QColor c) { colour_ = c; }
    int drawWidth() const { return width_; }
    bool dragging() const { return dragging_; }

    // True when the press started a drag that may change the canvas. Nothing
    // is drawn before a surface is given.
    bool press(QPointF at);
    void move(QPointF at);
    void release();

    // The eraser box's area painted in the current colour, one row per pixel,
    // with the width last set.
    void paintBox(const QRectF& box);
    // The box's next size for an Up (smaller) or Down (larger) press. The exact
    // size is kept so a box shrunk to a pixel can grow back.
    static QSizeF resizedBox(QSizeF size, bool larger);

private:
    void drawFigure(QPointF to, bool preview, qreal radius = 0);
    static qreal distance(QPointF a, QPointF b);

    QImage* surface_ = nullptr;
    int mode_ = Eraser;
    QColor colour_ = Qt::black;
    int width_ = 1;
    bool dragging_ = false;
    QPointF start_;
    QPointF current_;
    qreal radius_ = 0;
};

} // namespace nimbrel::imaging
