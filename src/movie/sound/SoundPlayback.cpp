#include "movie/sound/SoundPlayback.h"
#include "movie/sound/SoundDecoder.h"
#include "movie/swf/Movie.h"

namespace nimbrel::movie::sound {

SoundPlayback::SoundPlayback() = default;
SoundPlayback::~SoundPlayback() = default;

void SoundPlayback::startSound(const swf::Movie& movie, const swf::StartSound& tag, Owner owner) {
    const auto def = tag.className.isEmpty() ? movie.sound(tag.soundId) : movie.exportedSound(tag.className);
    if (!def) return;
    const swf::SoundInfo& info = tag.info;
    if (info.stop) {
        mixer_.stopSound(def.get());
        return;
    }
    if (info.noMultiple && mixer_.isPlaying(def.get())) return;
    EventSound e;
    e.pcm = cache_.pcmFor(def);
    e.key = def.get();
    e.owner = owner;
    e.inPoint = info.inPoint.value_or(0);
    e.outPoint = info.outPoint;
    e.loops = info.loops;
    e.envelope = info.envelope;
    mixer_.start(e);
}

void SoundPlayback::streamBlock(const swf::SoundStreamHead& head, const swf::SoundStreamBlock& block, Owner owner) {
    auto& decoder = streamDecoders_[owner];
    if (!decoder) decoder = std::make_unique<SoundDecoder>(head.format);
    const auto* data = reinterpret_cast<const uint8_t*>(block.data.constData());
    size_t size = size_t(block.data.size());
    if (head.format.codec == swf::SoundFormat::Mp3) {
        // MP3 blocks open with their sample count and seek samples.
        const size_t skip = std::min<size_t>(4, size);
        data += skip;
        size -= skip;
    }
    std::vector<int16_t> samples;
    decoder->decode(data, size, samples);
    if (!samples.empty()) mixer_.streamAppend(owner, samples);
}

void SoundPlayback::streamJump(Owner owner) {
    mixer_.streamClear(owner);
    streamDecoders_.erase(owner);
}

void SoundPlayback::ownerGone(Owner owner) {
    mixer_.stopOwner(owner);
    streamDecoders_.erase(owner);
    mixes_.erase(owner);
}

ChannelMix SoundPlayback::ownerMix(Owner owner) const {
    auto it = mixes_.find(owner);
    return it == mixes_.end() ? ChannelMix{} : it->second;
}

int SoundPlayback::keepLoaded(Pcm pcm) {
    // A movie loading sound after sound in a loop keeps only the latest few hundred.
    constexpr size_t kMaxLoaded = 256;
    if (loaded_.size() >= kMaxLoaded) loaded_.erase(loaded_.begin());
    loaded_[nextHandle_] = std::move(pcm);
    return nextHandle_++;
}

Pcm SoundPlayback::loaded(int handle) const {
    auto it = loaded_.find(handle);
    return it == loaded_.end() ? nullptr : it->second;
}

void SoundPlayback::reset() {
    loaded_.clear();
    mixer_.stopAll();
    mixer_.takeFinished();
    cache_.clear();
    streamDecoders_.clear();
    mixes_.clear();
}

} // namespace nimbrel::movie::sound
