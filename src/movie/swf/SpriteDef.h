#pragma once
// DefineSprite: a character with a timeline of its own.
#include "movie/swf/Timeline.h"
#include <cstdint>

namespace nimbrel::movie::swf {

struct SpriteDef {
    uint16_t id = 0;
    uint32_t byteLength = 0; // the bytes of its tags, as getBytesTotal reports a sprite's size
    Timeline timeline;
};

} // namespace nimbrel::movie::swf
