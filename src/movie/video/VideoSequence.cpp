#include "movie/video/VideoSequence.h"

namespace nimbrel::movie::video {

VideoSequence::VideoSequence(std::shared_ptr<const swf::VideoStreamDef> stream)
    : stream_(std::move(stream)), decoder_(stream_->codec, stream_->deblocking) {}

bool VideoSequence::isKeyframe(Packets::const_iterator it) const {
    if (it == stream_->frames.begin()) return true;
    const QByteArray& p = it->second;
    return VideoDecoder::isKeyframe(stream_->codec, reinterpret_cast<const uint8_t*>(p.constData()), size_t(p.size()));
}

void VideoSequence::decodeRange(Packets::const_iterator from, Packets::const_iterator last) {
    for (auto it = from;; ++it) {
        decoder_.decode(reinterpret_cast<const uint8_t*>(it->second.constData()), size_t(it->second.size()));
        ++decoded_;
        if (it == last) break;
    }
    shown_ = last->first;
}

const QImage& VideoSequence::pictureAt(uint16_t frameNumber) {
    static const QImage none;
    const Packets& packets = stream_->frames;
    auto target = packets.upper_bound(frameNumber);
    if (target == packets.begin()) return none;
    --target;
    if (shown_ == target->first) return decoder_.picture();

    // The latest keyframe at or before the target; going on from the picture
    // shown is cheaper when no keyframe lies between the two.
    auto key = target;
    while (!isKeyframe(key)) --key;
    if (shown_ && *shown_ < target->first && *shown_ >= key->first) {
        decodeRange(packets.upper_bound(*shown_), target);
    } else {
        decoder_.restart();
        decodeRange(key, target);
    }
    return decoder_.picture();
}

} // namespace nimbrel::movie::video
