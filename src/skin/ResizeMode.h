#pragma once
#include <cstdint>

namespace nimbrel::skin {

// Which window edge follows the pointer; each value belongs to one resize handle.
enum class ResizeMode : std::int16_t {
    None = 0,
    Right = 1,       // hen2
    Bottom = 2,      // buttom
    BottomRight = 3, // middle
    Left = 4,        // hen1
    BottomLeft = 5,  // Label5
};

} // namespace nimbrel::skin
