#include "movie/render/FilterBlur.h"
#include <algorithm>
#include <cmath>
#include <cstring>

namespace nimbrel::movie::render {

int boxReach(double box) {
    if (box <= 1.0) return 0;
    return int(std::ceil((box - 1.0) / 2.0));
}

namespace {
constexpr int kFewPasses = 3;
constexpr double kWorkBudget = 16e6;  // bytes times passes, per direction
constexpr double kShrinkBudget = 2e6; // beyond this, very wide boxes run on a coarser grid
constexpr double kShrunkBox = 16.0;   // box width kept on the coarse grid

// n passes of width w spread as n(w^2 - 1)/12.
double spreadOf(double box, int passes) { return passes * (box * box - 1.0) / 12.0; }

// The box that spreads as far on a grid `k` times coarser, allowing for the
// spread that averaging down and interpolating back add (about k^2/4).
double coarseBox(double box, int passes, int k) {
    const double left = std::max(0.0, spreadOf(box, passes) - k * k / 4.0) / (double(k) * k);
    return std::sqrt(12.0 * left / passes + 1.0);
}

int shrinkFor(double box) { return box >= 2 * kShrunkBox ? int(box / kShrunkBox) : 1; }
} // namespace

BlurPlan planBlur(size_t cells, double boxX, double boxY, int passes) {
    BlurPlan plan{boxX, boxY, passes};
    if (passes > kFewPasses && double(cells) * passes > kWorkBudget) {
        // Keep the spread with fewer, wider boxes.
        auto wider = [&](double w) { return w <= 1.0 ? w : std::sqrt(double(passes) / kFewPasses * (w * w - 1.0) + 1.0); };
        plan = {wider(boxX), wider(boxY), kFewPasses};
    }
    if (double(cells) * plan.passes > kShrinkBudget) {
        plan.shrinkX = shrinkFor(plan.boxX);
        plan.shrinkY = shrinkFor(plan.boxY);
    }
    return plan;
}

int planReachX(const BlurPlan& plan) { return boxReach(plan.boxX) * plan.passes + plan.shrinkX - 1; }
int planReachY(const BlurPlan& plan) { return boxReach(plan.boxY) * plan.passes + plan.shrinkY - 1; }

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

// Blurs a grid of `Cell`s (1-byte planes or 4-byte RGBA pixels) exactly as
// asked; channels never mix because the running sums work byte column by byte column.
template <typename Cell>
void blurExactly(std::vector<uint8_t>& v, int w, int h, double boxX, double boxY, int passes) {
    constexpr int kBytes = int(sizeof(Cell));
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

// The same blur on a coarser grid: blocks of kx by ky cells are averaged
// (outside the grid counts as zero, as for the exact blur), blurred with
// boxes that make up the spread, and interpolated back linearly.
template <typename Cell>
void blurCoarsely(std::vector<uint8_t>& v, int w, int h, const BlurPlan& plan) {
    constexpr int kBytes = int(sizeof(Cell));
    const int kx = plan.shrinkX, ky = plan.shrinkY;
    const int sw = (w + kx - 1) / kx, sh = (h + ky - 1) / ky;
    std::vector<uint32_t> sums(size_t(sw) * sh * kBytes, 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = v.data() + size_t(y) * w * kBytes;
        uint32_t* out = sums.data() + size_t(y / ky) * sw * kBytes;
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < kBytes; ++c) out[size_t(x / kx) * kBytes + c] += row[size_t(x) * kBytes + c];
    }
    std::vector<uint8_t> small(sums.size());
    const double area = double(kx) * ky;
    for (size_t i = 0; i < sums.size(); ++i) small[i] = uint8_t(std::min(255.0, sums[i] / area + 0.5));
    blurExactly<Cell>(small, sw, sh, kx > 1 ? coarseBox(plan.boxX, plan.passes, kx) : plan.boxX,
                      ky > 1 ? coarseBox(plan.boxY, plan.passes, ky) : plan.boxY, plan.passes);
    // A coarse cell's value sits at its block's centre.
    auto taps = [](int n, int k, int small, std::vector<int>& at, std::vector<float>& frac) {
        at.resize(size_t(n));
        frac.resize(size_t(n));
        for (int x = 0; x < n; ++x) {
            const double u = std::clamp((x - (k - 1) / 2.0) / k, 0.0, double(small - 1));
            at[size_t(x)] = std::min(int(u), small - 1);
            frac[size_t(x)] = float(u - at[size_t(x)]);
        }
    };
    std::vector<int> ax, ay;
    std::vector<float> fx, fy;
    taps(w, kx, sw, ax, fx);
    taps(h, ky, sh, ay, fy);
    for (int y = 0; y < h; ++y) {
        const int y0 = ay[size_t(y)], y1 = std::min(y0 + 1, sh - 1);
        const float wy = fy[size_t(y)];
        const uint8_t* r0 = small.data() + size_t(y0) * sw * kBytes;
        const uint8_t* r1 = small.data() + size_t(y1) * sw * kBytes;
        uint8_t* out = v.data() + size_t(y) * w * kBytes;
        for (int x = 0; x < w; ++x) {
            const size_t x0 = size_t(ax[size_t(x)]) * kBytes, x1 = size_t(std::min(ax[size_t(x)] + 1, sw - 1)) * kBytes;
            const float wx = fx[size_t(x)];
            for (int c = 0; c < kBytes; ++c) {
                const float top = r0[x0 + c] + wx * (r0[x1 + c] - r0[x0 + c]);
                const float bottom = r1[x0 + c] + wx * (r1[x1 + c] - r1[x0 + c]);
                out[size_t(x) * kBytes + c] = uint8_t(top + wy * (bottom - top) + 0.5f);
            }
        }
    }
}

template <typename Cell>
void runPlan(std::vector<uint8_t>& v, int w, int h, const BlurPlan& plan) {
    if (plan.shrinkX > 1 || plan.shrinkY > 1)
        blurCoarsely<Cell>(v, w, h, plan);
    else
        blurExactly<Cell>(v, w, h, plan.boxX, plan.boxY, plan.passes);
}

} // namespace

void boxBlur(Plane& p, double boxX, double boxY, int passes) {
    if (p.width <= 0 || p.height <= 0 || passes <= 0) return;
    runPlan<uint8_t>(p.v, p.width, p.height, planBlur(p.v.size(), boxX, boxY, passes));
}

void runBlur(Plane& p, const BlurPlan& plan) {
    if (p.width <= 0 || p.height <= 0 || plan.passes <= 0) return;
    runPlan<uint8_t>(p.v, p.width, p.height, plan);
}

void boxBlur(QImage& img, double boxX, double boxY, int passes) {
    runBlur(img, planBlur(size_t(std::max(0, img.width())) * size_t(std::max(0, img.height())) * 4, boxX, boxY, passes));
}

void runBlur(QImage& img, const BlurPlan& plan) {
    if (img.isNull() || plan.passes <= 0 || (plan.boxX <= 1.0 && plan.boxY <= 1.0)) return;
    if (img.format() != QImage::Format_ARGB32_Premultiplied) img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = img.width(), h = img.height();
    std::vector<uint8_t> v(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) std::memcpy(v.data() + size_t(y) * w * 4, img.constScanLine(y), size_t(w) * 4);
    runPlan<uint32_t>(v, w, h, plan);
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
