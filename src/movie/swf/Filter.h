#pragma once
// SWF 8 bitmap filters as stored in PlaceObject3 and button records.
#include "movie/swf/Shape.h"
#include "movie/swf/Types.h"
#include <array>
#include <cstdint>
#include <vector>

namespace nimbrel::movie::swf {

enum class FilterType : uint8_t {
    DropShadow = 0,
    Blur = 1,
    Glow = 2,
    Bevel = 3,
    GradientGlow = 4,
    Convolution = 5,
    ColorMatrix = 6,
    GradientBevel = 7,
};

struct Filter {
    FilterType type = FilterType::Blur;
    // Drop shadow, glow, bevel (shadow colour), gradient filters use `gradient`.
    Rgba color{0, 0, 0, 255};
    Rgba highlightColor{255, 255, 255, 255}; // bevel
    double blurX = 4, blurY = 4;            // pixels
    double angle = 0;                        // radians
    double distance = 0;                     // pixels
    double strength = 1;
    bool inner = false;
    bool knockout = false;
    bool compositeSource = true; // false hides the object and keeps only the effect
    bool onTop = false;          // bevels
    int passes = 1;              // blur quality
    std::vector<GradientRecord> gradient;

    // Convolution
    int matrixX = 0, matrixY = 0;
    float divisor = 1, bias = 0;
    std::vector<float> matrix; // matrixX * matrixY, row by row
    Rgba defaultColor{0, 0, 0, 0};
    bool clamp = true;
    bool preserveAlpha = false;

    // Colour matrix: 4 rows of 5 (r, g, b, a, offset), offsets in 0..255 units.
    std::array<float, 20> colorMatrix{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
};

} // namespace nimbrel::movie::swf
