#include "movie/render/GlyphCache.h"
#include <bit>
#include <cmath>

namespace nimbrel::movie::render {

bool GlyphCache::usable(const QPainter& p) {
    return p.testRenderHint(QPainter::Antialiasing) && p.worldTransform().type() <= QTransform::TxScale;
}

uint64_t GlyphCache::hashOf(const QPainterPath& outline) {
    // Every glyph drawn is hashed: whole words at a time, not bytes.
    const int n = outline.elementCount();
    uint64_t h = 0x9E3779B97F4A7C15ULL ^ uint64_t(n);
    auto mix = [&h](uint64_t v) {
        h = (h ^ v) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 32;
    };
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = outline.elementAt(i);
        mix(std::bit_cast<uint64_t>(e.x));
        mix(std::bit_cast<uint64_t>(e.y) + uint64_t(e.type));
    }
    return h;
}

GlyphCache::Entry GlyphCache::make(const QPainterPath& outline, double sx, double sy, QPointF phase,
                                   const QColor& color) {
    Entry e;
    e.outline = outline;
    const QTransform toImage(sx, 0, 0, sy, phase.x(), phase.y());
    // A pixel of room each side for the antialiased edge.
    const QRect area = toImage.mapRect(outline.controlPointRect()).toAlignedRect().adjusted(-1, -1, 1, 1);
    e.offset = area.topLeft();
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter ip(&image);
        ip.setRenderHint(QPainter::Antialiasing, true);
        ip.setPen(Qt::NoPen);
        ip.setTransform(toImage * QTransform::fromTranslate(-area.left(), -area.top()));
        // Overlapping contours of a glyph fill as one, as whole runs of text do.
        QPainterPath filled = outline;
        filled.setFillRule(Qt::WindingFill);
        ip.fillPath(filled, color);
    }
    e.image = std::move(image);
    return e;
}

bool GlyphCache::draw(QPainter& p, const QPainterPath& outline, double scale, QPointF origin, const QColor& color) {
    if (outline.isEmpty()) return true;
    const QTransform world = p.worldTransform();
    const double sx = scale * world.m11(), sy = scale * world.m22();
    const QPointF at = world.map(origin);
    constexpr double kFar = 1 << 24;
    if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(at.x()) || !std::isfinite(at.y()) ||
        std::abs(at.x()) > kFar || std::abs(at.y()) > kFar)
        return false;
    const QRectF extent = QTransform(sx, 0, 0, sy, 0, 0).mapRect(outline.controlPointRect());
    if (extent.width() > maxSide || extent.height() > maxSide) return false;

    // Whole pixels, and the nearest of the offsets images are made for.
    int ix = int(std::floor(at.x())), iy = int(std::floor(at.y()));
    int px = int(std::lround((at.x() - ix) * phases)), py = int(std::lround((at.y() - iy) * phases));
    if (px == phases) ++ix, px = 0;
    if (py == phases) ++iy, py = 0;

    const QPaintDevice* device = p.device();
    if (device) {
        const QRect visible(0, 0, device->width(), device->height());
        const QRect place = extent.translated(ix, iy).toAlignedRect().adjusted(-2, -2, 2, 2);
        if (!place.intersects(visible)) return true;
    }

    const Key key{hashOf(outline), sx, sy, px, py, color.rgba()};
    auto it = entries_.find(key);
    if (it == entries_.end() || it->outline != outline) {
        if (entries_.size() >= maxEntries || bytes_ > maxBytes) clear();
        Entry made = make(outline, sx, sy, QPointF(double(px) / phases, double(py) / phases), color);
        bytes_ += made.image.sizeInBytes();
        it = entries_.insert(key, std::move(made));
    }
    p.resetTransform();
    p.drawImage(QPoint(ix, iy) + it->offset, it->image);
    p.setWorldTransform(world);
    return true;
}

void GlyphCache::clear() {
    entries_.clear();
    bytes_ = 0;
}

} // namespace nimbrel::movie::render
