#pragma once
// The pixels behind a BitmapData of either script machine: kept
// premultiplied (as the player keeps them, so reads give back what it gives
// back), an opaque or transparent kind, and the disposed state.
#include <cstdint>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <memory>

namespace nimbrel::movie::bitmap {

class BitmapPixels {
public:
    BitmapPixels(int width, int height, bool transparent, uint32_t fillArgb);
    virtual ~BitmapPixels() = default;

    // Largest sizes the player accepts: 2880 per side up to SWF 9, later 8191
    // per side and 16,777,215 pixels.
    static bool sizeAllowed(int swfVersion, double width, double height);
    // Colour conversions with the player's rounding.
    static uint32_t premultiply(uint32_t argb);
    static uint32_t unpremultiply(uint32_t premultiplied);

    bool disposed() const { return image_->isNull(); }
    void dispose() { *image_ = QImage(); }
    int width() const { return image_->width(); }
    int height() const { return image_->height(); }
    bool transparent() const { return transparent_; }
    QRect rect() const { return image_->rect(); }
    // Premultiplied ARGB32 pixels; display objects keep the same storage.
    const std::shared_ptr<QImage>& image() const { return image_; }

    // Unpremultiplied 0xAARRGGBB; 0 outside the bitmap.
    uint32_t pixel32(int x, int y) const;
    // What pixel32 gives back after setPixel32(argb).
    uint32_t readBack(uint32_t argb) const { return unpremultiply(premultiply(forKind(argb))); }
    // The stored (premultiplied) pixel; 0 outside the bitmap.
    uint32_t rawPixel(int x, int y) const;
    // Writes outside the bitmap are ignored; opaque bitmaps keep full alpha.
    void setPixel32(int x, int y, uint32_t argb);
    void setPixel(int x, int y, uint32_t rgb); // keeps the pixel's alpha
    // Stores an already premultiplied pixel as it is.
    void setRawPixel(int x, int y, uint32_t premultiplied);
    void fillRect(const QRect& area, uint32_t argb);
    // Copies src's pixels in srcRect to destPoint. With an alpha bitmap, its
    // alpha (from alphaPoint) multiplies the copied alpha; mergeAlpha blends
    // onto the destination instead of replacing it.
    void copyPixels(const BitmapPixels& src, const QRect& srcRect, QPoint destPoint,
                    const BitmapPixels* alpha, QPoint alphaPoint, bool mergeAlpha);
    // Scrolls the pixels by (dx, dy); uncovered pixels keep their old values.
    void scroll(int dx, int dy);

private:
    uint32_t forKind(uint32_t argb) const { return transparent_ ? argb : (argb | 0xFF000000u); }

    std::shared_ptr<QImage> image_;
    bool transparent_;
};

} // namespace nimbrel::movie::bitmap
