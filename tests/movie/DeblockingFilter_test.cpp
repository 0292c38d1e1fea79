// The block-edge filter on hand-worked edges: a b | c d before and after.
#include "movie/video/DeblockingFilter.h"
#include <array>
#include <gtest/gtest.h>

namespace nimbrel::movie::video {
namespace {

struct Edge {
    std::array<uint8_t, 4> before;
    int strength;
    std::array<uint8_t, 4> after;
};

TEST(DeblockingFilter, EdgesWorkedByHand) {
    const Edge table[] = {
        {{10, 10, 10, 10}, 4, {10, 10, 10, 10}},    // flat: nothing to do
        {{10, 10, 14, 14}, 4, {10, 11, 13, 14}},    // small step, only the touching pair moves
        {{0, 0, 24, 24}, 12, {4, 9, 15, 20}},       // outer pair moves by at most half the inner correction
        {{0, 0, 16, 16}, 4, {1, 2, 14, 15}},        // step above the strength: correction fades
        {{0, 0, 200, 200}, 12, {0, 0, 200, 200}},   // an edge of the picture itself stays sharp
        {{14, 14, 10, 10}, 4, {13, 12, 12, 11}},    // negative steps round down, not toward zero
    };
    for (const Edge& e : table) {
        auto v = e.before;
        DeblockingFilter::filterEdge(v[0], v[1], v[2], v[3], e.strength);
        EXPECT_EQ(v, e.after) << int(e.before[0]) << " " << int(e.before[2]) << " strength " << e.strength;
    }
}

TEST(DeblockingFilter, StrengthFollowsTheQuantiser) {
    EXPECT_EQ(DeblockingFilter::strengthFor(1), 1);
    EXPECT_EQ(DeblockingFilter::strengthFor(11), 5);
    EXPECT_EQ(DeblockingFilter::strengthFor(31), 12);
    EXPECT_EQ(DeblockingFilter::strengthFor(0), 1);
    EXPECT_EQ(DeblockingFilter::strengthFor(99), 12);
}

TEST(DeblockingFilter, OnlyBlockBoundariesOfAPlaneAreTouched) {
    // 16x12, stride 20: columns 0..7 dark, 8..15 light; rows identical, so the
    // edge across rows at 8 changes nothing and the padding stays as it was.
    constexpr int w = 16, h = 12, stride = 20;
    std::array<uint8_t, stride * h> plane;
    plane.fill(99);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) plane[y * stride + x] = x < 8 ? 0 : 24;
    DeblockingFilter::apply(plane.data(), w, h, stride, 12);
    const std::array<uint8_t, w> expected{0, 0, 0, 0, 0, 0, 4, 9, 15, 20, 24, 24, 24, 24, 24, 24};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) ASSERT_EQ(plane[y * stride + x], expected[x]) << x << "," << y;
        for (int x = w; x < stride; ++x) ASSERT_EQ(plane[y * stride + x], 99);
    }
}

} // namespace
} // namespace nimbrel::movie::video
