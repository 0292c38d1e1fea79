#pragma once
// A mixer for tests: opens with the code it is given and records every raw
// value written to each control.
#include "platform/MixerDevice.h"
#include <vector>

namespace nimbrel::platform {

class ScriptedMixer : public MixerDevice {
public:
    int openResult = 0;
    std::optional<Range> speaker = Range{0, 65535};
    std::optional<Range> mic = Range{0, 65535};
    std::vector<long> speakerWrites;
    std::vector<long> micWrites;
    int opens = 0;

    int open() override {
        ++opens;
        return openResult;
    }
    std::optional<Range> speakerRange() const override { return speaker; }
    std::optional<Range> micRange() const override { return mic; }
    bool setSpeaker(long raw) override {
        speakerWrites.push_back(raw);
        return speaker.has_value();
    }
    bool setMic(long raw) override {
        micWrites.push_back(raw);
        return mic.has_value();
    }
};

} // namespace nimbrel::platform
