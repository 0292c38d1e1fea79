#include "imaging/window/CanvasView.h"
#include <QPainter>

namespace nimbrel::imaging {

namespace {
// The canvas at design time: 13695 x 8895 twips.
constexpr QSize DesignSize(913, 593);
} // namespace

CanvasView::CanvasView(QWidget* parent) : QWidget(parent), canvas_(DesignSize) {
    setObjectName("Picture1");
    resize(DesignSize);
}

void CanvasView::setPicture(const QImage& picture) {
    canvas_.setPicture(picture);
    resize(canvas_.size());
    update();
}

void CanvasView::clear() {
    canvas_.clear();
    update();
}

void CanvasView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, canvas_.image());
}

} // namespace nimbrel::imaging
