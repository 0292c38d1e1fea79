#include "player/VolumeControl.h"
#include "platform/clsVolume.h"
#include <algorithm>

namespace nimbrel::player {

VolumeControl::VolumeControl(platform::clsVolume& volume, QObject* parent) : QObject(parent), volume_(volume) {}

void VolumeControl::MNUPAGEU_Click() { writeThenStep(kStep); }
void VolumeControl::MNUPAGED_Click() { writeThenStep(-kStep); }

void VolumeControl::writeThenStep(int step) {
    if (!volume_.isOpen())
        return;
    const int written = level_;
    volume_.setPrSpeakerVolume(written);
    level_ = std::clamp(level_ + step, 0, kMaxLevel);
    emit levelWritten(written);
}

} // namespace nimbrel::player
