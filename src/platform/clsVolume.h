#pragma once
// The volume control over the sound card's mixer: opened once at start, then
// the speaker and microphone volumes are set as values 0..65535, mapped onto
// each element's own range. Without a usable mixer it says so once and every
// later write does nothing.
#include "platform/MixerDevice.h"

namespace nimbrel::platform {

class MessageBoxes;

class clsVolume {
public:
    static constexpr int kFullScale = 65535;

    clsVolume(MixerDevice& mixer, MessageBoxes& boxes);

    // Opens the mixer and finds both controls; a failure is told with the
    // critical box "Could not open the mixer." titled "Volume Control".
    void meOpenMixer();
    // The same in two steps, for a window that tells the failure once it shows.
    void openQuietly();
    void tellIfUnusable();
    // The result of opening: 0 on success.
    int prMixerErr() const { return mixerErr_; }
    bool isOpen() const { return opened_ && mixerErr_ == 0; }

    long prSpeakerMinVolume() const { return speaker_ ? speaker_->min : 0; }
    long prSpeakerMaxVolume() const { return speaker_ ? speaker_->max : 0; }
    void setPrSpeakerVolume(int value);
    int prSpeakerVolume() const { return speakerVolume_; }

    long prMicMinVolume() const { return mic_ ? mic_->min : 0; }
    long prMicMaxVolume() const { return mic_ ? mic_->max : 0; }
    void setPrMicVolume(int value);
    int prMicVolume() const { return micVolume_; }

    // value (0..65535, clamped) on the element's range, rounded to the nearest step.
    static long toRaw(int value, const MixerDevice::Range& range);

private:
    MixerDevice& mixer_;
    MessageBoxes& boxes_;
    bool opened_ = false;
    bool told_ = false;
    int mixerErr_ = 0;
    std::optional<MixerDevice::Range> speaker_;
    std::optional<MixerDevice::Range> mic_;
    int speakerVolume_ = 0;
    int micVolume_ = 0;
};

} // namespace nimbrel::platform
