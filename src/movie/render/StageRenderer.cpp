#include "movie/render/StageRenderer.h"
#include "movie/display/BitmapObject.h"
#include "movie/render/BitmapColorTransform.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MorphShapeObject.h"
#include "movie/display/ShapeObject.h"
#include "movie/display/StaticTextObject.h"
#include "movie/display/VideoObject.h"
#include "movie/render/BlendPainter.h"
#include "movie/render/ContentFingerprint.h"
#include "movie/render/FilterPainter.h"
#include "movie/render/PixelCoverage.h"
#include "movie/display/DrawingCanvas.h"
#include "movie/render/ShapePainter.h"
#include "movie/render/TextPainter.h"
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <cmath>
#include <exception>
#include <functional>
#include <optional>

namespace nimbrel::movie::render {

using display::DisplayObject;

namespace {
// Layers larger than this many pixels are not worth the memory: the object is
// drawn without its effect instead.
constexpr qint64 maxLayerPixels = 4096LL * 4096LL;

// How long a frame waits for a pool thread to come back: 20 x 50 us.
constexpr int kPoolRetries = 20;
constexpr unsigned long kPoolRetryMicroseconds = 50;

bool invisibleColor(const swf::ColorTransform& cx) { return cx.aMult <= 0 && cx.aAdd <= 0; }
} // namespace

void StageRenderer::applyClip(Surface& s, const QPainterPath* clip) {
    // Turning a path into a clip is costly: objects under the same mask share it.
    if (clip == s.clip) return;
    s.painter.resetTransform();
    if (clip) s.painter.setClipPath(*clip);
    else s.painter.setClipping(false);
    s.clip = clip;
}

void StageRenderer::forgetClip(Surface& s) {
    static const QPainterPath unknown;
    s.clip = &unknown;
}

StageRenderer::Quality StageRenderer::qualityFromName(const QString& name, Quality fallback) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("low")) return Quality::Low;
    if (n == QLatin1String("medium")) return Quality::Medium;
    if (n == QLatin1String("high") || n == QLatin1String("autohigh")) return Quality::High;
    if (n == QLatin1String("best")) return Quality::Best;
    if (n == QLatin1String("autolow")) return Quality::Low;
    return fallback;
}

void StageRenderer::cover(QPainter& p, const QPainterPath& area, QPoint shift) const {
    const QTransform t = QTransform::fromTranslate(shift.x(), shift.y());
    if (quality_ == Quality::Low) {
        // The same pixels an aliased fill of the mask would cover.
        const QPaintDevice* d = p.device();
        PixelCoverage::fill(p, PixelCoverage::spans(area, t, QRect(0, 0, d->width(), d->height())), Qt::black);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setTransform(t);
    p.fillPath(area, Qt::black);
}

void StageRenderer::begin(Surface& s, QImage& image) {
    s.image = &image;
    s.clip = nullptr;
    s.painter.begin(&image);
    const bool smooth = quality_ != Quality::Low;
    s.painter.setRenderHint(QPainter::Antialiasing, smooth);
    s.painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

void StageRenderer::render(QImage& target, const display::MovieClip& root, const QTransform& stage) {
    // Qt's raster engine splits every gradient or bitmap fill taller than
    // about a hundred lines across its global thread pool, unless the painting
    // thread is one of that pool's own. Per fill the hand-off costs far more
    // than it saves on a machine with few cores, so the frame is drawn on a
    // pool thread while the caller waits: one hand-off per frame. The thread
    // that drew the last frame may not be back in the pool yet: it gets a
    // moment. With no thread free the frame is drawn here (the split fills
    // round a few pixels differently).
    QThreadPool* pool = QThreadPool::globalInstance();
    if (!pool->contains(QThread::currentThread())) {
        QSemaphore done;
        std::exception_ptr failure;
        auto job = [&] {
            try {
                drawFrame(target, root, stage);
            } catch (...) {
                failure = std::current_exception();
            }
            done.release();
        };
        bool started = pool->tryStart(job);
        for (int wait = 0; !started && wait < kPoolRetries; ++wait) {
            QThread::usleep(kPoolRetryMicroseconds);
            started = pool->tryStart(job);
        }
        if (started) {
            done.acquire();
            if (failure) std::rethrow_exception(failure);
            return;
        }
    }
    drawFrame(target, root, stage);
}

QImage StageRenderer::picture(const QSize& pixels, const QColor& background, const display::MovieClip& root,
                              const QTransform& stage) {
    std::optional<uint64_t> key;
    if (cache_) key = ContentFingerprint::ofStage(root, stage, pixels, background.rgba(), int(quality_));
    if (key && cache_->picture.key == *key && cache_->picture.image.size() == pixels) return cache_->picture.image;
    // The last picture's memory is drawn over when nobody holds that picture
    // any more: a new frame then costs no fresh pages.
    QImage image;
    if (cache_ && cache_->picture.image.size() == pixels && cache_->picture.image.isDetached() &&
        cache_->picture.image.format() == QImage::Format_ARGB32_Premultiplied) {
        image = std::move(cache_->picture.image);
        cache_->picture = RenderCache::Picture{};
    } else {
        image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    }
    image.fill(background);
    render(image, root, stage);
    if (cache_) cache_->picture = key ? RenderCache::Picture{*key, image} : RenderCache::Picture{};
    return image;
}

void StageRenderer::drawDetached(QImage& target, const DisplayObject& object, const QTransform& toTarget,
                                 const swf::ColorTransform& cx, const QPainterPath* clip) {
    stageScaleX_ = std::hypot(toTarget.m11(), toTarget.m12()) * 20.0;
    stageScaleY_ = std::hypot(toTarget.m21(), toTarget.m22()) * 20.0;
    Surface s;
    begin(s, target);
    drawContent(s, object, toTarget, cx, clip);
    s.painter.end();
}

void StageRenderer::drawFrame(QImage& target, const display::MovieClip& root, const QTransform& stage) {
    stageScaleX_ = std::hypot(stage.m11(), stage.m12()) * 20.0;
    stageScaleY_ = std::hypot(stage.m21(), stage.m22()) * 20.0;
    if (cache_) cache_->nextFrame();
    Surface s;
    begin(s, target);
    drawChildren(s, root.children(), root.matrix.toQTransform() * stage, root.cxform, nullptr);
    s.painter.end();
}

void StageRenderer::drawChildren(Surface& s, const Children& children, const QTransform& t,
                                 const swf::ColorTransform& cx, const QPainterPath* clip) {
    std::vector<const DisplayObject*> list;
    list.reserve(children.size());
    for (const auto& [depth, child] : children) list.push_back(child.get());
    drawList(s, list.data(), list.size(), t, cx, clip);
}

void StageRenderer::drawList(Surface& s, const DisplayObject* const* items, size_t count, const QTransform& t,
                             const swf::ColorTransform& cx, const QPainterPath* clip) {
    for (size_t i = 0; i < count; ++i) {
        const DisplayObject& o = *items[i];
        if (o.clipDepth > 0) {
            // The mask covers the objects above it up to its clip depth.
            size_t end = i + 1;
            while (end < count && items[end]->depth() <= o.clipDepth) ++end;
            drawMasked(s, o, items + i + 1, end - i - 1, t, cx, clip);
            i = end - 1;
            continue;
        }
        drawObject(s, o, t, cx, clip);
    }
}

void StageRenderer::drawMasked(Surface& s, const DisplayObject& mask, const DisplayObject* const* items, size_t count,
                               const QTransform& t, const swf::ColorTransform& cx, const QPainterPath* clip) {
    if (count == 0) return;
    const QPainterPath area = outline(mask, mask.matrix.toQTransform() * t);
    const QRect rect = area.boundingRect().toAlignedRect().intersected(s.image->rect());
    if (rect.isEmpty()) return;
    if (!clip && !s.group) {
        // Straight on the stage, a mask cuts its objects as they are drawn: no
        // layer to fill, cover and compose. Low quality cuts along the very
        // pixels an aliased fill of the mask would cover.
        const QPainterPath cut =
            quality_ == Quality::Low ? PixelCoverage::path(PixelCoverage::spans(area, QTransform(), rect)) : area;
        forgetClip(s);
        drawList(s, items, count, t, cx, &cut);
        forgetClip(s);
        return;
    }
    if (qint64(rect.width()) * rect.height() > maxLayerPixels) {
        // Too large for a layer: clip with the outline instead (hard edges).
        const QPainterPath cut = clip ? area.intersected(*clip) : area;
        forgetClip(s);
        drawList(s, items, count, t, cx, &cut);
        forgetClip(s);
        return;
    }
    // Draw the masked objects alone, then keep them only where the mask covers,
    // with the mask's edges anti-aliased.
    auto scratch = [this](QSize size) {
        QImage image = cache_ ? cache_->takeImage(size) : QImage(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
    };
    QImage layer = scratch(rect.size());
    {
        Surface ls;
        begin(ls, layer);
        ls.group = s.group;
        drawList(ls, items, count, t * QTransform::fromTranslate(-rect.left(), -rect.top()), cx, nullptr);
        QImage coverage = scratch(rect.size());
        {
            QPainter mp(&coverage);
            cover(mp, area, QPoint(-rect.left(), -rect.top()));
        }
        ls.painter.resetTransform();
        ls.painter.setClipping(false);
        ls.painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        ls.painter.drawImage(0, 0, coverage);
        ls.painter.end();
        if (cache_) cache_->giveImage(std::move(coverage));
    }
    applyClip(s, clip);
    s.painter.resetTransform();
    s.painter.drawImage(rect.topLeft(), layer);
    if (cache_) cache_->giveImage(std::move(layer));
}

void StageRenderer::drawObject(Surface& s, const DisplayObject& o, const QTransform& parent,
                               const swf::ColorTransform& parentCx, const QPainterPath* clip) {
    if (!o.visible) return;
    const QTransform t = o.matrix.toQTransform() * parent;
    const swf::ColorTransform cx = parentCx * o.cxform;
    if (invisibleColor(cx)) return;
    if (clip && clip->isEmpty()) return;
    if ((o.blendMode == swf::BlendMode::Alpha || o.blendMode == swf::BlendMode::Erase) && !s.group) return;
    if (!o.filters.empty() || o.blendMode != swf::BlendMode::Normal) drawLayered(s, o, t, cx, clip);
    else drawContent(s, o, t, cx, clip);
}

void StageRenderer::drawContent(Surface& s, const DisplayObject& o, const QTransform& t,
                                const swf::ColorTransform& cx, const QPainterPath* clip) {
    auto lookup = [this](uint16_t id) { return movie_.bitmap(id); };
    if (o.opaqueBackground) {
        // An opaque rectangle over the object's bounds, under its content,
        // coloured like any shape of the object.
        const uint32_t rgb = *o.opaqueBackground;
        applyClip(s, clip);
        s.painter.setTransform(t);
        s.painter.fillRect(o.localBounds(),
                           cx.apply(swf::Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255}).toQColor());
    }
    switch (o.type()) {
    case DisplayObject::Type::Shape:
    case DisplayObject::Type::MorphShape: {
        const QRectF device = t.mapRect(o.localBounds());
        if (!device.intersects(QRectF(s.image->rect()).adjusted(-2, -2, 2, 2))) return;
        applyClip(s, clip);
        s.painter.setTransform(t);
        const ShapeCaches caches{cache_ ? &cache_->strokes : nullptr, cache_ != nullptr};
        if (o.type() == DisplayObject::Type::Shape)
            paintShape(s.painter, static_cast<const display::ShapeObject&>(o).def(), cx, lookup, caches);
        else {
            auto& m = static_cast<const display::MorphShapeObject&>(o);
            paintMorphShape(s.painter, m.def(), m.morphRatio(), cx, lookup, caches);
        }
        break;
    }
    case DisplayObject::Type::Text: {
        const QRectF device = t.mapRect(o.localBounds());
        if (!device.intersects(QRectF(s.image->rect()).adjusted(-2, -2, 2, 2))) return;
        applyClip(s, clip);
        s.painter.setTransform(t);
        TextPainter::paint(s.painter, static_cast<const display::StaticTextObject&>(o).def(), movie_, cx,
                           cache_ ? &cache_->glyphs : nullptr);
        break;
    }
    case DisplayObject::Type::EditText:
        applyClip(s, clip);
        s.painter.setTransform(t);
        TextPainter::paint(s.painter, static_cast<const display::EditTextObject&>(o), cx,
                           cache_ ? &cache_->glyphs : nullptr);
        break;
    case DisplayObject::Type::Bitmap: {
        const auto& b = static_cast<const display::BitmapObject&>(o);
        if (b.pixels().isNull()) return;
        applyClip(s, clip);
        s.painter.setTransform(QTransform::fromScale(20, 20) * t);
        s.painter.setRenderHint(QPainter::SmoothPixmapTransform, b.smoothing() && quality_ != Quality::Low);
        s.painter.drawImage(0, 0, cx.isIdentity() ? b.pixels() : colorTransformed(b.pixels(), cx));
        s.painter.setRenderHint(QPainter::SmoothPixmapTransform, quality_ != Quality::Low);
        break;
    }
    case DisplayObject::Type::Video: {
        const auto& v = static_cast<const display::VideoObject&>(o);
        const QImage picture = v.picture();
        if (picture.isNull()) return;
        applyClip(s, clip);
        // Stretched to the stream's declared size; smoothing asks for bilinear scaling.
        const QRectF bounds = v.localBounds();
        s.painter.setTransform(t);
        s.painter.setRenderHint(QPainter::SmoothPixmapTransform, v.smoothing() && quality_ != Quality::Low);
        s.painter.drawImage(bounds, cx.isIdentity() ? picture : colorTransformed(picture, cx));
        s.painter.setRenderHint(QPainter::SmoothPixmapTransform, quality_ != Quality::Low);
        break;
    }
    case DisplayObject::Type::MovieClip:
        drawClip(s, static_cast<const display::MovieClip&>(o), t, cx, clip);
        break;
    case DisplayObject::Type::Button:
        drawChildren(s, static_cast<const display::ButtonObject&>(o).children(), t, cx, clip);
        break;
    }
}

void StageRenderer::drawClip(Surface& s, const display::MovieClip& clip, const QTransform& t,
                             const swf::ColorTransform& cx, const QPainterPath* mask) {
    if (const display::DrawingCanvas* canvas = clip.drawing.get(); canvas && !canvas->isEmpty()) {
        const QRectF device = t.mapRect(canvas->bounds());
        if (device.intersects(QRectF(s.image->rect()).adjusted(-2, -2, 2, 2))) {
            applyClip(s, mask);
            s.painter.setTransform(t);
            // A drawing changes in place: its strokes are never kept.
            paintShape(s.painter, canvas->shape(), cx, [canvas](uint16_t id) { return canvas->bitmap(id); },
                       ShapeCaches{nullptr, cache_ != nullptr});
        }
    }
    drawChildren(s, clip.children(), t, cx, mask);
}

void StageRenderer::drawLayered(Surface& s, const DisplayObject& o, const QTransform& objectToDevice,
                                const swf::ColorTransform& cx, const QPainterPath* clip) {
    // Filter sizes are in stage pixels: they follow the stage's scale, not the object's.
    const double sx = stageScaleX_;
    const double sy = stageScaleY_;
    // A filtered object is drawn into a bitmap whose pixels start at the
    // object's top left corner rounded to the nearest whole pixel, halves up:
    // its edges move by up to half a pixel against where they would fall unfiltered.
    QTransform t = objectToDevice;
    if (!o.filters.empty()) {
        const QPointF corner = t.mapRect(o.localBounds()).topLeft();
        t *= QTransform::fromTranslate(std::floor(corner.x() + 0.5) - corner.x(),
                                       std::floor(corner.y() + 0.5) - corner.y());
    }
    QRect full = t.mapRect(o.localBounds()).toAlignedRect();
    if (!o.filters.empty()) full = filterMargin(full, o.filters, sx, sy);
    // Filters reach a little beyond the target; more than that is never seen.
    const QRect limit = s.image->rect().adjusted(-256, -256, 256, 256);
    const QRect area = full.intersected(limit);
    if (area.isEmpty() || qint64(area.width()) * area.height() > maxLayerPixels) {
        if (!area.isEmpty()) drawContent(s, o, t, cx, clip);
        return;
    }
    // Filtering is the costly part: a filtered object whose content, place and
    // colours are as last frame reuses its layer.
    std::optional<uint64_t> content;
    if (cache_ && !o.filters.empty() && area == full) {
        content = ContentFingerprint::of(o);
        if (content)
            *content ^= std::hash<double>{}(sx * 7919.0 + sy) * 31 + uint64_t(quality_) * 2 + (s.group ? 1 : 0) +
                        (uint64_t(s.image->width()) << 40) + (uint64_t(s.image->height()) << 20);
    }
    QImage layer;
    QPoint at;
    if (const RenderCache::Layer* kept = content ? cache_->layer(o, *content, t, cx) : nullptr) {
        layer = kept->image;
        at = kept->at;
    } else {
        layer = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
        layer.setDevicePixelRatio(1);
        layer.fill(Qt::transparent);
        {
            Surface ls;
            begin(ls, layer);
            ls.group = s.group || o.blendMode != swf::BlendMode::Normal;
            const QTransform shift = QTransform::fromTranslate(-area.left(), -area.top());
            drawContent(ls, o, t * shift, cx, nullptr);
            ls.painter.end();
        }
        at = area.topLeft();
        if (!o.filters.empty()) {
            QPoint offset;
            const QRect seen = s.image->rect().translated(-area.topLeft());
            layer = applyFilters(layer, o.filters, sx, sy, &offset, &seen);
            at += offset;
            if (layer.isNull()) return; // nothing of it lands on the surface
        }
        if (content) cache_->keepLayer(o, RenderCache::Layer{*content, t, cx, layer, at});
    }
    if (clip) {
        // Masks cut the finished layer, effects included; a kept layer stays whole.
        if (content) layer = layer.copy();
        QPainter lp(&layer);
        lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        cover(lp, *clip, -at);
    }
    const swf::BlendMode mode = o.blendMode == swf::BlendMode::Layer ? swf::BlendMode::Normal : o.blendMode;
    if (mode == swf::BlendMode::Normal) {
        applyClip(s, nullptr);
        s.painter.resetTransform();
        s.painter.drawImage(at, layer);
        return;
    }
    // The blend works on the pixels directly: the painter lets go of them meanwhile.
    s.painter.end();
    compose(*s.image, layer, at, mode);
    begin(s, *s.image);
}

QPainterPath StageRenderer::outline(const DisplayObject& o, const QTransform& t) const {
    QPainterPath path;
    switch (o.type()) {
    case DisplayObject::Type::Shape: {
        const swf::ShapeDef& def = static_cast<const display::ShapeObject&>(o).def();
        if (!cache_) {
            path = t.map(shapeFillArea(def));
            break;
        }
        auto it = cache_->outlines.find(&def);
        if (it == cache_->outlines.end()) it = cache_->outlines.insert(&def, shapeFillArea(def));
        path = t.map(it.value());
        break;
    }
    case DisplayObject::Type::MorphShape: {
        auto& m = static_cast<const display::MorphShapeObject&>(o);
        path = t.map(morphShapeFillArea(m.def(), m.morphRatio()));
        break;
    }
    case DisplayObject::Type::Text:
        path = t.map(TextPainter::outline(static_cast<const display::StaticTextObject&>(o).def(), movie_));
        break;
    case DisplayObject::Type::EditText:
        path = t.map(TextPainter::outline(static_cast<const display::EditTextObject&>(o)));
        break;
    case DisplayObject::Type::Bitmap:
    case DisplayObject::Type::Video:
        path.addRect(t.mapRect(o.localBounds()));
        break;
    case DisplayObject::Type::MovieClip:
        if (const auto& canvas = static_cast<const display::MovieClip&>(o).drawing; canvas && !canvas->isEmpty())
            path.addPath(t.map(shapeFillArea(canvas->shape())));
        for (const auto& [depth, child] : static_cast<const display::MovieClip&>(o).children())
            if (child->clipDepth == 0 && child->visible)
                path.addPath(outline(*child, child->matrix.toQTransform() * t));
        break;
    case DisplayObject::Type::Button:
        for (const auto& [depth, child] : static_cast<const display::ButtonObject&>(o).children())
            path.addPath(outline(*child, child->matrix.toQTransform() * t));
        break;
    }
    path.setFillRule(Qt::WindingFill);
    return path;
}

} // namespace nimbrel::movie::render
