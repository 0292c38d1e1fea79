#pragma once
// One of libavcodec's encoders, opened for a test: what the sound and video
// fixtures share (finding the encoder, opening it, draining and flushing).
#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

struct AVCodec;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace nimbrel::movie::test {

class AvEncoder {
public:
    struct Packet {
        QByteArray data;
        bool keyframe = false;
    };
    // Null when the encoder is missing or refuses what configure set.
    static std::unique_ptr<AvEncoder> open(const char* name,
                                           const std::function<void(AVCodecContext*, const AVCodec*)>& configure);
    ~AvEncoder();

    AVCodecContext* context() const { return ctx_; }
    // A frame for the next send, unreferenced after it.
    AVFrame* frame() const { return frame_; }
    void send();
    // Flushes the encoder and hands over every packet it made.
    std::vector<Packet> finish();

private:
    AvEncoder() = default;
    void drain();

    AVCodecContext* ctx_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    std::vector<Packet> packets_;
};

} // namespace nimbrel::movie::test
