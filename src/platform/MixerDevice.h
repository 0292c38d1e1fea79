#pragma once
// The sound card's mixer as the volume control needs it: open it once, then
// set the speaker (playback) and microphone (capture) volume in the element's
// own raw range. AlsaMixer is the real one; tests use ScriptedMixer.
#include <optional>

namespace nimbrel::platform {

class MixerDevice {
public:
    struct Range {
        long min = 0;
        long max = 0;
        bool operator==(const Range&) const = default;
    };

    virtual ~MixerDevice() = default;

    // 0 when the mixer opened; otherwise a non-zero error code.
    virtual int open() = 0;
    // The elements found on opening; none when the card has no such control.
    virtual std::optional<Range> speakerRange() const = 0;
    virtual std::optional<Range> micRange() const = 0;
    // Sets every channel of the element to raw; false when it could not be set.
    virtual bool setSpeaker(long raw) = 0;
    virtual bool setMic(long raw) = 0;
};

} // namespace nimbrel::platform
