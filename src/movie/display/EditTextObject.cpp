#include "movie/display/EditTextObject.h"
#include "movie/display/HtmlText.h"
#include "movie/display/MovieContext.h"
#include <algorithm>
#include <cmath>
#include <optional>

namespace nimbrel::movie::display {

namespace {

// Text fields keep paragraph breaks as carriage returns.
QString normaliseBreaks(QString s) {
    s.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    s.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return s;
}

uint32_t rgbOf(const swf::Rgba& c) { return (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b; }

} // namespace

EditTextObject::EditTextObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::EditTextDef> def)
    : DisplayObject(Type::EditText, context, characterId), def_(std::move(def)) {
    const swf::EditTextDef& d = *def_;
    bounds_ = d.bounds.toQRectF();
    newFormat_ = TextFormat::defaults();
    if (d.hasFont) {
        if (const swf::FontDef* f = context->movie()->font(d.fontId)) {
            if (!f->name.isEmpty()) newFormat_.font = f->name;
            newFormat_.bold = f->bold;
            newFormat_.italic = f->italic;
        }
    } else if (!d.fontClass.isEmpty()) {
        newFormat_.font = d.fontClass;
    }
    if (d.hasFont || !d.fontClass.isEmpty()) newFormat_.size = d.fontHeight / 20.0;
    if (d.hasTextColor) newFormat_.color = rgbOf(d.textColor);
    if (d.hasLayout) {
        static const char* const aligns[] = {"left", "right", "center", "justify"};
        newFormat_.align = QLatin1String(aligns[int(d.align)]);
        newFormat_.leftMargin = d.leftMargin / 20.0;
        newFormat_.rightMargin = d.rightMargin / 20.0;
        newFormat_.indent = d.indent / 20.0;
        newFormat_.leading = d.leading / 20.0;
    }
    html = d.html;
    multiline = d.multiline;
    password = d.password;
    selectable = !d.noSelect;
    border = background = d.border;
    input = !d.readOnly;
    maxChars = d.hasMaxLength ? d.maxLength : 0;
    variable = d.variableName;
    wordWrap_ = d.wordWrap;
    embedFonts_ = d.useOutlines;
    autoSize_ = d.autoSize ? AutoSize::Left : AutoSize::None;
    const auto& settings = context->movie()->textSettings;
    if (auto it = settings.find(characterId); it != settings.end()) rendering = it->second;
    setInitialText(d.initialText);
}

EditTextObject::EditTextObject(MovieContext* context, const QRectF& bounds)
    : DisplayObject(Type::EditText, context, 0), bounds_(bounds) {
    newFormat_ = TextFormat::defaults();
}

const swf::Movie* EditTextObject::movie() const { return context()->movie().get(); }

void EditTextObject::setBounds(const QRectF& bounds) {
    bounds_ = bounds;
    changed();
}

// A field's _width and _height set its own box: its scale still applies on top.
void EditTextObject::setWidth(double px) {
    if (!std::isfinite(px)) return;
    bounds_.setWidth(std::max(0.0, std::trunc(px * 20.0)));
    changed();
}

void EditTextObject::setHeight(double px) {
    if (!std::isfinite(px)) return;
    bounds_.setHeight(std::max(0.0, std::trunc(px * 20.0)));
    changed();
}

void EditTextObject::setText(const QString& text) {
    content_.clear();
    content_.append(normaliseBreaks(text), newFormat_);
    changed();
}

void EditTextObject::restoreInitialText() {
    setInitialText(def_ ? def_->initialText : QString());
}

void EditTextObject::setInitialText(const QString& initial) {
    if (!html) {
        setText(initial);
        return;
    }
    setHtmlText(initial);
    // Authoring tools close the last paragraph of a field's markup; that
    // closing makes no empty line after it, as markup a script sets does.
    const int len = content_.length();
    if (len > 0 && content_.text().back() == QLatin1Char('\r')) {
        content_.replace(len - 1, len, QString(), newFormat_);
        changed();
    }
}

QString EditTextObject::htmlText() const { return html ? HtmlText::write(content_) : content_.text(); }

void EditTextObject::setHtmlText(const QString& markup) {
    if (!html) {
        setText(markup);
        return;
    }
    content_.clear();
    HtmlText::parse(markup, newFormat_, content_, condenseWhite);
    changed();
}

void EditTextObject::replaceText(int begin, int end, const QString& text) {
    content_.replace(begin, end, normaliseBreaks(text), newFormat_);
    changed();
}

void EditTextObject::setFormat(int begin, int end, const TextFormat& format) {
    content_.applyFormat(begin, end, format);
    changed();
}

void EditTextObject::setNewTextFormat(const TextFormat& format) { newFormat_.mergeFrom(format); }

void EditTextObject::setTextColor(uint32_t rgb) {
    TextFormat f;
    f.color = rgb & 0xFFFFFF;
    newFormat_.mergeFrom(f);
    content_.applyFormat(0, content_.length(), f);
    changed();
}

void EditTextObject::setWordWrap(bool on) {
    wordWrap_ = on;
    changed();
}

void EditTextObject::setEmbedFonts(bool on) {
    embedFonts_ = on;
    changed();
}

void EditTextObject::setAutoSize(AutoSize mode) {
    autoSize_ = mode;
    changed();
}

const TextLayout& EditTextObject::layout() const {
    if (!layout_) {
        TextLayout::Options o;
        o.width = bounds_.width() - 2 * gutter;
        o.wordWrap = wordWrap_;
        o.password = password;
        o.embedFonts = embedFonts_;
        o.movie = movie();
        layout_ = TextLayout::build(content_, o);
    }
    return *layout_;
}

void EditTextObject::setSelection(int anchor, int caret) {
    const int len = content_.length();
    selBegin_ = std::clamp(anchor, 0, len);
    selEnd_ = std::clamp(caret, 0, len);
}

void EditTextObject::changed() {
    setSelection(selBegin_, selEnd_);
    layout_.reset();
    fitToText();
    scroll_ = std::clamp(scroll_, 1, maxScroll());
    hscroll_ = std::clamp(hscroll_, 0, maxHscroll());
}

void EditTextObject::fitToText() {
    if (autoSize_ == AutoSize::None) return;
    const TextLayout& l = layout();
    const double w = wordWrap_ ? bounds_.width() : std::ceil(l.textWidth() / 20.0) * 20.0 + 2 * gutter;
    const double h = std::ceil(l.textHeight() / 20.0) * 20.0 + 2 * gutter;
    QRectF b = bounds_;
    if (!wordWrap_) {
        // Growing to the left or both ways moves the field itself; its box keeps its origin.
        double shift = 0;
        if (autoSize_ == AutoSize::Center) shift = (bounds_.width() - w) / 2;
        else if (autoSize_ == AutoSize::Right) shift = bounds_.width() - w;
        matrix.tx += matrix.a * shift;
        matrix.ty += matrix.b * shift;
        b.setWidth(w);
    }
    b.setHeight(h);
    if (b == bounds_) return;
    bounds_ = b;
    // The layout only depends on the width, which wrapping fields keep.
    if (!wordWrap_) layout_.reset();
}

int EditTextObject::maxScroll() const {
    const auto& lines = layout().lines();
    if (lines.empty()) return 1;
    const double visible = bounds_.height() - 2 * gutter;
    const double bottom = lines.back().top + lines.back().ascent + lines.back().descent;
    int first = int(lines.size()) - 1;
    while (first > 0 && bottom - lines[size_t(first - 1)].top <= visible + 0.01) --first;
    return first + 1;
}

int EditTextObject::bottomScroll() const {
    const auto& lines = layout().lines();
    if (lines.empty()) return 1;
    const double visible = bounds_.height() - 2 * gutter;
    const size_t first = size_t(std::clamp(scroll_ - 1, 0, int(lines.size()) - 1));
    size_t last = first;
    while (last + 1 < lines.size() &&
           lines[last + 1].top + lines[last + 1].ascent + lines[last + 1].descent - lines[first].top <= visible + 0.01)
        ++last;
    return int(last) + 1;
}

void EditTextObject::setScroll(int line) { scroll_ = std::clamp(line, 1, maxScroll()); }

int EditTextObject::maxHscroll() const {
    const double over = layout().textWidth() - (bounds_.width() - 2 * gutter);
    return over > 0 ? int(std::ceil(over / 20.0)) : 0;
}

void EditTextObject::setHscroll(int px) { hscroll_ = std::clamp(px, 0, maxHscroll()); }

namespace {

// Whether a restrict list lets c in: a plain list of allowed characters,
// '^' switching between allowed and excluded ones and a backslash escaping.
// A '-' (several in a row act as one) makes a range from the character
// before it, or from the lowest character when a range or nothing came
// before; a reversed range adds nothing, and a trailing '-' or backslash is ignored.
bool restrictAllows(const QString& r, QChar c) {
    bool allowed = false, excluding = false, any = false;
    std::optional<char16_t> last;
    const qsizetype n = r.size();
    auto take = [&](char16_t from, char16_t to) {
        any = true;
        if (c.unicode() >= from && c.unicode() <= to) allowed = !excluding;
    };
    for (qsizetype i = 0; i < n; ++i) {
        QChar a = r[i];
        if (a == QLatin1Char('^')) {
            excluding = !excluding;
            if (!any) allowed = true;
            last.reset();
            continue;
        }
        if (a == QLatin1Char('-')) {
            while (i + 1 < n && r[i + 1] == QLatin1Char('-')) ++i;
            if (i + 1 >= n) break;
            QChar to = r[++i];
            if (to == QLatin1Char('\\') && i + 1 < n) to = r[++i];
            const char16_t from = last.value_or(0);
            if (from <= to.unicode()) take(from, to.unicode());
            last.reset();
            continue;
        }
        if (a == QLatin1Char('\\')) {
            if (i + 1 >= n) break; // a backslash at the end escapes nothing
            a = r[++i];
        }
        take(a.unicode(), a.unicode());
        last = a.unicode();
    }
    return allowed;
}

} // namespace

QString EditTextObject::filterTyped(const QString& typed) const {
    QString out;
    for (QChar c : typed) {
        if (restrict && !restrict->isNull() && !restrictAllows(*restrict, c)) {
            // A Latin letter the list does not take may still go in as its other case.
            const QChar other = c.isUpper() ? c.toLower() : c.toUpper();
            if (c.unicode() > 0x7F || other == c || !restrictAllows(*restrict, other)) continue;
            c = other;
        }
        out += c;
    }
    // What is selected is about to be replaced and leaves room.
    const int kept = content_.length() - (selectionEnd() - selectionBegin());
    if (maxChars > 0) out = out.left(std::max(0, maxChars - kept));
    return out;
}

} // namespace nimbrel::movie::display
