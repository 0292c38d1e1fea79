#include "movie/display/VideoObject.h"

namespace nimbrel::movie::display {

VideoObject::VideoObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::VideoStreamDef> stream)
    : DisplayObject(Type::Video, context, characterId), stream_(stream), sequence_(std::move(stream)) {}

QImage VideoObject::picture() const {
    std::lock_guard lock(mutex_);
    return sequence_.pictureAt(ratio);
}

QRectF VideoObject::localBounds() const {
    return QRectF(0, 0, stream_->width * 20.0, stream_->height * 20.0);
}

} // namespace nimbrel::movie::display
