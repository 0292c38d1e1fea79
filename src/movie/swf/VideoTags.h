#pragma once
// Embedded video: DefineVideoStream and the VideoFrame packets that fill it.
// The packets of a stream are gathered by frame number while the file is
// read, so every instance of the stream decodes from the same data.
#include "movie/swf/ParseResult.h"
#include <QByteArray>
#include <cstdint>
#include <map>

namespace nimbrel::movie::swf {

struct VideoStreamDef {
    enum Codec : uint8_t {
        SorensonH263 = 2,
        ScreenVideo = 3,
        Vp6 = 4,
        Vp6Alpha = 5,
        ScreenVideo2 = 6,
    };
    uint16_t id = 0;
    uint16_t frameCount = 0;
    uint16_t width = 0; // pixels; the picture is drawn at this size whatever it decodes to
    uint16_t height = 0;
    // 0: as the packets say, 1: off, 2..7: stronger filtering.
    uint8_t deblocking = 0;
    bool smoothing = false;
    uint8_t codec = 0;
    std::map<uint16_t, QByteArray> frames; // by frame number; the first packet of a number wins

    static ParseResult<VideoStreamDef> parse(const uint8_t* body, size_t length);
};

struct VideoFramePacket {
    uint16_t streamId = 0;
    uint16_t frameNumber = 0;
    QByteArray data;

    static ParseResult<VideoFramePacket> parse(const uint8_t* body, size_t length);
};

} // namespace nimbrel::movie::swf
