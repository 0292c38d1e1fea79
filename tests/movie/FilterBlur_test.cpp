#include "movie/render/FilterBlur.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::render;

namespace {

// Spread (second moment) of a one-row plane around its centre after a blur
// run as planned.
double spreadAfter(const BlurPlan& plan) {
    Plane p;
    p.width = 1201;
    p.height = 1;
    p.v.assign(size_t(p.width), 0);
    for (int x = 590; x <= 610; ++x) p.v[size_t(x)] = 255; // a bar, so rounding keeps the mass
    runBlur(p, plan);
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
        EXPECT_EQ(plan.shrinkX * plan.shrinkY, 1) << "narrow boxes always run at full size";
    }
}

TEST(FilterBlur, HugeManyPassBlursKeepTheirSpreadWithFewerPasses) {
    const BlurPlan plan = planBlur(size_t(4000) * 4000, 21.0, 1.0, 15);
    ASSERT_EQ(plan.passes, 3);
    EXPECT_GT(plan.boxX, 21.0);
    EXPECT_EQ(plan.boxY, 1.0); // no blur stays no blur
    // The cheaper blur spreads a bar as far as the asked one, within a few per cent.
    const double asked = spreadAfter({21.0, 1.0, 15}), planned = spreadAfter({plan.boxX, 1.0, plan.passes});
    EXPECT_NEAR(planned / asked, 1.0, 0.03) << asked << " vs " << planned;
}

TEST(FilterBlur, VeryWideBoxesRunCoarselyWithTheSameSpread) {
    const BlurPlan plan = planBlur(size_t(1000) * 1000, 200.0, 1.0, 3);
    ASSERT_GT(plan.shrinkX, 1);
    EXPECT_EQ(plan.shrinkY, 1);
    const double asked = spreadAfter({200.0, 1.0, 3}), coarse = spreadAfter(plan);
    EXPECT_NEAR(coarse / asked, 1.0, 0.03) << asked << " vs " << coarse;
}

TEST(FilterBlur, CoarseBlursLookLikeExactOnes) {
    // A soft square, as a glow's mask: the coarse picture differs by a few levels at most.
    Plane exact{240, 200, std::vector<uint8_t>(size_t(240) * 200, 0)};
    for (int y = 70; y < 130; ++y)
        for (int x = 90; x < 150; ++x) exact.v[size_t(y) * 240 + x] = 255;
    Plane coarse = exact;
    runBlur(exact, {40.0, 33.0, 2});
    runBlur(coarse, {40.0, 33.0, 2, 2, 2});
    int worst = 0;
    for (size_t i = 0; i < exact.v.size(); ++i) worst = std::max(worst, std::abs(int(exact.v[i]) - int(coarse.v[i])));
    EXPECT_LE(worst, 4);
}
