#pragma once
// The picture of an embedded video stream at a given frame number. Pictures
// depend on the ones before them, so packets are decoded in order: going on
// decodes only what follows, going elsewhere starts again from the keyframe
// at or before the frame asked for.
#include "movie/swf/VideoTags.h"
#include "movie/video/VideoDecoder.h"
#include <QImage>
#include <memory>
#include <optional>

namespace nimbrel::movie::video {

class VideoSequence {
public:
    explicit VideoSequence(std::shared_ptr<const swf::VideoStreamDef> stream);

    // The picture for frameNumber: that packet's, or the last stored before it
    // when the stream has none of that number; null before any.
    const QImage& pictureAt(uint16_t frameNumber);
    int decodedPackets() const { return decoded_; }
    int skippedPackets() const { return decoder_.skippedPackets(); }

private:
    using Packets = std::map<uint16_t, QByteArray>;
    bool isKeyframe(Packets::const_iterator it) const;
    void decodeRange(Packets::const_iterator from, Packets::const_iterator last);

    std::shared_ptr<const swf::VideoStreamDef> stream_;
    VideoDecoder decoder_;
    std::optional<uint16_t> shown_; // packet number last decoded
    int decoded_ = 0;
};

} // namespace nimbrel::movie::video
