// The volume control over a mixer: the mapping onto the element's range, and
// what happens without a mixer.
#include "platform/AlsaMixer.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/ScriptedMixer.h"
#include "platform/clsVolume.h"
#include <QFile>
#include <gtest/gtest.h>

using nimbrel::platform::clsVolume;
using nimbrel::platform::MessageBoxes;
using nimbrel::platform::MixerDevice;
using nimbrel::platform::ScriptedMessageBoxes;
using nimbrel::platform::ScriptedMixer;

namespace {

TEST(clsVolumeScale, ValuesMapOntoTheElementsOwnRange) {
    struct Case {
        int value;
        MixerDevice::Range range;
        long raw;
    };
    const Case cases[] = {
        {0, {0, 65535}, 0},        {30000, {0, 65535}, 30000}, {65535, {0, 65535}, 65535},
        {0, {0, 87}, 0},           {65535, {0, 87}, 87},       {30000, {0, 87}, 40},
        {32768, {-10239, 400}, -4919}, // a dB-like range below zero
        {70000, {0, 100}, 100},    {-5, {0, 100}, 0},          {30000, {5, 5}, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(clsVolume::toRaw(c.value, c.range), c.raw) << c.value << " on " << c.range.min << ".." << c.range.max;
}

TEST(clsVolumeOpen, WritesReachTheSpeakerAndTheMicrophone) {
    ScriptedMixer mixer;
    mixer.speaker = MixerDevice::Range{0, 100};
    mixer.mic = MixerDevice::Range{0, 31};
    ScriptedMessageBoxes boxes;
    clsVolume v(mixer, boxes);
    v.meOpenMixer();
    EXPECT_EQ(v.prMixerErr(), 0);
    EXPECT_EQ(v.prSpeakerMaxVolume(), 100);
    EXPECT_EQ(v.prMicMaxVolume(), 31);
    v.setPrSpeakerVolume(65535);
    v.setPrMicVolume(0);
    EXPECT_EQ(v.prSpeakerVolume(), 65535);
    EXPECT_EQ(mixer.speakerWrites, std::vector<long>{100});
    EXPECT_EQ(mixer.micWrites, std::vector<long>{0});
    EXPECT_TRUE(boxes.messages().isEmpty());
}

TEST(clsVolumeOpen, WithoutAMixerItSaysSoOnceAndWritesNothing) {
    ScriptedMixer mixer;
    mixer.openResult = -19;
    ScriptedMessageBoxes boxes;
    clsVolume v(mixer, boxes);
    v.meOpenMixer();
    EXPECT_EQ(v.prMixerErr(), -19);
    EXPECT_FALSE(v.isOpen());
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(boxes.messages()[0].text, "Could not open the mixer.");
    EXPECT_EQ(boxes.messages()[0].title, "Volume Control");
    EXPECT_EQ(boxes.messages()[0].icon, MessageBoxes::Icon::Critical);
    v.setPrSpeakerVolume(30000);
    v.setPrMicVolume(30000);
    EXPECT_TRUE(mixer.speakerWrites.empty());
    EXPECT_TRUE(mixer.micWrites.empty());
    EXPECT_EQ(boxes.messages().size(), 1);
    v.tellIfUnusable();
    EXPECT_EQ(boxes.messages().size(), 1) << "told once";
}

TEST(clsVolumeOpen, AMissingMicrophoneLeavesTheSpeakerWorking) {
    ScriptedMixer mixer;
    mixer.mic.reset();
    ScriptedMessageBoxes boxes;
    clsVolume v(mixer, boxes);
    v.meOpenMixer();
    v.setPrMicVolume(1000);
    v.setPrSpeakerVolume(1000);
    EXPECT_TRUE(mixer.micWrites.empty());
    EXPECT_EQ(mixer.speakerWrites, std::vector<long>{1000});
    EXPECT_EQ(v.prMicMaxVolume(), 0);
}

} // namespace

namespace {

TEST(AlsaMixerHere, WithoutASoundCardOpeningFailsAndWritesDoNothing) {
    QFile cards("/proc/asound/cards");
    if (cards.open(QIODevice::ReadOnly)) {
        const QByteArray list = cards.readAll();
        if (!list.trimmed().isEmpty() && !list.contains("no soundcards"))
            GTEST_SKIP() << "this machine has a sound card";
    }
    nimbrel::platform::AlsaMixer mixer;
    EXPECT_NE(mixer.open(), 0);
    EXPECT_FALSE(mixer.speakerRange().has_value());
    EXPECT_FALSE(mixer.micRange().has_value());
    EXPECT_FALSE(mixer.setSpeaker(100));
    EXPECT_FALSE(mixer.setMic(100));
}

} // namespace
