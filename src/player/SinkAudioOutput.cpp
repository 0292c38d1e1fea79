#include "player/SinkAudioOutput.h"
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace nimbrel::player {

namespace {
constexpr int kBytesPerFrame = 4;
// Sound the device could not take yet is kept up to this much; beyond it the
// oldest goes, so a stalled device never makes the movie lag behind its sound.
constexpr qsizetype kMaxPendingBytes = movie::host::AudioOutput::sampleRate * kBytesPerFrame / 10;
} // namespace

SinkAudioOutput::SinkAudioOutput(QObject* parent) : QObject(parent) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) return;
    sink_ = new QAudioSink(device, format, this);
    sink_->setBufferSize(sampleRate * kBytesPerFrame * bufferMs / 1000);
    device_ = sink_->start();
    if (!device_) {
        delete sink_;
        sink_ = nullptr;
    }
}

SinkAudioOutput::~SinkAudioOutput() {
    if (sink_) sink_->stop();
}

void SinkAudioOutput::write(const QByteArray& samples) {
    if (!sink_) return;
    pending_.append(samples);
    if (pending_.size() > kMaxPendingBytes) {
        const qsizetype drop = (pending_.size() - kMaxPendingBytes) / kBytesPerFrame * kBytesPerFrame;
        pending_.remove(0, drop);
    }
    feed();
}

void SinkAudioOutput::feed() {
    if (!device_ || pending_.isEmpty()) return;
    const qsizetype room = std::min<qsizetype>(sink_->bytesFree(), pending_.size()) / kBytesPerFrame * kBytesPerFrame;
    if (room <= 0) return;
    const qint64 written = device_->write(pending_.constData(), room);
    if (written > 0) pending_.remove(0, written);
}

void SinkAudioOutput::stopAll() {
    pending_.clear();
    if (!sink_) return;
    // Restarting drops what the device still holds: silence at once.
    sink_->reset();
    device_ = sink_->start();
}

qint64 SinkAudioOutput::bufferedFrames() const {
    if (!sink_) return 0;
    return (sink_->bufferSize() - sink_->bytesFree() + pending_.size()) / kBytesPerFrame;
}

} // namespace nimbrel::player
