#include "movie/sound/SoundMixer.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::sound {

ChannelMix ChannelMix::after(const ChannelMix& inner) const {
    // Matrices compose: outer's left takes inner's left and right outputs.
    ChannelMix m;
    m.ll = ll * inner.ll + rl * inner.lr;
    m.rl = ll * inner.rl + rl * inner.rr;
    m.lr = lr * inner.ll + rr * inner.lr;
    m.rr = lr * inner.rl + rr * inner.rr;
    m.volume = volume * inner.volume;
    return m;
}

int SoundMixer::start(const EventSound& sound) {
    if (!sound.pcm || sound.pcm->size() < 2 || int(voices_.size()) >= maxEventSounds) return 0;
    const uint32_t frames = uint32_t(sound.pcm->size() / 2);
    Voice v;
    v.id = nextId_++;
    if (nextId_ <= 0) nextId_ = 1;
    v.sound = sound;
    v.end = std::min(frames, sound.outPoint.value_or(frames));
    const uint32_t first = std::min(sound.inPoint, v.end);
    v.pos = std::min<uint64_t>(uint64_t(first) + sound.offset, v.end);
    v.loopsLeft = std::max(1, sound.loops);
    if (v.pos >= v.end && v.loopsLeft == 1) return 0;
    voices_.push_back(std::move(v));
    return voices_.back().id;
}

bool SoundMixer::isPlaying(const void* key) const {
    return std::any_of(voices_.begin(), voices_.end(), [&](const Voice& v) { return v.sound.key == key; });
}

void SoundMixer::stopSound(const void* key, Owner owner) {
    std::erase_if(voices_, [&](const Voice& v) {
        return v.sound.key == key && (!owner || v.sound.owner == owner || v.sound.controller == owner);
    });
}

void SoundMixer::stopVoice(int id) {
    std::erase_if(voices_, [&](const Voice& v) { return v.id == id; });
}

void SoundMixer::setVoiceMix(int id, const ChannelMix& mix) {
    for (Voice& v : voices_)
        if (v.id == id) v.sound.mix = mix;
}

void SoundMixer::stopOwner(Owner owner) {
    std::erase_if(voices_, [&](const Voice& v) { return v.sound.owner == owner; });
    for (Voice& v : voices_)
        if (v.sound.controller == owner) v.sound.controller = nullptr;
    streams_.erase(owner);
    std::erase_if(streams_, [&](const auto& entry) { return entry.second.foreign && entry.second.controller == owner; });
}

void SoundMixer::stopControlledBy(Owner owner) {
    std::erase_if(voices_, [&](const Voice& v) { return v.sound.owner == owner || v.sound.controller == owner; });
    streams_.erase(owner);
}

void SoundMixer::stopAll() {
    voices_.clear();
    streams_.clear();
}

bool SoundMixer::isVoiceActive(int id) const {
    return std::any_of(voices_.begin(), voices_.end(), [&](const Voice& v) { return v.id == id; });
}

std::optional<uint32_t> SoundMixer::voicePosition(int id) const {
    for (const Voice& v : voices_)
        if (v.id == id) return v.pos;
    return std::nullopt;
}

std::vector<int> SoundMixer::takeFinished() {
    std::vector<int> out;
    out.swap(finished_);
    return out;
}

void SoundMixer::streamAppend(Owner owner, const std::vector<int16_t>& samples) {
    Stream& s = streams_[owner];
    // A stream never holds more than a few seconds ahead: a timeline running far
    // ahead of its sound (a script looping frames) would otherwise grow it forever.
    constexpr size_t kMaxQueued = size_t(sampleRate) * 2 * 8;
    s.samples.insert(s.samples.end(), samples.begin(), samples.end());
    if (s.samples.size() > kMaxQueued) s.samples.erase(s.samples.begin(), s.samples.end() - kMaxQueued);
}

void SoundMixer::streamAppend(Owner stream, const std::vector<int16_t>& samples, Owner controller) {
    Stream& s = streams_[stream];
    s.foreign = true;
    s.controller = controller;
    streamAppend(stream, samples);
}

void SoundMixer::streamClear(Owner owner) { streams_.erase(owner); }

int64_t SoundMixer::streamQueued(Owner owner) const {
    auto it = streams_.find(owner);
    return it == streams_.end() ? 0 : int64_t(it->second.samples.size() / 2);
}

int64_t SoundMixer::streamPlayed(Owner owner) const {
    auto it = streams_.find(owner);
    return it == streams_.end() ? 0 : it->second.played;
}

void SoundMixer::setMasterVolume(double volume) {
    master_ = std::isfinite(volume) ? std::clamp(volume, 0.0, 1.0) : 1.0;
}

ChannelMix SoundMixer::gainFor(Owner owner) const { return gainSource_ ? gainSource_(owner) : ChannelMix{}; }

void SoundMixer::envelopeAt(const std::vector<swf::SoundEnvelopePoint>& env, uint32_t pos, float* left, float* right) {
    // Levels between points are linear; before the first and after the last they hold.
    if (env.empty()) {
        *left = *right = 1.0f;
        return;
    }
    auto next = std::find_if(env.begin(), env.end(), [&](const swf::SoundEnvelopePoint& p) { return p.position > pos; });
    if (next == env.begin()) {
        *left = next->left / 32768.0f;
        *right = next->right / 32768.0f;
        return;
    }
    auto prev = next - 1;
    if (next == env.end() || next->position == prev->position) {
        *left = prev->left / 32768.0f;
        *right = prev->right / 32768.0f;
        return;
    }
    const float t = float(pos - prev->position) / float(next->position - prev->position);
    *left = (prev->left + (next->left - prev->left) * t) / 32768.0f;
    *right = (prev->right + (next->right - prev->right) * t) / 32768.0f;
}

void SoundMixer::mix(int16_t* out, int frames) {
    if (frames <= 0) return;
    accumulator_.assign(size_t(frames) * 2, 0);
    int32_t* acc = accumulator_.data();

    for (auto it = voices_.begin(); it != voices_.end();) {
        Voice& v = *it;
        const ChannelMix g = gainFor(v.sound.controller ? v.sound.controller : v.sound.owner).after(v.sound.mix);
        const float vol = float(g.volume * master_);
        const float ll = float(g.ll) * vol, lr = float(g.lr) * vol, rr = float(g.rr) * vol, rl = float(g.rl) * vol;
        const int16_t* pcm = v.sound.pcm->data();
        const bool shaped = !v.sound.envelope.empty();
        bool done = false;
        for (int i = 0; i < frames; ++i) {
            if (v.pos >= v.end) {
                if (--v.loopsLeft <= 0) {
                    done = true;
                    break;
                }
                v.pos = std::min(v.sound.inPoint, v.end);
                if (v.pos >= v.end) {
                    done = true;
                    break;
                }
            }
            float l = pcm[size_t(v.pos) * 2], r = pcm[size_t(v.pos) * 2 + 1];
            if (shaped) {
                float el, er;
                envelopeAt(v.sound.envelope, v.pos, &el, &er);
                l *= el;
                r *= er;
            }
            acc[i * 2] += int32_t(l * ll + r * rl);
            acc[i * 2 + 1] += int32_t(r * rr + l * lr);
            ++v.pos;
        }
        if (!done && v.pos >= v.end && v.loopsLeft <= 1) done = true;
        if (done) {
            // Nobody may be asking (no scripts): only the latest are kept.
            if (finished_.size() >= 256) finished_.erase(finished_.begin());
            finished_.push_back(v.id);
            it = voices_.erase(it);
        } else {
            ++it;
        }
    }

    for (auto& [owner, stream] : streams_) {
        const ChannelMix g = !stream.foreign ? gainFor(owner) : stream.controller ? gainFor(stream.controller) : ChannelMix{};
        const float vol = float(g.volume * master_);
        const float ll = float(g.ll) * vol, lr = float(g.lr) * vol, rr = float(g.rr) * vol, rl = float(g.rl) * vol;
        const int n = int(std::min<size_t>(size_t(frames), stream.samples.size() / 2));
        for (int i = 0; i < n; ++i) {
            const float l = stream.samples[size_t(i) * 2], r = stream.samples[size_t(i) * 2 + 1];
            acc[i * 2] += int32_t(l * ll + r * rl);
            acc[i * 2 + 1] += int32_t(r * rr + l * lr);
        }
        stream.samples.erase(stream.samples.begin(), stream.samples.begin() + n * 2);
        stream.played += n;
    }

    for (size_t i = 0; i < size_t(frames) * 2; ++i) out[i] = int16_t(std::clamp<int32_t>(acc[i], -32768, 32767));
}

void SoundMixer::mixInto(std::vector<int16_t>& out, int frames) {
    if (frames <= 0) return;
    const size_t at = out.size();
    out.resize(at + size_t(frames) * 2);
    mix(out.data() + at, frames);
}

} // namespace nimbrel::movie::sound
