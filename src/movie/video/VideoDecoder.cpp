#include "movie/video/VideoDecoder.h"
#include "movie/swf/VideoTags.h"
#include "movie/video/DeblockingFilter.h"
#include "movie/video/YuvConversion.h"
#include <algorithm>
#include <optional>
#include <vector>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

namespace nimbrel::movie::video {

namespace {
// A hostile stream may claim any size; past this a picture is refused.
constexpr int kMaxSide = 4096;

AVCodecID codecFor(uint8_t codec) {
    using V = swf::VideoStreamDef;
    switch (codec) {
    case V::SorensonH263: return AV_CODEC_ID_FLV1;
    case V::ScreenVideo: return AV_CODEC_ID_FLASHSV;
    case V::Vp6: return AV_CODEC_ID_VP6F;
    case V::Vp6Alpha: return AV_CODEC_ID_VP6A;
    case V::ScreenVideo2: return AV_CODEC_ID_FLASHSV2;
    default: return AV_CODEC_ID_NONE;
    }
}
struct H263Header {
    bool intra = false;
    bool deblocking = false; // the encoder's hint that block edges want smoothing
    int quantiser = 0;
};

// 17-bit start code, 5-bit version, 8-bit time, 3-bit size code (with 8- or
// 16-bit width and height after codes 0 and 1), the 2-bit picture type, the
// deblocking bit and the 5-bit quantiser.
std::optional<H263Header> readH263Header(const uint8_t* data, size_t size) {
    if (size < 4) return std::nullopt;
    auto bits = [&](size_t at, int count) {
        uint32_t v = 0;
        for (int i = 0; i < count; ++i, ++at) v = v << 1 | (at / 8 < size ? (data[at / 8] >> (7 - at % 8)) & 1 : 0);
        return v;
    };
    if (bits(0, 17) != 1) return std::nullopt;
    size_t at = 30;
    const uint32_t sizeCode = bits(at, 3);
    at += 3;
    if (sizeCode == 0) at += 16;
    else if (sizeCode == 1) at += 32;
    if (at / 8 >= size) return std::nullopt;
    return H263Header{bits(at, 2) == 0, bits(at + 2, 1) == 1, int(bits(at + 3, 5))};
}

// A picture libavcodec still holds as a reference, copied so that filtering it
// leaves the pictures predicted from it alone.
AVFrame* writableCopy(const AVFrame* f) {
    AVFrame* copy = av_frame_alloc();
    if (!copy) return nullptr;
    copy->format = f->format;
    copy->width = f->width;
    copy->height = f->height;
    if (av_frame_get_buffer(copy, 0) < 0 || av_frame_copy(copy, f) < 0) av_frame_free(&copy);
    return copy;
}
} // namespace

struct VideoDecoder::Impl {
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    const AVCodec* decoder = nullptr;
    uint8_t codecId = 0;
    uint8_t deblocking = 0;
    // libavcodec reads a little past the end of its input: packets are
    // copied here with that much zeroed room after them.
    std::vector<uint8_t> padded;

    ~Impl() { close(); }

    void close() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
    }

    bool open() {
        codec = avcodec_alloc_context3(decoder);
        if (!codec) return false;
        // One thread: a picture comes out for the packet that went in, with no delay.
        codec->thread_count = 1;
        if (deblocking == 1) codec->skip_loop_filter = AVDISCARD_ALL;
        // The floating-point inverse DCT: the integer ones are off by a level
        // or two along block edges, visible on flat areas and gradients.
        codec->idct_algo = FF_IDCT_FAAN;
        if (avcodec_open2(codec, decoder, nullptr) < 0) {
            avcodec_free_context(&codec);
            return false;
        }
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        return packet && frame;
    }
};

VideoDecoder::VideoDecoder(uint8_t codec, uint8_t deblocking) : d(std::make_unique<Impl>()) {
    static const bool quiet = (av_log_set_level(AV_LOG_FATAL), true);
    (void)quiet;
    d->codecId = codec;
    d->deblocking = deblocking;
    const AVCodecID id = codecFor(codec);
    d->decoder = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(id);
    if (!d->decoder || !d->open()) d->close();
}

VideoDecoder::~VideoDecoder() = default;

bool VideoDecoder::isValid() const { return d->codec != nullptr; }

void VideoDecoder::restart() {
    // Screen video keeps unchanged blocks from the last picture, which a flush
    // does not forget: a fresh context does.
    if (!isValid()) return;
    d->close();
    if (!d->open()) d->close();
}

bool VideoDecoder::decode(const uint8_t* data, size_t size) {
    if (!isValid() || size == 0 || size > size_t(INT32_MAX) - AV_INPUT_BUFFER_PADDING_SIZE) {
        ++skipped_;
        return false;
    }
    d->padded.assign(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    std::copy(data, data + size, d->padded.begin());
    d->packet->data = d->padded.data();
    d->packet->size = int(size);
    // Sorenson H.263 pictures are smoothed after decoding when the stream asks
    // for it, or leaves it to each packet's deblocking bit.
    int strength = 0;
    if (d->codecId == swf::VideoStreamDef::SorensonH263 && d->deblocking != 1) {
        const auto header = readH263Header(data, size);
        if (header && (d->deblocking >= 2 || header->deblocking))
            strength = DeblockingFilter::strengthFor(header->quantiser);
    }
    bool got = false;
    if (avcodec_send_packet(d->codec, d->packet) >= 0) {
        for (;;) {
            const int r = avcodec_receive_frame(d->codec, d->frame);
            if (r < 0) break;
            const AVFrame* f = d->frame;
            if (f->width > 0 && f->height > 0 && f->width <= kMaxSide && f->height <= kMaxSide) {
                AVFrame* filtered = strength > 0 && f->format == AV_PIX_FMT_YUV420P ? writableCopy(f) : nullptr;
                if (filtered) {
                    for (int plane = 0; plane < 3; ++plane) {
                        const int shift = plane == 0 ? 0 : 1;
                        DeblockingFilter::apply(filtered->data[plane], (f->width + shift) >> shift,
                                                (f->height + shift) >> shift, filtered->linesize[plane], strength);
                    }
                }
                QImage converted = YuvConversion::toImage(filtered ? filtered : f);
                av_frame_free(&filtered);
                if (!converted.isNull()) {
                    picture_ = std::move(converted);
                    got = true;
                }
            }
            av_frame_unref(d->frame);
        }
    }
    if (!got) ++skipped_;
    return got;
}

bool VideoDecoder::isKeyframe(uint8_t codec, const uint8_t* data, size_t size) {
    using V = swf::VideoStreamDef;
    switch (codec) {
    case V::SorensonH263: {
        const auto header = readH263Header(data, size);
        return header && header->intra;
    }
    case V::Vp6:
        // The first bit clear marks an intra picture.
        return size >= 1 && (data[0] & 0x80) == 0;
    case V::Vp6Alpha:
        // After the 24-bit offset of the alpha plane.
        return size >= 4 && (data[3] & 0x80) == 0;
    default:
        return false;
    }
}

} // namespace nimbrel::movie::video
