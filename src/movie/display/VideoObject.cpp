#include "movie/display/VideoObject.h"
#include "movie/video/NetStreamPlayback.h"

namespace nimbrel::movie::display {

VideoObject::VideoObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::VideoStreamDef> stream)
    : DisplayObject(Type::Video, context, characterId), stream_(stream), sequence_(std::move(stream)) {}

QImage VideoObject::picture() const {
    std::lock_guard lock(mutex_);
    if (attached_) {
        if (cleared_ && attached_->pictureCount() == clearedAt_) return QImage();
        return attached_->picture();
    }
    if (cleared_) return QImage();
    return sequence_.pictureAt(ratio);
}

void VideoObject::attach(std::shared_ptr<video::NetStreamPlayback> stream) {
    std::lock_guard lock(mutex_);
    attached_ = std::move(stream);
    cleared_ = false;
}

void VideoObject::clear() {
    std::lock_guard lock(mutex_);
    cleared_ = true;
    clearedAt_ = attached_ ? attached_->pictureCount() : 0;
}

uint64_t VideoObject::contentVersion() const {
    std::lock_guard lock(mutex_);
    return (attached_ ? attached_->pictureCount() * 2 + 1 : 0) + (cleared_ ? 1ULL << 62 : 0);
}

QRectF VideoObject::localBounds() const {
    return QRectF(0, 0, stream_->width * 20.0, stream_->height * 20.0);
}

} // namespace nimbrel::movie::display
