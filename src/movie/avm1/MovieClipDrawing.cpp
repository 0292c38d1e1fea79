#include "movie/avm1/MovieClipDrawing.h"
#include "movie/avm1/BitmapDataObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/NumberFormat.h"
#include "movie/display/DrawingCanvas.h"
#include "movie/display/MovieClip.h"
#include <cmath>
#include <optional>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;
using display::DrawingCanvas;

// The gradient square is 32768 twips wide: 1638.4 pixels.
constexpr double kGradientPixels = 1638.4;
// Gradients hold 15 records at most.
constexpr int kMaxRecords = 15;

DrawingCanvas* canvasOf(const Value& self) {
    Object* o = self.object();
    if (!o || !o->isMovieClip()) return nullptr;
    display::MovieClip* clip = static_cast<MovieClipObject*>(o)->clip();
    if (!clip) return nullptr;
    if (!clip->drawing) clip->drawing = std::make_shared<DrawingCanvas>();
    return clip->drawing.get();
}

// Pixels to twips, which is where the player keeps drawn points.
double twips(Interpreter& vm, const Value& v) { return std::round(vm.toNumber(v) * 20.0); }

QPointF point(Interpreter& vm, const Value& x, const Value& y) { return QPointF(twips(vm, x), twips(vm, y)); }

uint8_t alphaOf(Interpreter& vm, const Value& v) {
    if (v.isUndefined()) return 255;
    const double a = vm.toNumber(v);
    if (std::isnan(a)) return 255;
    return uint8_t(std::lround(std::clamp(a, 0.0, 100.0) * 2.55));
}

swf::Rgba colorOf(Interpreter& vm, const Value& rgb, uint8_t alpha) {
    const double n = vm.toNumber(rgb);
    const uint32_t c = std::isfinite(n) ? uint32_t(int64_t(n)) : 0;
    return swf::Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), alpha};
}

// A matrix object in pixels: flash.geom.Matrix (a, b, c, d, tx, ty), the older
// 3x3 form (a, b, d, e, g, h) or a box (matrixType "box", x, y, w, h, r). The
// result maps `unit` (gradient square units or bitmap pixels) to twips.
swf::Matrix matrixOf(Interpreter& vm, const Value& m, bool gradient) {
    swf::Matrix out;
    if (!m.isObject()) {
        // No matrix: the gradient square or the bitmap at the origin, unscaled.
        out.a = out.d = gradient ? 1.0 : 20.0;
        return out;
    }
    auto num = [&](const char* name) { return vm.toNumber(vm.getMember(m, QString::fromLatin1(name))); };
    auto has = [&](const char* name) { return !vm.getMember(m, QString::fromLatin1(name)).isUndefined(); };
    double a, b, c, d, tx, ty;
    if (vm.toString(vm.getMember(m, QStringLiteral("matrixType"))) == QLatin1String("box")) {
        const double w = num("w"), h = num("h"), r = has("r") ? num("r") : 0.0;
        const double sx = gradient ? w / kGradientPixels : w, sy = gradient ? h / kGradientPixels : h;
        a = sx * std::cos(r);
        b = sx * std::sin(r);
        c = -sy * std::sin(r);
        d = sy * std::cos(r);
        tx = num("x") + w / 2;
        ty = num("y") + h / 2;
    } else if (has("tx") || has("ty") || has("c")) {
        a = num("a"), b = num("b"), c = num("c"), d = num("d"), tx = num("tx"), ty = num("ty");
    } else {
        a = num("a"), b = num("b"), c = num("d"), d = num("e"), tx = num("g"), ty = num("h");
    }
    auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
    // Gradient units are already twentieths of a pixel; bitmap pixels are not.
    const double k = gradient ? 1.0 : 20.0;
    out.a = finite(a) * k;
    out.b = finite(b) * k;
    out.c = finite(c) * k;
    out.d = finite(d) * k;
    out.tx = finite(tx) * 20.0;
    out.ty = finite(ty) * 20.0;
    return out;
}

// A gradient from beginGradientFill's arguments, or nullopt when they do not make one.
std::optional<swf::FillStyle> gradientOf(Interpreter& vm, Args a) {
    const QString type = vm.toString(arg(a, 0));
    const bool radial = type == QLatin1String("radial");
    if (!radial && type != QLatin1String("linear")) return std::nullopt;
    const Value colors = arg(a, 1), alphas = arg(a, 2), ratios = arg(a, 3);
    if (!colors.isObject() || !alphas.isObject() || !ratios.isObject()) return std::nullopt;
    const int n = clampToInt(vm.toNumber(vm.getMember(colors, QStringLiteral("length"))));
    if (n <= 0 || n != clampToInt(vm.toNumber(vm.getMember(alphas, QStringLiteral("length")))) ||
        n != clampToInt(vm.toNumber(vm.getMember(ratios, QStringLiteral("length")))))
        return std::nullopt;
    swf::FillStyle f;
    for (int i = 0; i < std::min(n, kMaxRecords); ++i) {
        const QString k = QString::number(i);
        swf::GradientRecord r;
        const double ratio = vm.toNumber(vm.getMember(ratios, k));
        r.ratio = uint8_t(std::isfinite(ratio) ? std::clamp(std::lround(ratio), 0L, 255L) : 0);
        r.color = colorOf(vm, vm.getMember(colors, k), alphaOf(vm, vm.getMember(alphas, k)));
        f.gradient.records.push_back(r);
    }
    f.matrix = matrixOf(vm, arg(a, 4), true);
    const QString spread = vm.toString(arg(a, 5));
    f.gradient.spread = spread == QLatin1String("reflect")  ? swf::SpreadMode::Reflect
                        : spread == QLatin1String("repeat") ? swf::SpreadMode::Repeat
                                                            : swf::SpreadMode::Pad;
    if (vm.toString(arg(a, 6)) == QLatin1String("linearRGB"))
        f.gradient.interpolation = swf::InterpolationMode::LinearRgb;
    const double focal = arg(a, 7).isUndefined() ? 0.0 : vm.toNumber(arg(a, 7));
    f.type = !radial ? swf::FillType::LinearGradient : swf::FillType::RadialGradient;
    if (radial && std::isfinite(focal) && focal != 0) {
        f.type = swf::FillType::FocalGradient;
        f.gradient.focalPoint = std::clamp(focal, -1.0, 1.0);
    }
    return f;
}

std::optional<swf::LineStyle> lineOf(Interpreter& vm, Args a) {
    if (arg(a, 0).isUndefined()) return std::nullopt;
    const double px = vm.toNumber(arg(a, 0));
    if (std::isnan(px)) return std::nullopt;
    swf::LineStyle l;
    l.width = uint16_t(std::lround(std::clamp(px, 0.0, 255.0) * 20.0));
    l.color = colorOf(vm, arg(a, 1), alphaOf(vm, arg(a, 2)));
    l.pixelHinting = vm.toBoolean(arg(a, 3));
    const QString scale = vm.toString(arg(a, 4));
    l.noHScale = scale == QLatin1String("none") || scale == QLatin1String("horizontal");
    l.noVScale = scale == QLatin1String("none") || scale == QLatin1String("vertical");
    const QString caps = vm.toString(arg(a, 5));
    l.startCap = l.endCap = caps == QLatin1String("none")     ? swf::CapStyle::None
                            : caps == QLatin1String("square") ? swf::CapStyle::Square
                                                              : swf::CapStyle::Round;
    const QString joints = vm.toString(arg(a, 6));
    l.join = joints == QLatin1String("miter")   ? swf::JoinStyle::Miter
             : joints == QLatin1String("bevel") ? swf::JoinStyle::Bevel
                                                : swf::JoinStyle::Round;
    const double miter = arg(a, 7).isUndefined() ? 3.0 : vm.toNumber(arg(a, 7));
    l.miterLimit = std::isfinite(miter) ? std::clamp(miter, 1.0, 255.0) : 3.0;
    return l;
}

} // namespace

void installMovieClipDrawing(Interpreter& vm) {
    Object* proto = vm.movieClipProto;
    if (!proto) return;
    auto method = [&](const char* name, NativeFunction::Fn fn) {
        vm.addMethod(proto, QString::fromLatin1(name), std::move(fn));
    };
    method("beginFill", [](Interpreter& vm, const Value& self, Args a) {
        if (DrawingCanvas* c = canvasOf(self)) {
            if (arg(a, 0).isUndefined()) {
                c->beginFill(std::nullopt);
            } else {
                swf::FillStyle f;
                f.color = colorOf(vm, arg(a, 0), alphaOf(vm, arg(a, 1)));
                c->beginFill(f);
            }
        }
        return Value();
    });
    method("beginGradientFill", [](Interpreter& vm, const Value& self, Args a) {
        if (DrawingCanvas* c = canvasOf(self)) c->beginFill(gradientOf(vm, a));
        return Value();
    });
    method("beginBitmapFill", [](Interpreter& vm, const Value& self, Args a) {
        DrawingCanvas* c = canvasOf(self);
        if (!c) return Value();
        auto* bmp = dynamic_cast<BitmapDataObject*>(arg(a, 0).object());
        if (!bmp || bmp->disposed()) {
            c->beginFill(std::nullopt);
            return Value();
        }
        swf::FillStyle f;
        f.type = swf::FillType::Bitmap;
        f.bitmapId = c->addBitmap(bmp->image());
        f.matrix = matrixOf(vm, arg(a, 1), false);
        f.clipped = !(arg(a, 2).isUndefined() || vm.toBoolean(arg(a, 2)));
        f.smoothed = vm.toBoolean(arg(a, 3));
        c->beginFill(f);
        return Value();
    });
    method("lineStyle", [](Interpreter& vm, const Value& self, Args a) {
        if (DrawingCanvas* c = canvasOf(self)) c->lineStyle(lineOf(vm, a));
        return Value();
    });
    method("lineGradientStyle", [](Interpreter& vm, const Value& self, Args a) {
        if (DrawingCanvas* c = canvasOf(self))
            if (auto f = gradientOf(vm, a)) c->lineFill(*f);
        return Value();
    });
    method("moveTo", [](Interpreter& vm, const Value& self, Args a) {
        if (DrawingCanvas* c = canvasOf(self)) c->moveTo(point(vm, arg(a, 0), arg(a, 1)));
        return Value();
    });
    method("lineTo", [](Interpreter& vm, const Value& self, Args a) {
        if (DrawingCanvas* c = canvasOf(self)) c->lineTo(point(vm, arg(a, 0), arg(a, 1)));
        return Value();
    });
    method("curveTo", [](Interpreter& vm, const Value& self, Args a) {
        if (DrawingCanvas* c = canvasOf(self))
            c->curveTo(point(vm, arg(a, 0), arg(a, 1)), point(vm, arg(a, 2), arg(a, 3)));
        return Value();
    });
    method("endFill", [](Interpreter&, const Value& self, Args) {
        if (DrawingCanvas* c = canvasOf(self)) c->endFill();
        return Value();
    });
    method("clear", [](Interpreter&, const Value& self, Args) {
        if (DrawingCanvas* c = canvasOf(self)) c->clear();
        return Value();
    });
}

} // namespace nimbrel::movie::avm1
