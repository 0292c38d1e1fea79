#pragma once
// Decoded pictures to the renderer's pixels: planar YUV 4:2:0 (with or
// without an alpha plane, whose colours come premultiplied) by the
// studio-range BT.601 rule with each chroma sample covering its 2x2 luma
// block, and the BGR pictures of Screen Video, all to premultiplied ARGB32.
#include <QImage>
#include <cstdint>

struct AVFrame;

namespace nimbrel::movie::video {

class YuvConversion {
public:
    // Null for a pixel format no embedded video codec produces.
    static QImage toImage(const AVFrame* frame);
    // One pixel, opaque, as 0xffRRGGBB.
    static uint32_t rgb(int y, int u, int v);
};

} // namespace nimbrel::movie::video
