#pragma once
// An MP3 file played while it downloads (Sound.loadSound with streaming).
// Bytes arrive in pieces of any size; only whole MP3 frames reach the
// decoder, the rest waits for the next piece. Frames are decoded only as far
// as playback needs them, so a long file arriving at once costs nothing
// until it plays; its length is known from the frame headers all the same.
#include "movie/sound/Mp3File.h"
#include "movie/sound/SoundMixer.h"
#include <QByteArray>
#include <deque>
#include <memory>

namespace nimbrel::movie::sound {

class SoundDecoder;

class Mp3Stream {
public:
    Mp3Stream();
    ~Mp3Stream();
    Mp3Stream(const Mp3Stream&) = delete;
    Mp3Stream& operator=(const Mp3Stream&) = delete;

    // The next bytes of the file. True when the tag at the start of the file has just arrived whole.
    bool append(const QByteArray& bytes);
    // The download ended. True when the file closed with a tag of its own.
    bool finish();
    bool isFinished() const { return finished_; }

    qint64 bytesReceived() const { return received_; }
    // The tags that arrived so far.
    const Mp3File::Tags& tags() const { return tags_; }
    // Length of the audio that arrived, in output frames (44,100 a second).
    int64_t lengthFrames() const { return int64_t(length_); }

    // Keeps `aheadFrames` of the sound waiting in the mixer's queue for `key`, playing under controller's settings.
    void feed(SoundMixer& mixer, Owner key, Owner controller, int64_t aheadFrames);
    // Output frames handed to the mixer so far.
    int64_t handedFrames() const { return handed_; }
    // The download ended and every sample went to the mixer.
    bool handedAll() const;
    // The whole sound, decoded, to play again as an event sound.
    Pcm decodeAll();

private:
    void takeFrames();
    void decodeUntil(int64_t frames);
    int64_t decodedFrames() const { return int64_t(decoded_->size() / 2); }

    std::unique_ptr<SoundDecoder> decoder_;
    std::shared_ptr<std::vector<int16_t>> decoded_;
    QByteArray head_;            // the leading tag while it arrives
    qsizetype tagLeft_ = -1;     // bytes of the leading tag still to come; -1 until known
    QByteArray pending_;         // audio bytes not yet split into frames
    QByteArray frames_;          // whole frames waiting for the decoder, from framesAt_
    qsizetype framesAt_ = 0;
    std::deque<int> frameSizes_;
    QByteArray last128_;         // the end of the file so far, for a closing tag
    Mp3File::Tags tags_;
    qint64 received_ = 0;
    double length_ = 0;
    int64_t handed_ = 0;
    bool finished_ = false;
    bool flushed_ = false;
};

} // namespace nimbrel::movie::sound
