#include "movie/render/FilterPainter.h"
#include "movie/render/FilterBlur.h"
#include <QMargins>
#include <array>
#include <cmath>

namespace nimbrel::movie::render {

namespace {

using swf::Filter;
using swf::FilterType;

// Flash caps passes at 15 and boxes at 255 px; keep device sizes sane too.
constexpr int kMaxPasses = 15;
constexpr double kMaxBox = 1024.0;
// Room a single filter may add on each side, and the largest image filters
// work on; beyond that the remaining filters are skipped.
constexpr int kMaxMargin = 1024;
constexpr qint64 kMaxPixels = 4096LL * 4096;

int passesOf(const Filter& f) { return std::clamp(f.passes, 0, kMaxPasses); }
// The blur filter's box is the largest odd whole width not above its blur
// (three pixels and up), so every pass stays centred on its pixel: a blur of
// 20 ramps over 19 pixels, as the reference pictures show. Glows, shadows and
// bevels keep the exact width, fractional edges weighted.
double box(const Filter& f, double blur) {
    if (f.type == FilterType::Blur && blur >= 3.0) blur = 2.0 * std::floor((blur - 1.0) / 2.0) + 1.0;
    return std::min(kMaxBox, blur);
}
double boxX(const Filter& f, double sx) { return box(f, f.blurX * std::abs(sx)); }
double boxY(const Filter& f, double sy) { return box(f, f.blurY * std::abs(sy)); }

bool hasOffset(const Filter& f) {
    return f.type == FilterType::DropShadow || f.type == FilterType::Bevel || f.type == FilterType::GradientGlow ||
           f.type == FilterType::GradientBevel;
}

QPoint shiftOf(const Filter& f, double sx, double sy) {
    if (!hasOffset(f)) return {};
    return QPoint(int(std::lround(std::cos(f.angle) * f.distance * sx)),
                  int(std::lround(std::sin(f.angle) * f.distance * sy)));
}

QMargins marginOf(const Filter& f, double sx, double sy) {
    switch (f.type) {
    case FilterType::ColorMatrix:
        return {};
    case FilterType::Convolution:
        return {};
    default:
        break;
    }
    const int rx = boxReach(boxX(f, sx)) * passesOf(f);
    const int ry = boxReach(boxY(f, sy)) * passesOf(f);
    const QPoint d = shiftOf(f, sx, sy);
    // Bevels shift both ways (highlight and shadow).
    const bool both = f.type == FilterType::Bevel || f.type == FilterType::GradientBevel;
    int l = rx + std::max(0, both ? std::abs(d.x()) : -d.x());
    int r = rx + std::max(0, both ? std::abs(d.x()) : d.x());
    int t = ry + std::max(0, both ? std::abs(d.y()) : -d.y());
    int b = ry + std::max(0, both ? std::abs(d.y()) : d.y());
    if (f.inner && f.type != FilterType::Blur) return {}; // inner effects stay inside the object
    auto cap = [](int v) { return std::min(v, kMaxMargin); };
    return {cap(l), cap(t), cap(r), cap(b)};
}

// The blur a filter asks for, before any planning.
BlurPlan askedBlur(const Filter& f, double sx, double sy) { return {boxX(f, sx), boxY(f, sy), passesOf(f)}; }

// How far around a pixel a filter reads its input, on every side, when its
// blur runs as `blur`.
QMargins reachOf(const Filter& f, const BlurPlan& blur, double sx, double sy) {
    if (f.type == FilterType::ColorMatrix) return {};
    if (f.type == FilterType::Convolution) return {f.matrixX / 2 + 1, f.matrixY / 2 + 1, f.matrixX / 2 + 1, f.matrixY / 2 + 1};
    const QPoint d = shiftOf(f, sx, sy);
    const int x = planReachX(blur) + std::abs(d.x()) + 1;
    const int y = planReachY(blur) + std::abs(d.y()) + 1;
    return {x, y, x, y};
}

QImage padded(const QImage& src, const QMargins& m) {
    if (m.isNull()) return src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(src.width() + m.left() + m.right(), src.height() + m.top() + m.bottom(),
               QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    for (int y = 0; y < src.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(out.scanLine(y + m.top())) + m.left();
        std::copy(s, s + src.width(), d);
    }
    return out;
}

Plane alphaPlane(const QImage& img, bool inverted) {
    const int w = img.width(), h = img.height();
    Plane p{w, h, std::vector<uint8_t>(size_t(w) * h)};
    const uint8_t flip = inverted ? 255 : 0;
    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uint8_t* d = p.v.data() + size_t(y) * w;
        for (int x = 0; x < w; ++x) d[x] = uint8_t(qAlpha(s[x]) ^ flip);
    }
    return p;
}

// Mask values after strength: v * strength, clamped.
std::array<uint8_t, 256> strengthTable(double strength) {
    std::array<uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v) t[v] = uint8_t(std::clamp(int(std::lround(v * strength)), 0, 255));
    return t;
}

// Row y of a plane shifted by (dx, dy): out[x] = plane(x - dx, y - dy), zero outside.
void shiftedRow(const Plane& p, int y, int dx, int dy, std::vector<uint8_t>& out) {
    out.assign(size_t(p.width), 0);
    const int sy = y - dy;
    if (sy < 0 || sy >= p.height) return;
    const uint8_t* row = p.v.data() + size_t(sy) * p.width;
    const int from = std::max(0, dx), to = std::min(p.width, p.width + dx);
    for (int x = from; x < to; ++x) out[x] = row[x - dx];
}

inline int mul255(int a, int b) {
    int t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

inline QRgb scaled(QRgb c, int k) { // premultiplied colour times k/255
    return qRgba(mul255(qRed(c), k), mul255(qGreen(c), k), mul255(qBlue(c), k), mul255(qAlpha(c), k));
}

inline QRgb over(QRgb top, QRgb bottom) {
    const int inv = 255 - qAlpha(top);
    return qRgba(qRed(top) + mul255(qRed(bottom), inv), qGreen(top) + mul255(qGreen(bottom), inv),
                 qBlue(top) + mul255(qBlue(bottom), inv), qAlpha(top) + mul255(qAlpha(bottom), inv));
}

inline QRgb premultiplied(swf::Rgba c) { return qPremultiply(qRgba(c.r, c.g, c.b, c.a)); }

// 256-entry premultiplied colour ramp of a gradient filter.
std::array<QRgb, 256> ramp(const std::vector<swf::GradientRecord>& g) {
    std::array<QRgb, 256> out{};
    if (g.empty()) return out;
    for (int i = 0; i < 256; ++i) {
        size_t k = 0;
        while (k < g.size() && g[k].ratio < i) ++k;
        swf::Rgba c;
        if (k == 0) c = g.front().color;
        else if (k == g.size()) c = g.back().color;
        else {
            const auto& a = g[k - 1];
            const auto& b = g[k];
            double t = b.ratio == a.ratio ? 1.0 : double(i - a.ratio) / (b.ratio - a.ratio);
            auto mix = [t](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
            c = swf::Rgba{mix(a.color.r, b.color.r), mix(a.color.g, b.color.g), mix(a.color.b, b.color.b),
                          mix(a.color.a, b.color.a)};
        }
        out[i] = premultiplied(c);
    }
    return out;
}


void applyBlur(QImage& img, const BlurPlan& blur) {
    runBlur(img, blur);
}

// Drop shadow, glow and gradient glow: a coloured, blurred copy of the
// object's alpha, behind the object (outer) or on top of it inside (inner).
void applyShadow(QImage& img, const Filter& f, const BlurPlan& blur, double sx, double sy) {
    const int w = img.width(), h = img.height();
    Plane mask = alphaPlane(img, f.inner);
    runBlur(mask, blur);
    const QPoint d = shiftOf(f, sx, sy);
    const bool gradient = f.type == FilterType::GradientGlow;
    const std::array<uint8_t, 256> strong = strengthTable(f.strength);
    // Effect colour for every mask value.
    std::array<QRgb, 256> effectOf{};
    if (gradient) {
        effectOf = ramp(f.gradient);
        if (!f.inner) effectOf[0] = 0;
    } else {
        const QRgb color = premultiplied(f.color);
        for (int m = 0; m < 256; ++m) effectOf[m] = scaled(color, m);
    }
    std::vector<uint8_t> row;
    for (int y = 0; y < h; ++y) {
        auto* px = reinterpret_cast<QRgb*>(img.scanLine(y));
        shiftedRow(mask, y, d.x(), d.y(), row);
        for (int x = 0; x < w; ++x) {
            const QRgb src = px[x];
            const int srcA = qAlpha(src);
            int m = strong[row[x]];
            QRgb effect;
            if (f.inner) {
                effect = gradient ? scaled(effectOf[m], srcA) : effectOf[mul255(m, srcA)];
            } else {
                effect = effectOf[m];
            }
            QRgb out;
            if (f.knockout) out = f.inner ? effect : scaled(effect, 255 - srcA);
            else if (!f.compositeSource) out = effect;
            else out = f.inner ? over(effect, src) : over(src, effect);
            px[x] = out;
        }
    }
}

// Bevel and gradient bevel: highlight where the object's blurred alpha rises
// toward the light, shadow where it falls.
void applyBevel(QImage& img, const Filter& f, const BlurPlan& blur, double sx, double sy) {
    const int w = img.width(), h = img.height();
    Plane a = alphaPlane(img, false);
    runBlur(a, blur);
    const QPoint d = shiftOf(f, sx, sy);
    const bool gradient = f.type == FilterType::GradientBevel;
    const std::array<QRgb, 256> colors = gradient ? ramp(f.gradient) : std::array<QRgb, 256>{};
    const std::array<uint8_t, 256> strong = strengthTable(f.strength);
    std::array<QRgb, 256> highlightOf{}, shadowOf{};
    if (!gradient) {
        const QRgb shadow = premultiplied(f.color), highlight = premultiplied(f.highlightColor);
        for (int m = 0; m < 256; ++m) {
            highlightOf[m] = scaled(highlight, m);
            shadowOf[m] = scaled(shadow, m);
        }
    }
    std::vector<uint8_t> towardRow, awayRow;
    for (int y = 0; y < h; ++y) {
        auto* px = reinterpret_cast<QRgb*>(img.scanLine(y));
        shiftedRow(a, y, -d.x(), -d.y(), towardRow); // along the shadow direction
        shiftedRow(a, y, d.x(), d.y(), awayRow);
        for (int x = 0; x < w; ++x) {
            const QRgb src = px[x];
            const int srcA = qAlpha(src);
            const int toward = towardRow[x];
            const int away = awayRow[x];
            QRgb effect;
            if (gradient) {
                int v = std::clamp(128 + int(std::lround((toward - away) * f.strength / 2)), 0, 255);
                effect = colors[v];
            } else if (toward > away) {
                effect = highlightOf[strong[toward - away]];
            } else {
                effect = shadowOf[strong[away - toward]];
            }
            // Inner bevels show inside the object; outer ones sit behind it and
            // full ones (on top) cover it.
            if (f.inner) effect = scaled(effect, srcA);
            QRgb out;
            if (f.knockout) out = f.inner ? effect : scaled(effect, 255 - srcA);
            else if (!f.compositeSource) out = effect;
            else if (f.inner || f.onTop) out = over(effect, src);
            else out = over(src, effect);
            px[x] = out;
        }
    }
}

void applyColorMatrix(QImage& img, const Filter& f) {
    const auto& m = f.colorMatrix;
    for (int y = 0; y < img.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = qUnpremultiply(px[x]);
            const double r = qRed(c), g = qGreen(c), b = qBlue(c), a = qAlpha(c);
            auto row = [&](int k) {
                return std::clamp(int(std::lround(m[k] * r + m[k + 1] * g + m[k + 2] * b + m[k + 3] * a + m[k + 4])), 0,
                                  255);
            };
            px[x] = qPremultiply(qRgba(row(0), row(5), row(10), row(15)));
        }
    }
}

void applyConvolution(QImage& img, const Filter& f) {
    const int mw = f.matrixX, mh = f.matrixY;
    if (mw <= 0 || mh <= 0 || f.matrix.size() != size_t(mw) * mh) return;
    const QImage src = img.copy();
    const int w = img.width(), h = img.height();
    const double div = f.divisor == 0 ? 1.0 : f.divisor;
    const QRgb fallback = qRgba(f.defaultColor.r, f.defaultColor.g, f.defaultColor.b, f.defaultColor.a);
    auto sample = [&](int x, int y) -> QRgb {
        if (x < 0 || y < 0 || x >= w || y >= h) {
            if (!f.clamp) return fallback;
            x = std::clamp(x, 0, w - 1);
            y = std::clamp(y, 0, h - 1);
        }
        return qUnpremultiply(reinterpret_cast<const QRgb*>(src.constScanLine(y))[x]);
    };
    const int cx = mw / 2, cy = mh / 2;
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < mh; ++j)
                for (int i = 0; i < mw; ++i) {
                    const float k = f.matrix[size_t(j) * mw + i];
                    if (k == 0) continue;
                    QRgb s = sample(x + i - cx, y + j - cy);
                    r += k * qRed(s);
                    g += k * qGreen(s);
                    b += k * qBlue(s);
                    a += k * qAlpha(s);
                }
            auto ch = [&](double v) { return std::clamp(int(std::lround(v / div + f.bias)), 0, 255); };
            const int alpha = f.preserveAlpha ? qAlpha(sample(x, y)) : ch(a);
            out[x] = qPremultiply(qRgba(ch(r), ch(g), ch(b), alpha));
        }
    }
}

} // namespace

QRect filterMargin(const QRect& objectRect, const std::vector<swf::Filter>& filters, double scaleX, double scaleY) {
    QRect r = objectRect;
    for (const Filter& f : filters) r = r.marginsAdded(marginOf(f, scaleX, scaleY));
    return r;
}

QImage applyFilters(const QImage& src, const std::vector<swf::Filter>& filters, double scaleX, double scaleY,
                    QPoint* offset, const QRect* seen) {
    QImage img = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPoint at(0, 0);
    // What each filter and those after it read around a pixel that will be seen.
    // A convolution that clamps at the image's edge needs that edge where it is.
    const size_t n = filters.size();
    bool mayCrop = seen != nullptr;
    std::vector<QMargins> askedFrom(n + 1);
    for (size_t i = n; i-- > 0;) {
        askedFrom[i] = askedFrom[i + 1] + reachOf(filters[i], askedBlur(filters[i], scaleX, scaleY), scaleX, scaleY);
        if (filters[i].type == FilterType::Convolution) mayCrop = false;
    }
    // Each blur is planned once, on the most pixels it can be given, and runs
    // as planned: the crop below then allows for the reach actually blurred,
    // which for huge many-pass blurs is far less than the reach asked for.
    std::vector<BlurPlan> plans(n);
    QRect extent = img.rect();
    for (size_t i = 0; i < n; ++i) {
        extent = extent.marginsAdded(marginOf(filters[i], scaleX, scaleY));
        const QRect most = mayCrop ? seen->marginsAdded(askedFrom[i]).intersected(extent) : extent;
        const size_t bytes = filters[i].type == FilterType::Blur ? 4 : 1;
        const BlurPlan asked = askedBlur(filters[i], scaleX, scaleY);
        plans[i] = planBlur(size_t(std::max(0, most.width())) * size_t(std::max(0, most.height())) * bytes, asked.boxX,
                            asked.boxY, asked.passes);
    }
    std::vector<QMargins> reachFrom(n + 1);
    for (size_t i = n; i-- > 0;) reachFrom[i] = reachFrom[i + 1] + reachOf(filters[i], plans[i], scaleX, scaleY);
    for (size_t i = 0; i < filters.size(); ++i) {
        const Filter& f = filters[i];
        const QMargins m = marginOf(f, scaleX, scaleY);
        const qint64 grown = qint64(img.width() + m.left() + m.right()) * (img.height() + m.top() + m.bottom());
        if (grown > kMaxPixels) break;
        if (!m.isNull()) {
            img = padded(img, m);
            at -= QPoint(m.left(), m.top());
        }
        if (mayCrop) {
            // Pixels that can reach nothing seen are never filtered: a small
            // stage does not pay for a wide shadow's whole extent.
            const QRect need = seen->translated(-at).marginsAdded(reachFrom[i]).intersected(img.rect());
            if (need.isEmpty()) return {};
            if (need != img.rect()) {
                img = img.copy(need);
                at += need.topLeft();
            }
        }
        if (img.isNull() || img.width() == 0 || img.height() == 0) break;
        switch (f.type) {
        case FilterType::Blur: applyBlur(img, plans[i]); break;
        case FilterType::DropShadow:
        case FilterType::Glow:
        case FilterType::GradientGlow: applyShadow(img, f, plans[i], scaleX, scaleY); break;
        case FilterType::Bevel:
        case FilterType::GradientBevel: applyBevel(img, f, plans[i], scaleX, scaleY); break;
        case FilterType::ColorMatrix: applyColorMatrix(img, f); break;
        case FilterType::Convolution: applyConvolution(img, f); break;
        }
    }
    if (offset) *offset = at;
    return img;
}

} // namespace nimbrel::movie::render
