#pragma once
// Where the engine's mixed sound goes: interleaved signed 16-bit stereo at
// 44,100 Hz, pushed as the movie advances. The base class is the null
// output: movies with sound play silently rather than fail.
#include <QByteArray>
#include <cstdint>

namespace nimbrel::movie::host {

class AudioOutput {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int channels = 2;

    virtual ~AudioOutput() = default;
    // Little-endian samples, 4 bytes a stereo frame.
    virtual void write(const QByteArray& samples) { (void)samples; }
    // Drops what is buffered and not yet heard: pausing or closing is silent at once.
    virtual void stopAll() {}
    // Stereo frames written but not yet heard (0 when unknown).
    virtual qint64 bufferedFrames() const { return 0; }
};

using NullAudioOutput = AudioOutput;

} // namespace nimbrel::movie::host
