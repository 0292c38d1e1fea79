#include "movie/display/FormattedText.h"
#include <algorithm>

namespace nimbrel::movie::display {

size_t FormattedText::splitAt(int pos) {
    for (size_t i = 0; i < spans_.size(); ++i) {
        Span& s = spans_[i];
        if (s.start == pos) return i;
        if (pos > s.start && pos < s.start + s.length) {
            Span tail{pos, s.start + s.length - pos, s.format};
            s.length = pos - s.start;
            spans_.insert(spans_.begin() + long(i) + 1, tail);
            return i + 1;
        }
    }
    return spans_.size();
}

void FormattedText::mergeNeighbours() {
    std::vector<Span> out;
    out.reserve(spans_.size());
    for (Span& s : spans_) {
        if (s.length <= 0) continue;
        if (!out.empty() && out.back().format == s.format) out.back().length += s.length;
        else out.push_back(std::move(s));
    }
    int at = 0;
    for (Span& s : out) {
        s.start = at;
        at += s.length;
    }
    spans_ = std::move(out);
}

void FormattedText::replace(int begin, int end, const QString& text, const TextFormat& format) {
    begin = std::clamp(begin, 0, length());
    end = std::clamp(end, begin, length());
    QString added = text.left(std::max(0, maxLength - (length() - (end - begin))));
    const size_t first = splitAt(begin);
    const size_t last = splitAt(end);
    spans_.erase(spans_.begin() + long(first), spans_.begin() + long(last));
    const int shift = int(added.size()) - (end - begin);
    for (size_t i = first; i < spans_.size(); ++i) spans_[i].start += shift;
    if (!added.isEmpty()) spans_.insert(spans_.begin() + long(first), Span{begin, int(added.size()), format});
    text_.replace(begin, end - begin, added);
    mergeNeighbours();
}

void FormattedText::applyFormat(int begin, int end, const TextFormat& format) {
    begin = std::clamp(begin, 0, length());
    end = std::clamp(end, begin, length());
    if (begin == end) return;
    const size_t first = splitAt(begin);
    const size_t last = splitAt(end);
    for (size_t i = first; i < last; ++i) spans_[i].format.mergeFrom(format);
    mergeNeighbours();
}

TextFormat FormattedText::formatOf(int begin, int end) const {
    begin = std::clamp(begin, 0, length());
    end = std::clamp(end, begin, length());
    if (begin == end) {
        const TextFormat* f = formatAt(begin > 0 ? begin - 1 : 0);
        return f ? *f : TextFormat();
    }
    bool first = true;
    TextFormat out;
    for (const Span& s : spans_) {
        if (s.start + s.length <= begin || s.start >= end) continue;
        if (first) out = s.format;
        else out.intersectWith(s.format);
        first = false;
    }
    return out;
}

const TextFormat* FormattedText::formatAt(int pos) const {
    if (spans_.empty()) return nullptr;
    for (const Span& s : spans_)
        if (pos >= s.start && pos < s.start + s.length) return &s.format;
    return &spans_.back().format;
}

} // namespace nimbrel::movie::display
