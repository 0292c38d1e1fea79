#pragma once
// Turns the packets of one embedded video stream into pictures through
// libavcodec: Sorenson H.263, VP6 (with or without alpha) and Screen Video
// 1 and 2. A packet the codec refuses is skipped and the last good picture
// stays; skippedPackets() counts them.
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace nimbrel::movie::video {

class VideoDecoder {
public:
    // codec is the stream's codec id as stored; deblocking its deblocking field: 0 leaves
    // smoothing to each packet's bit, 1 turns it off, 2 and up turn it on.
    VideoDecoder(uint8_t codec, uint8_t deblocking);
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // False when the codec is unknown or libavcodec lacks it: decode() then refuses everything.
    bool isValid() const;
    // Decodes one packet; true when it gave a new picture.
    bool decode(const uint8_t* data, size_t size);
    // Forgets the reference pictures, before decoding again from a keyframe.
    void restart();
    // The last good picture, premultiplied ARGB32; null before the first.
    const QImage& picture() const { return picture_; }
    int skippedPackets() const { return skipped_; }

    // Whether a packet starts a picture that needs no earlier one. Screen video
    // carries no such mark here: only its first packet counts.
    static bool isKeyframe(uint8_t codec, const uint8_t* data, size_t size);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    QImage picture_;
    int skipped_ = 0;
};

} // namespace nimbrel::movie::video
