#pragma once
#include <cstdint>

namespace nimbrel::movie::swf {

// PlaceObject3 blend modes. The file stores 0 or 1 for normal.
enum class BlendMode : uint8_t {
    Normal = 0,
    Layer = 2,
    Multiply = 3,
    Screen = 4,
    Lighten = 5,
    Darken = 6,
    Difference = 7,
    Add = 8,
    Subtract = 9,
    Invert = 10,
    Alpha = 11,
    Erase = 12,
    Overlay = 13,
    HardLight = 14,
};

// Maps the stored byte to a mode; unknown values are normal.
BlendMode blendModeFromByte(uint8_t v);

} // namespace nimbrel::movie::swf
