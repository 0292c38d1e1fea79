#pragma once
// Draws static text from embedded font outlines, and text fields with their
// border, background and laid-out lines.
#include "movie/display/EditTextObject.h"
#include "movie/render/GlyphCache.h"
#include "movie/swf/Movie.h"
#include "movie/swf/TextDef.h"
#include <QPainter>
#include <QPainterPath>

namespace nimbrel::movie::render {

class TextPainter {
public:
    // The painter's transform maps the text character's twips to device pixels.
    // Glyphs come from `glyphs` when given and the transform allows.
    static void paint(QPainter& p, const swf::TextDef& text, const swf::Movie& movie, const swf::ColorTransform& cx,
                      GlyphCache* glyphs = nullptr);
    // Area of the glyphs, in the character's twips, for masks.
    static QPainterPath outline(const swf::TextDef& text, const swf::Movie& movie);

    // The painter's transform maps the field's twips to device pixels.
    static void paint(QPainter& p, const display::EditTextObject& field, const swf::ColorTransform& cx,
                      GlyphCache* glyphs = nullptr);
    // A text field masks with its whole box.
    static QPainterPath outline(const display::EditTextObject& field);

private:
    // Glyphs of one run, each moved to its place, sharing one colour.
    static QPainterPath runPath(const swf::TextRun& run, const swf::FontDef& font);
};

} // namespace nimbrel::movie::render
