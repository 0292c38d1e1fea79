#include "movie/bitmap/BitmapOps.h"
#include <algorithm>
#include <cmath>
#include <vector>

namespace nimbrel::movie::bitmap {

QRect colorBounds(const BitmapPixels& b, uint32_t mask, uint32_t colour, bool findColor)
{
    int left = b.width(), top = b.height(), right = -1, bottom = -1;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const bool match = (b.rawPixel(x, y) & mask) == (colour & mask);
            if (match != findColor)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return QRect(0, 0, 0, 0);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void floodFill(BitmapPixels& b, int x, int y, uint32_t argb)
{
    if (b.disposed() || x < 0 || y < 0 || x >= b.width() || y >= b.height())
        return;
    const uint32_t from = b.pixel32(x, y);
    if (from == b.readBack(argb))
        return;
    // Span by span with an explicit stack: memory stays proportional to the
    // spans waiting, not to the pixels filled, and deep areas cannot overflow
    // the call stack.
    std::vector<QPoint> seeds{QPoint(x, y)};
    while (!seeds.empty()) {
        const QPoint seed = seeds.back();
        seeds.pop_back();
        const int row = seed.y();
        if (b.pixel32(seed.x(), row) != from)
            continue;
        int left = seed.x(), right = seed.x();
        while (left > 0 && b.pixel32(left - 1, row) == from)
            --left;
        while (right + 1 < b.width() && b.pixel32(right + 1, row) == from)
            ++right;
        for (int i = left; i <= right; ++i)
            b.setPixel32(i, row, argb);
        for (int next : {row - 1, row + 1}) {
            if (next < 0 || next >= b.height())
                continue;
            bool inRun = false;
            for (int i = left; i <= right; ++i) {
                const bool match = b.pixel32(i, next) == from;
                if (match && !inRun)
                    seeds.push_back(QPoint(i, next));
                inRun = match;
            }
        }
    }
}

namespace {
bool opaqueAt(const BitmapPixels& b, int x, int y, int32_t threshold)
{
    if (x < 0 || y < 0 || x >= b.width() || y >= b.height())
        return false;
    return int32_t(b.pixel32(x, y) >> 24) >= threshold;
}
} // namespace

bool hitTestPoint(const BitmapPixels& b, QPoint at, int32_t threshold, QPoint p)
{
    return opaqueAt(b, p.x() - at.x(), p.y() - at.y(), threshold);
}

bool hitTestRect(const BitmapPixels& b, QPoint at, int32_t threshold, const QRect& r)
{
    const QRect area = r.translated(-at).intersected(b.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (opaqueAt(b, x, y, threshold))
                return true;
    return false;
}

bool hitTestBitmap(const BitmapPixels& b, QPoint at, int32_t threshold, const BitmapPixels& other,
                   QPoint otherAt, int32_t otherThreshold)
{
    const QRect overlap = b.rect().translated(at).intersected(other.rect().translated(otherAt));
    for (int y = overlap.top(); y <= overlap.bottom(); ++y)
        for (int x = overlap.left(); x <= overlap.right(); ++x)
            if (opaqueAt(b, x - at.x(), y - at.y(), threshold) &&
                opaqueAt(other, x - otherAt.x(), y - otherAt.y(), otherThreshold))
                return true;
    return false;
}

void transformColors(BitmapPixels& b, const QRect& area, const double mult[4], const double add[4])
{
    const QRect r = area.intersected(b.rect());
    auto channel = [](uint32_t c, double m, double a) {
        const double v = std::floor(c * (std::isnan(m) ? 0.0 : m) + (std::isnan(a) ? 0.0 : a));
        return uint32_t(std::clamp(v, 0.0, 255.0));
    };
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const uint32_t c = b.pixel32(x, y);
            const uint32_t out = (channel(c >> 24, mult[3], add[3]) << 24) |
                                 (channel((c >> 16) & 255, mult[0], add[0]) << 16) |
                                 (channel((c >> 8) & 255, mult[1], add[1]) << 8) | channel(c & 255, mult[2], add[2]);
            b.setPixel32(x, y, out);
        }
    }
}

} // namespace nimbrel::movie::bitmap

namespace nimbrel::movie::bitmap {

namespace {

constexpr uint32_t kModulus = 2147483647u; // 2^31 - 1

// Calls fn(source x, source y, dest x, dest y) for each source pixel of
// srcRect that lies in src; whether the dest pixel exists is fn's concern.
template <typename Fn>
void forEachSourcePixel(const BitmapPixels& src, const QRect& srcRect, QPoint destPoint, Fn fn)
{
    const QRect from = srcRect.intersected(src.rect());
    if (from.isEmpty())
        return;
    const QPoint shift = destPoint - srcRect.topLeft();
    for (int y = from.top(); y <= from.bottom(); ++y)
        for (int x = from.left(); x <= from.right(); ++x)
            fn(x, y, x + shift.x(), y + shift.y());
}

// Noise premultiplies by a rounded shift rather than a division, so its
// pixels can read back one off from what setPixel32 would give.
uint32_t premultiplyByShift(uint32_t argb)
{
    const uint32_t alpha = argb >> 24;
    if (alpha == 255)
        return argb;
    uint32_t p = alpha << 24;
    for (int shift = 0; shift <= 16; shift += 8)
        p |= ((((argb >> shift) & 255) * alpha + 128) >> 8) << shift;
    return p;
}

bool inside(const BitmapPixels& b, int x, int y)
{
    return x >= 0 && y >= 0 && x < b.width() && y < b.height();
}

} // namespace

NoiseSequence::NoiseSequence(int32_t seed)
{
    // Non-positive seeds are mirrored so that 0 still starts a sequence.
    const int64_t s = seed > 0 ? int64_t(seed) : 1 - int64_t(seed);
    state_ = uint32_t(s % kModulus);
    if (state_ == 0)
        state_ = 1;
}

uint32_t NoiseSequence::next()
{
    state_ = uint32_t((uint64_t(state_) * 16807u) % kModulus);
    return state_;
}

uint32_t NoiseSequence::inRange(uint32_t low, uint32_t high)
{
    const uint64_t r = next();
    return high >= low ? uint32_t(low + r % (uint64_t(high) - low + 1)) : low;
}

void fillNoise(BitmapPixels& b, int32_t seed, uint32_t low, uint32_t high, uint32_t channels, bool grey)
{
    if (b.disposed())
        return;
    NoiseSequence random(seed);
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            uint32_t argb = 0;
            if (grey) {
                const uint32_t v = random.inRange(low, high) & 255;
                argb = (v << 16) | (v << 8) | v;
            } else {
                if (channels & RedBit)
                    argb |= (random.inRange(low, high) & 255) << 16;
                if (channels & GreenBit)
                    argb |= (random.inRange(low, high) & 255) << 8;
                if (channels & BlueBit)
                    argb |= random.inRange(low, high) & 255;
            }
            // Opaque bitmaps draw no alpha at all.
            const uint32_t alpha = (channels & AlphaBit) && b.transparent() ? random.inRange(low, high) & 255 : 255;
            b.setRawPixel(x, y, premultiplyByShift((alpha << 24) | argb));
        }
    }
}

int applyThreshold(BitmapPixels& dest, const BitmapPixels& src, const QRect& srcRect, QPoint destPoint,
                   ThresholdTest test, uint32_t threshold, uint32_t colour, uint32_t mask, bool copySource)
{
    if (dest.disposed() || src.disposed())
        return 0;
    const uint32_t limit = threshold & mask;
    auto passes = [&](uint32_t v) {
        switch (test) {
        case ThresholdTest::Less: return v < limit;
        case ThresholdTest::LessOrEqual: return v <= limit;
        case ThresholdTest::Greater: return v > limit;
        case ThresholdTest::GreaterOrEqual: return v >= limit;
        case ThresholdTest::Equal: return v == limit;
        case ThresholdTest::NotEqual: return v != limit;
        }
        return false;
    };
    // Read the source first: it may be the destination itself.
    struct Write { int x, y; uint32_t argb; };
    std::vector<Write> writes;
    int count = 0;
    forEachSourcePixel(src, srcRect, destPoint, [&](int sx, int sy, int dx, int dy) {
        const uint32_t p = src.pixel32(sx, sy);
        if (passes(p & mask)) {
            ++count;
            writes.push_back({dx, dy, colour});
        } else if (copySource) {
            writes.push_back({dx, dy, p});
        }
    });
    for (const Write& w : writes)
        dest.setPixel32(w.x, w.y, w.argb);
    return count;
}

void copyChannelFrom(BitmapPixels& dest, const BitmapPixels& src, const QRect& srcRect, QPoint destPoint,
                     uint32_t sourceChannel, uint32_t destChannel)
{
    auto shiftOf = [](uint32_t channel) -> int {
        switch (channel) {
        case RedBit: return 16;
        case GreenBit: return 8;
        case BlueBit: return 0;
        case AlphaBit: return 24;
        default: return -1;
        }
    };
    const int from = shiftOf(sourceChannel), to = shiftOf(destChannel);
    if (dest.disposed() || src.disposed() || from < 0 || to < 0)
        return;
    struct Write { int x, y; uint32_t argb; };
    std::vector<Write> writes;
    forEachSourcePixel(src, srcRect, destPoint, [&](int sx, int sy, int dx, int dy) {
        if (!inside(dest, dx, dy))
            return;
        const uint32_t value = (src.pixel32(sx, sy) >> from) & 255;
        const uint32_t d = dest.pixel32(dx, dy);
        writes.push_back({dx, dy, (d & ~(255u << to)) | (value << to)});
    });
    for (const Write& w : writes)
        dest.setPixel32(w.x, w.y, w.argb);
}

void paletteMapFrom(BitmapPixels& dest, const BitmapPixels& src, const QRect& srcRect, QPoint destPoint,
                    const ChannelTable tables[4])
{
    if (dest.disposed() || src.disposed())
        return;
    const int shifts[4] = {16, 8, 0, 24};
    struct Write { int x, y; uint32_t argb; };
    std::vector<Write> writes;
    forEachSourcePixel(src, srcRect, destPoint, [&](int sx, int sy, int dx, int dy) {
        if (!inside(dest, dx, dy))
            return;
        const uint32_t p = src.pixel32(sx, sy);
        uint32_t out = 0;
        for (int i = 0; i < 4; ++i) {
            const uint32_t c = (p >> shifts[i]) & 255;
            out += tables[i] ? (*tables[i])[c] : c << shifts[i];
        }
        writes.push_back({dx, dy, out});
    });
    for (const Write& w : writes)
        dest.setPixel32(w.x, w.y, w.argb);
}

bool differences(const BitmapPixels& a, const BitmapPixels& b, BitmapPixels& out)
{
    bool any = false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const uint32_t p = a.pixel32(x, y), q = b.pixel32(x, y);
            auto diff = [&](int shift) { return ((((p >> shift) & 255) - ((q >> shift) & 255)) & 255u) << shift; };
            uint32_t d = 0;
            if ((p & 0xFFFFFFu) != (q & 0xFFFFFFu))
                d = 0xFF000000u | diff(16) | diff(8) | diff(0);
            else if (p != q)
                d = diff(24) | 0xFFFFFFu;
            any = any || d != 0;
            out.setPixel32(x, y, d);
        }
    }
    return any;
}

void mergeFrom(BitmapPixels& dest, const BitmapPixels& src, const QRect& srcRect, QPoint destPoint,
               const int mult[4])
{
    if (dest.disposed() || src.disposed())
        return;
    struct Write { int x, y; uint32_t argb; };
    std::vector<Write> writes;
    forEachSourcePixel(src, srcRect, destPoint, [&](int sx, int sy, int dx, int dy) {
        if (!inside(dest, dx, dy))
            return;
        const uint32_t s = src.pixel32(sx, sy), d = dest.pixel32(dx, dy);
        uint32_t out = 0;
        const int shifts[4] = {16, 8, 0, 24};
        for (int i = 0; i < 4; ++i) {
            const int m = std::clamp(mult[i], 0, 256);
            const uint32_t sc = (s >> shifts[i]) & 255, dc = (d >> shifts[i]) & 255;
            out |= ((sc * m + dc * (256 - m)) / 256) << shifts[i];
        }
        writes.push_back({dx, dy, out});
    });
    for (const Write& w : writes)
        dest.setPixel32(w.x, w.y, w.argb);
}

} // namespace nimbrel::movie::bitmap
