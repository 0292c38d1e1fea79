#include "movie/sound/Mp3Stream.h"
#include "movie/sound/SoundDecoder.h"
#include <algorithm>

namespace nimbrel::movie::sound {

namespace {

struct FrameHeader {
    int length = 0;  // bytes, header included
    int samples = 0; // per channel
    int rate = 0;
};

// The MPEG audio frame header at p (four bytes), or a zero length when those
// bytes are no header. Free-format frames have no length to read and count as none.
FrameHeader readHeader(const uint8_t* p) {
    FrameHeader h;
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return h;
    const int version = (p[1] >> 3) & 3; // 0: 2.5, 2: 2, 3: 1
    const int layer = 4 - ((p[1] >> 1) & 3); // 1..3; 4 is reserved
    const int bitrateIndex = p[2] >> 4, rateIndex = (p[2] >> 2) & 3, padding = (p[2] >> 1) & 1;
    if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return h;
    static const int kbps[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG 1, layer I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG 1, layer II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG 1, layer III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG 2/2.5, layer I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},         // MPEG 2/2.5, layers II and III
    };
    static const int rates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int bitrate = 1000 * kbps[mpeg1 ? layer - 1 : layer == 1 ? 3 : 4][bitrateIndex];
    h.rate = rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    if (layer == 1) {
        h.length = (12 * bitrate / h.rate + padding) * 4;
        h.samples = 384;
    } else {
        const bool half = layer == 3 && !mpeg1;
        h.length = (half ? 72 : 144) * bitrate / h.rate + padding;
        h.samples = half ? 576 : 1152;
    }
    return h;
}

} // namespace

Mp3Stream::Mp3Stream() : decoded_(std::make_shared<std::vector<int16_t>>()) {
    swf::SoundFormat mp3;
    mp3.codec = swf::SoundFormat::Mp3;
    decoder_ = std::make_unique<SoundDecoder>(mp3);
}

Mp3Stream::~Mp3Stream() = default;

bool Mp3Stream::append(const QByteArray& bytes) {
    if (finished_ || bytes.isEmpty()) return false;
    received_ += bytes.size();
    last128_ = bytes.size() >= 128 ? bytes.right(128) : (last128_ + bytes).right(128);
    QByteArray audio = bytes;
    bool tagArrived = false;
    if (tagLeft_ != 0) {
        // The leading tag, if any, is held until it is whole; what follows it is audio.
        head_ += bytes;
        if (tagLeft_ < 0) {
            const qsizetype size = Mp3File::leadingTagSize(head_);
            if (size < 0) return false;
            tagLeft_ = size;
        }
        if (tagLeft_ > 0 && head_.size() < tagLeft_) return false;
        audio = head_.mid(tagLeft_);
        if (tagLeft_ > 0) {
            tags_ = Mp3File::tags(head_.left(tagLeft_));
            tagArrived = true;
        }
        head_.clear();
        tagLeft_ = 0;
    }
    pending_ += audio;
    takeFrames();
    return tagArrived;
}

// Moves the whole frames at the front of pending_ to frames_; bytes that are
// no frame are dropped, a frame cut short waits for the rest.
void Mp3Stream::takeFrames() {
    const auto* p = reinterpret_cast<const uint8_t*>(pending_.constData());
    const qsizetype size = pending_.size();
    qsizetype at = 0;
    while (at + 4 <= size) {
        const FrameHeader h = readHeader(p + at);
        if (h.length < 4) {
            ++at;
            continue;
        }
        if (at + h.length > size) break;
        frames_.append(pending_.constData() + at, h.length);
        frameSizes_.push_back(h.length);
        length_ += double(h.samples) * SoundDecoder::outputRate / h.rate;
        at += h.length;
    }
    pending_.remove(0, at);
}

bool Mp3Stream::finish() {
    if (finished_) return false;
    // A file too short to show whether it opens with a tag is all audio.
    if (tagLeft_ < 0 && !head_.isEmpty()) {
        pending_ += head_;
        takeFrames();
    }
    finished_ = true;
    pending_.clear(); // a last frame cut short is no frame
    if (!last128_.startsWith("TAG") || last128_.size() < 128) return false;
    // The closing tag's fields fill only what the leading tag left out.
    bool added = false;
    for (auto& [name, text] : Mp3File::tags(last128_)) {
        const bool known = std::any_of(tags_.begin(), tags_.end(), [&](const auto& t) { return t.first == name; });
        if (!known) {
            tags_.emplace_back(name, text);
            added = true;
        }
    }
    return added;
}

void Mp3Stream::decodeUntil(int64_t frames) {
    // A few MP3 frames at a time: enough to cover the request without decoding far ahead.
    while (decodedFrames() < frames && !frameSizes_.empty()) {
        qsizetype bytes = 0;
        for (int i = 0; i < 8 && !frameSizes_.empty(); ++i) {
            bytes += frameSizes_.front();
            frameSizes_.pop_front();
        }
        decoder_->decode(reinterpret_cast<const uint8_t*>(frames_.constData() + framesAt_), size_t(bytes), *decoded_);
        framesAt_ += bytes;
    }
    // Dropping decoded bytes only now and then keeps a long file arriving at once from costing its length squared.
    if (framesAt_ > 65536 && framesAt_ * 2 > frames_.size()) {
        frames_.remove(0, framesAt_);
        framesAt_ = 0;
    }
    if (finished_ && frameSizes_.empty() && !flushed_ && decodedFrames() < frames) {
        decoder_->flush(*decoded_);
        flushed_ = true;
    }
}

void Mp3Stream::feed(SoundMixer& mixer, Owner key, Owner controller, int64_t aheadFrames) {
    const int64_t want = aheadFrames - mixer.streamQueued(key);
    if (want <= 0) return;
    decodeUntil(handed_ + want);
    const int64_t n = std::min(want, decodedFrames() - handed_);
    if (n <= 0) return;
    const auto from = decoded_->begin() + handed_ * 2;
    mixer.streamAppend(key, std::vector<int16_t>(from, from + n * 2), controller);
    handed_ += n;
}

bool Mp3Stream::handedAll() const {
    return finished_ && flushed_ && frameSizes_.empty() && handed_ >= decodedFrames();
}

Pcm Mp3Stream::decodeAll() {
    decodeUntil(INT64_MAX);
    return decoded_;
}

} // namespace nimbrel::movie::sound
