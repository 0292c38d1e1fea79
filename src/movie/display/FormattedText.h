#pragma once
// The characters of a text field with the format of each stretch. Spans
// cover the text end to end; neighbours with equal formats are merged.
#include "movie/display/TextFormat.h"
#include <QString>
#include <vector>

namespace nimbrel::movie::display {

class FormattedText {
public:
    struct Span {
        int start = 0;
        int length = 0;
        TextFormat format;
    };

    // Text fields hold at most this many characters; longer text is cut.
    static constexpr int maxLength = 1 << 20;

    const QString& text() const { return text_; }
    int length() const { return int(text_.size()); }
    const std::vector<Span>& spans() const { return spans_; }

    void clear() { text_.clear(); spans_.clear(); }
    // Replaces [begin, end) with text in one format; positions are clamped.
    void replace(int begin, int end, const QString& text, const TextFormat& format);
    void append(const QString& text, const TextFormat& format) { replace(length(), length(), text, format); }
    // Sets the given members of format on [begin, end).
    void applyFormat(int begin, int end, const TextFormat& format);
    // The members shared by every character of [begin, end); the format of
    // the character before begin when the range is empty.
    TextFormat formatOf(int begin, int end) const;
    // Format of the character at pos (the last one past the end).
    const TextFormat* formatAt(int pos) const;

private:
    // Index of the span that starts at pos, splitting one when needed.
    size_t splitAt(int pos);
    void mergeNeighbours();

    QString text_;
    std::vector<Span> spans_;
};

} // namespace nimbrel::movie::display
