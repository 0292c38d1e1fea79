#include "movie/render/FilterBlur.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::render;

namespace {

// Spread (second moment) of a one-row plane around its centre after a blur.
double spreadAfter(double box, int passes) {
    Plane p;
    p.width = 1201;
    p.height = 1;
    p.v.assign(size_t(p.width), 0);
    for (int x = 590; x <= 610; ++x) p.v[size_t(x)] = 255; // a bar, so rounding keeps the mass
    boxBlur(p, box, 1.0, passes);
    double mass = 0, moment = 0;
    for (int x = 0; x < p.width; ++x) {
        mass += p.v[size_t(x)];
        moment += p.v[size_t(x)] * double(x - 600) * (x - 600);
    }
    return moment / mass;
}

} // namespace

TEST(FilterBlur, SmallOrFewPassBlursRunAsAsked) {
    struct Case { size_t cells; int passes; };
    for (const Case c : {Case{1000, 15}, Case{200000, 15}, Case{100000000, 3}, Case{100000000, 1}}) {
        const BlurPlan plan = planBlur(c.cells, 9.5, 4.0, c.passes);
        EXPECT_EQ(plan.passes, c.passes) << c.cells;
        EXPECT_EQ(plan.boxX, 9.5);
        EXPECT_EQ(plan.boxY, 4.0);
    }
}

TEST(FilterBlur, HugeManyPassBlursKeepTheirSpreadWithFewerPasses) {
    const BlurPlan plan = planBlur(size_t(4000) * 4000, 21.0, 1.0, 15);
    ASSERT_EQ(plan.passes, 3);
    EXPECT_GT(plan.boxX, 21.0);
    EXPECT_EQ(plan.boxY, 1.0); // no blur stays no blur
    // The cheaper blur spreads a bar as far as the asked one, within a few per cent.
    const double asked = spreadAfter(21.0, 15), planned = spreadAfter(plan.boxX, plan.passes);
    EXPECT_NEAR(planned / asked, 1.0, 0.03) << asked << " vs " << planned;
}
