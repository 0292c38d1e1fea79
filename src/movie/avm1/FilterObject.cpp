#include "movie/avm1/FilterObject.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

constexpr double kDegrees = 180.0 / M_PI;

swf::Rgba rgba(double rgb, double alpha)
{
    const uint32_t c = uint32_t(rgb);
    return swf::Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(std::clamp(alpha, 0.0, 1.0) * 255.0)};
}

double rgbOf(const swf::Rgba& c)
{
    return double((uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b);
}

} // namespace

std::optional<swf::Filter> FilterObject::toSwf() const
{
    swf::Filter f;
    f.blurX = number(QStringLiteral("blurX"));
    f.blurY = number(QStringLiteral("blurY"));
    f.passes = int(number(QStringLiteral("quality")));
    f.strength = number(QStringLiteral("strength"));
    f.distance = number(QStringLiteral("distance"));
    f.angle = number(QStringLiteral("angle")) / kDegrees;
    f.knockout = flag(QStringLiteral("knockout"));
    f.inner = flag(QStringLiteral("inner"));
    const QString type = values.value(QStringLiteral("type")).s;
    auto gradient = [this, &f] {
        const auto& colors = lists.value(QStringLiteral("colors"));
        const auto& alphas = lists.value(QStringLiteral("alphas"));
        const auto& ratios = lists.value(QStringLiteral("ratios"));
        const size_t n = std::min({colors.size(), alphas.size(), ratios.size(), size_t(16)});
        for (size_t i = 0; i < n; ++i)
            f.gradient.push_back(swf::GradientRecord{uint8_t(std::clamp(ratios[i], 0.0, 255.0)), rgba(colors[i], alphas[i])});
    };
    auto bevelType = [&f, &type] {
        f.inner = type == QLatin1String("inner");
        f.onTop = type == QLatin1String("full");
    };
    switch (kind) {
    case Kind::Blur:
        f.type = swf::FilterType::Blur;
        break;
    case Kind::DropShadow:
        f.type = swf::FilterType::DropShadow;
        f.color = rgba(number(QStringLiteral("color")), number(QStringLiteral("alpha")));
        f.compositeSource = !flag(QStringLiteral("hideObject"));
        break;
    case Kind::Glow:
        f.type = swf::FilterType::Glow;
        f.color = rgba(number(QStringLiteral("color")), number(QStringLiteral("alpha")));
        f.distance = 0;
        break;
    case Kind::Bevel:
        f.type = swf::FilterType::Bevel;
        f.color = rgba(number(QStringLiteral("shadowColor")), number(QStringLiteral("shadowAlpha")));
        f.highlightColor = rgba(number(QStringLiteral("highlightColor")), number(QStringLiteral("highlightAlpha")));
        bevelType();
        break;
    case Kind::GradientGlow:
    case Kind::GradientBevel:
        f.type = kind == Kind::GradientGlow ? swf::FilterType::GradientGlow : swf::FilterType::GradientBevel;
        gradient();
        bevelType();
        break;
    case Kind::ColorMatrix: {
        f.type = swf::FilterType::ColorMatrix;
        const auto& m = lists.value(QStringLiteral("matrix"));
        for (size_t i = 0; i < 20 && i < m.size(); ++i)
            f.colorMatrix[i] = float(std::isfinite(m[i]) ? m[i] : 0.0);
        break;
    }
    case Kind::Convolution: {
        f.type = swf::FilterType::Convolution;
        f.matrixX = int(number(QStringLiteral("matrixX")));
        f.matrixY = int(number(QStringLiteral("matrixY")));
        const auto& m = lists.value(QStringLiteral("matrix"));
        f.matrix.assign(size_t(f.matrixX) * size_t(f.matrixY), 0.0f);
        for (size_t i = 0; i < f.matrix.size() && i < m.size(); ++i)
            f.matrix[i] = float(m[i]);
        f.divisor = float(number(QStringLiteral("divisor")));
        f.bias = float(number(QStringLiteral("bias")));
        f.preserveAlpha = flag(QStringLiteral("preserveAlpha"));
        f.clamp = flag(QStringLiteral("clamp"));
        f.defaultColor = rgba(number(QStringLiteral("color")), number(QStringLiteral("alpha")));
        break;
    }
    case Kind::DisplacementMap:
        return std::nullopt;
    }
    return f;
}

FilterObject::Kind FilterObject::kindOf(swf::FilterType type)
{
    switch (type) {
    case swf::FilterType::DropShadow: return Kind::DropShadow;
    case swf::FilterType::Blur: return Kind::Blur;
    case swf::FilterType::Glow: return Kind::Glow;
    case swf::FilterType::Bevel: return Kind::Bevel;
    case swf::FilterType::GradientGlow: return Kind::GradientGlow;
    case swf::FilterType::Convolution: return Kind::Convolution;
    case swf::FilterType::ColorMatrix: return Kind::ColorMatrix;
    case swf::FilterType::GradientBevel: return Kind::GradientBevel;
    }
    return Kind::Blur;
}

void FilterObject::setFromSwf(const swf::Filter& f)
{
    auto set = [this](const char* name, const Value& v) {
        if (values.contains(QLatin1String(name)))
            values[QLatin1String(name)] = v;
    };
    set("blurX", Value(f.blurX));
    set("blurY", Value(f.blurY));
    set("quality", Value(f.passes));
    set("strength", Value(f.strength));
    set("distance", Value(f.distance));
    set("angle", Value(std::fmod(f.angle * kDegrees, 360.0)));
    set("knockout", Value(f.knockout));
    set("inner", Value(f.inner));
    set("hideObject", Value(!f.compositeSource));
    set("color", Value(rgbOf(kind == Kind::Convolution ? f.defaultColor : f.color)));
    set("alpha", Value((kind == Kind::Convolution ? f.defaultColor : f.color).a / 255.0));
    set("shadowColor", Value(rgbOf(f.color)));
    set("shadowAlpha", Value(f.color.a / 255.0));
    set("highlightColor", Value(rgbOf(f.highlightColor)));
    set("highlightAlpha", Value(f.highlightColor.a / 255.0));
    set("type", Value(f.onTop ? QStringLiteral("full") : f.inner ? QStringLiteral("inner") : QStringLiteral("outer")));
    set("matrixX", Value(f.matrixX));
    set("matrixY", Value(f.matrixY));
    set("divisor", Value(double(f.divisor)));
    set("bias", Value(double(f.bias)));
    set("preserveAlpha", Value(f.preserveAlpha));
    set("clamp", Value(f.clamp));
    if (kind == Kind::ColorMatrix)
        lists[QStringLiteral("matrix")] = std::vector<double>(f.colorMatrix.begin(), f.colorMatrix.end());
    if (kind == Kind::Convolution)
        lists[QStringLiteral("matrix")] = std::vector<double>(f.matrix.begin(), f.matrix.end());
    if (kind == Kind::GradientGlow || kind == Kind::GradientBevel) {
        std::vector<double> colors, alphas, ratios;
        for (const auto& g : f.gradient) {
            colors.push_back(rgbOf(g.color));
            alphas.push_back(g.color.a / 255.0);
            ratios.push_back(g.ratio);
        }
        lists[QStringLiteral("colors")] = colors;
        lists[QStringLiteral("alphas")] = alphas;
        lists[QStringLiteral("ratios")] = ratios;
    }
}

void FilterObject::markChildren(std::vector<Object*>& out) const
{
    Object::markChildren(out);
    for (const Value& v : values)
        if (Object* o = v.object())
            out.push_back(o);
}

} // namespace nimbrel::movie::avm1
