#include "movie/render/GradientBrush.h"
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

namespace nimbrel::movie::render {

namespace {

constexpr double kGradientHalf = 16384.0;
// Flash samples a 256-entry ramp: ratio r sits at r/256 of the gradient square.
constexpr double kRatioScale = 256.0;
constexpr double kRatiosPerStep = 2.0; // linear-RGB stops: one per this many ratio units

double toLinear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double toSrgb(double c) { return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055; }

QColor mixLinear(const QColor& a, const QColor& b, double t) {
    auto ch = [t](double x, double y) {
        return std::clamp(toSrgb(toLinear(x) * (1 - t) + toLinear(y) * t), 0.0, 1.0);
    };
    return QColor::fromRgbF(float(ch(a.redF(), b.redF())), float(ch(a.greenF(), b.greenF())),
                            float(ch(a.blueF(), b.blueF())), float(a.alphaF() * (1 - t) + b.alphaF() * t));
}

QGradient::Spread spreadOf(swf::SpreadMode m) {
    switch (m) {
    case swf::SpreadMode::Reflect: return QGradient::ReflectSpread;
    case swf::SpreadMode::Repeat: return QGradient::RepeatSpread;
    default: return QGradient::PadSpread;
    }
}

} // namespace

QGradientStops gradientStops(const swf::Gradient& g, const swf::ColorTransform& cx, GradientRamp ramp) {
    QGradientStops stops;
    stops.reserve(qsizetype(g.records.size()) * 2);
    const bool identity = cx.isIdentity();
    // Flash draws gradients from a 256-entry ramp. Every record owns the cell
    // at its ratio; a ratio not above the previous one moves up a cell, so
    // repeated ratios show as one-cell bands. Colours blend between cells.
    constexpr double kEdge = 1e-4;
    int previous = -1;
    for (const swf::GradientRecord& rec : g.records) {
        const int ratio = std::max(int(rec.ratio), previous + 1);
        if (ratio > 255) break;
        const QColor c = (identity ? rec.color : cx.apply(rec.color)).toQColor();
        if (ramp == GradientRamp::Points) {
            stops.append({ratio / 255.0, c});
        } else {
            stops.append({ratio / kRatioScale, c});
            stops.append({(ratio + 1) / kRatioScale - kEdge, c});
        }
        previous = ratio;
    }
    if (g.interpolation != swf::InterpolationMode::LinearRgb || stops.size() < 2) return stops;
    QGradientStops expanded;
    expanded.reserve(160);
    for (qsizetype i = 0; i + 1 < stops.size(); ++i) {
        const auto& a = stops[i];
        const auto& b = stops[i + 1];
        expanded.append(a);
        if (b.first <= a.first) continue;
        // The sRGB curve is steep near black: sample about every two ratio steps.
        const int steps = std::max(2, int((b.first - a.first) * kRatioScale / kRatiosPerStep));
        for (int k = 1; k < steps; ++k) {
            double t = double(k) / steps;
            expanded.append({a.first + (b.first - a.first) * t, mixLinear(a.second, b.second, t)});
        }
    }
    expanded.append(stops.back());
    return expanded;
}

QBrush gradientBrush(const swf::FillStyle& fill, const swf::ColorTransform& cx, GradientRamp ramp) {
    if (fill.gradient.records.empty()) return Qt::NoBrush;
    if (fill.gradient.records.size() == 1) {
        swf::Rgba c = cx.apply(fill.gradient.records.front().color);
        return QBrush(c.toQColor());
    }
    QGradientStops stops = gradientStops(fill.gradient, cx, ramp);
    QBrush brush;
    if (fill.type == swf::FillType::LinearGradient) {
        QLinearGradient lg(-kGradientHalf, 0, kGradientHalf, 0);
        lg.setStops(stops);
        lg.setSpread(spreadOf(fill.gradient.spread));
        // Flash blends the straight (unpremultiplied) colour channels.
        lg.setInterpolationMode(QGradient::ComponentInterpolation);
        brush = QBrush(lg);
    } else {
        double focal = fill.type == swf::FillType::FocalGradient ? fill.gradient.focalPoint * kGradientHalf : 0.0;
        // A focal point exactly on the rim makes Qt's cone degenerate.
        focal = std::clamp(focal, -kGradientHalf * 0.999, kGradientHalf * 0.999);
        QRadialGradient rg(QPointF(0, 0), kGradientHalf, QPointF(focal, 0));
        rg.setStops(stops);
        rg.setSpread(spreadOf(fill.gradient.spread));
        rg.setInterpolationMode(QGradient::ComponentInterpolation);
        brush = QBrush(rg);
    }
    brush.setTransform(fill.matrix.toQTransform());
    return brush;
}

} // namespace nimbrel::movie::render
