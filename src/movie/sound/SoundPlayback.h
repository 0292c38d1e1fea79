#pragma once
// The sound side of one playing movie: the mixer, the decoded sounds, each
// clip's stream decoder and the sound settings scripts gave clips. Timelines
// and scripts start and stop sounds here; the player mixes and hands the
// samples to its audio output.
#include "movie/sound/SoundCache.h"
#include "movie/sound/SoundMixer.h"
#include "movie/swf/SoundTags.h"
#include <map>
#include <memory>

namespace nimbrel::movie::swf {
struct Movie;
}

namespace nimbrel::movie::sound {

class SoundDecoder;

class SoundPlayback {
public:
    SoundPlayback();
    ~SoundPlayback();

    SoundMixer& mixer() { return mixer_; }
    const SoundMixer& mixer() const { return mixer_; }
    SoundCache& cache() { return cache_; }

    // StartSound/StartSound2 of owner's timeline: starts, or with the stop flag stops, the sound.
    void startSound(const swf::Movie& movie, const swf::StartSound& tag, Owner owner);
    // One SoundStreamBlock of owner's timeline, decoded and queued after the ones before.
    void streamBlock(const swf::SoundStreamHead& head, const swf::SoundStreamBlock& block, Owner owner);
    // A goto in owner's timeline: what was queued no longer follows the frames.
    void streamJump(Owner owner);
    // Owner left the stage: its sounds stop, its settings go.
    void ownerGone(Owner owner);

    // The settings scripts gave owner's sounds (Sound.setVolume, setPan, setTransform).
    void setOwnerMix(Owner owner, const ChannelMix& mix) { mixes_[owner] = mix; }
    ChannelMix ownerMix(Owner owner) const;

    // Sounds scripts loaded (Sound.loadSound), kept by handle while the movie plays.
    int keepLoaded(Pcm pcm);
    Pcm loaded(int handle) const;

    void reset();

private:
    std::map<int, Pcm> loaded_;
    int nextHandle_ = 1;
    SoundMixer mixer_;
    SoundCache cache_;
    std::map<Owner, std::unique_ptr<SoundDecoder>> streamDecoders_;
    std::map<Owner, ChannelMix> mixes_;
};

} // namespace nimbrel::movie::sound
