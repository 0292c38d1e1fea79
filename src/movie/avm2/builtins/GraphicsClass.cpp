#include "movie/avm2/builtins/GraphicsClass.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/display/DrawingCanvas.h"
#include "movie/display/MovieClip.h"
#include <QtMath>

namespace nimbrel::movie::avm2 {

using namespace native;
using display::DrawingCanvas;

namespace {

class GraphicsObject : public ScriptObject {
public:
    std::weak_ptr<display::DisplayObject> owner;
};

DrawingCanvas* canvasOf(Runtime& rt, const Value& self) {
    auto* g = self.isObject() ? dynamic_cast<GraphicsObject*>(self.obj()) : nullptr;
    if (!g) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.display.Graphics")});
    auto clip = std::dynamic_pointer_cast<display::MovieClip>(g->owner.lock());
    if (!clip) return nullptr;
    if (!clip->drawing) clip->drawing = std::make_shared<DrawingCanvas>();
    return clip->drawing.get();
}

swf::Rgba colorOf(Runtime& rt, Args a, int colorAt, int alphaAt) {
    const uint32_t rgb = a.count > colorAt ? rt.toUint32(a[colorAt]) : 0;
    double alpha = numberArg(rt, a, alphaAt, 1.0);
    if (std::isnan(alpha)) alpha = 0;
    swf::Rgba c;
    c.r = uint8_t(rgb >> 16);
    c.g = uint8_t(rgb >> 8);
    c.b = uint8_t(rgb);
    c.a = uint8_t(std::lround(std::clamp(alpha, 0.0, 1.0) * 255.0));
    return c;
}
QPointF at(Runtime& rt, Args a, int i) {
    double x = numberArg(rt, a, i, 0), y = numberArg(rt, a, i + 1, 0);
    if (!std::isfinite(x)) x = 0;
    if (!std::isfinite(y)) y = 0;
    return {x * 20.0, y * 20.0};
}

Value beginFill(Runtime& rt, const Value& s, Args a) {
    if (DrawingCanvas* c = canvasOf(rt, s)) {
        swf::FillStyle f;
        f.color = colorOf(rt, a, 0, 1);
        c->beginFill(f);
    }
    return Value();
}
Value endFill(Runtime& rt, const Value& s, Args) {
    if (DrawingCanvas* c = canvasOf(rt, s)) c->endFill();
    return Value();
}
Value lineStyle(Runtime& rt, const Value& s, Args a) {
    DrawingCanvas* c = canvasOf(rt, s);
    if (!c) return Value();
    const double px = a.count > 0 ? rt.toNumber(a[0]) : NAN;
    if (std::isnan(px)) {
        c->lineStyle(std::nullopt);
        return Value();
    }
    swf::LineStyle l;
    l.width = uint16_t(std::lround(std::clamp(px, 0.0, 255.0) * 20.0));
    l.color = colorOf(rt, a, 1, 2);
    l.pixelHinting = a[3].toBoolean();
    const QString caps = stringArg(rt, a, 5);
    l.startCap = l.endCap = caps == QLatin1String("none")     ? swf::CapStyle::None
                            : caps == QLatin1String("square") ? swf::CapStyle::Square
                                                              : swf::CapStyle::Round;
    const QString joints = stringArg(rt, a, 6);
    l.join = joints == QLatin1String("miter")   ? swf::JoinStyle::Miter
             : joints == QLatin1String("bevel") ? swf::JoinStyle::Bevel
                                                : swf::JoinStyle::Round;
    c->lineStyle(l);
    return Value();
}
Value moveTo(Runtime& rt, const Value& s, Args a) {
    if (DrawingCanvas* c = canvasOf(rt, s)) c->moveTo(at(rt, a, 0));
    return Value();
}
Value lineTo(Runtime& rt, const Value& s, Args a) {
    if (DrawingCanvas* c = canvasOf(rt, s)) c->lineTo(at(rt, a, 0));
    return Value();
}
Value curveTo(Runtime& rt, const Value& s, Args a) {
    if (DrawingCanvas* c = canvasOf(rt, s)) c->curveTo(at(rt, a, 0), at(rt, a, 2));
    return Value();
}
Value clear(Runtime& rt, const Value& s, Args) {
    if (DrawingCanvas* c = canvasOf(rt, s)) c->clear();
    return Value();
}

// An ellipse in the rectangle, as eight quadratic curves starting at its right end.
void ellipse(DrawingCanvas& c, const QRectF& r) {
    const QPointF centre = r.center();
    const double rx = r.width() / 2, ry = r.height() / 2;
    const double step = M_PI / 4, k = 1.0 / std::cos(step / 2);
    c.moveTo(centre + QPointF(rx, 0));
    for (int i = 1; i <= 8; ++i) {
        const double mid = step * (i - 0.5), end = step * i;
        c.curveTo(centre + QPointF(rx * k * std::cos(mid), ry * k * std::sin(mid)),
                  centre + QPointF(rx * std::cos(end), ry * std::sin(end)));
    }
}
Value drawRect(Runtime& rt, const Value& s, Args a) {
    DrawingCanvas* c = canvasOf(rt, s);
    if (!c) return Value();
    const QPointF p = at(rt, a, 0), size = at(rt, a, 2);
    c->moveTo(p);
    c->lineTo(p + QPointF(size.x(), 0));
    c->lineTo(p + size);
    c->lineTo(p + QPointF(0, size.y()));
    c->lineTo(p);
    return Value();
}
Value drawCircle(Runtime& rt, const Value& s, Args a) {
    DrawingCanvas* c = canvasOf(rt, s);
    const QPointF centre = at(rt, a, 0);
    const double r = numberArg(rt, a, 2, 0) * 20.0;
    if (c && std::isfinite(r)) ellipse(*c, QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r)));
    return Value();
}
Value drawEllipse(Runtime& rt, const Value& s, Args a) {
    DrawingCanvas* c = canvasOf(rt, s);
    const QPointF p = at(rt, a, 0), size = at(rt, a, 2);
    if (c) ellipse(*c, QRectF(p, QSizeF(size.x(), size.y())));
    return Value();
}
// Corners as quarter ellipses of ellipseWidth by ellipseHeight (the height defaults to the width).
Value drawRoundRect(Runtime& rt, const Value& s, Args a) {
    DrawingCanvas* c = canvasOf(rt, s);
    if (!c) return Value();
    const QPointF p = at(rt, a, 0), size = at(rt, a, 2);
    double ew = numberArg(rt, a, 4, 0) * 20.0;
    double eh = a.count > 5 && !a[5].isUndefined() ? rt.toNumber(a[5]) * 20.0 : ew;
    if (!std::isfinite(ew)) ew = 0;
    if (!std::isfinite(eh)) eh = 0;
    const double rx = std::min(ew / 2, size.x() / 2), ry = std::min(eh / 2, size.y() / 2);
    const double x0 = p.x(), y0 = p.y(), x1 = p.x() + size.x(), y1 = p.y() + size.y();
    c->moveTo({x1, y1 - ry});
    c->curveTo({x1, y1}, {x1 - rx, y1});
    c->lineTo({x0 + rx, y1});
    c->curveTo({x0, y1}, {x0, y1 - ry});
    c->lineTo({x0, y0 + ry});
    c->curveTo({x0, y0}, {x0 + rx, y0});
    c->lineTo({x1 - rx, y0});
    c->curveTo({x1, y0}, {x1, y0 + ry});
    c->lineTo({x1, y1 - ry});
    return Value();
}

} // namespace

void GraphicsClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.display"), QStringLiteral("Graphics"), rt.builtin(QStringLiteral("Object")), {});
    cls->isFinal = true;
    cls->dynamicInstances = false;
    addMembers(*cls, {{"beginFill", beginFill, 1}, {"endFill", endFill}, {"lineStyle", lineStyle},
                      {"moveTo", moveTo, 2}, {"lineTo", lineTo, 2}, {"curveTo", curveTo, 4}, {"clear", clear},
                      {"drawRect", drawRect, 4}, {"drawCircle", drawCircle, 3}, {"drawEllipse", drawEllipse, 4},
                      {"drawRoundRect", drawRoundRect, 5}});
}

Value GraphicsClass::make(Runtime& rt, EventTargetObject& owner) {
    auto g = std::make_shared<GraphicsObject>();
    ClassObject* cls = rt.builtin(QStringLiteral("flash.display.Graphics"));
    g->cls = cls;
    if (cls) {
        g->proto = cls->prototype;
        g->layOut(cls->instanceTraits);
    }
    g->sealed = true;
    g->owner = owner.displayObject;
    return Value::object(g);
}

} // namespace nimbrel::movie::avm2
