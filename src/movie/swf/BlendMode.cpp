#include "movie/swf/BlendMode.h"

namespace nimbrel::movie::swf {

BlendMode blendModeFromByte(uint8_t v) {
    if (v >= 2 && v <= 14) return BlendMode(v);
    return BlendMode::Normal;
}

} // namespace nimbrel::movie::swf
