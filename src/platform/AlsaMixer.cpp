#include "platform/AlsaMixer.h"
#include <alsa/asoundlib.h>
#include <cstring>
#include <initializer_list>

namespace nimbrel::platform {

namespace {

// Without a sound card ALSA prints its lookup failures; the player says it once itself.
extern "C" void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

using HasVolume = int (*)(snd_mixer_elem_t*);

snd_mixer_elem_t* findElement(snd_mixer_t* mixer, std::initializer_list<const char*> preferred, HasVolume has) {
    for (const char* name : preferred) {
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
            if (snd_mixer_selem_is_active(e) && has(e) && std::strcmp(snd_mixer_selem_get_name(e), name) == 0)
                return e;
        }
    }
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
        if (snd_mixer_selem_is_active(e) && has(e))
            return e;
    }
    return nullptr;
}

} // namespace

AlsaMixer::~AlsaMixer() { close(); }

void AlsaMixer::close() {
    if (mixer_)
        snd_mixer_close(mixer_);
    mixer_ = nullptr;
    speaker_ = nullptr;
    mic_ = nullptr;
}

int AlsaMixer::open() {
    close();
    snd_lib_error_set_handler(quietAlsa);
    snd_mixer_t* m = nullptr;
    int err = snd_mixer_open(&m, 0);
    if (err < 0)
        return err;
    if ((err = snd_mixer_attach(m, "default")) < 0 || (err = snd_mixer_selem_register(m, nullptr, nullptr)) < 0 ||
        (err = snd_mixer_load(m)) < 0) {
        snd_mixer_close(m);
        return err;
    }
    mixer_ = m;
    speaker_ = findElement(m, {"Master", "PCM", "Speaker"}, snd_mixer_selem_has_playback_volume);
    mic_ = findElement(m, {"Mic", "Capture"}, snd_mixer_selem_has_capture_volume);
    // A card without any volume control is no mixer for us.
    if (!speaker_ && !mic_) {
        close();
        return -ENODEV;
    }
    return 0;
}

std::optional<MixerDevice::Range> AlsaMixer::speakerRange() const {
    if (!speaker_)
        return std::nullopt;
    Range r;
    snd_mixer_selem_get_playback_volume_range(speaker_, &r.min, &r.max);
    return r;
}

std::optional<MixerDevice::Range> AlsaMixer::micRange() const {
    if (!mic_)
        return std::nullopt;
    Range r;
    snd_mixer_selem_get_capture_volume_range(mic_, &r.min, &r.max);
    return r;
}

bool AlsaMixer::setSpeaker(long raw) {
    return speaker_ && snd_mixer_selem_set_playback_volume_all(speaker_, raw) == 0;
}

bool AlsaMixer::setMic(long raw) { return mic_ && snd_mixer_selem_set_capture_volume_all(mic_, raw) == 0; }

} // namespace nimbrel::platform
