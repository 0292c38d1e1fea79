#include "movie/render/ShapePainter.h"
#include "movie/render/BitmapColorTransform.h"
#include "movie/render/GradientBrush.h"
#include "movie/render/MorphInterpolation.h"
#include "movie/render/PixelCoverage.h"
#include "movie/render/StrokeCache.h"
#include <algorithm>
#include <QHash>
#include <QPainterPathStroker>
#include <cmath>

namespace nimbrel::movie::swf {
struct MorphShapeDef::FrameCache {
    double ratio = -1;
    StyleGroup group;
};

// Solid and gradient brushes and stroke pens under one colour transform, so
// an unchanged object reuses them frame after frame.
struct StyleGroup::PaintCache {
    struct Styles {
        ColorTransform cx;
        bool aliased = false;      // low quality: gradients blend between their records
        std::vector<QBrush> fills; // NoBrush for bitmap fills, which are built per draw
        std::vector<QPen> pens;    // width and cosmetic flag set per draw
        std::vector<bool> penHasBitmap;
        uint64_t used = 0;
    };
    // Instances of one shape often differ only in their colour transform (a
    // fade, a tint): several transforms are kept, not just the last. Too few
    // and a busy scene drawing one shape under more transforms than kept
    // rebuilds every brush of it on every draw.
    static constexpr size_t maxStyles = 32;
    std::vector<Styles> styles;
    uint64_t uses = 0;
};
} // namespace nimbrel::movie::swf

namespace nimbrel::movie::render {

namespace {

// Colour-transformed copies of bitmaps used by fills, so a tinted bitmap is
// converted once rather than every frame.
class TintedBitmapCache {
public:
    const QImage& get(const QImage& src, const swf::ColorTransform& cx) {
        Key key{src.cacheKey(), cx};
        auto it = entries_.find(key);
        if (it != entries_.end()) return it.value();
        if (entries_.size() >= kMaxEntries || bytes_ > kMaxBytes) {
            entries_.clear();
            bytes_ = 0;
        }
        bytes_ += src.sizeInBytes();
        return entries_.insert(key, colorTransformed(src, cx)).value();
    }

private:
    static constexpr qsizetype kMaxEntries = 64;
    static constexpr qsizetype kMaxBytes = 64 << 20;
    qsizetype bytes_ = 0;
    struct Key {
        qint64 image;
        swf::ColorTransform cx;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& k, size_t seed) {
        return qHashMulti(seed, k.image, k.cx.rMult, k.cx.gMult, k.cx.bMult, k.cx.aMult, k.cx.rAdd, k.cx.gAdd,
                          k.cx.bAdd, k.cx.aAdd);
    }
    QHash<Key, QImage> entries_;
};

TintedBitmapCache& tintedBitmaps() {
    static TintedBitmapCache cache;
    return cache;
}

struct PreparedBrush {
    QBrush brush;
    double opacity = 1.0;
    bool smooth = true;
};

// The brush for a fill under a colour transform; NoBrush when nothing is drawn.
PreparedBrush brushFor(const swf::FillStyle& fill, const swf::ColorTransform& cx, const BitmapLookup& bitmaps,
                       bool aliased) {
    PreparedBrush out;
    switch (fill.type) {
    case swf::FillType::Solid:
        out.brush = QBrush(cx.apply(fill.color).toQColor());
        break;
    case swf::FillType::LinearGradient:
    case swf::FillType::RadialGradient:
    case swf::FillType::FocalGradient:
        out.brush = gradientBrush(fill, cx, aliased ? GradientRamp::Points : GradientRamp::Cells);
        break;
    case swf::FillType::Bitmap: {
        const QImage* img = bitmaps ? bitmaps(fill.bitmapId) : nullptr;
        if (!img || img->isNull()) {
            out.brush = Qt::NoBrush;
            break;
        }
        if (cx.isIdentity()) {
            out.brush = QBrush(*img);
        } else if (isAlphaOnly(cx)) {
            out.brush = QBrush(*img);
            out.opacity = cx.aMult / 256.0;
        } else {
            out.brush = QBrush(tintedBitmaps().get(*img, cx));
        }
        out.brush.setTransform(fill.matrix.toQTransform());
        out.smooth = fill.smoothed;
        break;
    }
    }
    return out;
}

Qt::PenCapStyle capOf(swf::CapStyle c) {
    switch (c) {
    case swf::CapStyle::None: return Qt::FlatCap;
    case swf::CapStyle::Square: return Qt::SquareCap;
    default: return Qt::RoundCap;
    }
}

Qt::PenJoinStyle joinOf(swf::JoinStyle j) {
    switch (j) {
    case swf::JoinStyle::Bevel: return Qt::BevelJoin;
    case swf::JoinStyle::Miter: return Qt::MiterJoin;
    default: return Qt::RoundJoin;
    }
}

// Device-pixel scale factors of the painter's transform.
struct DeviceScale {
    double x = 1, y = 1, uniform = 1;
};

DeviceScale deviceScale(const QTransform& t) {
    DeviceScale s;
    s.x = std::hypot(t.m11(), t.m12());
    s.y = std::hypot(t.m21(), t.m22());
    s.uniform = std::sqrt(std::abs(t.determinant()));
    return s;
}

// True when the path is one axis-aligned rectangle (four straight edges).
bool isRectangle(const QPainterPath& path, QRectF* rect) {
    if (path.elementCount() != 5) return false;
    QPointF pt[5];
    for (int k = 0; k < 5; ++k) {
        const QPainterPath::Element e = path.elementAt(k);
        if (k > 0 && !e.isLineTo()) return false;
        pt[k] = QPointF(e.x, e.y);
    }
    if (pt[4] != pt[0]) return false;
    for (int k = 0; k < 4; ++k)
        if (pt[k].x() != pt[k + 1].x() && pt[k].y() != pt[k + 1].y()) return false;
    *rect = QRectF(pt[0], pt[2]).normalized();
    return rect->width() > 0 && rect->height() > 0;
}

// A clipped bitmap fill over exactly its bitmap's rectangle (how imported
// pictures arrive) is drawn as an image: a repeating texture would blend the
// opposite edge into each border when smoothing.
bool drawWholeBitmap(QPainter& p, const QPainterPath& path, const swf::FillStyle& fill, const PreparedBrush& b) {
    if (path.elementCount() != 5) return false;
    bool invertible = false;
    const QTransform m = fill.matrix.toQTransform();
    const QTransform inv = m.inverted(&invertible);
    if (!invertible) return false;
    QPointF corner[5];
    for (int k = 0; k < 5; ++k) {
        const QPainterPath::Element e = path.elementAt(k);
        if (k > 0 && !e.isLineTo()) return false;
        corner[k] = inv.map(QPointF(e.x, e.y));
    }
    constexpr double kSlack = 0.01; // bitmap pixels
    for (int k = 0; k < 4; ++k) {
        const QPointF d = corner[k + 1] - corner[k];
        if (std::abs(d.x()) > kSlack && std::abs(d.y()) > kSlack) return false; // not axis-aligned
    }
    const QImage img = b.brush.textureImage();
    const QRectF area = QPolygonF({corner[0], corner[1], corner[2], corner[3]}).boundingRect();
    const QRectF whole(0, 0, img.width(), img.height());
    if (!whole.adjusted(-0.5, -0.5, 0.5, 0.5).contains(area)) return false;
    const QRectF r = area.intersected(whole);
    p.save();
    p.setWorldTransform(m * p.worldTransform());
    p.setRenderHint(QPainter::SmoothPixmapTransform, b.smooth && p.testRenderHint(QPainter::SmoothPixmapTransform));
    p.setOpacity(p.opacity() * b.opacity);
    p.drawImage(r, img, r);
    p.restore();
    return true;
}

// Device width of a stroke: no-scale strokes keep their width in pixels;
// anything thinner than a pixel is drawn as a one-pixel hairline.
void sizePen(QPen& pen, const swf::LineStyle& line, const DeviceScale& scale) {
    // Flash strokes are at most 255 pixels wide.
    constexpr double kMaxWidth = 255 * 20.0;
    const double twips = std::min<double>(line.width, kMaxWidth);
    double device;
    if (line.noHScale && line.noVScale) device = twips / 20.0;
    else if (line.noHScale) device = twips * scale.y;
    else if (line.noVScale) device = twips * scale.x;
    else device = twips * scale.uniform;
    if (!std::isfinite(device)) device = 1.0;
    const bool noScale = line.noHScale || line.noVScale;
    const bool cosmetic = noScale || device < 1.0;
    const double width = cosmetic ? std::clamp(device, 1.0, 4096.0) : twips;
    if (pen.isCosmetic() != cosmetic) pen.setCosmetic(cosmetic);
    if (pen.widthF() != width) pen.setWidthF(width);
}

QPen penFor(const swf::LineStyle& line, const swf::ColorTransform& cx, const BitmapLookup& bitmaps,
            const DeviceScale& scale, bool aliased) {
    QPen pen;
    if (line.hasFill) pen.setBrush(brushFor(line.fill, cx, bitmaps, aliased).brush);
    else pen.setColor(cx.apply(line.color).toQColor());
    pen.setCapStyle(capOf(line.startCap));
    pen.setJoinStyle(joinOf(line.join));
    if (line.join == swf::JoinStyle::Miter) pen.setMiterLimit(std::max(1.0, line.miterLimit));
    sizePen(pen, line, scale);
    return pen;
}

// The device pixels the painter may touch.
QRect deviceRect(const QPainter& p) {
    const QPaintDevice* d = p.device();
    QRect r(0, 0, d ? d->width() : 0, d ? d->height() : 0);
    if (p.hasClipping()) r &= p.worldTransform().mapRect(p.clipBoundingRect()).toAlignedRect();
    return r;
}

// A brush defined in shape twips, re-expressed in device pixels.
QBrush deviceBrush(QBrush brush, const QTransform& world) {
    if (brush.style() != Qt::SolidPattern && brush.style() != Qt::NoBrush)
        brush.setTransform(brush.transform() * world);
    return brush;
}

// Aliased fill: the pixels whose centres the path covers.
void fillAliased(QPainter& p, const QPainterPath& path, const QBrush& brush) {
    const QTransform world = p.worldTransform();
    PixelCoverage::fill(p, PixelCoverage::spans(path, world, deviceRect(p)), deviceBrush(brush, world));
}

// Aliased stroke: the stroke's outline filled like any shape. Strokes thinner
// than a pixel, and no-scale strokes, are outlined in device pixels.
void strokeAliased(QPainter& p, const QPainterPath& path, const QPen& pen) {
    const QTransform world = p.worldTransform();
    QPainterPathStroker stroker;
    stroker.setCapStyle(pen.capStyle());
    stroker.setJoinStyle(pen.joinStyle());
    stroker.setMiterLimit(pen.miterLimit());
    stroker.setWidth(pen.widthF());
    QPainterPath outline;
    QTransform toDevice = world;
    if (pen.isCosmetic()) {
        outline = stroker.createStroke(world.map(path));
        toDevice = QTransform();
    } else {
        outline = stroker.createStroke(path);
    }
    outline.setFillRule(Qt::WindingFill);
    PixelCoverage::fill(p, PixelCoverage::spans(outline, toDevice, deviceRect(p)), deviceBrush(pen.brush(), world));
}

swf::StyleGroup::PaintCache::Styles makeStyles(const swf::StyleGroup& g, const swf::ColorTransform& cx,
                                               const BitmapLookup& bitmaps, bool aliased) {
    swf::StyleGroup::PaintCache::Styles styles;
    styles.cx = cx;
    styles.aliased = aliased;
    styles.fills.reserve(g.fills.size());
    for (const swf::FillStyle& f : g.fills)
        styles.fills.push_back(f.type == swf::FillType::Bitmap ? QBrush(Qt::NoBrush) : brushFor(f, cx, bitmaps, aliased).brush);
    styles.pens.reserve(g.lines.size());
    for (const swf::LineStyle& l : g.lines) {
        styles.penHasBitmap.push_back(l.hasFill && l.fill.type == swf::FillType::Bitmap);
        styles.pens.push_back(penFor(l, cx, bitmaps, DeviceScale{}, aliased));
    }
    return styles;
}

swf::StyleGroup::PaintCache::Styles& stylesFor(const swf::StyleGroup& g, const swf::ColorTransform& cx,
                                               const BitmapLookup& bitmaps, bool aliased) {
    if (!g.paintCache) g.paintCache = std::make_shared<swf::StyleGroup::PaintCache>();
    swf::StyleGroup::PaintCache& cache = *g.paintCache;
    const uint64_t now = ++cache.uses;
    for (auto& styles : cache.styles) {
        if (styles.cx == cx && styles.aliased == aliased) {
            styles.used = now;
            return styles;
        }
    }
    if (cache.styles.size() >= swf::StyleGroup::PaintCache::maxStyles) {
        auto oldest = std::min_element(cache.styles.begin(), cache.styles.end(),
                                       [](const auto& a, const auto& b) { return a.used < b.used; });
        cache.styles.erase(oldest);
    }
    cache.styles.push_back(makeStyles(g, cx, bitmaps, aliased));
    cache.styles.back().used = now;
    return cache.styles.back();
}

// A scaling stroke filled as its outline, which is made once per scale
// bucket when a cache is at hand; other strokes as the pen draws them.
void drawStroke(QPainter& p, const QPainterPath& path, const QPen& pen, double scale, StrokeCache* strokes) {
    if (pen.isCosmetic() || pen.brush().style() == Qt::NoBrush) {
        p.setPen(pen);
        p.drawPath(path);
        return;
    }
    p.setPen(Qt::NoPen);
    if (strokes) p.fillPath(strokes->outline(path, pen, scale), pen.brush());
    else p.fillPath(StrokeCache::stroke(path, pen, scale), pen.brush());
}

void paintGroup(QPainter& p, const swf::StyleGroup& g, const swf::ColorTransform& cx, const BitmapLookup& bitmaps,
                StrokeCache* strokes, bool keepStyles) {
    const bool aliased = !p.testRenderHint(QPainter::Antialiasing);
    swf::StyleGroup::PaintCache::Styles fresh;
    if (!keepStyles) fresh = makeStyles(g, cx, bitmaps, aliased);
    swf::StyleGroup::PaintCache::Styles& cache = keepStyles ? stylesFor(g, cx, bitmaps, aliased) : fresh;
    p.setPen(Qt::NoPen);
    const QTransform::TransformationType type = p.worldTransform().type();
    const bool axisAligned = type <= QTransform::TxScale;
    for (size_t i = 0; i < g.fills.size() && i < g.fillPaths.size(); ++i) {
        const QPainterPath& path = g.fillPaths[i];
        if (path.isEmpty()) continue;
        if (g.fills[i].type == swf::FillType::Bitmap) {
            PreparedBrush b = brushFor(g.fills[i], cx, bitmaps, aliased);
            if (b.brush.style() == Qt::NoBrush) continue;
            if (g.fills[i].clipped && drawWholeBitmap(p, path, g.fills[i], b)) continue;
            p.save();
            // Smoothing needs both the fill's flag and the stage quality's.
            p.setRenderHint(QPainter::SmoothPixmapTransform,
                            b.smooth && p.testRenderHint(QPainter::SmoothPixmapTransform));
            p.setOpacity(p.opacity() * b.opacity);
            if (aliased) {
                fillAliased(p, path, b.brush);
            } else {
                p.setBrush(b.brush);
                p.drawPath(path);
            }
            p.restore();
        } else {
            if (cache.fills[i].style() == Qt::NoBrush) continue;
            if (aliased) {
                fillAliased(p, path, cache.fills[i]);
                continue;
            }
            QRectF rect;
            if (axisAligned && g.fills[i].type == swf::FillType::Solid && isRectangle(path, &rect)) {
                p.fillRect(rect, cache.fills[i]); // much cheaper than a general path
                continue;
            }
            p.setBrush(cache.fills[i]);
            p.drawPath(path);
        }
    }
    if (g.lines.empty()) return;
    p.setBrush(Qt::NoBrush);
    const QTransform world = p.worldTransform();
    const DeviceScale scale = deviceScale(world);
    // How finely a stroke's curves are followed: Qt's measure of a transform's scale.
    const double curveScale = std::sqrt(std::max(world.m11() * world.m11() + world.m12() * world.m12(),
                                                 world.m21() * world.m21() + world.m22() * world.m22()));
    for (size_t i = 0; i < g.lines.size() && i < g.linePaths.size(); ++i) {
        const QPainterPath& path = g.linePaths[i];
        if (path.isEmpty()) continue;
        QPen pen;
        if (cache.penHasBitmap[i]) {
            pen = penFor(g.lines[i], cx, bitmaps, scale, aliased);
        } else {
            sizePen(cache.pens[i], g.lines[i], scale);
            pen = cache.pens[i];
        }
        if (aliased) {
            p.setPen(pen);
            strokeAliased(p, path, pen);
        } else {
            drawStroke(p, path, pen, curveScale, strokes);
        }
    }
    p.setPen(Qt::NoPen);
}

const swf::StyleGroup& morphAt(const swf::MorphShapeDef& m, double ratio) {
    if (!m.frameCache) m.frameCache = std::make_shared<swf::MorphShapeDef::FrameCache>();
    auto& cache = *m.frameCache;
    if (cache.ratio != ratio) {
        cache.group = interpolateMorph(m, ratio);
        cache.ratio = ratio;
    }
    return cache.group;
}

QPainterPath outlineOf(const swf::StyleGroup& g, QPainterPath& into, bool withStrokes = true) {
    for (const QPainterPath& f : g.fillPaths) into.addPath(f);
    if (!withStrokes) return into;
    QPainterPathStroker stroker;
    for (size_t i = 0; i < g.lines.size() && i < g.linePaths.size(); ++i) {
        if (g.linePaths[i].isEmpty()) continue;
        stroker.setWidth(std::max<double>(20.0, g.lines[i].width)); // hairlines hit as one pixel
        stroker.setCapStyle(capOf(g.lines[i].startCap));
        stroker.setJoinStyle(joinOf(g.lines[i].join));
        into.addPath(stroker.createStroke(g.linePaths[i]));
    }
    return into;
}

} // namespace

void paintShape(QPainter& p, const swf::ShapeDef& s, const swf::ColorTransform& cx, const BitmapLookup& bitmaps,
                const ShapeCaches& caches) {
    const QPen oldPen = p.pen();
    const QBrush oldBrush = p.brush();
    for (const swf::StyleGroup& g : s.groups) paintGroup(p, g, cx, bitmaps, caches.strokes, caches.styles);
    p.setPen(oldPen);
    p.setBrush(oldBrush);
}

void paintMorphShape(QPainter& p, const swf::MorphShapeDef& m, double ratio, const swf::ColorTransform& cx,
                     const BitmapLookup& bitmaps, const ShapeCaches& caches) {
    const swf::StyleGroup& g = morphAt(m, ratio);
    const QPen oldPen = p.pen();
    const QBrush oldBrush = p.brush();
    // The interpolated group changes with the ratio in place: its strokes are never kept.
    paintGroup(p, g, cx, bitmaps, nullptr, caches.styles);
    p.setPen(oldPen);
    p.setBrush(oldBrush);
}

QPainterPath shapeOutline(const swf::ShapeDef& s) {
    if (!s.outlineCache) {
        QPainterPath out;
        out.setFillRule(Qt::WindingFill);
        for (const swf::StyleGroup& g : s.groups) outlineOf(g, out);
        s.outlineCache = std::make_shared<const QPainterPath>(out);
    }
    return *s.outlineCache;
}

QPainterPath shapeFillArea(const swf::ShapeDef& s) {
    QPainterPath out;
    out.setFillRule(Qt::WindingFill);
    for (const swf::StyleGroup& g : s.groups) outlineOf(g, out, false);
    return out;
}

QPainterPath morphShapeFillArea(const swf::MorphShapeDef& m, double ratio) {
    QPainterPath out;
    out.setFillRule(Qt::WindingFill);
    outlineOf(morphAt(m, ratio), out, false);
    return out;
}

QPainterPath morphShapeOutline(const swf::MorphShapeDef& m, double ratio) {
    QPainterPath out;
    out.setFillRule(Qt::WindingFill);
    outlineOf(morphAt(m, ratio), out);
    return out;
}

} // namespace nimbrel::movie::render
