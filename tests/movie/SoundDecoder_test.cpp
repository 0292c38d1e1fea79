// Each stored sound format decodes to 44,100 Hz stereo of the right length
// and pitch; damaged input costs only the damaged packet.
#include "movie/sound/SoundDecoder.h"
#include "support/SoundFixtures.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>

using namespace nimbrel::movie;
using namespace nimbrel::movie::test;

namespace {

std::vector<int16_t> left(const std::vector<int16_t>& stereo) {
    std::vector<int16_t> out;
    for (size_t i = 0; i + 1 < stereo.size(); i += 2) out.push_back(stereo[i]);
    return out;
}

struct Encoded {
    swf::SoundFormat format;
    std::vector<QByteArray> packets; // decoded one after another, as stream blocks are
};

swf::SoundFormat formatOf(int codec, int rate, bool sixteen, bool stereo) {
    return swf::SoundFormat::fromFlags(soundFlags(codec, rate, sixteen, stereo));
}

struct DecodeCase {
    const char* name;
    int rate;           // of the stored samples
    int frames;         // stored samples per channel
    double hz;
    std::function<Encoded(const std::vector<int16_t>& mono)> encode;
    double lengthSlack; // output frames the codec may add or drop (encoder delay, block size)
    int minPeak = 8000; // of a half-scale tone; low-rate codecs lose level
};

class SoundDecoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(SoundDecoding, DecodesToExpectedLengthAndPitch) {
    const DecodeCase& c = GetParam();
    const auto mono = sineTone(c.hz, c.rate, c.frames);
    const Encoded enc = c.encode(mono);
    ASSERT_FALSE(enc.packets.empty()) << "encoder missing";
    sound::SoundDecoder decoder(enc.format);
    ASSERT_TRUE(decoder.isValid());
    std::vector<int16_t> out;
    for (const QByteArray& p : enc.packets)
        decoder.decode(reinterpret_cast<const uint8_t*>(p.constData()), size_t(p.size()), out);
    decoder.flush(out);
    const double expectedFrames = double(c.frames) * 44100 / c.rate;
    EXPECT_NEAR(double(out.size() / 2), expectedFrames, c.lengthSlack) << c.name;
    const auto l = left(out);
    const int n = int(l.size());
    EXPECT_NEAR(zeroCrossingHz(l, n / 4, 3 * n / 4), c.hz, c.hz * 0.02) << c.name;
    // Mono reaches both sides alike.
    const size_t middle = out.size() / 4 * 2;
    EXPECT_EQ(out[middle], out[middle + 1]) << c.name;
    EXPECT_GT(peak(l, n / 4, 3 * n / 4), c.minPeak) << c.name;
}

Encoded whole(swf::SoundFormat f, QByteArray data) { return {f, {std::move(data)}}; }

INSTANTIATE_TEST_SUITE_P(
    Formats, SoundDecoding,
    ::testing::Values(
        DecodeCase{"pcm16le", 22050, 22050, 440,
                   [](const auto& m) { return whole(formatOf(3, 22050, true, false), pcm16Bytes(m)); }, 4},
        DecodeCase{"pcm-native-16", 44100, 20000, 1000,
                   [](const auto& m) { return whole(formatOf(0, 44100, true, false), pcm16Bytes(m)); }, 4},
        DecodeCase{"pcm8", 11025, 11025, 300,
                   [](const auto& m) { return whole(formatOf(3, 11025, false, false), pcm8Bytes(m)); }, 8},
        DecodeCase{"adpcm-stream", 22050, 4096 * 6, 500,
                   [](const auto& m) {
                       return Encoded{formatOf(1, 22050, true, false), encodePackets("adpcm_swf", 22050, 1, m)};
                   },
                   4},
        DecodeCase{"mp3", 44100, 1152 * 30, 440,
                   [](const auto& m) {
                       return Encoded{formatOf(2, 44100, true, false), encodePackets("libmp3lame", 44100, 1, m)};
                   },
                   // the encoder's delay and padding
                   3000},
        DecodeCase{"mulaw", 8000, 8192, 400,
                   [](const auto& m) {
                       auto p = encodePackets("pcm_mulaw", 8000, 1, m);
                       QByteArray all;
                       for (auto& x : p) all += x;
                       return whole(formatOf(8, 5512, true, false), all);
                   },
                   8},
        DecodeCase{"nellymoser", 16000, 256 * 40, 500,
                   [](const auto& m) {
                       return Encoded{formatOf(4, 5512, true, false), encodePackets("nellymoser", 16000, 1, m)};
                   },
                   1500, 1500},
        DecodeCase{"speex", 16000, 320 * 50, 500,
                   [](const auto& m) {
                       return Encoded{formatOf(11, 5512, true, false), encodePackets("libspeex", 16000, 1, m)};
                   },
                   1500, 1500}),
    [](const auto& info) {
        std::string n = info.param.name;
        std::replace(n.begin(), n.end(), '-', '_');
        return n;
    });

TEST(SoundDecoder, DefineSoundMp3SkipsItsSeekField) {
    const auto mono = sineTone(440, 44100, 1152 * 20);
    QByteArray data("\0\0", 2);
    for (const QByteArray& p : encodePackets("libmp3lame", 44100, 1, mono)) data += p;
    ASSERT_GT(data.size(), 100);
    swf::SoundDef def;
    def.format = formatOf(2, 44100, true, false);
    def.data = data;
    const auto out = sound::SoundDecoder::decodeSound(def);
    EXPECT_NEAR(double(out.size() / 2), 1152 * 20, 3000);
}

TEST(SoundDecoder, DamagedMp3FrameIsSkippedAndTheRestPlays) {
    const auto mono = sineTone(440, 44100, 1152 * 20);
    auto packets = encodePackets("libmp3lame", 44100, 1, mono);
    ASSERT_GT(packets.size(), 10u);
    // Frame 5's header and side information become noise.
    for (int i = 0; i < std::min<int>(40, int(packets[5].size())); ++i) packets[5][i] = char(0xff ^ (i * 37));
    sound::SoundDecoder decoder(formatOf(2, 44100, true, false));
    std::vector<int16_t> out;
    for (const QByteArray& p : packets) decoder.decode(reinterpret_cast<const uint8_t*>(p.constData()), size_t(p.size()), out);
    decoder.flush(out);
    // Most of the sound is still there, at its pitch.
    EXPECT_GT(out.size() / 2, size_t(1152 * 15));
    const auto l = left(out);
    EXPECT_NEAR(zeroCrossingHz(l, int(l.size()) * 3 / 5, int(l.size()) * 9 / 10), 440, 10);
}

TEST(SoundDecoder, GarbageOfEveryCodecDecodesToAtMostNoiseWithoutFailing) {
    QByteArray junk;
    for (int i = 0; i < 5000; ++i) junk.append(char((i * 7919) ^ (i >> 3)));
    for (int codec : {0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 9, 15}) {
        for (bool stereo : {false, true}) {
            sound::SoundDecoder decoder(formatOf(codec, 22050, true, stereo));
            std::vector<int16_t> out;
            for (int cut : {0, 1, 7, 100, 4999}) decoder.decode(reinterpret_cast<const uint8_t*>(junk.constData()) + cut, size_t(junk.size() - cut), out);
            decoder.flush(out);
            EXPECT_EQ(out.size() % 2, 0u) << codec;
        }
    }
    // An unknown codec is no decoder at all.
    EXPECT_FALSE(sound::SoundDecoder(formatOf(9, 22050, true, false)).isValid());
}

} // namespace
