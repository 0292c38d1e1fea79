#include "movie/render/TextPainter.h"
#include "movie/render/PixelCoverage.h"
#include <cmath>

namespace nimbrel::movie::render {

QPainterPath TextPainter::runPath(const swf::TextRun& run, const swf::FontDef& font) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const double scale = run.height / font.unitsPerEm;
    for (const swf::TextGlyph& g : run.glyphs) {
        if (g.index >= font.glyphs.size()) continue;
        QTransform t(scale, 0, 0, scale, g.x, run.y);
        path.addPath(t.map(font.glyphs[g.index]));
    }
    return path;
}

void TextPainter::paint(QPainter& p, const swf::TextDef& text, const swf::Movie& movie, const swf::ColorTransform& cx,
                        GlyphCache* glyphs) {
    p.save();
    p.setTransform(text.matrix.toQTransform() * p.transform());
    p.setPen(Qt::NoPen);
    const bool cached = glyphs && GlyphCache::usable(p);
    const bool aliased = !p.testRenderHint(QPainter::Antialiasing);
    QRect aliasedArea;
    if (aliased && p.device()) {
        aliasedArea = QRect(0, 0, p.device()->width(), p.device()->height());
        aliasedArea &= p.worldTransform().mapRect(p.clipBoundingRect()).toAlignedRect();
    }
    for (const swf::TextRun& run : text.runs) {
        const swf::FontDef* font = movie.font(run.fontId);
        if (!font || run.glyphs.empty()) continue;
        const QColor color = cx.apply(run.color).toQColor();
        p.setBrush(color);
        if (!cached && !aliased) {
            p.drawPath(runPath(run, *font));
            continue;
        }
        // Glyph by glyph: from images, or aliased, where a glyph alone covers
        // the same pixels as within its run.
        const double scale = run.height / font->unitsPerEm;
        for (const swf::TextGlyph& g : run.glyphs) {
            if (g.index >= font->glyphs.size()) continue;
            const QPainterPath& outline = font->glyphs[g.index];
            if (cached && glyphs->draw(p, outline, scale, QPointF(g.x, run.y), color)) continue;
            QPainterPath placed = QTransform(scale, 0, 0, scale, g.x, run.y).map(outline);
            placed.setFillRule(Qt::WindingFill);
            p.drawPath(placed);
        }
    }
    p.restore();
}

QPainterPath TextPainter::outline(const swf::TextDef& text, const swf::Movie& movie) {
    QPainterPath all;
    all.setFillRule(Qt::WindingFill);
    for (const swf::TextRun& run : text.runs)
        if (const swf::FontDef* font = movie.font(run.fontId)) all.addPath(runPath(run, *font));
    return text.matrix.toQTransform().map(all);
}

} // namespace nimbrel::movie::render

namespace nimbrel::movie::render {

namespace {

QColor withTransform(uint32_t rgb, const swf::ColorTransform& cx) {
    swf::Rgba c{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
    return cx.apply(c).toQColor();
}

} // namespace

void TextPainter::paint(QPainter& p, const display::EditTextObject& field, const swf::ColorTransform& cx,
                        GlyphCache* glyphs) {
    const QRectF box = field.bounds();
    if (box.width() <= 0 || box.height() <= 0) return;
    p.save();
    p.setPen(Qt::NoPen);
    const QTransform toDevice = p.transform();
    const bool antialiased = p.testRenderHint(QPainter::Antialiasing);
    const bool axisAligned = toDevice.m12() == 0 && toDevice.m21() == 0;
    if (axisAligned && (field.background || field.border)) {
        // Unturned, a field's box lands on whole pixels. The background fills
        // between its edges rounded to the nearest pixel boundary, halves
        // going down; the border runs on the pixels its edges fall in, the
        // bottom right corner left out.
        const QRectF device = toDevice.mapRect(box);
        p.resetTransform();
        p.setRenderHint(QPainter::Antialiasing, false);
        if (field.background) {
            auto edge = [](double v) { return int(std::ceil(v - 0.5 - 1e-6)); };
            const QRect fill(QPoint(edge(device.left()), edge(device.top())),
                             QPoint(edge(device.right()) - 1, edge(device.bottom()) - 1));
            if (fill.isValid()) p.fillRect(fill, withTransform(field.backgroundColor, cx));
        }
        if (field.border) {
            auto pixel = [](double v) { return int(std::floor(v + 1e-6)); }; // 19.9999999 is 20
            const int l = pixel(device.left()), t = pixel(device.top());
            const int r = std::max(l, pixel(device.right())), b = std::max(t, pixel(device.bottom()));
            const QColor c = withTransform(field.borderColor, cx);
            p.fillRect(QRect(l, t, r - l + 1, 1), c);
            p.fillRect(QRect(l, t + 1, 1, b - t), c);
            if (r > l) p.fillRect(QRect(r, t + 1, 1, std::max(0, b - t - 1)), c);
            if (b > t) p.fillRect(QRect(l + 1, b, r - l - 1, 1), c);
        }
        p.setTransform(toDevice);
        p.setRenderHint(QPainter::Antialiasing, antialiased);
    } else {
        if (field.background) p.fillRect(box, withTransform(field.backgroundColor, cx));
        if (field.border) {
            QPen pen(withTransform(field.borderColor, cx), 1.0);
            pen.setCosmetic(true);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(box.adjusted(10, 10, -10, -10));
            p.setPen(Qt::NoPen);
        }
    }
    // Text stays inside the box, gutter included.
    p.setClipRect(box, Qt::IntersectClip);
    const bool cached = glyphs && GlyphCache::usable(p);
    const bool aliased = !p.testRenderHint(QPainter::Antialiasing);
    QRect aliasedArea;
    if (aliased && p.device()) {
        aliasedArea = QRect(0, 0, p.device()->width(), p.device()->height());
        aliasedArea &= p.worldTransform().mapRect(p.clipBoundingRect()).toAlignedRect();
    }
    // Lines off the device are skipped: a long text field may run far past
    // the stage.
    QRectF shown = box;
    bool invertible = false;
    const QTransform fromDevice = toDevice.inverted(&invertible);
    if (invertible && p.device()) shown &= fromDevice.mapRect(QRectF(0, 0, p.device()->width(), p.device()->height()));
    const display::TextLayout& layout = field.layout();
    const auto& lines = layout.lines();
    const size_t first = size_t(std::max(0, field.scroll() - 1));
    const double originX = box.left() + display::EditTextObject::gutter - field.hscroll() * 20.0;
    const double top = first < lines.size() ? lines[first].top : 0;
    const double originY = box.top() + display::EditTextObject::gutter - top;
    for (size_t i = first; i < lines.size(); ++i) {
        const display::TextLayout::Line& line = lines[i];
        if (originY + line.top > box.bottom()) break;
        // A line's glyphs may reach a line's height beyond its box (accents, italics).
        const double reach = line.ascent + line.descent + line.leading;
        if (originY + line.top - reach > shown.bottom()) break;
        if (originY + line.top + 2 * reach < shown.top()) continue;
        for (const display::TextLayout::Run& run : line.runs) {
            const QColor color = withTransform(run.color & 0xFFFFFF, cx);
            p.setBrush(color);
            QPainterPath path;
            path.setFillRule(Qt::WindingFill);
            for (const display::TextLayout::Glyph& g : run.glyphs) {
                if (g.code == U' ') continue;
                QPainterPath glyph = run.font.glyph(g.code, run.size);
                if (glyph.isEmpty()) continue;
                const QPointF origin(originX + line.x + g.x, originY + line.baseline());
                if (cached && glyphs->draw(p, glyph, 1.0, origin, color)) continue;
                glyph.translate(origin);
                if (aliased) {
                    // Aliased, a glyph alone covers the same pixels as within
                    // its run, and small paths fill far faster than one wide
                    // one; it takes the pixels whose centres it covers, as shapes do.
                    glyph.setFillRule(Qt::WindingFill);
                    PixelCoverage::fill(p, PixelCoverage::spans(glyph, p.worldTransform(), aliasedArea), QBrush(color));
                    continue;
                }
                path.addPath(glyph);
            }
            if (!path.isEmpty()) p.drawPath(path);
            if (run.underline && !run.glyphs.empty()) {
                const auto& last = run.glyphs.back();
                const double x0 = originX + line.x + run.glyphs.front().x;
                const double x1 = originX + line.x + last.x + last.advance;
                p.fillRect(QRectF(x0, originY + line.baseline() + 20, x1 - x0, 20), color);
            }
        }
    }
    p.restore();
}

QPainterPath TextPainter::outline(const display::EditTextObject& field) {
    QPainterPath path;
    path.addRect(field.bounds());
    return path;
}

} // namespace nimbrel::movie::render
