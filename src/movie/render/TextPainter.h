#pragma once
// Draws static text from embedded font outlines.
#include "movie/swf/Movie.h"
#include "movie/swf/TextDef.h"
#include <QPainter>
#include <QPainterPath>

namespace nimbrel::movie::render {

class TextPainter {
public:
    // The painter's transform maps the text character's twips to device pixels.
    static void paint(QPainter& p, const swf::TextDef& text, const swf::Movie& movie, const swf::ColorTransform& cx);
    // Area of the glyphs, in the character's twips, for masks.
    static QPainterPath outline(const swf::TextDef& text, const swf::Movie& movie);

private:
    // Glyphs of one run, each moved to its place, sharing one colour.
    static QPainterPath runPath(const swf::TextRun& run, const swf::FontDef& font);
};

} // namespace nimbrel::movie::render
