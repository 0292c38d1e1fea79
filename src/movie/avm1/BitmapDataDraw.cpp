#include "movie/avm1/BitmapDataDraw.h"
#include "movie/avm1/BitmapDataObject.h"
#include "movie/avm1/ColorTransformObject.h"
#include "movie/avm1/FilterObject.h"
#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/MovieContext.h"
#include "movie/render/FilterPainter.h"
#include "movie/render/StageRenderer.h"
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

// A flash.geom.Matrix (any object with a, b, c, d, tx, ty) in pixels; identity otherwise.
QTransform matrixArg(Interpreter& vm, const Value& v)
{
    if (!v.isObject())
        return QTransform();
    double m[6];
    const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
    for (int i = 0; i < 6; ++i) {
        const Value part = vm.getMember(v, QLatin1String(names[i]));
        if (part.isUndefined())
            return QTransform();
        m[i] = vm.toNumber(part);
        if (!std::isfinite(m[i]))
            return QTransform();
    }
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

// The clip rectangle in bitmap pixels, when an object with x, y, width and height is given.
std::optional<QRectF> clipArg(Interpreter& vm, const Value& v)
{
    if (!v.isObject())
        return std::nullopt;
    double r[4];
    const char* names[] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
        const Value part = vm.getMember(v, QLatin1String(names[i]));
        if (part.isUndefined())
            return std::nullopt;
        r[i] = vm.toNumber(part);
    }
    return QRectF(r[0], r[1], r[2], r[3]);
}

swf::ColorTransform colorArg(const Value& v)
{
    if (auto* cx = dynamic_cast<ColorTransformObject*>(v.object()))
        return cx->toSwf();
    return swf::ColorTransform{};
}

std::optional<swf::Filter> filterArg(const Value& v)
{
    auto* filter = dynamic_cast<FilterObject*>(v.object());
    return filter ? filter->toSwf() : std::nullopt;
}

std::optional<QRect> pixelRectArg(Interpreter& vm, const Value& v)
{
    const auto r = clipArg(vm, v);
    if (!r)
        return std::nullopt;
    return QRect(vm.toInt32(Value(r->x())), vm.toInt32(Value(r->y())), vm.toInt32(Value(r->width())),
                 vm.toInt32(Value(r->height())));
}

} // namespace

Value applyFilterToBitmap(Interpreter& vm, BitmapDataObject& target, const std::vector<Value>& args)
{
    if (args.size() < 4)
        return Value(-1);
    auto* source = dynamic_cast<BitmapDataObject*>(args[0].object());
    if (!source)
        return Value(-2);
    if (source->disposed())
        return Value(-3);
    const auto area = pixelRectArg(vm, args[1]);
    if (!area)
        return Value(-4);
    const auto filter = filterArg(args[3]);
    if (!filter)
        return Value(-1);
    QPoint at(0, 0);
    if (args[2].isObject())
        at = QPoint(vm.toInt32(vm.getMember(args[2], QStringLiteral("x"))),
                    vm.toInt32(vm.getMember(args[2], QStringLiteral("y"))));
    const QRect from = area->intersected(source->rect());
    if (from.isEmpty())
        return Value(0);
    at += from.topLeft() - area->topLeft();
    QPoint offset;
    const QImage filtered = render::applyFilters(source->image()->copy(from), {*filter}, 1.0, 1.0, &offset);
    QPainter p(target.image().get());
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(at + offset, filtered);
    p.end();
    if (!target.transparent())
        for (int y = 0; y < target.height(); ++y) // opaque bitmaps keep full alpha
            for (int x = 0; x < target.width(); ++x)
                target.setPixel32(x, y, target.pixel32(x, y));
    return Value(0);
}

Value filterRectOf(Interpreter& vm, const std::vector<Value>& args)
{
    const auto area = pixelRectArg(vm, args.empty() ? Value() : args[0]);
    const auto filter = filterArg(args.size() > 1 ? args[1] : Value());
    if (!area || !filter)
        return Value(-1);
    const QRect r = render::filterMargin(*area, {*filter}, 1.0, 1.0);
    return newPackageInstance(vm, QStringLiteral("geom"), QStringLiteral("Rectangle"),
                              {Value(r.x()), Value(r.y()), Value(r.width()), Value(r.height())});
}

Value drawIntoBitmap(Interpreter& vm, BitmapDataObject& target, const std::vector<Value>& args)
{
    if (args.empty() || !args[0].isObject())
        return Value(-1);
    const QTransform matrix = matrixArg(vm, args.size() > 1 ? args[1] : Value());
    const swf::ColorTransform cx = colorArg(args.size() > 2 ? args[2] : Value());
    const auto clipRect = clipArg(vm, args.size() > 4 ? args[4] : Value());
    const bool smoothing = args.size() > 5 && vm.toBoolean(args[5]);
    QImage& pixels = *target.image();
    QPainterPath clip;
    if (clipRect)
        clip.addRect(clipRect->intersected(QRectF(pixels.rect())));

    if (auto* bitmap = dynamic_cast<BitmapDataObject*>(args[0].object())) {
        if (bitmap->disposed())
            return Value(-1);
        // Copied first: a bitmap may be drawn into itself.
        QImage source = bitmap->image()->copy();
        if (!cx.isIdentity())
            for (int y = 0; y < source.height(); ++y) {
                auto* line = reinterpret_cast<uint32_t*>(source.scanLine(y));
                for (int x = 0; x < source.width(); ++x) {
                    const uint32_t c = BitmapDataObject::unpremultiply(line[x]);
                    const swf::Rgba out = cx.apply({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)});
                    line[x] = BitmapDataObject::premultiply((uint32_t(out.a) << 24) | (uint32_t(out.r) << 16) |
                                                            (uint32_t(out.g) << 8) | out.b);
                }
            }
        QPainter p(&pixels);
        p.setRenderHint(QPainter::SmoothPixmapTransform, smoothing);
        if (clipRect)
            p.setClipPath(clip);
        p.setTransform(matrix);
        p.drawImage(0, 0, source);
        return Value();
    }

    auto* script = dynamic_cast<MovieClipObject*>(args[0].object());
    display::DisplayObject* object = script ? script->display() : nullptr;
    if (!object)
        return Value(-1);
    const swf::Movie* movie = object->context() ? object->context()->movie().get() : vm.movie.get();
    if (!movie)
        return Value(-1);
    render::StageRenderer renderer(*movie);
    // Display objects keep twips; the matrix is in pixels.
    renderer.drawDetached(pixels, *object, QTransform::fromScale(0.05, 0.05) * matrix, cx,
                          clipRect ? &clip : nullptr);
    return Value();
}

} // namespace nimbrel::movie::avm1
