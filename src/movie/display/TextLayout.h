#pragma once
// Lines of a text field: its formatted text broken into lines that fit the
// field (when it wraps), each glyph placed. Everything is in twips, relative
// to the field's text area (inside the 2-pixel gutter, before scrolling).
#include "movie/display/FormattedText.h"
#include "movie/display/TextFont.h"
#include <QRgb>
#include <vector>

namespace nimbrel::movie::display {

class TextLayout {
public:
    struct Glyph {
        char32_t code = 0;
        double x = 0; // from the line's start
        double advance = 0;
        int index = 0; // position in the text
    };
    struct Run {
        TextFont font;
        double size = 0;
        QRgb color = 0;
        bool underline = false;
        std::vector<Glyph> glyphs;
    };
    struct Line {
        double x = 0;        // left edge after margins and alignment
        double top = 0;      // of the line box
        double ascent = 0, descent = 0, leading = 0;
        double width = 0;    // trailing spaces aside
        int begin = 0, end = 0; // characters
        std::vector<Run> runs;
        double baseline() const { return top + ascent; }
    };
    struct Options {
        double width = 0;    // of the text area; wrapping needs it
        bool wordWrap = false;
        bool password = false;
        bool embedFonts = false;
        const swf::Movie* movie = nullptr;
    };

    static TextLayout build(const FormattedText& text, const Options& options);

    const std::vector<Line>& lines() const { return lines_; }
    double textWidth() const { return textWidth_; }
    double textHeight() const { return textHeight_; }
    // Height of lines [first, last] as drawn one under the other.
    double heightOf(int first, int last) const;

private:
    std::vector<Line> lines_;
    double textWidth_ = 0;
    double textHeight_ = 0;
};

} // namespace nimbrel::movie::display
