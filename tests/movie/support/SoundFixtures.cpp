#include "SoundFixtures.h"
#include "AvEncoder.h"
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::test {

std::vector<int16_t> sineTone(double hz, int rate, int frames, int channels, double amplitude) {
    std::vector<int16_t> out;
    out.reserve(size_t(frames) * channels);
    for (int i = 0; i < frames; ++i) {
        const auto v = int16_t(std::lround(std::sin(2 * M_PI * hz * i / rate) * amplitude * 32767));
        for (int c = 0; c < channels; ++c) out.push_back(v);
    }
    return out;
}

QByteArray pcm16Bytes(const std::vector<int16_t>& samples) {
    QByteArray out;
    for (int16_t s : samples) {
        out.append(char(s & 0xff));
        out.append(char((s >> 8) & 0xff));
    }
    return out;
}

QByteArray pcm8Bytes(const std::vector<int16_t>& samples) {
    QByteArray out;
    for (int16_t s : samples) out.append(char(uint8_t((s >> 8) + 128)));
    return out;
}

std::vector<QByteArray> encodePackets(const char* encoderName, int rate, int channels,
                                      const std::vector<int16_t>& samples) {
    std::vector<QByteArray> packets;
    auto encoder = AvEncoder::open(encoderName, [&](AVCodecContext* ctx, const AVCodec* codec) {
        ctx->sample_rate = rate;
        av_channel_layout_default(&ctx->ch_layout, channels);
        // Each encoder takes its first listed sample format.
        ctx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        ctx->bit_rate = 128000;
    });
    if (!encoder) return packets;
    AVCodecContext* ctx = encoder->context();
    const int frameSize = ctx->frame_size > 0 ? ctx->frame_size : 1024;
    const int total = int(samples.size()) / channels;
    for (int at = 0; at + frameSize <= total; at += frameSize) {
        AVFrame* frame = encoder->frame();
        frame->nb_samples = frameSize;
        frame->format = ctx->sample_fmt;
        av_channel_layout_copy(&frame->ch_layout, &ctx->ch_layout);
        frame->sample_rate = rate;
        av_frame_get_buffer(frame, 0);
        for (int i = 0; i < frameSize; ++i)
            for (int c = 0; c < channels; ++c) {
                const int16_t s = samples[size_t(at + i) * channels + c];
                switch (ctx->sample_fmt) {
                case AV_SAMPLE_FMT_S16: reinterpret_cast<int16_t*>(frame->data[0])[i * channels + c] = s; break;
                case AV_SAMPLE_FMT_S16P: reinterpret_cast<int16_t*>(frame->data[c])[i] = s; break;
                case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(frame->data[c])[i] = s / 32768.0f; break;
                case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(frame->data[0])[i * channels + c] = s / 32768.0f; break;
                case AV_SAMPLE_FMT_S32P: reinterpret_cast<int32_t*>(frame->data[c])[i] = s << 16; break;
                default: break;
                }
            }
        encoder->send();
    }
    for (auto& p : encoder->finish()) packets.push_back(std::move(p.data));
    return packets;
}

uint8_t soundFlags(int codec, int rate, bool sixteenBit, bool stereo) {
    const int rateIndex = rate >= 44100 ? 3 : rate >= 22050 ? 2 : rate >= 11025 ? 1 : 0;
    return uint8_t(codec << 4 | rateIndex << 2 | (sixteenBit ? 2 : 0) | (stereo ? 1 : 0));
}

void defineSound(SwfBuilder& b, uint16_t id, uint8_t flags, uint32_t sampleCount, const QByteArray& data) {
    BitWriter w;
    w.u16(id);
    w.u8(flags);
    w.u32(sampleCount);
    w.bytes(data);
    b.tag(14, w.data(), true);
}

void startSound(SwfBuilder& b, uint16_t id, const SoundInfoSpec& info) {
    BitWriter w;
    w.u16(id);
    uint8_t flags = 0;
    if (info.stop) flags |= 0x20;
    if (info.noMultiple) flags |= 0x10;
    if (!info.envelope.empty()) flags |= 0x08;
    if (info.loops) flags |= 0x04;
    if (info.outPoint) flags |= 0x02;
    if (info.inPoint) flags |= 0x01;
    w.u8(flags);
    if (info.inPoint) w.u32(*info.inPoint);
    if (info.outPoint) w.u32(*info.outPoint);
    if (info.loops) w.u16(*info.loops);
    if (!info.envelope.empty()) {
        w.u8(uint8_t(info.envelope.size()));
        for (const auto& p : info.envelope) {
            w.u32(p[0]);
            w.u16(uint16_t(p[1]));
            w.u16(uint16_t(p[2]));
        }
    }
    b.tag(15, w.data());
}

void soundStreamHead(SwfBuilder& b, uint8_t flags, uint16_t samplesPerBlock) {
    BitWriter w;
    w.u8(flags & 0x0f);
    w.u8(flags);
    w.u16(samplesPerBlock);
    if ((flags >> 4) == 2) w.u16(0);
    b.tag(45, w.data());
}

void soundStreamBlock(SwfBuilder& b, const QByteArray& data) { b.tag(19, data, true); }

QByteArray mp3Block(uint16_t sampleCount, const QByteArray& frames) {
    BitWriter w;
    w.u16(sampleCount);
    w.u16(0);
    w.bytes(frames);
    return w.data();
}

QByteArray toneMovie(int at, int frames, double hz, int toneFrames, double frameRate, const SoundInfoSpec& info) {
    SwfBuilder b;
    defineSound(b, 1, soundFlags(3, 44100, true, false), uint32_t(toneFrames),
                pcm16Bytes(sineTone(hz, 44100, toneFrames)));
    for (int f = 0; f < frames; ++f) {
        if (f == at) startSound(b, 1, info);
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 10, {0, 2000, 0, 2000}, frameRate, uint16_t(frames));
}

std::vector<int16_t> leftChannel(const QByteArray& stereoBytes) {
    std::vector<int16_t> out;
    const auto* p = reinterpret_cast<const uint8_t*>(stereoBytes.constData());
    for (qsizetype i = 0; i + 3 < stereoBytes.size(); i += 4) out.push_back(int16_t(p[i] | p[i + 1] << 8));
    return out;
}

int firstLoudSample(const std::vector<int16_t>& mono, int threshold) {
    for (size_t i = 0; i < mono.size(); ++i)
        if (std::abs(mono[i]) > threshold) return int(i);
    return -1;
}

int lastLoudSample(const std::vector<int16_t>& mono, int threshold) {
    for (size_t i = mono.size(); i-- > 0;)
        if (std::abs(mono[i]) > threshold) return int(i);
    return -1;
}

double zeroCrossingHz(const std::vector<int16_t>& mono, int first, int last, int rate) {
    first = std::max(first, 1);
    last = std::min<int>(last, int(mono.size()));
    int crossings = 0, firstCross = -1, lastCross = -1;
    for (int i = first; i < last; ++i)
        if (mono[i - 1] < 0 && mono[i] >= 0) {
            if (firstCross < 0) firstCross = i;
            lastCross = i;
            ++crossings;
        }
    if (crossings < 2) return 0;
    return double(crossings - 1) * rate / double(lastCross - firstCross);
}

int peak(const std::vector<int16_t>& mono, int first, int last) {
    int p = 0;
    for (int i = std::max(first, 0); i < std::min<int>(last, int(mono.size())); ++i) p = std::max(p, std::abs(int(mono[i])));
    return p;
}

} // namespace nimbrel::movie::test
