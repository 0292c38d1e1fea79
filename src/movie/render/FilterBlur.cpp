#include "movie/render/FilterBlur.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::render {

int boxReach(double box) {
    if (box <= 1.0) return 0;
    return int(std::ceil((box - 1.0) / 2.0));
}

namespace {

// A box of fractional width w: 2*full+1 samples of weight 1 and one sample of
// weight `edge` (0..1) at each end, all divided by w.
struct Box {
    int full = 0;
    float edge = 0;
    float scale = 1; // 1 / w
    explicit Box(double w) {
        const double half = (w - 1.0) / 2.0;
        full = int(std::floor(half));
        edge = float(half - full);
        scale = float(1.0 / w);
    }
};

// The blur runs down columns: each output row is a running sum of whole rows,
// which keeps memory access sequential. Horizontal blurs go through a
// transposed copy.
void addRow(uint32_t* __restrict sum, const uint8_t* __restrict row, int n) {
    for (int x = 0; x < n; ++x) sum[x] += row[x];
}

void subRow(uint32_t* __restrict sum, const uint8_t* __restrict row, int n) {
    for (int x = 0; x < n; ++x) sum[x] -= row[x];
}

void emitRow(uint8_t* __restrict out, const uint32_t* __restrict sum, const uint8_t* __restrict above,
             const uint8_t* __restrict below, float edge, float scale, int n) {
    for (int x = 0; x < n; ++x) {
        const float v = (float(sum[x]) + edge * float(int(above[x]) + int(below[x]))) * scale + 0.5f;
        out[x] = uint8_t(std::min(v, 255.0f));
    }
}

void blurColumns(std::vector<uint8_t>& v, int w, int h, const Box& box, std::vector<uint32_t>& sum,
                 std::vector<uint8_t>& copy, const std::vector<uint8_t>& zeros) {
    copy = v; // source rows stay intact while results are written
    auto src = [&](int y) -> const uint8_t* { return y < 0 || y >= h ? zeros.data() : copy.data() + size_t(y) * w; };
    sum.assign(size_t(w), 0);
    for (int k = -box.full; k <= box.full; ++k)
        if (k >= 0 && k < h) addRow(sum.data(), src(k), w);
    for (int y = 0; y < h; ++y) {
        emitRow(v.data() + size_t(y) * w, sum.data(), src(y - box.full - 1), src(y + box.full + 1), box.edge,
                box.scale, w);
        if (y + box.full + 1 < h) addRow(sum.data(), src(y + box.full + 1), w);
        if (y - box.full >= 0) subRow(sum.data(), src(y - box.full), w);
    }
}

void transpose(const std::vector<uint8_t>& in, int w, int h, std::vector<uint8_t>& out) {
    out.resize(in.size());
    constexpr int kTile = 32;
    for (int y0 = 0; y0 < h; y0 += kTile)
        for (int x0 = 0; x0 < w; x0 += kTile) {
            const int y1 = std::min(h, y0 + kTile), x1 = std::min(w, x0 + kTile);
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) out[size_t(x) * h + y] = in[size_t(y) * w + x];
        }
}

} // namespace

void boxBlur(Plane& p, double boxX, double boxY, int passes) {
    if (p.width <= 0 || p.height <= 0 || passes <= 0) return;
    const bool doX = boxX > 1.0, doY = boxY > 1.0;
    if (!doX && !doY) return;
    std::vector<uint8_t> copy, t;
    std::vector<uint32_t> sum;
    const std::vector<uint8_t> zeros(size_t(std::max(p.width, p.height)), 0);
    if (doX) {
        // Horizontal passes run as vertical ones on the transposed plane.
        const Box bx(boxX);
        transpose(p.v, p.width, p.height, t);
        for (int pass = 0; pass < passes; ++pass) blurColumns(t, p.height, p.width, bx, sum, copy, zeros);
        transpose(t, p.height, p.width, p.v);
    }
    if (doY) {
        const Box by(boxY);
        for (int pass = 0; pass < passes; ++pass) blurColumns(p.v, p.width, p.height, by, sum, copy, zeros);
    }
}

} // namespace nimbrel::movie::render
