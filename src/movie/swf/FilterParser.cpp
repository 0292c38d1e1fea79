#include "movie/swf/FilterParser.h"
#include <cmath>

namespace nimbrel::movie::swf {

namespace {

// Blur and distance beyond this are nonsense and would make huge images.
constexpr double kMaxBlur = 255.0;
constexpr double kMaxDistance = 4096.0;

double sane(double v, double max) {
    if (!std::isfinite(v)) return 0;
    return std::clamp(v, -max, max);
}

void readBlur(BitReader& r, Filter& f) {
    f.blurX = std::max(0.0, sane(r.fixed16(), kMaxBlur));
    f.blurY = std::max(0.0, sane(r.fixed16(), kMaxBlur));
}

void readAngleDistance(BitReader& r, Filter& f) {
    f.angle = sane(r.fixed16(), 1e6);
    f.distance = sane(r.fixed16(), kMaxDistance);
}

std::vector<GradientRecord> readGradientColors(BitReader& r) {
    int n = r.u8();
    std::vector<GradientRecord> g(n);
    for (auto& rec : g) rec.color = r.rgba();
    for (auto& rec : g) rec.ratio = r.u8();
    return g;
}

bool readFilter(BitReader& r, Filter& f) {
    f.type = FilterType(r.u8());
    switch (f.type) {
    case FilterType::DropShadow:
        f.color = r.rgba();
        readBlur(r, f);
        readAngleDistance(r, f);
        f.strength = r.fixed8();
        f.inner = r.ub(1);
        f.knockout = r.ub(1);
        f.compositeSource = r.ub(1);
        f.passes = int(r.ub(5));
        break;
    case FilterType::Blur:
        readBlur(r, f);
        f.passes = int(r.ub(5));
        r.ub(3);
        break;
    case FilterType::Glow:
        f.color = r.rgba();
        readBlur(r, f);
        f.strength = r.fixed8();
        f.inner = r.ub(1);
        f.knockout = r.ub(1);
        f.compositeSource = r.ub(1);
        f.passes = int(r.ub(5));
        break;
    case FilterType::Bevel:
        // Files store the highlight first, then the shadow.
        f.highlightColor = r.rgba();
        f.color = r.rgba();
        readBlur(r, f);
        readAngleDistance(r, f);
        f.strength = r.fixed8();
        f.inner = r.ub(1);
        f.knockout = r.ub(1);
        f.compositeSource = r.ub(1);
        f.onTop = r.ub(1);
        f.passes = int(r.ub(4));
        break;
    case FilterType::GradientGlow:
    case FilterType::GradientBevel:
        f.gradient = readGradientColors(r);
        readBlur(r, f);
        readAngleDistance(r, f);
        f.strength = r.fixed8();
        f.inner = r.ub(1);
        f.knockout = r.ub(1);
        f.compositeSource = r.ub(1);
        f.onTop = r.ub(1);
        f.passes = int(r.ub(4));
        break;
    case FilterType::Convolution: {
        f.matrixX = r.u8();
        f.matrixY = r.u8();
        f.divisor = r.f32();
        f.bias = r.f32();
        const size_t n = size_t(f.matrixX) * size_t(f.matrixY);
        if (n * 4 > r.remaining()) return false;
        f.matrix.resize(n);
        for (float& v : f.matrix) v = r.f32();
        f.defaultColor = r.rgba();
        r.ub(6);
        f.clamp = r.ub(1);
        f.preserveAlpha = r.ub(1);
        break;
    }
    case FilterType::ColorMatrix:
        for (float& v : f.colorMatrix) v = r.f32();
        break;
    default:
        return false;
    }
    if (!std::isfinite(f.strength)) f.strength = 0;
    return !r.failed();
}

} // namespace

std::vector<Filter> parseFilterList(BitReader& r) {
    std::vector<Filter> filters;
    const int n = r.u8();
    for (int i = 0; i < n && !r.failed(); ++i) {
        Filter f;
        if (!readFilter(r, f)) {
            if (!r.failed()) r.skip(r.remaining() + 1); // unknown filter: mark the reader failed
            break;
        }
        filters.push_back(std::move(f));
    }
    return filters;
}

} // namespace nimbrel::movie::swf
