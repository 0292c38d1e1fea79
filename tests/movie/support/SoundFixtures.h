#pragma once
// Sound for tests: generated tones, encoders (libavcodec's, so MP3 and ADPCM
// input is real encoder output rather than bytes copied from our decoder),
// the sound tags of a movie, and measurements of what came out.
#include "SwfBuilder.h"
#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace nimbrel::movie::test {

// A sine tone, interleaved when channels is 2.
std::vector<int16_t> sineTone(double hz, int rate, int frames, int channels = 1, double amplitude = 0.5);
QByteArray pcm16Bytes(const std::vector<int16_t>& samples);
QByteArray pcm8Bytes(const std::vector<int16_t>& samples); // unsigned 8-bit

// Encoded packets, one per encoder frame; empty when the encoder is missing.
std::vector<QByteArray> encodePackets(const char* encoderName, int rate, int channels,
                                      const std::vector<int16_t>& samples);

// The flags byte of DefineSound and the stream heads.
uint8_t soundFlags(int codec, int rate, bool sixteenBit, bool stereo);

struct SoundInfoSpec {
    bool stop = false;
    bool noMultiple = false;
    std::optional<uint32_t> inPoint, outPoint;
    std::optional<uint16_t> loops;
    std::vector<std::array<uint32_t, 3>> envelope; // position, left, right
};

void defineSound(SwfBuilder& b, uint16_t id, uint8_t flags, uint32_t sampleCount, const QByteArray& data);
void startSound(SwfBuilder& b, uint16_t id, const SoundInfoSpec& info = {});
void soundStreamHead(SwfBuilder& b, uint8_t flags, uint16_t samplesPerBlock);
void soundStreamBlock(SwfBuilder& b, const QByteArray& data);
// An MP3 stream block: sample count and seek samples before the frames.
QByteArray mp3Block(uint16_t sampleCount, const QByteArray& frames);

// A movie of `frames` empty frames whose frame `at` starts sound 1, a 16-bit
// mono PCM tone of `toneFrames` samples at 44,100 Hz.
QByteArray toneMovie(int at, int frames, double hz, int toneFrames, double frameRate = 10,
                     const SoundInfoSpec& info = {});

// Measurements on interleaved stereo output.
std::vector<int16_t> leftChannel(const QByteArray& stereoBytes);
// Index of the first sample whose magnitude exceeds threshold, -1 if none.
int firstLoudSample(const std::vector<int16_t>& mono, int threshold = 1000);
int lastLoudSample(const std::vector<int16_t>& mono, int threshold = 1000);
// Frequency from upward zero crossings between first and last (exclusive).
double zeroCrossingHz(const std::vector<int16_t>& mono, int first, int last, int rate = 44100);
int peak(const std::vector<int16_t>& mono, int first, int last);

} // namespace nimbrel::movie::test
