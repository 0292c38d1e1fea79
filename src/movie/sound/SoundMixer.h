#pragma once
// The engine's one mixer: every event sound and every clip's stream sound,
// mixed to 44,100 Hz stereo signed 16-bit. Sounds arrive already decoded at
// that rate (SoundDecoder), so in/out points and envelopes count samples of
// the output directly. The mixer knows clips only as opaque owners; the
// engine tells it how loud each owner plays (setGainSource).
#include "movie/swf/SoundTags.h"
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace nimbrel::movie::sound {

using Pcm = std::shared_ptr<const std::vector<int16_t>>; // interleaved stereo at 44,100 Hz
using Owner = const void*;

// How the left and right inputs reach the outputs, and the overall level, as
// fractions (1 = unchanged). Pan and Sound.setTransform both end up here.
struct ChannelMix {
    double ll = 1, lr = 0, rr = 1, rl = 0;
    double volume = 1;
    // This mix applied after inner's (a clip's settings over its children's).
    ChannelMix after(const ChannelMix& inner) const;
};

struct EventSound {
    Pcm pcm;
    const void* key = nullptr; // the sound's identity, for no-multiple and stop
    Owner owner = nullptr;     // the clip that started it; its removal stops it
    Owner controller = nullptr; // the clip whose sound settings apply, when not the owner
    uint32_t inPoint = 0;
    std::optional<uint32_t> outPoint;
    int loops = 1;
    std::vector<swf::SoundEnvelopePoint> envelope;
    uint32_t offset = 0;       // where the first pass starts, after inPoint (Sound.start's offset)
    ChannelMix mix;            // the voice's own levels, under its owner's
};

class SoundMixer {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int maxEventSounds = 32;

    // Starts an event sound; returns its voice id, 0 when nothing started
    // (no samples, or the bound on simultaneous sounds is reached).
    int start(const EventSound& sound);
    // True while an instance of the sound (by key) plays.
    bool isPlaying(const void* key) const;
    // Stops the instances of a sound; with an owner, only those that owner started or controls.
    void stopSound(const void* key, Owner owner = nullptr);
    void stopVoice(int id);
    // The voice's own levels from now on (a SoundChannel's transform).
    void setVoiceMix(int id, const ChannelMix& mix);
    // Everything an owner started: its event sounds and its stream. Sounds it
    // only controlled go on under their owner's settings.
    void stopOwner(Owner owner);
    // The owner's sounds and those it controls (Sound.stop of a clip's Sound).
    void stopControlledBy(Owner owner);
    void stopAll();
    bool isVoiceActive(int id) const;
    // Samples of the voice's sound played so far in its current pass (from its start, not its in-point).
    std::optional<uint32_t> voicePosition(int id) const;
    int activeEventSounds() const { return int(voices_.size()); }
    // Voices that ended by themselves since the last call, in the order they ended.
    std::vector<int> takeFinished();

    // Stream sound: the samples of a clip's next stream block follow the ones before.
    void streamAppend(Owner owner, const std::vector<int16_t>& samples);
    // A stream that is no clip's (a NetStream's): it plays under controller's
    // settings (none when null) and stops with it.
    void streamAppend(Owner stream, const std::vector<int16_t>& samples, Owner controller);
    void streamClear(Owner owner);
    // True from a stream's first samples until it is cleared or stopped, even while its queue is empty.
    bool hasStream(Owner owner) const { return streams_.count(owner) != 0; }
    // Stereo frames of the owner's stream waiting to be played.
    int64_t streamQueued(Owner owner) const;
    int64_t streamPlayed(Owner owner) const;

    // The combined mix of an owner's settings and those of the clips above it.
    void setGainSource(std::function<ChannelMix(Owner)> source) { gainSource_ = std::move(source); }
    // The output level, 0..1, applied after everything else.
    void setMasterVolume(double volume);
    double masterVolume() const { return master_; }

    // Mixes the next frames stereo frames into out (2 * frames values).
    void mix(int16_t* out, int frames);
    // The same, appended to a byte array as little-endian samples.
    void mixInto(std::vector<int16_t>& out, int frames);

private:
    struct Voice {
        int id = 0;
        EventSound sound;
        uint32_t pos = 0;   // next sample frame within the pcm
        uint32_t end = 0;   // one past the last frame of a pass
        int loopsLeft = 1;
    };
    struct Stream {
        std::deque<int16_t> samples;
        int64_t played = 0;
        bool foreign = false;     // not a clip's: the gain comes from controller
        Owner controller = nullptr;
    };
    ChannelMix gainFor(Owner owner) const;
    static void envelopeAt(const std::vector<swf::SoundEnvelopePoint>& env, uint32_t pos, float* left, float* right);

    std::vector<Voice> voices_;
    std::map<Owner, Stream> streams_;
    std::vector<int> finished_;
    std::function<ChannelMix(Owner)> gainSource_;
    std::vector<int32_t> accumulator_;
    double master_ = 1.0;
    int nextId_ = 1;
};

} // namespace nimbrel::movie::sound
