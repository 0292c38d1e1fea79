#pragma once
// Each DefineSound decoded once, on its first start, and kept while the movie plays.
#include "movie/sound/SoundMixer.h"
#include "movie/swf/SoundTags.h"
#include <map>
#include <memory>

namespace nimbrel::movie::sound {

class SoundCache {
public:
    Pcm pcmFor(const std::shared_ptr<const swf::SoundDef>& sound);
    void clear() { entries_.clear(); }

private:
    struct Entry {
        std::shared_ptr<const swf::SoundDef> def; // keeps the key's address from being reused
        Pcm pcm;
    };
    std::map<const swf::SoundDef*, Entry> entries_;
};

} // namespace nimbrel::movie::sound
