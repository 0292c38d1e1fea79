// Sound in movies: StartSound and stream blocks on timelines, through the
// player to a recording output, one frame interval of samples per frame.
#include "movie/MoviePlayer.h"
#include "movie/host/RecordingAudioOutput.h"
#include "support/ButtonFixtures.h"
#include "support/SoundFixtures.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::test;

namespace {

constexpr int kRate = 44100;

// Plays movie for `advances` frames and returns what was heard (left channel).
std::vector<int16_t> record(const QByteArray& movie, int advances, MoviePlayer* playerOut = nullptr,
                            std::function<void(MoviePlayer&, int)> eachFrame = {}) {
    MoviePlayer local;
    MoviePlayer& player = playerOut ? *playerOut : local;
    host::RecordingAudioOutput out;
    player.setAudioOutput(&out);
    EXPECT_TRUE(player.loadData(movie)) << qPrintable(player.errorString());
    for (int i = 0; i < advances; ++i) {
        if (eachFrame) eachFrame(player, i);
        player.stepFrame();
    }
    player.setAudioOutput(nullptr);
    return leftChannel(out.recorded());
}

TEST(SoundTimeline, ToneOnFrameTenStartsAtItsFirstSample) {
    // 10 fps: one frame is 4410 samples.
    const auto heard = record(toneMovie(10, 20, 441, 8820), 20);
    ASSERT_EQ(heard.size(), size_t(20 * 4410));
    const int first = firstLoudSample(heard, 500);
    // The tone's first loud sample comes a few samples into its first cycle.
    EXPECT_GE(first, 10 * 4410);
    EXPECT_LT(first, 10 * 4410 + 20);
    EXPECT_EQ(peak(heard, 0, 10 * 4410), 0);
    EXPECT_NEAR(lastLoudSample(heard, 500), 10 * 4410 + 8820, 40);
    EXPECT_NEAR(zeroCrossingHz(heard, 10 * 4410, 10 * 4410 + 8820), 441, 3);
}

TEST(SoundTimeline, OutputLengthFollowsTheFrameRateExactly) {
    // 24 fps does not divide 44,100: fractions carry from frame to frame.
    SwfBuilder b;
    for (int i = 0; i < 48; ++i) b.showFrame();
    b.end();
    const auto heard = record(b.build(SwfBuilder::Container::Fws, 10, {0, 2000, 0, 2000}, 24, 48), 48);
    EXPECT_EQ(heard.size(), size_t(2 * kRate));
}

TEST(SoundTimeline, LoopsRepeatTheTone) {
    SoundInfoSpec loops;
    loops.loops = 3;
    const auto heard = record(toneMovie(0, 30, 441, 4410, 10, loops), 30);
    EXPECT_NEAR(lastLoudSample(heard, 500), 3 * 4410, 40);
}

TEST(SoundTimeline, EnvelopeSilencesTheSecondHalf) {
    SoundInfoSpec env;
    env.envelope = {{0, 32768, 32768}, {4410, 32768, 32768}, {4411, 0, 0}};
    const auto heard = record(toneMovie(0, 10, 441, 8820, 10, env), 10);
    EXPECT_GT(peak(heard, 0, 4400), 10000);
    EXPECT_EQ(peak(heard, 4420, 8820), 0);
}

TEST(SoundTimeline, StopFlagStopsThePlayingSound) {
    SwfBuilder b;
    defineSound(b, 1, soundFlags(3, 44100, true, false), 44100, pcm16Bytes(sineTone(441, 44100, 44100)));
    startSound(b, 1);
    b.showFrame();
    b.showFrame();
    SoundInfoSpec stop;
    stop.stop = true;
    startSound(b, 1, stop);
    for (int i = 0; i < 8; ++i) b.showFrame();
    b.end();
    const auto heard = record(b.build(SwfBuilder::Container::Fws, 10, {0, 2000, 0, 2000}, 10, 10), 10);
    EXPECT_GT(peak(heard, 0, 2 * 4410), 10000);
    EXPECT_EQ(peak(heard, 3 * 4410, 10 * 4410), 0);
}

TEST(SoundTimeline, NoMultipleKeepsASingleInstance) {
    SoundInfoSpec once;
    once.noMultiple = true;
    SwfBuilder b;
    // A constant level, so two instances would sound twice as loud.
    defineSound(b, 1, soundFlags(3, 44100, true, false), 44100, pcm16Bytes(std::vector<int16_t>(44100, 8000)));
    for (int i = 0; i < 4; ++i) {
        startSound(b, 1, once);
        b.showFrame();
    }
    b.end();
    const auto heard = record(b.build(SwfBuilder::Container::Fws, 10, {0, 2000, 0, 2000}, 10, 4), 4);
    EXPECT_EQ(peak(heard, 0, int(heard.size())), 8000);
}

TEST(SoundTimeline, StartSound2FindsTheSoundByItsExportedName) {
    SwfBuilder b;
    defineSound(b, 1, soundFlags(3, 44100, true, false), 4410, pcm16Bytes(sineTone(441, 44100, 4410)));
    b.tag(56, QByteArray("\x01\x00\x01\x00" "Beep\0", 9));
    BitWriter w;
    w.string("beep"); // letter case aside
    w.u8(0);
    b.tag(89, w.data());
    b.showFrame();
    b.showFrame();
    b.end();
    const auto heard = record(b.build(SwfBuilder::Container::Fws, 10, {0, 2000, 0, 2000}, 10, 2), 2);
    EXPECT_GT(peak(heard, 0, 4410), 10000);
    EXPECT_EQ(peak(heard, 4420, 8820), 0);
}

// A sprite (id 2) that starts a long tone, placed at depth 1 on frame 0 and removed on `removeAt`.
QByteArray clipWithSound(int removeAt, int frames) {
    SwfBuilder b;
    defineSound(b, 1, soundFlags(3, 44100, true, false), 44100 * 2, pcm16Bytes(sineTone(441, 44100, 44100 * 2)));
    SwfBuilder inner;
    startSound(inner, 1);
    inner.showFrame();
    inner.end();
    b.defineSprite(2, 1, inner);
    Placement p;
    p.characterId = 2;
    p.name = QStringLiteral("voice");
    b.placeObject2(p);
    for (int f = 0; f < frames; ++f) {
        if (f == removeAt) b.removeObject2(1);
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 10, {0, 2000, 0, 2000}, 10, uint16_t(frames));
}

TEST(SoundTimeline, ButtonSoundsPlayOnTheirChangesOfState) {
    // Button 10 at (100,100): a 441 Hz tone when the pointer comes over it, a 882 Hz one when it presses.
    SwfBuilder b;
    defineButton(b);
    defineSound(b, 21, soundFlags(3, kRate, true, false), 4410, pcm16Bytes(sineTone(441, kRate, 4410)));
    defineSound(b, 22, soundFlags(3, kRate, true, false), 4410, pcm16Bytes(sineTone(882, kRate, 4410)));
    BitWriter sounds;
    sounds.u16(10);
    for (uint16_t id : {0, 21, 22, 0}) { // over to up, up to over, over to down, down to over
        sounds.u16(id);
        if (id) sounds.u8(0);
    }
    b.tag(17, sounds.data());
    Placement p;
    p.characterId = 10;
    p.matrix = swf::Matrix{1, 0, 0, 1, 2000, 2000};
    b.placeObject2(p);
    for (int i = 0; i < 10; ++i) b.showFrame();
    b.end();
    const QSize viewport(550, 400);
    const auto heard = record(b.build(SwfBuilder::Container::Fws, 10, {0, 11000, 0, 8000}, 10, 10), 10, nullptr,
                              [&](MoviePlayer& player, int frame) {
        if (frame == 3) player.mouseMove({50, 50}, viewport);   // beside it: nothing
        if (frame == 4) player.mouseMove({150, 150}, viewport); // over it
        if (frame == 7) player.mousePress({150, 150}, viewport);
    });
    EXPECT_EQ(peak(heard, 0, 4 * 4410), 0);
    EXPECT_NEAR(firstLoudSample(heard), 4 * 4410, 30);
    EXPECT_NEAR(zeroCrossingHz(heard, 4 * 4410 + 100, 5 * 4410 - 100), 441, 5);
    EXPECT_EQ(peak(heard, 5 * 4410 + 50, 7 * 4410), 0);
    EXPECT_NEAR(zeroCrossingHz(heard, 7 * 4410 + 100, 8 * 4410 - 100), 882, 8);
}

TEST(SoundTimeline, RemovingAClipStopsItsSounds) {
    const auto heard = record(clipWithSound(5, 10), 10);
    EXPECT_GT(peak(heard, 0, 4 * 4410), 10000);
    EXPECT_EQ(peak(heard, 5 * 4410, 10 * 4410), 0);
}

TEST(SoundTimeline, PausingAndClosingSilenceAtOnce) {
    MoviePlayer player;
    auto heard = record(clipWithSound(-1, 10), 10, &player, [](MoviePlayer& p, int frame) {
        if (frame == 3) p.stop();
    });
    EXPECT_GT(peak(heard, 0, 3 * 4410), 10000);
    EXPECT_EQ(peak(heard, 3 * 4410, 10 * 4410), 0);

    host::RecordingAudioOutput out;
    player.setAudioOutput(&out);
    player.loadData(clipWithSound(-1, 10));
    player.stepFrame();
    player.setMovie(QString());
    player.stepFrame();
    player.advanceTime(500);
    EXPECT_EQ(out.frames(), 4410); // nothing after closing
}

TEST(SoundTimeline, VolumeScalesTheOutput) {
    MoviePlayer player;
    player.setSoundVolume(0.25);
    const auto heard = record(toneMovie(0, 5, 441, 4410 * 4), 5, &player);
    EXPECT_NEAR(peak(heard, 0, int(heard.size())), 0.5 * 32767 * 0.25, 20);
    EXPECT_DOUBLE_EQ(player.soundVolume(), 0.25);
}

// A stream of `frames` frames, each block one frame of a tone encoded by `encoder`.
struct StreamCase {
    const char* name;
    const char* encoder;
    int codec;
    int blockSamples; // the encoder's frame size; the frame rate follows from it
    int packetsPerBlock;
};

class StreamSound : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamSound, DecodesToTheFramesLengthAndPitch) {
    const StreamCase& c = GetParam();
    const int perFrame = c.blockSamples * c.packetsPerBlock;
    const int frames = 40;
    const auto tone = sineTone(630, 44100, perFrame * (frames + 2));
    const auto packets = encodePackets(c.encoder, 44100, 1, tone);
    ASSERT_GE(int(packets.size()), frames * c.packetsPerBlock) << "encoder missing";
    SwfBuilder b;
    soundStreamHead(b, soundFlags(c.codec, 44100, true, false), uint16_t(perFrame));
    for (int f = 0; f < frames; ++f) {
        QByteArray block;
        for (int k = 0; k < c.packetsPerBlock; ++k) block += packets[size_t(f * c.packetsPerBlock + k)];
        soundStreamBlock(b, c.codec == 2 ? mp3Block(uint16_t(perFrame), block) : block);
        b.showFrame();
    }
    b.end();
    const double fps = 44100.0 / perFrame;
    const auto heard = record(b.build(SwfBuilder::Container::Fws, 10, {0, 2000, 0, 2000}, fps, uint16_t(frames)), frames);
    const int last = lastLoudSample(heard, 2000);
    // The sound lasts as long as the frames that carry it, to within a block.
    EXPECT_NEAR(last, frames * 44100.0 / (std::round(fps * 256) / 256), perFrame + 1200) << c.name;
    EXPECT_NEAR(zeroCrossingHz(heard, last / 4, last * 3 / 4), 630, 630 * 0.02) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Codecs, StreamSound,
                         ::testing::Values(StreamCase{"adpcm", "adpcm_swf", 1, 4096, 1},
                                           StreamCase{"mp3", "libmp3lame", 2, 1152, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SoundTimeline, DamagedStreamBlockIsSkippedAndTheStreamGoesOn) {
    const auto tone = sineTone(630, 44100, 4096 * 12);
    auto packets = encodePackets("adpcm_swf", 44100, 1, tone);
    ASSERT_GE(packets.size(), 10u);
    SwfBuilder b;
    soundStreamHead(b, soundFlags(1, 44100, true, false), 4096);
    for (int f = 0; f < 10; ++f) {
        // Block 4 is cut to three bytes: less than one ADPCM header.
        soundStreamBlock(b, f == 4 ? packets[4].left(3) : packets[size_t(f)]);
        b.showFrame();
    }
    b.end();
    const auto heard = record(b.build(SwfBuilder::Container::Fws, 10, {0, 2000, 0, 2000}, 44100.0 / 4096, 10), 10);
    EXPECT_GT(peak(heard, int(heard.size()) - 8000, int(heard.size()) - 4000), 8000);
}

} // namespace
