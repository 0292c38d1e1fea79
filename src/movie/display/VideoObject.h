#pragma once
// An embedded video stream placed on a timeline. The placement's ratio picks
// the stream's frame number; the picture is drawn to the stream's declared
// size, whatever size it decodes to.
#include "movie/display/DisplayObject.h"
#include "movie/swf/VideoTags.h"
#include "movie/video/VideoSequence.h"
#include <QImage>
#include <memory>
#include <mutex>
#include <optional>

namespace nimbrel::movie::video {
class NetStreamPlayback;
}

namespace nimbrel::movie::display {

class VideoObject : public DisplayObject {
public:
    VideoObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::VideoStreamDef> stream);

    const swf::VideoStreamDef& def() const { return *stream_; }
    bool smoothing() const { return smoothing_.value_or(stream_->smoothing); }
    void setSmoothing(bool on) { smoothing_ = on; }
    // Kept for scripts that read it back; pictures of a NetStream follow each packet's own deblocking bit.
    int deblocking() const { return deblocking_.value_or(stream_->deblocking); }
    void setDeblocking(int mode) { deblocking_ = mode; }
    // The picture for the current ratio, decoded on demand (null before the
    // stream's first packet), or the attached NetStream's current picture.
    QImage picture() const;
    QRectF localBounds() const override;

    // Video.attachVideo: the pictures of a NetStream instead of the timeline's (null detaches).
    void attach(std::shared_ptr<video::NetStreamPlayback> stream);
    // Video.clear: nothing shown until the next picture arrives.
    void clear();
    // Changes whenever the picture may have: for caches of the drawn stage.
    uint64_t contentVersion() const;

private:
    std::shared_ptr<const swf::VideoStreamDef> stream_;
    std::shared_ptr<video::NetStreamPlayback> attached_;
    std::optional<bool> smoothing_;
    std::optional<int> deblocking_;
    uint64_t clearedAt_ = 0; // the attached stream's picture count when cleared
    bool cleared_ = false;
    // Decoding happens when the picture is first asked for, possibly while drawing.
    mutable std::mutex mutex_;
    mutable video::VideoSequence sequence_;
};

} // namespace nimbrel::movie::display
