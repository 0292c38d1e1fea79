#pragma once
// Keeps everything written, for headless runs and tests.
#include "movie/host/AudioOutput.h"

namespace nimbrel::movie::host {

class RecordingAudioOutput : public AudioOutput {
public:
    void write(const QByteArray& samples) override { recorded_.append(samples); }
    const QByteArray& recorded() const { return recorded_; }
    qint64 frames() const { return recorded_.size() / 4; }
    void clear() { recorded_.clear(); }

private:
    QByteArray recorded_;
};

} // namespace nimbrel::movie::host
