#pragma once
// Box blur of 8-bit planes, the building block of every SWF filter.
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nimbrel::movie::render {

struct Plane {
    int width = 0, height = 0;
    std::vector<uint8_t> v; // row-major, width * height
    uint8_t at(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0 : v[size_t(y) * width + x];
    }
};

// Blurs in place with a box `boxX` by `boxY` pixels wide (fractional widths
// weight the outermost samples), repeated `passes` times. Outside the plane
// counts as zero; the plane does not grow, so callers pad first.
void boxBlur(Plane& p, double boxX, double boxY, int passes);

// The same for a premultiplied ARGB32 image, all channels at once.
void boxBlur(QImage& img, double boxX, double boxY, int passes);

// What a blur actually runs. Beyond a work budget, many passes of a box
// become three passes of a wider box with the same spread (variance), and a
// very wide box runs on a grid `shrinkX` by `shrinkY` times coarser, averaged
// down and interpolated back: the picture is all but the same and the cost a
// small fraction, so huge high-quality blurs cannot stall a frame for seconds.
// `cells` counts bytes blurred; boxes stay in full-size pixels.
struct BlurPlan {
    double boxX = 0, boxY = 0;
    int passes = 0;
    int shrinkX = 1, shrinkY = 1;
};
BlurPlan planBlur(size_t cells, double boxX, double boxY, int passes);

// Runs a plan as given, without planning again.
void runBlur(Plane& p, const BlurPlan& plan);
void runBlur(QImage& img, const BlurPlan& plan);

// Pixels a planned blur reaches beyond its centre, across and down.
int planReachX(const BlurPlan& plan);
int planReachY(const BlurPlan& plan);

// Pixels one pass of a box this wide reaches beyond its centre.
int boxReach(double box);

} // namespace nimbrel::movie::render
