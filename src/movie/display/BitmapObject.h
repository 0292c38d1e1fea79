#pragma once
// A bitmap a script attached to a clip (MovieClip.attachBitmap): it shows the
// pixels of a BitmapData, which may keep changing, one pixel per 20 twips.
#include "movie/display/DisplayObject.h"
#include <QImage>
#include <memory>

namespace nimbrel::movie::display {

class BitmapObject : public DisplayObject {
public:
    // characterId: the library bitmap the timeline placed (0: made by a script).
    BitmapObject(MovieContext* context, std::shared_ptr<QImage> pixels, bool smoothing, uint16_t characterId = 0)
        : DisplayObject(Type::Bitmap, context, characterId), pixels_(std::move(pixels)), smoothing_(smoothing) {}

    // Premultiplied ARGB32; null once the BitmapData is disposed.
    const QImage& pixels() const;
    bool smoothing() const { return smoothing_; }
    // A script gave the Bitmap other pixels (null: none) or another smoothing.
    void setPixels(std::shared_ptr<QImage> pixels) { pixels_ = std::move(pixels); }
    void setSmoothing(bool smoothing) { smoothing_ = smoothing; }
    QRectF localBounds() const override;

private:
    std::shared_ptr<QImage> pixels_;
    bool smoothing_;
};

} // namespace nimbrel::movie::display
