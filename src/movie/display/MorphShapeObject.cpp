#include "movie/display/MorphShapeObject.h"

namespace nimbrel::movie::display {

QRectF MorphShapeObject::localBounds() const {
    const double t = morphRatio();
    const QRectF a = def_->startBounds.toQRectF(), b = def_->endBounds.toQRectF();
    auto mix = [t](double x, double y) { return x + (y - x) * t; };
    return QRectF(QPointF(mix(a.left(), b.left()), mix(a.top(), b.top())),
                  QPointF(mix(a.right(), b.right()), mix(a.bottom(), b.bottom())));
}

} // namespace nimbrel::movie::display
