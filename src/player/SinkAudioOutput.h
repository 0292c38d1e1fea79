#pragma once
// The movie's sound on the computer's default output device, through Qt
// Multimedia. Without a device (no sound card, a test under Xvfb) it stays
// silent and reports nothing: a movie plays the same, only unheard.
#include "movie/host/AudioOutput.h"
#include <QByteArray>
#include <QObject>

class QAudioSink;
class QIODevice;

namespace nimbrel::player {

class SinkAudioOutput : public QObject, public movie::host::AudioOutput {
    Q_OBJECT
public:
    // About this much sound waits in the device: enough to ride out a late
    // tick, short enough that a sound starts promptly.
    static constexpr int bufferMs = 50;

    explicit SinkAudioOutput(QObject* parent = nullptr);
    ~SinkAudioOutput() override;

    bool hasDevice() const { return sink_ != nullptr; }
    void write(const QByteArray& samples) override;
    void stopAll() override;
    qint64 bufferedFrames() const override;

private:
    void feed();

    QAudioSink* sink_ = nullptr;
    QIODevice* device_ = nullptr;
    QByteArray pending_;
};

} // namespace nimbrel::player
