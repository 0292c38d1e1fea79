#pragma once
// The default ALSA card's mixer: the speaker is the playback volume of "Master",
// else "PCM", else "Speaker", else the first element with a playback volume;
// the microphone is the capture volume of "Mic", else "Capture", else the first
// element with a capture volume.
#include "platform/MixerDevice.h"

struct _snd_mixer;
struct _snd_mixer_elem;

namespace nimbrel::platform {

class AlsaMixer : public MixerDevice {
public:
    AlsaMixer() = default;
    ~AlsaMixer() override;
    AlsaMixer(const AlsaMixer&) = delete;
    AlsaMixer& operator=(const AlsaMixer&) = delete;

    int open() override;
    std::optional<Range> speakerRange() const override;
    std::optional<Range> micRange() const override;
    bool setSpeaker(long raw) override;
    bool setMic(long raw) override;

private:
    void close();

    _snd_mixer* mixer_ = nullptr;
    _snd_mixer_elem* speaker_ = nullptr;
    _snd_mixer_elem* mic_ = nullptr;
};

} // namespace nimbrel::platform
