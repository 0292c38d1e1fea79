#include "movie/display/TextLayout.h"
#include <algorithm>
#include <cmath>
#include <deque>
#include <QColor>

namespace nimbrel::movie::display {

namespace {

// Lines past this many are dropped: keeps hostile text bounded.
constexpr int kMaxLines = 100000;

struct Piece {
    char32_t code;
    int index;
    const TextFormat* format;
};

TextFont fontFor(const TextFormat& f, const TextLayout::Options& o) {
    return TextFont::resolve(o.movie, f.font.value_or(QStringLiteral("Times New Roman")), f.bold.value_or(false),
                             f.italic.value_or(false), o.embedFonts);
}

double twips(const std::optional<double>& px) {
    const double v = px.value_or(0) * 20.0;
    return std::isfinite(v) ? v : 0.0;
}

// Sizes and spacing past these are not drawable anyway; clamping keeps the
// glyph outlines of hostile formats small.
double sizeOf(const TextFormat& f) { return std::clamp(twips(f.size), 0.0, 2000.0 * 20.0); }
double spacingOf(const TextFormat& f) { return std::clamp(twips(f.letterSpacing), -2000.0 * 20.0, 2000.0 * 20.0); }

} // namespace

double TextLayout::heightOf(int first, int last) const {
    if (lines_.empty()) return 0;
    first = std::clamp(first, 0, int(lines_.size()) - 1);
    last = std::clamp(last, first, int(lines_.size()) - 1);
    const Line& a = lines_[size_t(first)];
    const Line& b = lines_[size_t(last)];
    return b.top + b.ascent + b.descent - a.top;
}

TextLayout TextLayout::build(const FormattedText& text, const Options& o) {
    TextLayout out;
    const QString& s = text.text();
    const int n = int(s.size());
    // Fonts are resolved once per span.
    std::deque<std::pair<const TextFormat*, TextFont>> fonts; // stable references
    auto fontOf = [&](const TextFormat* f) -> const TextFont& {
        for (auto& [fmt, font] : fonts)
            if (fmt == f) return font;
        fonts.emplace_back(f, fontFor(*f, o));
        return fonts.back().second;
    };
    static const TextFormat fallback = TextFormat::defaults();
    double top = 0;
    int pos = 0;
    bool firstInParagraph = true;
    while (pos <= n && int(out.lines_.size()) < kMaxLines) {
        const TextFormat* para = text.formatAt(pos);
        if (!para) para = &fallback;
        const double indent = firstInParagraph ? twips(para->indent) : 0;
        const double left = twips(para->leftMargin) + twips(para->blockIndent) + indent;
        const double avail = std::max(0.0, o.width - left - twips(para->rightMargin));
        Line line;
        line.begin = pos;
        double x = 0;
        int breakAt = -1;       // index after the last space on this line
        std::vector<Piece> pieces;
        int end = pos;
        bool hardBreak = false;
        while (end < n) {
            QChar c = s[end];
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                hardBreak = true;
                break;
            }
            char32_t code = c.unicode();
            int width = 1;
            if (c.isHighSurrogate() && end + 1 < n && s[end + 1].isLowSurrogate()) {
                code = QChar::surrogateToUcs4(c, s[end + 1]);
                width = 2;
            }
            if (o.password) code = U'*';
            const TextFormat* f = text.formatAt(end);
            const double size = sizeOf(*f);
            const double adv = fontOf(f).advance(code, size) + spacingOf(*f);
            if (o.wordWrap && x + adv > avail && !pieces.empty() && code != U' ') {
                if (breakAt < 0) breakAt = end; // a word longer than the line is cut
                break;
            }
            pieces.push_back({code, end, f});
            x += adv;
            end += width;
            if (code == U' ') breakAt = end;
        }
        int lineEnd = end;
        if (end < n && !hardBreak && breakAt > pos) lineEnd = breakAt;
        // Glyphs of the line, grouped into runs of one format.
        double lx = 0;
        const TextFormat* emptyFormat = text.formatAt(std::max(0, std::min(pos, n - 1)));
        if (!emptyFormat) emptyFormat = &fallback;
        const TextFormat* runFormat = nullptr;
        for (const Piece& p : pieces) {
            if (p.index >= lineEnd) break;
            const TextFont& font = fontOf(p.format);
            const double size = sizeOf(*p.format);
            if (p.format != runFormat) {
                runFormat = p.format;
                Run r;
                r.font = font;
                r.size = size;
                r.color = QRgb(0xFF000000u | p.format->color.value_or(0));
                r.underline = p.format->underline.value_or(false);
                line.runs.push_back(std::move(r));
            }
            const double adv = font.advance(p.code, size) + spacingOf(*p.format);
            line.runs.back().glyphs.push_back({p.code, lx, adv, p.index});
            lx += adv;
            if (p.code != U' ') line.width = lx;
            line.ascent = std::max(line.ascent, font.ascent(size));
            line.descent = std::max(line.descent, font.descent(size));
        }
        if (line.runs.empty()) {
            const TextFont& font = fontOf(emptyFormat);
            line.ascent = font.ascent(sizeOf(*emptyFormat));
            line.descent = font.descent(sizeOf(*emptyFormat));
        }
        line.leading = twips(para->leading);
        line.end = lineEnd;
        const QString align = para->align.value_or(QStringLiteral("left"));
        // Spaces ending a paragraph count in a left-aligned line's width; at a
        // wrap, and in lines aligned right or centred, they hang outside it.
        const bool wrapped = end < n && !hardBreak;
        if (!wrapped && align != QLatin1String("right") && align != QLatin1String("center")) line.width = lx;
        double offset = 0;
        if (align == QLatin1String("right")) offset = avail - line.width;
        else if (align == QLatin1String("center")) offset = (avail - line.width) / 2;
        line.x = left + std::max(0.0, offset);
        line.top = top;
        top += line.ascent + line.descent + line.leading;
        out.textWidth_ = std::max(out.textWidth_, line.width);
        out.lines_.push_back(std::move(line));
        if (hardBreak && lineEnd == end) {
            pos = end + 1;
            firstInParagraph = true;
            continue;
        }
        firstInParagraph = false;
        if (lineEnd >= n) break;
        pos = lineEnd;
    }
    if (!out.lines_.empty()) {
        const Line& last = out.lines_.back();
        // Leading counts between lines, and after a line standing alone.
        out.textHeight_ = last.top + last.ascent + last.descent + (out.lines_.size() == 1 ? last.leading : 0);
        if (text.length() == 0) {
            out.textWidth_ = 0;
            out.textHeight_ = 0;
        }
    }
    return out;
}

} // namespace nimbrel::movie::display
