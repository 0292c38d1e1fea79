#include "movie/render/StrokeCache.h"
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::render {

namespace {
// Qt follows curves to a quarter of a device pixel; the bucket's largest
// scale keeps that for every scale in it.
constexpr double kCurveTolerancePx = 0.25;
constexpr int kBucketsPerOctave = 4;
constexpr int kMinBucket = -40 * kBucketsPerOctave; // tiny or degenerate scales share one bucket
constexpr int kMaxBucket = 40 * kBucketsPerOctave;
} // namespace

int StrokeCache::bucketOf(double scale) {
    if (!(scale > 0) || !std::isfinite(scale)) return kMinBucket;
    const double b = std::ceil(std::log2(scale) * kBucketsPerOctave);
    return int(std::clamp(b, double(kMinBucket), double(kMaxBucket)));
}

QPainterPath StrokeCache::stroke(const QPainterPath& path, const QPen& pen, double scale) {
    QPainterPathStroker stroker;
    stroker.setWidth(pen.widthF());
    stroker.setCapStyle(pen.capStyle());
    stroker.setJoinStyle(pen.joinStyle());
    stroker.setMiterLimit(pen.miterLimit());
    stroker.setCurveThreshold(kCurveTolerancePx / std::exp2(double(bucketOf(scale)) / kBucketsPerOctave));
    QPainterPath outline = stroker.createStroke(path);
    outline.setFillRule(Qt::WindingFill);
    return outline;
}

const QPainterPath& StrokeCache::outline(const QPainterPath& path, const QPen& pen, double scale) {
    const Key key{&path, bucketOf(scale), pen.widthF(), pen.miterLimit(), int(pen.capStyle()), int(pen.joinStyle())};
    auto it = entries_.find(key);
    if (it == entries_.end()) {
        if (entries_.size() >= maxEntries) entries_.clear();
        it = entries_.insert(key, Entry{path, stroke(path, pen, scale), frame_});
    } else if (!(it->source == path)) {
        *it = Entry{path, stroke(path, pen, scale), frame_};
    }
    it->used = frame_;
    return it->outline;
}

void StrokeCache::nextFrame() {
    ++frame_;
    if (frame_ % 30 != 0) return; // a sweep now and then is enough
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (frame_ - it->used > keptFrames) it = entries_.erase(it);
        else ++it;
    }
}

void StrokeCache::clear() { entries_.clear(); }

} // namespace nimbrel::movie::render
