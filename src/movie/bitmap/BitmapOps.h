#pragma once
// Pixel operations of BitmapData that read or search many pixels.
#include "movie/bitmap/BitmapPixels.h"
#include <array>
#include <optional>

namespace nimbrel::movie::bitmap {

// Smallest rectangle holding every pixel whose (argb & mask) equals colour
// (or differs from it when findColor is false); empty at the origin when none.
// The player compares the stored, premultiplied pixels.
QRect colorBounds(const BitmapPixels& b, uint32_t mask, uint32_t colour, bool findColor);
// Fills the 4-connected area of pixels equal to the one at (x, y).
void floodFill(BitmapPixels& b, int x, int y, uint32_t argb);
// Hit tests against the pixels whose alpha reaches the threshold; the bitmap lies at `at`.
bool hitTestPoint(const BitmapPixels& b, QPoint at, int32_t threshold, QPoint p);
bool hitTestRect(const BitmapPixels& b, QPoint at, int32_t threshold, const QRect& r);
bool hitTestBitmap(const BitmapPixels& b, QPoint at, int32_t threshold, const BitmapPixels& other,
                   QPoint otherAt, int32_t otherThreshold);
// channel' = channel * mult + add, clamped, inside the rectangle.
void transformColors(BitmapPixels& b, const QRect& area, const double mult[4], const double add[4]);

// The player's noise generator: the Park-Miller minimal standard sequence.
class NoiseSequence {
public:
    explicit NoiseSequence(int32_t seed);
    uint32_t next();
    // A value in [low, high]; a reversed range yields low.
    uint32_t inRange(uint32_t low, uint32_t high);

private:
    uint32_t state_;
};

// Channel bits as scripts pass them (BitmapDataChannel).
enum ChannelBits : uint32_t { RedBit = 1, GreenBit = 2, BlueBit = 4, AlphaBit = 8 };
// Fills every pixel with random channel values in [low, high]; channels not
// chosen are 0 (alpha: opaque). Grey scale draws one value for red, green and blue.
void fillNoise(BitmapPixels& b, int32_t seed, uint32_t low, uint32_t high, uint32_t channels, bool grey);

enum class ThresholdTest { Less, LessOrEqual, Greater, GreaterOrEqual, Equal, NotEqual };
// Writes colour where (source & mask) passes the test against (threshold & mask),
// else the source pixel when copySource; counts the source pixels that passed.
int applyThreshold(BitmapPixels& dest, const BitmapPixels& src, const QRect& srcRect, QPoint destPoint,
                   ThresholdTest test, uint32_t threshold, uint32_t colour, uint32_t mask, bool copySource);

// Writes one channel of src's pixels (RedBit ... AlphaBit) into one channel of
// dest's, the other channels kept; anything but a single channel bit copies nothing.
void copyChannelFrom(BitmapPixels& dest, const BitmapPixels& src, const QRect& srcRect, QPoint destPoint,
                     uint32_t sourceChannel, uint32_t destChannel);

// Maps each channel of src's pixels through its table (256 ARGB values, red,
// green, blue, alpha order; null keeps the channel where it is) and writes the
// sum of the four mapped values, wrapped to 32 bits.
using ChannelTable = std::optional<std::array<uint32_t, 256>>;
void paletteMapFrom(BitmapPixels& dest, const BitmapPixels& src, const QRect& srcRect, QPoint destPoint,
                    const ChannelTable tables[4]);

// Pixel by pixel difference of two bitmaps of one size, into `out` (transparent,
// same size): where colours differ, opaque with each channel's (a - b) mod 256;
// where only alpha differs, white with alpha (a - b) mod 256; else nothing.
// False when every pixel matched.
bool differences(const BitmapPixels& a, const BitmapPixels& b, BitmapPixels& out);

// Blends src into dest channel by channel: (src * mult + dest * (256 - mult)) / 256,
// multipliers clamped to [0, 256] in red, green, blue, alpha order.
void mergeFrom(BitmapPixels& dest, const BitmapPixels& src, const QRect& srcRect, QPoint destPoint,
               const int mult[4]);

} // namespace nimbrel::movie::bitmap
