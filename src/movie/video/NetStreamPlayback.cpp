#include "movie/video/NetStreamPlayback.h"
#include "movie/sound/SoundDecoder.h"
#include "movie/sound/SoundMixer.h"
#include "movie/video/VideoDecoder.h"
#include <cmath>

namespace nimbrel::movie::video {

namespace {
// Sound is queued this far ahead of the clock, so the mixer never runs dry between frames.
constexpr double kAudioLeadMs = 500;
constexpr uint8_t kVp6 = 4, kVp6Alpha = 5;
constexpr int kCommandFrame = 5; // FLV video frame type carrying no picture
} // namespace

NetStreamPlayback::NetStreamPlayback(sound::SoundMixer* mixer) : mixer_(mixer) {}

NetStreamPlayback::~NetStreamPlayback() {
    if (state_ != State::Idle) dropQueuedSound();
}

void NetStreamPlayback::status(const char* code, const char* level) {
    Event e;
    e.code = QString::fromLatin1(code);
    e.level = QString::fromLatin1(level);
    events_.push_back(std::move(e));
}

std::vector<NetStreamPlayback::Event> NetStreamPlayback::takeEvents() {
    std::vector<Event> out;
    out.swap(events_);
    return out;
}

void NetStreamPlayback::start() {
    close();
    state_ = State::Buffering;
    loading_ = true;
}

void NetStreamPlayback::close() {
    dropQueuedSound();
    reader_ = FlvReader();
    tags_.clear();
    // The last picture stays on show (Video.clear() removes it).
    videoDecoder_.reset();
    audioDecoder_.reset();
    state_ = State::Idle;
    paused_ = false;
    loading_ = false;
    timeMs_ = 0;
    loaded_ = total_ = 0;
    videoNext_ = audioNext_ = scriptNext_ = 0;
}

void NetStreamPlayback::append(const QByteArray& bytes) {
    if (state_ == State::Idle) return;
    // Playing starts with the first bytes: a file that never comes only reports that.
    if (loaded_ == 0 && !bytes.isEmpty()) status("NetStream.Play.Start");
    loaded_ += bytes.size();
    reader_.append(bytes);
    readTags();
}

void NetStreamPlayback::readTags() {
    while (auto tag = reader_.next()) {
        if (tag->data.isEmpty()) continue;
        const int frameType = uint8_t(tag->data[0]) >> 4;
        if (tag->type == FlvTag::Video && frameType == kCommandFrame) continue;
        tags_.push_back({tag->type, tag->timestampMs, tag->type == FlvTag::Video && frameType == 1, std::move(tag->data)});
    }
}

void NetStreamPlayback::finishLoading() {
    loading_ = false;
    reader_.finish();
    readTags();
    // Nothing playable arrived (an empty answer, not an FLV file): as good as not found.
    if (tags_.empty()) fail();
}

void NetStreamPlayback::fail() {
    dropQueuedSound();
    loading_ = false;
    state_ = State::Stopped;
    status("NetStream.Play.StreamNotFound", "error");
}

int NetStreamPlayback::skippedTags() const { return reader_.skippedTags(); }

void NetStreamPlayback::setBufferTime(double seconds) {
    bufferTime_ = std::isfinite(seconds) ? std::clamp(seconds, 0.0, 3600.0) : 0.1;
}

double NetStreamPlayback::bufferLength() const {
    if (state_ == State::Idle || state_ == State::Stopped) return 0;
    return std::max(0.0, lastTagMs() - timeMs_) / 1000.0;
}

double NetStreamPlayback::currentFps() const {
    if (state_ != State::Playing || paused_) return 0;
    int pictures = 0;
    double first = -1, last = 0;
    for (const Tag& t : tags_) {
        if (t.type != FlvTag::Video) continue;
        if (first < 0) first = t.ms;
        last = t.ms;
        ++pictures;
    }
    return pictures > 1 && last > first ? (pictures - 1) * 1000.0 / (last - first) : 0;
}

QImage NetStreamPlayback::picture() const {
    std::lock_guard lock(pictureMutex_);
    return picture_;
}

void NetStreamPlayback::setPaused(bool paused) {
    if (paused == paused_ || state_ == State::Idle) return;
    paused_ = paused;
    // The sound queued ahead is dropped and queued again from the clock on resuming.
    if (paused) restartAt(timeMs_);
}

void NetStreamPlayback::seek(double seconds) {
    if (state_ == State::Idle) return;
    const double target = std::isfinite(seconds) ? std::max(0.0, seconds * 1000) : 0.0;
    if (tags_.empty() || target > lastTagMs()) {
        Event e;
        e.code = QStringLiteral("NetStream.Seek.InvalidTime");
        e.level = QStringLiteral("error");
        // The furthest place a seek can reach now, as the reference player reports it.
        e.data.kind = ScriptValue::Number;
        e.data.number = lastTagMs() / 1000.0;
        events_.push_back(std::move(e));
        return;
    }
    // The keyframe at or before the target; without pictures the target itself.
    double landing = target;
    bool anyVideo = false;
    for (const Tag& t : tags_) {
        if (t.type != FlvTag::Video) continue;
        if (t.ms > target) break;
        if (t.keyframe || !anyVideo) landing = t.ms;
        anyVideo = true;
    }
    restartAt(landing);
    scriptNext_ = audioNext_;
    // Pictures again from the keyframe the seek landed on.
    videoNext_ = 0;
    for (size_t i = 0; i < tags_.size() && tags_[i].ms <= landing; ++i)
        if (tags_[i].type == FlvTag::Video && tags_[i].keyframe) videoNext_ = i;
    if (videoDecoder_) videoDecoder_->restart();
    state_ = State::Buffering;
    status("NetStream.Seek.Notify");
}

void NetStreamPlayback::restartAt(double ms) {
    dropQueuedSound();
    timeMs_ = ms;
    size_t first = 0;
    while (first < tags_.size() && tags_[first].ms < ms) ++first;
    audioNext_ = first;
}

void NetStreamPlayback::dropQueuedSound() {
    if (mixer_) mixer_->streamClear(this);
    audioRunning_ = false;
}

bool NetStreamPlayback::soundPending() const { return audioRunning_ && mixer_ && mixer_->streamQueued(this) > 0; }

void NetStreamPlayback::advance(double ms) {
    if (state_ == State::Idle || state_ == State::Stopped || paused_) return;
    if (state_ == State::Buffering) {
        const bool enough = !loading_ || (!tags_.empty() && lastTagMs() >= timeMs_ + bufferTime_ * 1000);
        if (!enough) return;
        state_ = State::Playing;
        status("NetStream.Buffer.Full");
        // The first picture shows at once, not one frame late.
        decodeVideoUpTo(timeMs_);
        deliverScriptsUpTo(timeMs_);
        queueAudioUpTo(timeMs_ + kAudioLeadMs);
        return;
    }
    // Sound due now starts the clock from its own time (after a pause or an underflow).
    if (!audioRunning_) queueAudioUpTo(timeMs_ + kAudioLeadMs);
    if (audioRunning_ && mixer_) {
        timeMs_ = audioBaseMs_ + double(mixer_->streamPlayed(this) - audioBasePlayed_) * 1000.0 / sound::SoundMixer::sampleRate;
        // The sound ended before the pictures: the movie's clock takes over.
        if (mixer_->streamQueued(this) == 0) audioRunning_ = false;
    } else {
        timeMs_ += ms;
    }
    deliverScriptsUpTo(timeMs_);
    decodeVideoUpTo(timeMs_);
    queueAudioUpTo(timeMs_ + kAudioLeadMs);

    const bool allUsed = videoNext_ >= tags_.size() && audioNext_ >= tags_.size() && scriptNext_ >= tags_.size();
    if (allUsed && !loading_ && !soundPending()) {
        state_ = State::Stopped;
        status("NetStream.Buffer.Flush");
        status("NetStream.Play.Stop");
        status("NetStream.Buffer.Empty");
    } else if (loading_ && timeMs_ > lastTagMs() && !soundPending()) {
        // Played everything that arrived: wait for more.
        timeMs_ = std::min(timeMs_, lastTagMs());
        state_ = State::Buffering;
        status("NetStream.Buffer.Empty");
    }
}

void NetStreamPlayback::decodeVideoUpTo(double ms) {
    for (; videoNext_ < tags_.size() && tags_[videoNext_].ms <= ms; ++videoNext_) {
        const Tag& t = tags_[videoNext_];
        if (t.type != FlvTag::Video) continue;
        const uint8_t codec = uint8_t(t.data[0]) & 0x0f;
        if (!videoDecoder_ || codec != videoCodec_) {
            videoDecoder_ = std::make_unique<VideoDecoder>(codec, uint8_t(0));
            videoCodec_ = codec;
        }
        // VP6 carries a byte of picture adjustment first; the alpha variant's offset follows it.
        const qsizetype skip = codec == kVp6 || codec == kVp6Alpha ? 2 : 1;
        if (t.data.size() > skip &&
            videoDecoder_->decode(reinterpret_cast<const uint8_t*>(t.data.constData()) + skip, size_t(t.data.size() - skip))) {
            std::lock_guard lock(pictureMutex_);
            picture_ = videoDecoder_->picture();
            ++pictures_;
        }
    }
}

void NetStreamPlayback::queueAudioUpTo(double ms) {
    if (!mixer_) {
        audioNext_ = tags_.size();
        return;
    }
    for (; audioNext_ < tags_.size() && tags_[audioNext_].ms <= ms; ++audioNext_) {
        const Tag& t = tags_[audioNext_];
        if (t.type != FlvTag::Audio) continue;
        // Sound not yet due waits until the clock reaches it, rather than starting early.
        if (!audioRunning_ && t.ms > timeMs_ + 1) break;
        const uint8_t flags = uint8_t(t.data[0]);
        if (!audioDecoder_ || flags != audioFlags_) {
            audioDecoder_ = std::make_unique<sound::SoundDecoder>(swf::SoundFormat::fromFlags(flags));
            audioFlags_ = flags;
        }
        std::vector<int16_t> samples;
        audioDecoder_->decode(reinterpret_cast<const uint8_t*>(t.data.constData()) + 1, size_t(t.data.size() - 1), samples);
        if (samples.empty()) continue;
        if (!audioRunning_) {
            mixer_->streamClear(this);
            audioRunning_ = true;
            audioBaseMs_ = t.ms;
            audioBasePlayed_ = 0;
            timeMs_ = t.ms;
        }
        mixer_->streamAppend(this, samples, soundController_);
    }
}

void NetStreamPlayback::deliverScriptsUpTo(double ms) {
    for (; scriptNext_ < tags_.size() && tags_[scriptNext_].ms <= ms; ++scriptNext_) {
        const Tag& t = tags_[scriptNext_];
        if (t.type != FlvTag::Script) continue;
        auto message = ScriptData::parse(t.data);
        if (!message) continue; // damaged script data is dropped like any damaged tag
        Event e;
        if (message->name == QLatin1String("onMetaData")) e.kind = Event::MetaData;
        else if (message->name == QLatin1String("onCuePoint")) e.kind = Event::CuePoint;
        else continue;
        e.data = std::move(message->value);
        events_.push_back(std::move(e));
    }
}

} // namespace nimbrel::movie::video
