#include "platform/clsVolume.h"
#include "platform/MessageBoxes.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::platform {

clsVolume::clsVolume(MixerDevice& mixer, MessageBoxes& boxes) : mixer_(mixer), boxes_(boxes) {}

void clsVolume::meOpenMixer() {
    openQuietly();
    tellIfUnusable();
}

void clsVolume::openQuietly() {
    opened_ = true;
    told_ = false;
    mixerErr_ = mixer_.open();
    if (mixerErr_ != 0) {
        speaker_.reset();
        mic_.reset();
        return;
    }
    speaker_ = mixer_.speakerRange();
    mic_ = mixer_.micRange();
}

void clsVolume::tellIfUnusable() {
    if (!opened_ || mixerErr_ == 0 || told_)
        return;
    told_ = true;
    boxes_.message(QStringLiteral("Could not open the mixer."), QStringLiteral("Volume Control"),
                   MessageBoxes::Icon::Critical);
}

long clsVolume::toRaw(int value, const MixerDevice::Range& range) {
    const double share = std::clamp(value, 0, kFullScale) / double(kFullScale);
    return range.min + std::lround(share * double(range.max - range.min));
}

void clsVolume::setPrSpeakerVolume(int value) {
    speakerVolume_ = value;
    if (isOpen() && speaker_)
        mixer_.setSpeaker(toRaw(value, *speaker_));
}

void clsVolume::setPrMicVolume(int value) {
    micVolume_ = value;
    if (isOpen() && mic_)
        mixer_.setMic(toRaw(value, *mic_));
}

} // namespace nimbrel::platform
