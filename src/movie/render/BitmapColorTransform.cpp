#include "movie/render/BitmapColorTransform.h"
#include <algorithm>

namespace nimbrel::movie::render {

bool isAlphaOnly(const swf::ColorTransform& cx) {
    return cx.rMult == 256 && cx.gMult == 256 && cx.bMult == 256 && cx.rAdd == 0 && cx.gAdd == 0 && cx.bAdd == 0 &&
           cx.aAdd == 0 && cx.aMult >= 0 && cx.aMult <= 256;
}

QImage colorTransformed(const QImage& src, const swf::ColorTransform& cx) {
    QImage out = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (cx.isIdentity()) return out;
    // Tables per channel: value -> transformed value.
    uint8_t lut[4][256];
    const int mult[4] = {cx.rMult, cx.gMult, cx.bMult, cx.aMult};
    const int add[4] = {cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd};
    for (int c = 0; c < 4; ++c)
        for (int v = 0; v < 256; ++v) lut[c][v] = uint8_t(std::clamp(v * mult[c] / 256 + add[c], 0, 255));
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            QRgb p = line[x];
            int a = qAlpha(p);
            int r = 0, g = 0, b = 0;
            if (a) {
                r = std::min(255, qRed(p) * 255 / a);
                g = std::min(255, qGreen(p) * 255 / a);
                b = std::min(255, qBlue(p) * 255 / a);
            }
            int na = lut[3][a];
            r = lut[0][r] * na / 255;
            g = lut[1][g] * na / 255;
            b = lut[2][b] * na / 255;
            line[x] = qRgba(r, g, b, na);
        }
    }
    return out;
}

} // namespace nimbrel::movie::render
