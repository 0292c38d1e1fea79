// The mixer: in/out points, loops, envelopes, the bound on event sounds, owners and levels.
#include "movie/sound/SoundMixer.h"
#include <gtest/gtest.h>
#include <memory>

using namespace nimbrel::movie;
using sound::EventSound;
using sound::SoundMixer;

namespace {

// A constant stereo signal of `frames` frames: every sample is `level` (left) and `right`.
sound::Pcm constant(int frames, int16_t level, int16_t right = 0) {
    auto v = std::make_shared<std::vector<int16_t>>();
    for (int i = 0; i < frames; ++i) {
        v->push_back(level);
        v->push_back(right ? right : level);
    }
    return v;
}

std::vector<int16_t> run(SoundMixer& m, int frames) {
    std::vector<int16_t> out;
    m.mixInto(out, frames);
    return out;
}

// Frames of the left channel that are not silent.
int soundingFrames(const std::vector<int16_t>& out) {
    int n = 0;
    for (size_t i = 0; i < out.size(); i += 2) n += out[i] != 0;
    return n;
}

struct PassCase {
    const char* name;
    uint32_t in;
    std::optional<uint32_t> out;
    int loops;
    int expectedFrames; // of a 1000-frame sound
};

class EventPasses : public ::testing::TestWithParam<PassCase> {};

TEST_P(EventPasses, PlayTheSpanTheGivenNumberOfTimes) {
    const PassCase& c = GetParam();
    SoundMixer m;
    EventSound e;
    e.pcm = constant(1000, 1000);
    e.inPoint = c.in;
    e.outPoint = c.out;
    e.loops = c.loops;
    const int id = m.start(e);
    ASSERT_NE(id, 0);
    EXPECT_EQ(soundingFrames(run(m, 10000)), c.expectedFrames);
    EXPECT_FALSE(m.isVoiceActive(id));
    EXPECT_EQ(m.takeFinished(), std::vector<int>{id});
}

INSTANTIATE_TEST_SUITE_P(Spans, EventPasses,
                         ::testing::Values(PassCase{"whole", 0, std::nullopt, 1, 1000},
                                           PassCase{"in", 250, std::nullopt, 1, 750},
                                           PassCase{"inOut", 100, 400, 1, 300},
                                           PassCase{"outBeyondEnd", 0, 5000, 1, 1000},
                                           PassCase{"loops", 0, std::nullopt, 3, 3000},
                                           PassCase{"loopsOfSpan", 100, 200, 4, 400},
                                           PassCase{"zeroLoopsIsOnce", 0, std::nullopt, 0, 1000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SoundMixer, EndingExactlyAtAChunkEndStillReportsCompletion) {
    SoundMixer m;
    EventSound e;
    e.pcm = constant(100, 500);
    const int id = m.start(e);
    run(m, 100);
    EXPECT_EQ(m.takeFinished(), std::vector<int>{id});
}

TEST(SoundMixer, EnvelopeFadesLinearlyBetweenPointsPerSide) {
    SoundMixer m;
    EventSound e;
    e.pcm = constant(1000, 10000);
    // Left fades in from silence over 1000 samples; right stays at half.
    e.envelope = {{0, 0, 16384}, {1000, 32768, 16384}};
    m.start(e);
    const auto out = run(m, 1000);
    EXPECT_EQ(out[0], 0);
    EXPECT_NEAR(out[500 * 2], 5000, 20);
    EXPECT_NEAR(out[999 * 2], 9990, 20);
    EXPECT_NEAR(out[500 * 2 + 1], 5000, 5);
}

TEST(SoundMixer, AtMostThirtyTwoEventSoundsPlayAtOnce) {
    SoundMixer m;
    EventSound e;
    e.pcm = constant(100, 10);
    int started = 0;
    for (int i = 0; i < 40; ++i) started += m.start(e) != 0;
    EXPECT_EQ(started, SoundMixer::maxEventSounds);
    const auto out = run(m, 10);
    EXPECT_EQ(out[0], 10 * SoundMixer::maxEventSounds);
    // Once they end, new ones start again.
    run(m, 200);
    EXPECT_NE(m.start(e), 0);
}

TEST(SoundMixer, SumsClipInsteadOfWrapping) {
    SoundMixer m;
    EventSound e;
    e.pcm = constant(10, 30000);
    m.start(e);
    m.start(e);
    EXPECT_EQ(run(m, 1)[0], 32767);
}

TEST(SoundMixer, StoppingAnOwnerSilencesItsEventsAndStreamOnly) {
    SoundMixer m;
    int a = 0, b = 0;
    EventSound e;
    e.pcm = constant(1000, 100);
    e.owner = &a;
    m.start(e);
    e.owner = &b;
    e.pcm = constant(1000, 7);
    m.start(e);
    m.streamAppend(&a, std::vector<int16_t>(2000, 1000));
    m.stopOwner(&a);
    const auto out = run(m, 10);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(m.streamQueued(&a), 0);
}

TEST(SoundMixer, StreamPlaysWhatWasQueuedThenSilence) {
    SoundMixer m;
    int clip = 0;
    m.streamAppend(&clip, std::vector<int16_t>(200, 300)); // 100 frames
    const auto out = run(m, 150);
    EXPECT_EQ(soundingFrames(out), 100);
    EXPECT_EQ(m.streamPlayed(&clip), 100);
}

TEST(SoundMixer, LevelsComposeFromOwnerAndMaster) {
    SoundMixer m;
    EventSound e;
    e.pcm = constant(100, 10000, 2000);
    m.start(e);
    m.setGainSource([](sound::Owner) {
        sound::ChannelMix mix;
        mix.volume = 0.5;
        // Everything goes to the left.
        mix.ll = 1, mix.rl = 1, mix.rr = 0, mix.lr = 0;
        return mix;
    });
    m.setMasterVolume(0.5);
    const auto out = run(m, 1);
    EXPECT_EQ(out[0], 3000);
    EXPECT_EQ(out[1], 0);
    m.setMasterVolume(7); // out of range: clamped
    EXPECT_EQ(m.masterVolume(), 1.0);
}

TEST(ChannelMix, OuterSettingsApplyAfterInner) {
    sound::ChannelMix parent, child;
    parent.volume = 0.5;
    child.volume = 0.4;
    child.ll = 0, child.lr = 1; // left input goes right
    parent.rr = 0, parent.rl = 1; // right output goes left
    const auto m = parent.after(child);
    EXPECT_DOUBLE_EQ(m.volume, 0.2);
    EXPECT_DOUBLE_EQ(m.ll, 1.0); // left -> right (child) -> left (parent)
}

} // namespace

namespace {

TEST(SoundMixer, ASoundOutlivesTheClipThatOnlyControlsIt) {
    SoundMixer m;
    int movie = 0, clip = 0;
    EventSound e;
    e.pcm = constant(1000, 100);
    e.owner = &movie;
    e.controller = &clip;
    m.start(e);
    std::vector<const void*> asked;
    m.setGainSource([&](sound::Owner o) {
        asked.push_back(o);
        return sound::ChannelMix{};
    });
    run(m, 10);
    EXPECT_EQ(asked.back(), &clip);
    // The clip goes: the sound plays on under its movie's settings.
    m.stopOwner(&clip);
    EXPECT_EQ(run(m, 10)[0], 100);
    EXPECT_EQ(asked.back(), &movie);
    // Stopping what a clip controls takes the sounds it owns too.
    m.stopControlledBy(&movie);
    EXPECT_EQ(run(m, 10)[0], 0);
}

} // namespace

TEST(SoundMixer, AVoicesOwnLevelsApplyUnderItsOwnersAndChangeWhilePlaying) {
    SoundMixer m;
    EventSound e;
    e.pcm = constant(100, 8000);
    e.mix.volume = 0.5;
    const int id = m.start(e);
    m.setGainSource([](sound::Owner) {
        sound::ChannelMix mix;
        mix.volume = 0.5;
        return mix;
    });
    EXPECT_EQ(run(m, 1)[0], 2000);
    sound::ChannelMix swapped;
    swapped.ll = 0, swapped.lr = 1; // the left input goes right
    m.setVoiceMix(id, swapped);
    const auto out = run(m, 1);
    EXPECT_EQ(out[0], 0) << "the left input went right";
    EXPECT_EQ(out[1], 8000);
}
