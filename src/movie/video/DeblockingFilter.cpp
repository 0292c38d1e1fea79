#include "movie/video/DeblockingFilter.h"
#include <algorithm>
#include <cstdlib>

namespace nimbrel::movie::video {

namespace {
constexpr int kBlock = 8;

// Full correction for small steps, fading to none at twice the strength:
// steps that large are edges of the picture, not of its blocks.
int upDownRamp(int x, int strength) {
    const int magnitude = std::max(0, std::abs(x) - std::max(0, 2 * (std::abs(x) - strength)));
    return x < 0 ? -magnitude : magnitude;
}

uint8_t clip255(int v) { return uint8_t(std::clamp(v, 0, 255)); }
} // namespace

int DeblockingFilter::strengthFor(int quantiser) {
    static constexpr int kStrength[31] = {1, 1, 2, 2, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 7, 7,
                                          8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12, 12};
    return kStrength[std::clamp(quantiser, 1, 31) - 1];
}

void DeblockingFilter::filterEdge(uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d, int strength) {
    // Shifts, not divisions: halves and quarters round toward minus infinity.
    const int step = (a - 4 * b + 4 * c - d) >> 3;
    const int d1 = upDownRamp(step, strength);
    const int limit = std::abs(d1 >> 1);
    const int d2 = std::clamp((a - d) >> 2, -limit, limit);
    const int a1 = a - d2, b1 = b + d1, c1 = c - d1, d1v = d + d2;
    a = clip255(a1);
    b = clip255(b1);
    c = clip255(c1);
    d = clip255(d1v);
}

void DeblockingFilter::apply(uint8_t* plane, int width, int height, ptrdiff_t stride, int strength) {
    if (!plane || width < 2 || height < 2 || strength <= 0) return;
    for (int y = kBlock; y + 1 < height; y += kBlock) {
        uint8_t* above2 = plane + (y - 2) * stride;
        uint8_t* above = plane + (y - 1) * stride;
        uint8_t* below = plane + y * stride;
        uint8_t* below2 = plane + (y + 1) * stride;
        for (int x = 0; x < width; ++x) filterEdge(above2[x], above[x], below[x], below2[x], strength);
    }
    for (int y = 0; y < height; ++y) {
        uint8_t* row = plane + y * stride;
        for (int x = kBlock; x + 1 < width; x += kBlock) filterEdge(row[x - 2], row[x - 1], row[x], row[x + 1], strength);
    }
}

} // namespace nimbrel::movie::video
