#include "movie/render/RenderCache.h"
#include "movie/display/DisplayObject.h"

namespace nimbrel::movie::render {

const RenderCache::Layer* RenderCache::layer(const display::DisplayObject& object, uint64_t content,
                                             const QTransform& t, const swf::ColorTransform& cx) {
    auto it = layers_.find(&object);
    if (it == layers_.end()) return nullptr;
    Entry& e = it.value();
    // A new object may live where a removed one did: the weak pointer tells.
    const auto alive = e.object.lock();
    if (alive.get() != &object || e.layer.content != content || e.layer.transform != t || !(e.layer.cx == cx))
        return nullptr;
    e.frame = frame_;
    return &e.layer;
}

void RenderCache::keepLayer(const display::DisplayObject& object, Layer layer) {
    const qint64 size = layer.image.sizeInBytes();
    if (size > maxLayerBytes / 4) return; // one layer may not crowd out the rest
    if (auto it = layers_.find(&object); it != layers_.end()) {
        bytes_ -= it->layer.image.sizeInBytes();
        layers_.erase(it);
    }
    if (layers_.size() >= maxLayers || bytes_ + size > maxLayerBytes) {
        layers_.clear();
        bytes_ = 0;
    }
    bytes_ += size;
    layers_.insert(&object, Entry{object.weak_from_this(), std::move(layer), frame_});
}

void RenderCache::nextFrame() {
    strokes.nextFrame();
    for (auto it = layers_.begin(); it != layers_.end();) {
        if (it->frame != frame_) {
            bytes_ -= it->layer.image.sizeInBytes();
            it = layers_.erase(it);
        } else {
            ++it;
        }
    }
    ++frame_;
}

QImage RenderCache::takeImage(const QSize& size) {
    for (auto it = spare_.begin(); it != spare_.end(); ++it) {
        if (it->size() != size) continue;
        QImage image = std::move(*it);
        spare_.erase(it);
        spareBytes_ -= image.sizeInBytes();
        return image;
    }
    return QImage(size, QImage::Format_ARGB32_Premultiplied);
}

void RenderCache::giveImage(QImage image) {
    const qint64 size = image.sizeInBytes();
    if (image.isNull() || image.format() != QImage::Format_ARGB32_Premultiplied || size > maxSpareBytes / 2) return;
    while (!spare_.empty() && (spare_.size() >= maxSpareImages || spareBytes_ + size > maxSpareBytes)) {
        spareBytes_ -= spare_.front().sizeInBytes();
        spare_.erase(spare_.begin());
    }
    spareBytes_ += size;
    spare_.push_back(std::move(image));
}

void RenderCache::clear() {
    spare_.clear();
    spareBytes_ = 0;
    outlines.clear();
    glyphs.clear();
    strokes.clear();
    picture = {};
    layers_.clear();
    bytes_ = 0;
}

} // namespace nimbrel::movie::render
