#include "movie/bitmap/BitmapPixels.h"
#include <algorithm>
#include <vector>

namespace nimbrel::movie::bitmap {

BitmapPixels::BitmapPixels(int width, int height, bool transparent, uint32_t fillArgb)
    : image_(std::make_shared<QImage>(width, height, QImage::Format_ARGB32_Premultiplied)),
      transparent_(transparent)
{
    image_->fill(premultiply(forKind(fillArgb)));
}

bool BitmapPixels::sizeAllowed(int swfVersion, double width, double height)
{
    if (!(width >= 1) || !(height >= 1))
        return false;
    if (swfVersion <= 9)
        return width <= 2880 && height <= 2880;
    return width <= 8191 && height <= 8191 && width * height <= 16777215.0;
}

uint32_t BitmapPixels::premultiply(uint32_t argb)
{
    const uint32_t a = argb >> 24;
    if (a == 255)
        return argb;
    auto ch = [a](uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (ch((argb >> 16) & 255) << 16) | (ch((argb >> 8) & 255) << 8) | ch(argb & 255);
}

uint32_t BitmapPixels::unpremultiply(uint32_t p)
{
    const uint32_t a = p >> 24;
    if (a == 255)
        return p;
    if (a == 0)
        return 0;
    // Rounds to nearest, halves downwards.
    auto ch = [a](uint32_t c) { return std::min<uint32_t>(255, (2 * c * 255 + a - 1) / (2 * a)); };
    return (a << 24) | (ch((p >> 16) & 255) << 16) | (ch((p >> 8) & 255) << 8) | ch(p & 255);
}

uint32_t BitmapPixels::pixel32(int x, int y) const
{
    return unpremultiply(rawPixel(x, y));
}

uint32_t BitmapPixels::rawPixel(int x, int y) const
{
    if (disposed() || x < 0 || y < 0 || x >= width() || y >= height())
        return 0;
    return reinterpret_cast<const uint32_t*>(image_->constScanLine(y))[x];
}

void BitmapPixels::setPixel32(int x, int y, uint32_t argb)
{
    if (disposed() || x < 0 || y < 0 || x >= width() || y >= height())
        return;
    reinterpret_cast<uint32_t*>(image_->scanLine(y))[x] = premultiply(forKind(argb));
}

void BitmapPixels::setRawPixel(int x, int y, uint32_t premultiplied)
{
    if (disposed() || x < 0 || y < 0 || x >= width() || y >= height())
        return;
    reinterpret_cast<uint32_t*>(image_->scanLine(y))[x] = transparent_ ? premultiplied : (premultiplied | 0xFF000000u);
}

void BitmapPixels::setPixel(int x, int y, uint32_t rgb)
{
    if (disposed() || x < 0 || y < 0 || x >= width() || y >= height())
        return;
    const uint32_t old = pixel32(x, y);
    setPixel32(x, y, (old & 0xFF000000u) | (rgb & 0xFFFFFFu));
}

void BitmapPixels::fillRect(const QRect& area, uint32_t argb)
{
    const QRect r = area.intersected(rect());
    if (disposed() || r.isEmpty())
        return;
    const uint32_t p = premultiply(forKind(argb));
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line = reinterpret_cast<uint32_t*>(image_->scanLine(y));
        std::fill(line + r.left(), line + r.right() + 1, p);
    }
}

void BitmapPixels::copyPixels(const BitmapPixels& src, const QRect& srcRect, QPoint destPoint,
                                  const BitmapPixels* alpha, QPoint alphaPoint, bool mergeAlpha)
{
    if (disposed() || src.disposed())
        return;
    // Clip the source area to the source, then the destination area to this bitmap.
    QRect from = srcRect.intersected(src.rect());
    if (from.isEmpty())
        return;
    destPoint += from.topLeft() - srcRect.topLeft();
    alphaPoint += from.topLeft() - srcRect.topLeft();
    QRect to(destPoint, from.size());
    const QRect clipped = to.intersected(rect());
    if (clipped.isEmpty())
        return;
    from.translate(clipped.topLeft() - to.topLeft());
    alphaPoint += clipped.topLeft() - to.topLeft();
    from.setSize(clipped.size());
    // Read everything first: the source may be this bitmap.
    std::vector<uint32_t> pixels(size_t(from.width()) * size_t(from.height()));
    for (int y = 0; y < from.height(); ++y)
        for (int x = 0; x < from.width(); ++x)
            pixels[size_t(y) * from.width() + x] = src.pixel32(from.left() + x, from.top() + y);
    for (int y = 0; y < from.height(); ++y) {
        for (int x = 0; x < from.width(); ++x) {
            uint32_t c = pixels[size_t(y) * from.width() + x];
            if (!src.transparent())
                c |= 0xFF000000u;
            const int dx = clipped.left() + x, dy = clipped.top() + y;
            uint32_t a = c >> 24;
            if (alpha) {
                const int ax = alphaPoint.x() + x, ay = alphaPoint.y() + y;
                const bool inside = ax >= 0 && ay >= 0 && ax < alpha->width() && ay < alpha->height();
                a = inside ? (a * (alpha->pixel32(ax, ay) >> 24)) >> 8 : 0;
            }
            // Opaque bitmaps have nothing to replace alpha with: they always blend.
            if (!mergeAlpha && transparent_) {
                setPixel32(dx, dy, (a << 24) | (c & 0xFFFFFFu));
                continue;
            }
            // Source over destination, on premultiplied values.
            const uint32_t sp = premultiply((a << 24) | (c & 0xFFFFFFu));
            const uint32_t dp = rawPixel(dx, dy);
            uint32_t out = 0;
            for (int shift = 0; shift <= 24; shift += 8) {
                const uint32_t v = ((sp >> shift) & 255) + ((dp >> shift) & 255) * (255 - a) / 255;
                out |= std::min<uint32_t>(v, 255) << shift;
            }
            if (transparent_)
                reinterpret_cast<uint32_t*>(image_->scanLine(dy))[dx] = out;
            else
                setPixel32(dx, dy, unpremultiply(out));
        }
    }
}

void BitmapPixels::scroll(int dx, int dy)
{
    if (disposed() || (dx == 0 && dy == 0))
        return;
    const QImage before = image_->copy();
    const int w = width(), h = height();
    for (int y = 0; y < h; ++y) {
        const int sy = y - dy;
        if (sy < 0 || sy >= h)
            continue;
        const auto* from = reinterpret_cast<const uint32_t*>(before.constScanLine(sy));
        auto* to = reinterpret_cast<uint32_t*>(image_->scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int sx = x - dx;
            if (sx >= 0 && sx < w)
                to[x] = from[sx];
        }
    }
}

} // namespace nimbrel::movie::bitmap
