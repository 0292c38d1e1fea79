#pragma once
// One NetStream playing an FLV file as its bytes arrive: the buffer, the
// clock, the picture and the sound. Sound goes to the movie's mixer as a
// stream of its own; while there is sound, the clock is the sound heard so
// far, so the picture follows it. What scripts must hear (status codes,
// metadata, cue points) waits in takeEvents() until the interpreter asks.
#include "movie/video/FlvReader.h"
#include "movie/video/ScriptData.h"
#include <QImage>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace nimbrel::movie::sound {
class SoundMixer;
class SoundDecoder;
}

namespace nimbrel::movie::video {

class VideoDecoder;

class NetStreamPlayback {
public:
    struct Event {
        enum Kind { Status, MetaData, CuePoint };
        Kind kind = Status;
        QString code;  // Status
        QString level; // Status: "status" or "error"
        ScriptValue data; // MetaData and CuePoint; Status: extra fields (details)
    };

    // mixer may be null: the stream then plays silently, on the movie's clock.
    explicit NetStreamPlayback(sound::SoundMixer* mixer);
    ~NetStreamPlayback();
    NetStreamPlayback(const NetStreamPlayback&) = delete;
    NetStreamPlayback& operator=(const NetStreamPlayback&) = delete;

    // A new play(): everything before is dropped.
    void start();
    void append(const QByteArray& bytes);
    void setTotalBytes(qint64 total) { total_ = total; }
    // Every byte has arrived.
    void finishLoading();
    // The file could not be had (missing, refused, not FLV).
    void fail();
    // The movie's clock moved on by ms: play, decode, report.
    void advance(double ms);

    void setPaused(bool paused);
    bool isPaused() const { return paused_; }
    // To the keyframe at or before seconds; Seek.InvalidTime past what has arrived.
    void seek(double seconds);
    void close();

    double timeSeconds() const { return timeMs_ / 1000.0; }
    qint64 bytesLoaded() const { return loaded_; }
    qint64 bytesTotal() const { return total_ > 0 ? total_ : loaded_; }
    double bufferTime() const { return bufferTime_; }
    void setBufferTime(double seconds);
    // Seconds of the stream arrived beyond the clock.
    double bufferLength() const;
    // Pictures a second while playing (from the file's timing), 0 otherwise.
    double currentFps() const;
    // The current picture, null before the first. Safe to call while drawing on another thread.
    QImage picture() const;
    // Pictures decoded so far: changes whenever picture() does.
    uint64_t pictureCount() const { return pictures_.load(); }
    int skippedTags() const;
    // Whose sound settings the stream's sound plays under (the movie's root clip).
    void setSoundController(const void* controller) { soundController_ = controller; }
    std::vector<Event> takeEvents();

private:
    struct Tag {
        FlvTag::Type type;
        uint32_t ms;
        bool keyframe;
        QByteArray data;
    };
    enum class State { Idle, Buffering, Playing, Stopped };
    void status(const char* code, const char* level = "status");
    void readTags();
    void decodeVideoUpTo(double ms);
    void queueAudioUpTo(double ms);
    void deliverScriptsUpTo(double ms);
    // The clock set to ms; sound queued again from there.
    void restartAt(double ms);
    void dropQueuedSound();
    bool soundPending() const;
    double lastTagMs() const { return tags_.empty() ? 0 : tags_.back().ms; }

    sound::SoundMixer* mixer_;
    const void* soundController_ = nullptr;
    FlvReader reader_;
    std::vector<Tag> tags_;
    std::unique_ptr<VideoDecoder> videoDecoder_;
    uint8_t videoCodec_ = 0;
    std::unique_ptr<sound::SoundDecoder> audioDecoder_;
    uint8_t audioFlags_ = 0;
    std::vector<Event> events_;

    State state_ = State::Idle;
    bool paused_ = false;
    bool loading_ = false;
    double timeMs_ = 0;
    double bufferTime_ = 0.1;
    qint64 loaded_ = 0, total_ = 0;
    size_t videoNext_ = 0, audioNext_ = 0, scriptNext_ = 0; // next tag of each kind to use
    // Where the sound heard now started: the clock is audioBaseMs_ plus what the mixer played since.
    double audioBaseMs_ = 0;
    int64_t audioBasePlayed_ = 0;
    bool audioRunning_ = false;
    std::atomic<uint64_t> pictures_ = 0;
    mutable std::mutex pictureMutex_; // the picture is read where the stage is drawn
    QImage picture_;
};

} // namespace nimbrel::movie::video
