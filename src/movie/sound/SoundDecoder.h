#pragma once
// Turns a movie's stored sound into the mixer's samples: 44,100 Hz stereo
// signed 16-bit, interleaved. Decoding goes through libavcodec; the rate and
// channel change through libswresample. Damaged input loses the packet it
// is in, never more: decode() reports how many packets it skipped.
#include "movie/swf/SoundTags.h"
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace nimbrel::movie::sound {

class SoundDecoder {
public:
    static constexpr int outputRate = 44100;

    explicit SoundDecoder(const swf::SoundFormat& format);
    ~SoundDecoder();
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;

    // False when the codec is unknown or libavcodec lacks it: decode() then yields nothing.
    bool isValid() const;

    // Decodes one stored unit (a whole DefineSound body without its header,
    // or one stream block without its MP3 fields) and appends stereo frames to out.
    void decode(const uint8_t* data, size_t size, std::vector<int16_t>& out);
    // Whatever the resampler still holds, at the end of a sound.
    void flush(std::vector<int16_t>& out);
    int skippedPackets() const { return skipped_; }

    // A whole DefineSound as mixer samples (MP3's seek field dropped).
    static std::vector<int16_t> decodeSound(const swf::SoundDef& sound);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    int skipped_ = 0;
};

} // namespace nimbrel::movie::sound
