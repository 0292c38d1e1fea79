#pragma once
// The small HTML dialect of text fields: reading it into formatted text and
// writing formatted text back as the field's htmlText. Known tags: P (ALIGN),
// BR, FONT (FACE SIZE COLOR LETTERSPACING KERNING), B, I, U, A (HREF TARGET),
// LI, TEXTFORMAT (margins, indent, leading, block indent, tab stops), SPAN;
// others are skipped with their text kept.
#include "movie/display/FormattedText.h"
#include "movie/display/TextFormat.h"
#include <QString>

namespace nimbrel::movie::display {

class HtmlText {
public:
    // Nesting deeper than this is read as if flat: hostile input stays bounded.
    static constexpr int maxNesting = 256;

    // Appends html to out, starting from base. condenseWhite folds runs of
    // white space into one space and drops line breaks in the source.
    static void parse(const QString& html, const TextFormat& base, FormattedText& out, bool condenseWhite = false);
    // nestFonts: a run whose font settings differ from the one before opens a
    // FONT inside it with only what differs, and closes back to the enclosing
    // FONT that matches it (as the second virtual machine's fields write);
    // otherwise each run of other settings gets a whole FONT of its own.
    static QString write(const FormattedText& text, bool nestFonts = false);
    // Replaces the five markup characters with their entities.
    static QString escape(const QString& plain);
};

} // namespace nimbrel::movie::display
