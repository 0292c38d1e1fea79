#include "movie/display/TextFormat.h"

namespace nimbrel::movie::display {

namespace {

template <class T> void take(std::optional<T>& mine, const std::optional<T>& theirs) {
    if (theirs) mine = theirs;
}

template <class T> void agree(std::optional<T>& mine, const std::optional<T>& theirs) {
    if (mine != theirs) mine.reset();
}

// Visits every member pair of two formats.
template <class F> void eachMember(TextFormat& a, const TextFormat& b, F&& f) {
    f(a.font, b.font);
    f(a.size, b.size);
    f(a.color, b.color);
    f(a.bold, b.bold);
    f(a.italic, b.italic);
    f(a.underline, b.underline);
    f(a.url, b.url);
    f(a.target, b.target);
    f(a.align, b.align);
    f(a.leftMargin, b.leftMargin);
    f(a.rightMargin, b.rightMargin);
    f(a.indent, b.indent);
    f(a.leading, b.leading);
    f(a.blockIndent, b.blockIndent);
    f(a.bullet, b.bullet);
    f(a.kerning, b.kerning);
    f(a.letterSpacing, b.letterSpacing);
    f(a.tabStops, b.tabStops);
    f(a.display, b.display);
}

} // namespace

TextFormat TextFormat::defaults() {
    TextFormat f;
    f.font = QStringLiteral("Times New Roman");
    f.size = 12;
    f.color = 0;
    f.bold = f.italic = f.underline = false;
    f.url = f.target = QString();
    f.align = QStringLiteral("left");
    f.leftMargin = f.rightMargin = f.indent = f.leading = f.blockIndent = 0;
    f.bullet = f.kerning = false;
    f.letterSpacing = 0;
    f.tabStops = std::vector<double>{};
    f.display = QStringLiteral("block");
    return f;
}

void TextFormat::mergeFrom(const TextFormat& other) {
    eachMember(*this, other, [](auto& mine, const auto& theirs) { take(mine, theirs); });
}

void TextFormat::intersectWith(const TextFormat& other) {
    eachMember(*this, other, [](auto& mine, const auto& theirs) { agree(mine, theirs); });
}

bool TextFormat::complete() const {
    bool all = true;
    TextFormat copy = *this;
    eachMember(copy, *this, [&all](auto& mine, const auto&) { all = all && mine.has_value(); });
    return all;
}

} // namespace nimbrel::movie::display
