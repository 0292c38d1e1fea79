#pragma once
// Smooths the 8x8 block edges of a decoded H.263 picture, after decoding
// and outside the prediction loop: the edge filter of H.263's deblocking
// annex, its strength following the picture's quantiser. Edges across rows
// are filtered first, then edges across columns.
#include <cstddef>
#include <cstdint>

namespace nimbrel::movie::video {

class DeblockingFilter {
public:
    // The filter's strength for a quantiser of 1..31 (clamped into that range).
    static int strengthFor(int quantiser);
    // Filters one plane in place.
    static void apply(uint8_t* plane, int width, int height, ptrdiff_t stride, int strength);
    // One edge: a and b before it, c and d after it (b and c touch it).
    static void filterEdge(uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d, int strength);
};

} // namespace nimbrel::movie::video
