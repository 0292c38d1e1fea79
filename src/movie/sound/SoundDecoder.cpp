#include "movie/sound/SoundDecoder.h"
#include <algorithm>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace nimbrel::movie::sound {

namespace {
// A hostile file may declare hours of sound in a small MP3; past this the rest is dropped.
constexpr size_t kMaxDecodedFrames = size_t(SoundDecoder::outputRate) * 60 * 10;

AVCodecID codecFor(const swf::SoundFormat& f) {
    using F = swf::SoundFormat;
    switch (f.codec) {
    case F::PcmNative:
    case F::PcmLittleEndian:
        return f.sixteenBit ? AV_CODEC_ID_PCM_S16LE : AV_CODEC_ID_PCM_U8;
    case F::Adpcm: return AV_CODEC_ID_ADPCM_SWF;
    case F::Mp3: return AV_CODEC_ID_MP3;
    case F::Nellymoser16k:
    case F::Nellymoser8k:
    case F::Nellymoser: return AV_CODEC_ID_NELLYMOSER;
    case F::G711ALaw: return AV_CODEC_ID_PCM_ALAW;
    case F::G711MuLaw: return AV_CODEC_ID_PCM_MULAW;
    case F::Speex: return AV_CODEC_ID_SPEEX;
    default: return AV_CODEC_ID_NONE;
    }
}

// Codecs that only ever carry one channel, whatever the flags say.
bool alwaysMono(uint8_t codec) {
    using F = swf::SoundFormat;
    return codec == F::Nellymoser16k || codec == F::Nellymoser8k || codec == F::Nellymoser || codec == F::Speex;
}
} // namespace

struct SoundDecoder::Impl {
    AVCodecContext* codec = nullptr;
    AVCodecParserContext* parser = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwrContext* swr = nullptr;
    // The input the resampler was set up for; a change (damaged MP3 headers) sets it up anew.
    int swrFormat = -1, swrRate = 0, swrChannels = 0;
    size_t produced = 0;
    // libavcodec reads a little past the end of what it is given: input is
    // copied here with that much zeroed room after it.
    std::vector<uint8_t> padded;

    const uint8_t* pad(const uint8_t* data, size_t size) {
        padded.assign(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
        std::copy(data, data + size, padded.begin());
        return padded.data();
    }

    ~Impl() {
        swr_free(&swr);
        av_frame_free(&frame);
        av_packet_free(&packet);
        if (parser) av_parser_close(parser);
        avcodec_free_context(&codec);
    }

    bool setUpResampler(const AVFrame* f) {
        const int channels = f->ch_layout.nb_channels;
        if (swr && f->format == swrFormat && f->sample_rate == swrRate && channels == swrChannels) return true;
        swr_free(&swr);
        if (channels < 1 || channels > 2 || f->sample_rate <= 0) return false;
        AVChannelLayout out = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout in;
        av_channel_layout_default(&in, channels);
        if (swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_S16, SoundDecoder::outputRate, &in,
                                AVSampleFormat(f->format), f->sample_rate, 0, nullptr) < 0)
            return false;
        if (channels == 1) {
            // Mono plays at full level on both sides, not 3 dB down as a centre channel would.
            const double both[2] = {1.0, 1.0};
            swr_set_matrix(swr, both, 1);
        }
        if (swr_init(swr) < 0) {
            swr_free(&swr);
            return false;
        }
        swrFormat = f->format;
        swrRate = f->sample_rate;
        swrChannels = channels;
        return true;
    }

    void convert(const uint8_t** in, int count, std::vector<int16_t>& out) {
        if (!swr) return;
        const int room = swr_get_out_samples(swr, count);
        if (room <= 0) return;
        const size_t at = out.size();
        out.resize(at + size_t(room) * 2);
        uint8_t* dst = reinterpret_cast<uint8_t*>(out.data() + at);
        const int got = swr_convert(swr, &dst, room, in, count);
        out.resize(at + size_t(std::max(got, 0)) * 2);
        produced += size_t(std::max(got, 0));
    }

    // Sends one packet and drains its frames; false when the codec refused it.
    bool decodePacket(const uint8_t* data, int size, std::vector<int16_t>& out) {
        packet->data = const_cast<uint8_t*>(data);
        packet->size = size;
        if (avcodec_send_packet(codec, packet) < 0) return false;
        bool fine = true;
        for (;;) {
            const int r = avcodec_receive_frame(codec, frame);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
            if (r < 0) {
                fine = false;
                break;
            }
            if (produced < kMaxDecodedFrames && setUpResampler(frame))
                convert(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples, out);
            av_frame_unref(frame);
        }
        return fine;
    }
};

SoundDecoder::SoundDecoder(const swf::SoundFormat& format) : d(std::make_unique<Impl>()) {
    // Damaged sound is an ordinary outcome here: libavcodec's complaints about it are noise.
    static const bool quiet = (av_log_set_level(AV_LOG_FATAL), true);
    (void)quiet;
    const AVCodec* codec = avcodec_find_decoder(codecFor(format));
    if (!codec) return;
    d->codec = avcodec_alloc_context3(codec);
    if (!d->codec) return;
    const int channels = alwaysMono(format.codec) ? 1 : format.channels();
    av_channel_layout_default(&d->codec->ch_layout, channels);
    d->codec->sample_rate = format.effectiveRate();
    if (codec->id == AV_CODEC_ID_PCM_S16LE || codec->id == AV_CODEC_ID_PCM_U8)
        d->codec->block_align = channels * (format.sixteenBit ? 2 : 1);
    if (avcodec_open2(d->codec, codec, nullptr) < 0) {
        avcodec_free_context(&d->codec);
        return;
    }
    if (codec->id == AV_CODEC_ID_MP3) d->parser = av_parser_init(AV_CODEC_ID_MP3);
    d->packet = av_packet_alloc();
    d->frame = av_frame_alloc();
}

SoundDecoder::~SoundDecoder() = default;

bool SoundDecoder::isValid() const { return d->codec && d->packet && d->frame; }

void SoundDecoder::decode(const uint8_t* data, size_t size, std::vector<int16_t>& out) {
    if (!isValid() || !data || size == 0) return;
    if (size > size_t(INT32_MAX / 2)) return;
    data = d->pad(data, size);
    if (!d->parser) {
        if (!d->decodePacket(data, int(size), out)) ++skipped_;
        return;
    }
    // MP3 frames are found by their headers, so a damaged one costs only itself.
    int left = int(size);
    while (left > 0) {
        uint8_t* frameData = nullptr;
        int frameSize = 0;
        const int used = av_parser_parse2(d->parser, d->codec, &frameData, &frameSize, data, left, AV_NOPTS_VALUE,
                                          AV_NOPTS_VALUE, 0);
        if (used < 0) {
            ++skipped_;
            break;
        }
        data += used;
        left -= used;
        if (frameSize > 0 && !d->decodePacket(frameData, frameSize, out)) ++skipped_;
        if (used == 0 && frameSize == 0) break;
    }
}

void SoundDecoder::flush(std::vector<int16_t>& out) {
    if (!isValid()) return;
    if (d->parser) {
        uint8_t* frameData = nullptr;
        int frameSize = 0;
        av_parser_parse2(d->parser, d->codec, &frameData, &frameSize, nullptr, 0, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (frameSize > 0 && !d->decodePacket(frameData, frameSize, out)) ++skipped_;
    }
    if (d->swr) d->convert(nullptr, 0, out);
}

std::vector<int16_t> SoundDecoder::decodeSound(const swf::SoundDef& sound) {
    std::vector<int16_t> out;
    SoundDecoder decoder(sound.format);
    const auto* data = reinterpret_cast<const uint8_t*>(sound.data.constData());
    size_t size = size_t(sound.data.size());
    if (sound.format.codec == swf::SoundFormat::Mp3) {
        // MP3 sounds open with a seek-samples field.
        const size_t skip = std::min<size_t>(2, size);
        data += skip;
        size -= skip;
    }
    decoder.decode(data, size, out);
    decoder.flush(out);
    return out;
}

} // namespace nimbrel::movie::sound
