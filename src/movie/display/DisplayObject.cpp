#include "movie/display/DisplayObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptEngine.h"
#include <cmath>
#include <numbers>

namespace nimbrel::movie::display {

DisplayObject::DisplayObject(Type type, MovieContext* context, uint16_t characterId)
    : type_(type), context_(context), characterId_(characterId) {
    creationOrder_ = context_->objectCreated();
}

DisplayObject::~DisplayObject() { context_->objectDestroyed(); }

int DisplayObject::level() const {
    int n = 0;
    for (const DisplayObject* p = parent_; p; p = p->parent()) ++n;
    return n;
}

void DisplayObject::setName(const QString& name) {
    if (name == name_) return;
    QString old = name_;
    name_ = name;
    context_->scripts().objectRenamed(this, old);
}

QString DisplayObject::path() const {
    if (!parent_) return QStringLiteral("_level0");
    return parent_->path() + QLatin1Char('.') + name_;
}

void DisplayObject::applyPlacement(const swf::PlaceObject& po) {
    if (po.matrix && !transformedByScript) matrix = *po.matrix;
    if (po.cxform && !transformedByScript) cxform = *po.cxform;
    if (po.ratio) ratio = *po.ratio;
    if (po.clipDepth) clipDepth = *po.clipDepth;
    if (po.filters) filters = *po.filters;
    if (po.blendMode) blendMode = *po.blendMode;
    if (po.cacheAsBitmap) cacheAsBitmap = *po.cacheAsBitmap;
    if (po.visible) visible = *po.visible;
    if (po.opaqueBackground) opaqueBackground = po.opaqueBackground;
    if (!po.clipActions.empty()) clipActions = po.clipActions;
    if (po.name) {
        placedName_ = *po.name;
        setName(*po.name);
    }
}

QRectF DisplayObject::boundsInParent() const {
    QRectF r = localBounds();
    if (r.isNull()) return QRectF(matrix.tx, matrix.ty, 0, 0);
    return matrix.toQTransform().mapRect(r);
}

double DisplayObject::xScale() const { return std::hypot(matrix.a, matrix.b) * 100.0; }

double DisplayObject::yScale() const {
    double s = std::hypot(matrix.c, matrix.d) * 100.0;
    // A mirrored matrix shows as a negative vertical scale.
    return matrix.a * matrix.d - matrix.b * matrix.c < 0 ? -s : s;
}

double DisplayObject::rotation() const { return std::atan2(matrix.b, matrix.a) * 180.0 / std::numbers::pi; }

void DisplayObject::setXScale(double percent) {
    double cur = std::hypot(matrix.a, matrix.b);
    double s = percent / 100.0;
    if (cur == 0) {
        double r = rotation() * std::numbers::pi / 180.0;
        matrix.a = s * std::cos(r);
        matrix.b = s * std::sin(r);
    } else {
        matrix.a *= s / cur;
        matrix.b *= s / cur;
    }
}

void DisplayObject::setYScale(double percent) {
    double cur = std::hypot(matrix.c, matrix.d);
    double s = percent / 100.0;
    if (cur == 0) {
        double r = rotation() * std::numbers::pi / 180.0;
        matrix.c = -s * std::sin(r);
        matrix.d = s * std::cos(r);
    } else {
        matrix.c *= s / cur;
        matrix.d *= s / cur;
    }
}

void DisplayObject::setRotation(double degrees) {
    double sx = std::hypot(matrix.a, matrix.b), sy = std::hypot(matrix.c, matrix.d);
    if (matrix.a * matrix.d - matrix.b * matrix.c < 0) sy = -sy;
    double r = degrees * std::numbers::pi / 180.0;
    matrix.a = sx * std::cos(r);
    matrix.b = sx * std::sin(r);
    matrix.c = -sy * std::sin(r);
    matrix.d = sy * std::cos(r);
}

void DisplayObject::setAlpha(double percent) {
    // 8.8 fixed point, cut toward zero and wrapped to 16 bits as the player stores it.
    if (!std::isfinite(percent)) return;
    cxform.aMult = int16_t(uint16_t(int64_t(std::fmod(std::trunc(percent * 256.0 / 100.0), 65536.0))));
}

void DisplayObject::setWidth(double px) {
    QRectF b = localBounds();
    if (b.width() <= 0) return;
    double curW = width();
    if (curW <= 0) return;
    setXScale(xScale() * px / curW);
}

void DisplayObject::setHeight(double px) {
    QRectF b = localBounds();
    if (b.height() <= 0) return;
    double curH = height();
    if (curH <= 0) return;
    setYScale(yScale() * px / curH);
}

void DisplayObject::removed() {
    context_->scripts().clipEvent(this, swf::ClipEventUnload);
    context_->scripts().objectRemoved(this);
}

} // namespace nimbrel::movie::display
