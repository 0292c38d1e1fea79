#pragma once
// Pixel operations of BitmapData that read or search many pixels.
#include "movie/avm1/BitmapDataObject.h"

namespace nimbrel::movie::avm1 {

// Smallest rectangle holding every pixel whose (argb & mask) equals colour
// (or differs from it when findColor is false); empty at the origin when none.
// The player compares the stored, premultiplied pixels.
QRect colorBounds(const BitmapDataObject& b, uint32_t mask, uint32_t colour, bool findColor);
// Fills the 4-connected area of pixels equal to the one at (x, y).
void floodFill(BitmapDataObject& b, int x, int y, uint32_t argb);
// Hit tests against the pixels whose alpha reaches the threshold; the bitmap lies at `at`.
bool hitTestPoint(const BitmapDataObject& b, QPoint at, int32_t threshold, QPoint p);
bool hitTestRect(const BitmapDataObject& b, QPoint at, int32_t threshold, const QRect& r);
bool hitTestBitmap(const BitmapDataObject& b, QPoint at, int32_t threshold, const BitmapDataObject& other,
                   QPoint otherAt, int32_t otherThreshold);
// channel' = channel * mult + add, clamped, inside the rectangle.
void transformColors(BitmapDataObject& b, const QRect& area, const double mult[4], const double add[4]);

} // namespace nimbrel::movie::avm1
