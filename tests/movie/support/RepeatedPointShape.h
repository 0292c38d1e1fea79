#pragma once
// A DefineShape body whose edges all run through three points: one triangle
// drawn over and over with its fill on the left, so every edge is reversed and
// joining has to look each next edge up among thousands starting at the same
// point. Drawings traced by hand in authoring tools look like this.
#include "movie/ShapeTestBits.h"
#include <cstdint>
#include <vector>

namespace nimbrel::movie::test {

inline std::vector<uint8_t> repeatedPointShapeBody(uint16_t id, int edgeCount) {
    TestBits b;
    b.u16(id);
    b.rect(0, 2000, 0, 2000);
    b.u8(1);    // one fill style
    b.u8(0x00); // solid
    b.rgb(0x33, 0x66, 0x99);
    b.u8(0);    // no line styles
    b.ub(4, 1); // fill bits
    b.ub(4, 0); // line bits
    b.styleChange(1, true, 0, 0, /*fill0=*/1);
    const int32_t steps[3][2] = {{2000, 0}, {-1000, 2000}, {-1000, -2000}};
    for (int i = 0; i < edgeCount; ++i) b.line(steps[i % 3][0], steps[i % 3][1]);
    b.endShape();
    return b.data();
}

} // namespace nimbrel::movie::test
