#pragma once
// Where decoded movie sound goes. The player runs with the null output until
// a real one is set, so movies with sound play silently rather than fail.
#include <QByteArray>

namespace nimbrel::movie::host {

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Interleaved signed 16-bit stereo samples at 44100 Hz.
    virtual void write(const QByteArray& samples) { (void)samples; }
    virtual void setVolume(double volume) { (void)volume; } // 0..1
    virtual void stopAll() {}
};

using NullAudioOutput = AudioOutput;

} // namespace nimbrel::movie::host
