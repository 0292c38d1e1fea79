#include "movie/render/TextPainter.h"

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

void TextPainter::paint(QPainter& p, const swf::TextDef& text, const swf::Movie& movie, const swf::ColorTransform& cx) {
    p.save();
    p.setTransform(text.matrix.toQTransform() * p.transform());
    p.setPen(Qt::NoPen);
    for (const swf::TextRun& run : text.runs) {
        const swf::FontDef* font = movie.font(run.fontId);
        if (!font || run.glyphs.empty()) continue;
        p.setBrush(cx.apply(run.color).toQColor());
        p.drawPath(runPath(run, *font));
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
