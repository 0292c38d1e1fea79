#include "movie/render/StageLayout.h"
#include <algorithm>

namespace nimbrel::movie::render {

QTransform StageLayout::transform(const QRectF& view, const QSizeF& viewport, ScaleMode mode) {
    if (view.width() <= 0 || view.height() <= 0 || viewport.isEmpty()) return QTransform::fromScale(0, 0);
    double sx = viewport.width() / view.width();
    double sy = viewport.height() / view.height();
    if (mode == ScaleMode::ShowAll) sx = sy = std::min(sx, sy);
    else if (mode == ScaleMode::NoBorder) sx = sy = std::max(sx, sy);
    // Centre the view in the viewport.
    const double dx = (viewport.width() - view.width() * sx) / 2 - view.left() * sx;
    const double dy = (viewport.height() - view.height() * sy) / 2 - view.top() * sy;
    return QTransform(sx, 0, 0, sy, dx, dy);
}

QRectF StageLayout::zoom(const QRectF& view, const QRectF& stage, int percent) {
    if (percent <= 0) return stage;
    const double f = percent / 100.0;
    QSizeF size(view.width() * f, view.height() * f);
    // Between one pixel of stage and a hundred stages: further zooming does nothing.
    const double minSide = 20, maxFactor = 100;
    if (size.width() < minSide || size.height() < minSide) return view;
    if (size.width() > stage.width() * maxFactor || size.height() > stage.height() * maxFactor) return view;
    QRectF r(QPointF(0, 0), size);
    r.moveCenter(view.center());
    return r;
}

} // namespace nimbrel::movie::render
