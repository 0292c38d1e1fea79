#include "AvEncoder.h"
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace nimbrel::movie::test {

std::unique_ptr<AvEncoder> AvEncoder::open(const char* name,
                                           const std::function<void(AVCodecContext*, const AVCodec*)>& configure) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec) return nullptr;
    std::unique_ptr<AvEncoder> e(new AvEncoder);
    e->ctx_ = avcodec_alloc_context3(codec);
    configure(e->ctx_, codec);
    if (avcodec_open2(e->ctx_, codec, nullptr) < 0) return nullptr;
    e->frame_ = av_frame_alloc();
    e->packet_ = av_packet_alloc();
    return e;
}

AvEncoder::~AvEncoder() {
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&ctx_);
}

void AvEncoder::drain() {
    while (avcodec_receive_packet(ctx_, packet_) == 0) {
        packets_.push_back({QByteArray(reinterpret_cast<const char*>(packet_->data), packet_->size),
                            (packet_->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(packet_);
    }
}

void AvEncoder::send() {
    avcodec_send_frame(ctx_, frame_);
    av_frame_unref(frame_);
    drain();
}

std::vector<AvEncoder::Packet> AvEncoder::finish() {
    avcodec_send_frame(ctx_, nullptr);
    drain();
    return std::move(packets_);
}

} // namespace nimbrel::movie::test
