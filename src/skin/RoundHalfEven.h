#pragma once
#include <cfenv>
#include <cmath>

namespace nimbrel::skin {

// Rounds to the nearest integer with halves going to the even neighbour (2.5 -> 2,
// 3.5 -> 4): the rounding the stored numbers were always shown with.
inline long long roundHalfEven(double value) {
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value);
    std::fesetround(saved);
    return static_cast<long long>(r);
}

} // namespace nimbrel::skin
