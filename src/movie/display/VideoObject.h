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

namespace nimbrel::movie::display {

class VideoObject : public DisplayObject {
public:
    VideoObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::VideoStreamDef> stream);

    const swf::VideoStreamDef& def() const { return *stream_; }
    bool smoothing() const { return stream_->smoothing; }
    // The picture for the current ratio, decoded on demand (null before the stream's first packet).
    QImage picture() const;
    QRectF localBounds() const override;

private:
    std::shared_ptr<const swf::VideoStreamDef> stream_;
    // Decoding happens when the picture is first asked for, possibly while drawing.
    mutable std::mutex mutex_;
    mutable video::VideoSequence sequence_;
};

} // namespace nimbrel::movie::display
