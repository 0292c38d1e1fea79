#include "movie/avm2/builtins/TextFieldLines.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/display/EditTextObject.h"

namespace nimbrel::movie::avm2 {

using namespace native;
using display::EditTextObject;
using display::TextLayout;

namespace {
namespace textlines {

const char* const kMetricsFields[] = {"x", "width", "height", "ascent", "descent", "leading"};

Value constructMetrics(Runtime& rt, const Value& self, Args a) {
    for (int i = 0; i < int(std::size(kMetricsFields)); ++i)
        PropertyAccess::set(rt, self, Name::publicName(QString::fromLatin1(kMetricsFields[i])),
                            Value::number(numberArg(rt, a, i, NAN)));
    return Value();
}

Value construct(Runtime& rt, const char* cls, std::initializer_list<double> values) {
    std::vector<Value> args;
    for (double v : values) args.push_back(Value::number(v));
    ClassObject* c = rt.builtin(QString::fromLatin1(cls));
    if (!c) return Value::null();
    return rt.constructClass(*c, Args{args.data(), int(args.size())});
}

// The field behind `this` with its lines; a field always has at least one.
struct Lines {
    EditTextObject* field = nullptr;
    const std::vector<TextLayout::Line>* lines = nullptr;
    int count() const { return lines ? int(lines->size()) : 0; }
    const TextLayout::Line& operator[](int i) const { return (*lines)[size_t(i)]; }
    // Where line i ends, its paragraph break included.
    int endOf(int i) const { return i + 1 < count() ? (*this)[i + 1].begin : field->content().length(); }
    // The line holding character index, or -1.
    int lineOf(int index) const {
        if (!field || index < 0 || index >= field->content().length()) return -1;
        for (int i = 0; i < count(); ++i)
            if (index < endOf(i)) return i;
        return count() - 1;
    }
    // Top of line i in the field's pixels, scrolling counted.
    double topOf(int i) const {
        const double first = (*this)[std::clamp(field->scroll() - 1, 0, count() - 1)].top;
        return ((*this)[i].top - first + EditTextObject::gutter) / 20.0;
    }
};
Lines linesOf(Runtime& rt, const Value& self) {
    Lines l;
    l.field = dynamic_cast<EditTextObject*>(thisDisplay(rt, self));
    if (l.field) l.lines = &l.field->layout().lines();
    return l;
}
// The line an argument names; a line that is not there is a RangeError.
int lineArg(Runtime& rt, const Lines& l, const Value& v) {
    const int i = rt.toInt32(v);
    if (i < 0 || i >= std::max(1, l.count())) rt.raise(QStringLiteral("RangeError"), 2006);
    return i;
}

Value getLineIndexOfChar(Runtime& rt, const Value& s, Args a) {
    return Value::integer(linesOf(rt, s).lineOf(rt.toInt32(a[0])));
}
Value getLineOffset(Runtime& rt, const Value& s, Args a) {
    const Lines l = linesOf(rt, s);
    const int i = lineArg(rt, l, a[0]);
    return Value::integer(l.count() ? l[i].begin : 0);
}
Value getLineLength(Runtime& rt, const Value& s, Args a) {
    const Lines l = linesOf(rt, s);
    const int i = lineArg(rt, l, a[0]);
    return Value::integer(l.count() ? l.endOf(i) - l[i].begin : 0);
}
Value getLineText(Runtime& rt, const Value& s, Args a) {
    const Lines l = linesOf(rt, s);
    const int i = lineArg(rt, l, a[0]);
    if (!l.count()) return Value::string(QString());
    return Value::string(l.field->text().mid(l[i].begin, l.endOf(i) - l[i].begin));
}
Value getLineMetrics(Runtime& rt, const Value& s, Args a) {
    const Lines l = linesOf(rt, s);
    const int i = lineArg(rt, l, a[0]);
    if (!l.count()) return construct(rt, "flash.text.TextLineMetrics", {0, 0, 0, 0, 0, 0});
    const TextLayout::Line& line = l[i];
    return construct(rt, "flash.text.TextLineMetrics",
                     {(line.x + EditTextObject::gutter) / 20.0, line.width / 20.0,
                      (line.ascent + line.descent + line.leading) / 20.0, line.ascent / 20.0, line.descent / 20.0,
                      line.leading / 20.0});
}

// The box of one character in the field's pixels; null for a character not laid out.
Value getCharBoundaries(Runtime& rt, const Value& s, Args a) {
    const Lines l = linesOf(rt, s);
    const int index = rt.toInt32(a[0]);
    const int i = l.lineOf(index);
    // Lines scrolled off the top have no box; sideways scrolling does not move the boxes.
    if (i < 0 || i < l.field->scroll() - 1) return Value::null();
    const TextLayout::Line& line = l[i];
    for (const TextLayout::Run& run : line.runs)
        for (const TextLayout::Glyph& g : run.glyphs)
            if (g.index == index)
                return construct(rt, "flash.geom.Rectangle",
                                 {(line.x + g.x + EditTextObject::gutter) / 20.0, l.topOf(i),
                                  g.advance / 20.0, (line.ascent + line.descent) / 20.0});
    return Value::null();
}

// The line at a point of the field's pixels, or -1.
int lineAt(const Lines& l, double y) {
    if (!l.count()) return -1;
    for (int i = std::clamp(l.field->scroll() - 1, 0, l.count() - 1); i < l.count(); ++i) {
        const double top = l.topOf(i);
        const double bottom = top + (l[i].ascent + l[i].descent + l[i].leading) / 20.0;
        if (y >= top && y < bottom) return i;
    }
    return -1;
}
Value getLineIndexAtPoint(Runtime& rt, const Value& s, Args a) {
    return Value::integer(lineAt(linesOf(rt, s), numberArg(rt, a, 1, 0)));
}
Value getCharIndexAtPoint(Runtime& rt, const Value& s, Args a) {
    const Lines l = linesOf(rt, s);
    const int i = lineAt(l, numberArg(rt, a, 1, 0));
    if (i < 0) return Value::integer(-1);
    const double x = numberArg(rt, a, 0, 0) * 20.0 + l.field->hscroll() * 20.0 - EditTextObject::gutter - l[i].x;
    for (const TextLayout::Run& run : l[i].runs)
        for (const TextLayout::Glyph& g : run.glyphs)
            if (x >= g.x && x < g.x + g.advance) return Value::integer(g.index);
    return Value::integer(-1);
}

// Paragraphs run to a carriage return.
Value getFirstCharInParagraph(Runtime& rt, const Value& s, Args a) {
    const Lines l = linesOf(rt, s);
    const int index = rt.toInt32(a[0]);
    if (!l.field || index < 0 || index >= l.field->content().length()) return Value::integer(-1);
    return Value::integer(int(l.field->text().lastIndexOf(QLatin1Char('\r'), index - 1)) + 1);
}
Value getParagraphLength(Runtime& rt, const Value& s, Args a) {
    const Lines l = linesOf(rt, s);
    const int index = rt.toInt32(a[0]);
    if (!l.field || index < 0 || index >= l.field->content().length()) return Value::integer(-1);
    const QString& text = l.field->text();
    const int first = int(text.lastIndexOf(QLatin1Char('\r'), index - 1)) + 1;
    const qsizetype brk = text.indexOf(QLatin1Char('\r'), index);
    return Value::integer((brk < 0 ? int(text.size()) : int(brk) + 1) - first);
}

} // namespace textlines
} // namespace

void TextFieldLines::installMetricsClass(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.text"), QStringLiteral("TextLineMetrics"), rt.builtin(QStringLiteral("Object")), {});
    cls->constructor = MethodRef{nullptr, 0, textlines::constructMetrics, cls.get()};
}

void TextFieldLines::install(Runtime& rt, ClassObject& textField) {
    (void)rt;
    static const NativeMethod members[] = {
        {"getLineIndexOfChar", textlines::getLineIndexOfChar, 1}, {"getLineOffset", textlines::getLineOffset, 1},
        {"getLineLength", textlines::getLineLength, 1}, {"getLineText", textlines::getLineText, 1},
        {"getLineMetrics", textlines::getLineMetrics, 1}, {"getCharBoundaries", textlines::getCharBoundaries, 1},
        {"getLineIndexAtPoint", textlines::getLineIndexAtPoint, 2},
        {"getCharIndexAtPoint", textlines::getCharIndexAtPoint, 2},
        {"getFirstCharInParagraph", textlines::getFirstCharInParagraph, 1},
        {"getParagraphLength", textlines::getParagraphLength, 1}};
    addInstanceMembers(textField, members);
}

} // namespace nimbrel::movie::avm2
