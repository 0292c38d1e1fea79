#include "movie/swf/VideoTags.h"
#include "movie/swf/BitReader.h"

namespace nimbrel::movie::swf {

ParseResult<VideoStreamDef> VideoStreamDef::parse(const uint8_t* body, size_t length) {
    BitReader r(body, length);
    VideoStreamDef d;
    d.id = r.u16();
    d.frameCount = r.u16();
    d.width = r.u16();
    d.height = r.u16();
    const uint8_t flags = r.u8();
    d.codec = r.u8();
    if (r.failed()) return ParseResult<VideoStreamDef>::failure(QStringLiteral("DefineVideoStream is cut short"));
    d.deblocking = uint8_t((flags >> 1) & 7);
    d.smoothing = (flags & 1) != 0;
    return d;
}

ParseResult<VideoFramePacket> VideoFramePacket::parse(const uint8_t* body, size_t length) {
    if (length < 4) return ParseResult<VideoFramePacket>::failure(QStringLiteral("VideoFrame is cut short"));
    VideoFramePacket p;
    p.streamId = uint16_t(body[0] | body[1] << 8);
    p.frameNumber = uint16_t(body[2] | body[3] << 8);
    p.data = QByteArray(reinterpret_cast<const char*>(body + 4), qsizetype(length - 4));
    return p;
}

} // namespace nimbrel::movie::swf
