#pragma once
// The fixed part of an SWF file: signature, version, stage and frame figures.
#include "movie/swf/Types.h"
#include <cstdint>

namespace nimbrel::movie::swf {

enum class Compression { None, Zlib, Lzma };

struct Header {
    Compression compression = Compression::None;
    uint8_t version = 0;
    uint32_t fileLength = 0; // as declared: uncompressed length including the 8-byte prefix
    Rect stage;              // twips
    double frameRate = 0;    // frames per second (8.8 fixed in the file)
    uint16_t frameCount = 0;
};

} // namespace nimbrel::movie::swf
