#include "movie/sound/SoundCache.h"
#include "movie/sound/SoundDecoder.h"

namespace nimbrel::movie::sound {

Pcm SoundCache::pcmFor(const std::shared_ptr<const swf::SoundDef>& sound) {
    if (!sound) return nullptr;
    auto it = entries_.find(sound.get());
    if (it != entries_.end()) return it->second.pcm;
    auto pcm = std::make_shared<const std::vector<int16_t>>(SoundDecoder::decodeSound(*sound));
    entries_[sound.get()] = Entry{sound, pcm};
    return pcm;
}

} // namespace nimbrel::movie::sound
