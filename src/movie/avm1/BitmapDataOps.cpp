#include "movie/avm1/BitmapDataOps.h"
#include <algorithm>
#include <cmath>
#include <vector>

namespace nimbrel::movie::avm1 {

QRect colorBounds(const BitmapDataObject& b, uint32_t mask, uint32_t colour, bool findColor)
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

void floodFill(BitmapDataObject& b, int x, int y, uint32_t argb)
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
bool opaqueAt(const BitmapDataObject& b, int x, int y, int32_t threshold)
{
    if (x < 0 || y < 0 || x >= b.width() || y >= b.height())
        return false;
    return int32_t(b.pixel32(x, y) >> 24) >= threshold;
}
} // namespace

bool hitTestPoint(const BitmapDataObject& b, QPoint at, int32_t threshold, QPoint p)
{
    return opaqueAt(b, p.x() - at.x(), p.y() - at.y(), threshold);
}

bool hitTestRect(const BitmapDataObject& b, QPoint at, int32_t threshold, const QRect& r)
{
    const QRect area = r.translated(-at).intersected(b.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (opaqueAt(b, x, y, threshold))
                return true;
    return false;
}

bool hitTestBitmap(const BitmapDataObject& b, QPoint at, int32_t threshold, const BitmapDataObject& other,
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

void transformColors(BitmapDataObject& b, const QRect& area, const double mult[4], const double add[4])
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

} // namespace nimbrel::movie::avm1
