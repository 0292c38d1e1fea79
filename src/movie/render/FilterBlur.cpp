#include "movie/render/FilterBlur.h"
#include <cmath>

namespace nimbrel::movie::render {

int boxReach(double box) {
    if (box <= 1.0) return 0;
    return int(std::ceil((box - 1.0) / 2.0));
}

namespace {

// One pass along a line of n samples spaced `stride` apart.
void blurLine(uint8_t* data, int n, int stride, double box, std::vector<uint32_t>& prefix, std::vector<uint8_t>& tmp) {
    const double half = (box - 1.0) / 2.0;
    const int full = int(std::floor(half));
    const double frac = half - full;
    const double inv = 1.0 / box;
    prefix.resize(size_t(n) + 1);
    tmp.resize(size_t(n));
    prefix[0] = 0;
    for (int i = 0; i < n; ++i) {
        tmp[i] = data[size_t(i) * stride];
        prefix[i + 1] = prefix[i] + tmp[i];
    }
    for (int i = 0; i < n; ++i) {
        int lo = std::max(0, i - full), hi = std::min(n, i + full + 1);
        double sum = double(prefix[hi] - prefix[lo]);
        if (frac > 0) {
            if (i - full - 1 >= 0) sum += frac * tmp[i - full - 1];
            if (i + full + 1 < n) sum += frac * tmp[i + full + 1];
        }
        data[size_t(i) * stride] = uint8_t(std::min(255.0, sum * inv + 0.5));
    }
}

} // namespace

void boxBlur(Plane& p, double boxX, double boxY, int passes) {
    if (p.width <= 0 || p.height <= 0) return;
    std::vector<uint32_t> prefix;
    std::vector<uint8_t> tmp;
    for (int pass = 0; pass < passes; ++pass) {
        if (boxX > 1.0)
            for (int y = 0; y < p.height; ++y) blurLine(p.v.data() + size_t(y) * p.width, p.width, 1, boxX, prefix, tmp);
        if (boxY > 1.0)
            for (int x = 0; x < p.width; ++x) blurLine(p.v.data() + x, p.height, p.width, boxY, prefix, tmp);
    }
}

} // namespace nimbrel::movie::render
