#include "movie/render/BlendPainter.h"
#include <QPainter>
#include <algorithm>

namespace nimbrel::movie::render {

namespace {

inline int blendMul255(int a, int b) {
    int t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

// Modes with no matching QPainter composition mode, pixel by pixel over the
// overlap of the layer and dst.
template <typename F>
void perPixel(QImage& dst, const QImage& layer, QPoint at, F blend) {
    const QRect area = QRect(at, layer.size()).intersected(dst.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(y));
        const auto* s = reinterpret_cast<const QRgb*>(layer.constScanLine(y - at.y()));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb src = s[x - at.x()];
            if (qAlpha(src) == 0) continue;
            d[x] = blend(src, d[x]);
        }
    }
}

// Backdrop minus layer, clamped at zero.
QRgb subtract(QRgb s, QRgb b) {
    const int sa = qAlpha(s), ba = qAlpha(b);
    const int a = sa + ba - blendMul255(sa, ba);
    auto ch = [&](int cs, int cb) {
        // Source-over outside the overlap, difference inside.
        int mixed = std::max(0, blendMul255(cb, sa) - blendMul255(cs, ba));
        int v = blendMul255(cs, 255 - ba) + blendMul255(cb, 255 - sa) + mixed;
        return std::clamp(v, 0, a);
    };
    return qRgba(ch(qRed(s), qRed(b)), ch(qGreen(s), qGreen(b)), ch(qBlue(s), qBlue(b)), a);
}

// The backdrop inverted wherever the layer covers it; the layer's colour is unused.
QRgb invert(QRgb s, QRgb b) {
    const int sa = qAlpha(s), ba = qAlpha(b);
    auto ch = [&](int cb) { return blendMul255(cb, 255 - sa) + blendMul255(ba - cb, sa); };
    return qRgba(ch(qRed(b)), ch(qGreen(b)), ch(qBlue(b)), ba);
}

QPainter::CompositionMode qtMode(swf::BlendMode m, bool* ok) {
    *ok = true;
    switch (m) {
    case swf::BlendMode::Multiply: return QPainter::CompositionMode_Multiply;
    case swf::BlendMode::Screen: return QPainter::CompositionMode_Screen;
    case swf::BlendMode::Lighten: return QPainter::CompositionMode_Lighten;
    case swf::BlendMode::Darken: return QPainter::CompositionMode_Darken;
    case swf::BlendMode::Difference: return QPainter::CompositionMode_Difference;
    case swf::BlendMode::Add: return QPainter::CompositionMode_Plus;
    case swf::BlendMode::Alpha: return QPainter::CompositionMode_DestinationIn;
    case swf::BlendMode::Erase: return QPainter::CompositionMode_DestinationOut;
    case swf::BlendMode::Overlay: return QPainter::CompositionMode_Overlay;
    case swf::BlendMode::HardLight: return QPainter::CompositionMode_HardLight;
    case swf::BlendMode::Subtract:
    case swf::BlendMode::Invert: *ok = false; return QPainter::CompositionMode_SourceOver;
    default: return QPainter::CompositionMode_SourceOver; // normal, layer and unknown values
    }
}

} // namespace

void compose(QImage& dst, const QImage& layer, QPoint at, swf::BlendMode mode) {
    if (dst.isNull() || layer.isNull()) return;
    if (dst.format() != QImage::Format_ARGB32_Premultiplied)
        dst = dst.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage src = layer.format() == QImage::Format_ARGB32_Premultiplied
                           ? layer
                           : layer.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (mode == swf::BlendMode::Subtract) {
        perPixel(dst, src, at, subtract);
        return;
    }
    if (mode == swf::BlendMode::Invert) {
        perPixel(dst, src, at, invert);
        return;
    }
    bool ok = false;
    const QPainter::CompositionMode cm = qtMode(mode, &ok);
    QPainter p(&dst);
    p.setCompositionMode(cm);
    p.drawImage(at, src);
}

} // namespace nimbrel::movie::render
