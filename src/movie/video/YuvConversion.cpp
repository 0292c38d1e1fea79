#include "movie/video/YuvConversion.h"
#include <algorithm>
extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

namespace nimbrel::movie::video {

namespace {
inline int clamp255(int v) { return std::clamp(v, 0, 255); }
} // namespace

uint32_t YuvConversion::rgb(int y, int u, int v) {
    // BT.601 studio range: luma 16..235 spans 255/219, chroma 16..240 spans
    // 255/224 of the Kr = 0.299, Kb = 0.114 weights. Each weight is rounded
    // to 16 fraction bits from its exact value (rounding short decimals such
    // as 1.164383 instead is off by one level on some colours), then the sum
    // is rounded half up.
    const int c = (y - 16) * 76309;          // 255/219
    const int d = u - 128, e = v - 128;
    const int r = clamp255((c + 104597 * e + 32768) >> 16);               // 1.402 * 255/224
    const int g = clamp255((c - 25675 * d - 53279 * e + 32768) >> 16);    // 0.114*1.772/0.587, 0.299*1.402/0.587
    const int b = clamp255((c + 132201 * d + 32768) >> 16);               // 1.772 * 255/224
    return 0xff000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

QImage YuvConversion::toImage(const AVFrame* f) {
    const int w = f->width, h = f->height;
    const auto format = AVPixelFormat(f->format);
    const bool withAlpha = format == AV_PIX_FMT_YUVA420P;
    if (format != AV_PIX_FMT_YUV420P && !withAlpha && format != AV_PIX_FMT_BGR24) return QImage();
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return out;
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(out.scanLine(y));
        if (format == AV_PIX_FMT_BGR24) {
            const uint8_t* src = f->data[0] + ptrdiff_t(y) * f->linesize[0];
            for (int x = 0; x < w; ++x, src += 3)
                row[x] = 0xff000000u | uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
            continue;
        }
        const uint8_t* ys = f->data[0] + ptrdiff_t(y) * f->linesize[0];
        const uint8_t* as = withAlpha ? f->data[3] + ptrdiff_t(y) * f->linesize[3] : nullptr;
        // Each chroma sample covers its 2x2 block of luma, undivided.
        const uint8_t* us = f->data[1] + ptrdiff_t(y / 2) * f->linesize[1];
        const uint8_t* vs = f->data[2] + ptrdiff_t(y / 2) * f->linesize[2];
        for (int x = 0; x < w; ++x) {
            uint32_t p = rgb(ys[x], us[x / 2], vs[x / 2]);
            if (as) {
                const uint32_t a = as[x];
                // The colour planes of a picture with alpha are encoded already
                // multiplied by it; a colour above its alpha is cut to it.
                auto cut = [a](uint32_t c) { return std::min(c, a); };
                p = a << 24 | cut(p >> 16 & 0xff) << 16 | cut(p >> 8 & 0xff) << 8 | cut(p & 0xff);
            }
            row[x] = p;
        }
    }
    return out;
}

} // namespace nimbrel::movie::video
