#include "movie/render/FilterBlur.h"
#include <algorithm>
#include <cmath>
#include <cstring>

namespace nimbrel::movie::render {

int boxReach(double box) {
    if (box <= 1.0) return 0;
    return int(std::ceil((box - 1.0) / 2.0));
}

BlurPlan planBlur(size_t cells, double boxX, double boxY, int passes) {
    constexpr int kFewPasses = 3;
    constexpr double kWorkBudget = 16e6; // bytes times passes, per direction
    if (passes <= kFewPasses || double(cells) * passes <= kWorkBudget) return {boxX, boxY, passes};
    // n passes of width w spread as n(w^2 - 1)/12; keep that with fewer, wider boxes.
    auto wider = [&](double w) { return w <= 1.0 ? w : std::sqrt(double(passes) / kFewPasses * (w * w - 1.0) + 1.0); };
    return {wider(boxX), wider(boxY), kFewPasses};
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
// which keeps memory access sequential. Rows go in blocks of 16 bytes so the
// compiler can turn each block into vector instructions; horizontal blurs go
// through a transposed copy.
constexpr int kBlock = 16;

void addRow(uint32_t* __restrict sum, const uint8_t* __restrict row, int n) {
    int x = 0;
    for (; x + kBlock <= n; x += kBlock)
        for (int k = 0; k < kBlock; ++k) sum[x + k] += row[x + k];
    for (; x < n; ++x) sum[x] += row[x];
}

void subRow(uint32_t* __restrict sum, const uint8_t* __restrict row, int n) {
    int x = 0;
    for (; x + kBlock <= n; x += kBlock)
        for (int k = 0; k < kBlock; ++k) sum[x + k] -= row[x + k];
    for (; x < n; ++x) sum[x] -= row[x];
}

inline uint8_t boxValue(uint32_t sum, uint8_t above, uint8_t below, float edge, float scale) {
    const float v = (float(sum) + edge * float(int(above) + int(below))) * scale + 0.5f;
    return uint8_t(int(std::min(v, 255.0f)));
}

void emitRow(uint8_t* __restrict out, const uint32_t* __restrict sum, const uint8_t* __restrict above,
             const uint8_t* __restrict below, float edge, float scale, int n) {
    int x = 0;
    for (; x + kBlock <= n; x += kBlock)
        for (int k = 0; k < kBlock; ++k) out[x + k] = boxValue(sum[x + k], above[x + k], below[x + k], edge, scale);
    for (; x < n; ++x) out[x] = boxValue(sum[x], above[x], below[x], edge, scale);
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

// Transposes a w x h grid of T (w per row) into an h x w grid.
template <typename T>
void transpose(const T* in, int w, int h, T* out) {
    constexpr int kTile = 32;
    for (int y0 = 0; y0 < h; y0 += kTile)
        for (int x0 = 0; x0 < w; x0 += kTile) {
            const int y1 = std::min(h, y0 + kTile), x1 = std::min(w, x0 + kTile);
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) out[size_t(x) * h + y] = in[size_t(y) * w + x];
        }
}

// Blurs a grid of `cellBytes`-byte cells (1 for planes, 4 for RGBA pixels);
// channels never mix because the running sums work byte column by byte column.
template <typename Cell>
void blurGrid(std::vector<uint8_t>& v, int w, int h, double boxX, double boxY, int passes) {
    constexpr int kBytes = int(sizeof(Cell));
    const BlurPlan plan = planBlur(v.size(), boxX, boxY, passes);
    boxX = plan.boxX;
    boxY = plan.boxY;
    passes = plan.passes;
    std::vector<uint8_t> copy, t;
    std::vector<uint32_t> sum;
    const std::vector<uint8_t> zeros(size_t(std::max(w, h)) * kBytes, 0);
    if (boxX > 1.0) {
        // Horizontal passes run as vertical ones on the transposed grid.
        const Box bx(boxX);
        t.resize(v.size());
        transpose(reinterpret_cast<const Cell*>(v.data()), w, h, reinterpret_cast<Cell*>(t.data()));
        for (int pass = 0; pass < passes; ++pass) blurColumns(t, h * kBytes, w, bx, sum, copy, zeros);
        transpose(reinterpret_cast<const Cell*>(t.data()), h, w, reinterpret_cast<Cell*>(v.data()));
    }
    if (boxY > 1.0) {
        const Box by(boxY);
        for (int pass = 0; pass < passes; ++pass) blurColumns(v, w * kBytes, h, by, sum, copy, zeros);
    }
}

} // namespace

void boxBlur(Plane& p, double boxX, double boxY, int passes) {
    if (p.width <= 0 || p.height <= 0 || passes <= 0) return;
    blurGrid<uint8_t>(p.v, p.width, p.height, boxX, boxY, passes);
}

void boxBlur(QImage& img, double boxX, double boxY, int passes) {
    if (img.isNull() || passes <= 0 || (boxX <= 1.0 && boxY <= 1.0)) return;
    if (img.format() != QImage::Format_ARGB32_Premultiplied) img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = img.width(), h = img.height();
    std::vector<uint8_t> v(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) std::memcpy(v.data() + size_t(y) * w * 4, img.constScanLine(y), size_t(w) * 4);
    blurGrid<uint32_t>(v, w, h, boxX, boxY, passes);
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::memcpy(out, v.data() + size_t(y) * w * 4, size_t(w) * 4);
        // Rounding may lift a channel a step above its alpha.
        for (int x = 0; x < w; ++x) {
            const QRgb c = out[x];
            const int a = qAlpha(c);
            if (qRed(c) > a || qGreen(c) > a || qBlue(c) > a)
                out[x] = qRgba(std::min(qRed(c), a), std::min(qGreen(c), a), std::min(qBlue(c), a), a);
        }
    }
}

} // namespace nimbrel::movie::render
