#include "movie/avm2/builtins/TextFieldClass.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/avm2/builtins/TextFieldLines.h"
#include "movie/avm2/builtins/TextFormatClass.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/HtmlText.h"
#include "movie/display/MovieClip.h"
#include <cmath>

namespace nimbrel::movie::avm2 {

using namespace native;
using display::EditTextObject;

namespace {
namespace textfield {

// A field made by a script starts 100 pixels square.
constexpr double kNewFieldSize = 100 * 20.0;

EditTextObject* field(Runtime& rt, const Value& self) {
    return dynamic_cast<EditTextObject*>(thisDisplay(rt, self));
}

Value construct(Runtime& rt, const Value& self, Args) {
    EventTargetObject& t = thisTarget(rt, self);
    if (t.displayObject || !rt.stage) return Value();
    auto made = std::make_shared<EditTextObject>(rt.stage->root()->context(), QRectF(0, 0, kNewFieldSize, kNewFieldSize));
    made->html = true;
    made->setName(rt.stage->nextInstanceName());
    rt.stage->bind(std::static_pointer_cast<EventTargetObject>(t.shared_from_this()), made);
    return Value();
}

[[noreturn]] void badValue(Runtime& rt, const char* parameter) {
    rt.raise(QStringLiteral("ArgumentError"), 2008, {QString::fromLatin1(parameter)});
}
QString nonNullString(Runtime& rt, const Value& v, const char* parameter) {
    if (v.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QString::fromLatin1(parameter)});
    return rt.toString(v);
}
// Which of the names (index into them) v is; a bad one is an ArgumentError.
int choice(Runtime& rt, const Value& v, std::initializer_list<const char*> names, const char* parameter) {
    const QString s = v.isNullish() ? QString() : rt.toString(v);
    int i = 0;
    for (const char* n : names) {
        if (s == QLatin1String(n)) return i;
        ++i;
    }
    badValue(rt, parameter);
}

// Getters and setters over the field; without one (no player) they read as the
// defaults of a new field and ignore writes.
#define FIELD_GET(fnName, fallback, expr)                                                          \
    Value fnName(Runtime& rt, const Value& s, Args) {                                             \
        EditTextObject* f = field(rt, s);                                                         \
        return f ? (expr) : (fallback);                                                           \
    }
#define FIELD_SET(fnName, stmt)                                                                   \
    Value fnName(Runtime& rt, const Value& s, Args a) {                                           \
        const Value& v = a[0];                                                                    \
        (void)v;                                                                                  \
        if (EditTextObject* f = field(rt, s)) { stmt; }                                           \
        return Value();                                                                           \
    }
#define FIELD_FLAG(name, member)                                                                  \
    FIELD_GET(get_##name, Value::boolean(false), Value::boolean(f->member))                       \
    FIELD_SET(set_##name, f->member = v.toBoolean())

FIELD_FLAG(border, border)
FIELD_FLAG(background, background)
FIELD_FLAG(multiline, multiline)
FIELD_FLAG(displayAsPassword, password)
FIELD_FLAG(condenseWhite, condenseWhite)
FIELD_GET(get_selectable, Value::boolean(true), Value::boolean(f->selectable))
FIELD_SET(set_selectable, f->selectable = v.toBoolean())
FIELD_GET(get_wordWrap, Value::boolean(false), Value::boolean(f->wordWrap()))
FIELD_SET(set_wordWrap, f->setWordWrap(v.toBoolean()))
FIELD_GET(get_embedFonts, Value::boolean(false), Value::boolean(f->embedFonts()))
FIELD_SET(set_embedFonts, f->setEmbedFonts(v.toBoolean()))
FIELD_GET(get_borderColor, Value::integer(0), Value::unsignedInt(f->borderColor))
FIELD_SET(set_borderColor, f->borderColor = rt.toUint32(v) & 0xFFFFFF)
FIELD_GET(get_backgroundColor, Value::integer(0xFFFFFF), Value::unsignedInt(f->backgroundColor))
FIELD_SET(set_backgroundColor, f->backgroundColor = rt.toUint32(v) & 0xFFFFFF)
FIELD_GET(get_textColor, Value::integer(0), Value::unsignedInt(f->textColor()))
FIELD_SET(set_textColor, f->setTextColor(rt.toUint32(v) & 0xFFFFFF))

FIELD_GET(get_text, Value::string(QString()), Value::string(f->text()))
FIELD_SET(set_text, f->setText(nonNullString(rt, v, "text")))
FIELD_GET(get_htmlText, Value::string(QString()), Value::string(display::HtmlText::write(f->content(), true)))
Value set_htmlText(Runtime& rt, const Value& s, Args a) {
    const QString html = nonNullString(rt, a[0], "htmlText");
    EditTextObject* f = field(rt, s);
    // Markup the field would give back as it is changes nothing (no paragraph break is added).
    if (!f || html == display::HtmlText::write(f->content(), true)) return Value();
    f->html = true;
    f->setHtmlText(html);
    return Value();
}
FIELD_GET(get_length, Value::integer(0), Value::integer(f->content().length()))
FIELD_GET(get_textWidth, Value::integer(0), Value::number(f->textWidth() / 20.0))
FIELD_GET(get_textHeight, Value::integer(0), Value::number(f->textHeight() / 20.0))
FIELD_GET(get_numLines, Value::integer(1), Value::integer(std::max<int>(1, int(f->layout().lines().size()))))

FIELD_GET(get_scrollV, Value::integer(1), Value::integer(f->scroll()))
Value set_scrollV(Runtime& rt, const Value& s, Args a) {
    if (EditTextObject* f = field(rt, s)) {
        const int before = f->scroll();
        f->setScroll(rt.toInt32(a[0]));
        if (f->scroll() != before && rt.stage) {
            auto e = rt.stage->newEvent(QStringLiteral("flash.events.Event"), QStringLiteral("scroll"));
            rt.stage->dispatch(thisTarget(rt, s), *e);
        }
    }
    return Value();
}
FIELD_GET(get_scrollH, Value::integer(0), Value::integer(f->hscroll()))
FIELD_SET(set_scrollH, f->setHscroll(rt.toInt32(v)))
FIELD_GET(get_maxScrollV, Value::integer(1), Value::integer(f->maxScroll()))
FIELD_GET(get_maxScrollH, Value::integer(0), Value::integer(f->maxHscroll()))
FIELD_GET(get_bottomScrollV, Value::integer(1), Value::integer(f->bottomScroll()))

FIELD_GET(get_maxChars, Value::integer(0), Value::integer(f->maxChars))
FIELD_SET(set_maxChars, f->maxChars = std::max(0, rt.toInt32(v)))
FIELD_GET(get_restrict, Value::null(), f->restrict ? Value::string(*f->restrict) : Value::null())
FIELD_SET(set_restrict, if (v.isNullish()) f->restrict.reset(); else f->restrict = rt.toString(v))

const std::initializer_list<const char*> kAutoSizes = {"none", "left", "center", "right"};
FIELD_GET(get_autoSize, Value::string(QStringLiteral("none")),
          Value::string(QString::fromLatin1(kAutoSizes.begin()[int(f->autoSize())])))
Value set_autoSize(Runtime& rt, const Value& s, Args a) {
    const int mode = choice(rt, a[0], kAutoSizes, "autoSize");
    if (EditTextObject* f = field(rt, s)) f->setAutoSize(EditTextObject::AutoSize(mode));
    return Value();
}
FIELD_GET(get_type, Value::string(QStringLiteral("dynamic")),
          Value::string(f->input ? QStringLiteral("input") : QStringLiteral("dynamic")))
Value set_type(Runtime& rt, const Value& s, Args a) {
    const int kind = choice(rt, a[0], {"dynamic", "input"}, "type");
    if (EditTextObject* f = field(rt, s)) f->input = kind == 1;
    return Value();
}
FIELD_GET(get_antiAliasType, Value::string(QStringLiteral("normal")),
          Value::string(f->rendering.advanced ? QStringLiteral("advanced") : QStringLiteral("normal")))
// A name the player does not know leaves the setting as it was.
Value set_antiAliasType(Runtime& rt, const Value& s, Args a) {
    const QString kind = a[0].isNullish() ? QString() : rt.toString(a[0]);
    EditTextObject* f = field(rt, s);
    if (f && (kind == QLatin1String("normal") || kind == QLatin1String("advanced")))
        f->rendering.advanced = kind == QLatin1String("advanced");
    return Value();
}
const std::initializer_list<const char*> kGridFits = {"none", "pixel", "subpixel"};
FIELD_GET(get_gridFitType, Value::string(QStringLiteral("pixel")),
          Value::string(QString::fromLatin1(kGridFits.begin()[std::clamp(int(f->rendering.gridFit), 0, 2)])))
// A name the player does not know turns grid fitting off.
Value set_gridFitType(Runtime& rt, const Value& s, Args a) {
    const QString kind = a[0].isNullish() ? QString() : rt.toString(a[0]);
    int fit = 0;
    for (int i = 0; i < 3; ++i)
        if (kind == QLatin1String(kGridFits.begin()[i])) fit = i;
    if (EditTextObject* f = field(rt, s)) f->rendering.gridFit = swf::TextRenderSettings::GridFit(fit);
    return Value();
}
// Sharpness runs from -400 to 400 and thickness from -200 to 200.
FIELD_GET(get_sharpness, Value::integer(0), Value::number(f->rendering.sharpness))
FIELD_SET(set_sharpness, f->rendering.sharpness = float(std::clamp(rt.toNumber(v), -400.0, 400.0)))
FIELD_GET(get_thickness, Value::integer(0), Value::number(f->rendering.thickness))
FIELD_SET(set_thickness, f->rendering.thickness = float(std::clamp(rt.toNumber(v), -200.0, 200.0)))

FIELD_GET(get_defaultTextFormat, TextFormatClass::make(rt, display::TextFormat::defaults()),
          TextFormatClass::make(rt, f->newTextFormat()))
Value set_defaultTextFormat(Runtime& rt, const Value& s, Args a) {
    const display::TextFormat* format = TextFormatClass::formatOf(a[0]);
    if (!format) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("format")});
    if (EditTextObject* f = field(rt, s)) f->setNewTextFormat(*format);
    return Value();
}

// ---- selection and editing ----
FIELD_GET(get_selectionBeginIndex, Value::integer(0), Value::integer(f->selectionBegin()))
FIELD_GET(get_selectionEndIndex, Value::integer(0), Value::integer(f->selectionEnd()))
FIELD_GET(get_caretIndex, Value::integer(0), Value::integer(f->caret()))
FIELD_GET(get_selectedText, Value::string(QString()),
          Value::string(f->text().mid(f->selectionBegin(), f->selectionEnd() - f->selectionBegin())))
Value setSelection(Runtime& rt, const Value& s, Args a) {
    if (EditTextObject* f = field(rt, s)) f->setSelection(rt.toInt32(a[0]), rt.toInt32(a[1]));
    return Value();
}
Value appendText(Runtime& rt, const Value& s, Args a) {
    const QString more = nonNullString(rt, a[0], "newText");
    if (EditTextObject* f = field(rt, s)) f->replaceText(f->content().length(), f->content().length(), more);
    return Value();
}
Value replaceText(Runtime& rt, const Value& s, Args a) {
    EditTextObject* f = field(rt, s);
    const int begin = rt.toInt32(a[0]), end = rt.toInt32(a[1]);
    const QString text = nonNullString(rt, a[2], "newText");
    if (!f) return Value();
    if (begin < 0 || end < begin || end > f->content().length()) rt.raise(QStringLiteral("RangeError"), 2006);
    f->replaceText(begin, end, text);
    return Value();
}
Value replaceSelectedText(Runtime& rt, const Value& s, Args a) {
    const QString text = nonNullString(rt, a[0], "value");
    if (EditTextObject* f = field(rt, s)) {
        const int begin = f->selectionBegin();
        f->replaceText(begin, f->selectionEnd(), text);
        const int caret = std::min(begin + int(text.size()), f->content().length());
        f->setSelection(caret, caret);
    }
    return Value();
}

// The range of get/setTextFormat: -1 for the start is 0 and for the end the text's length.
std::pair<int, int> formatRange(Runtime& rt, const EditTextObject& f, const Value& b, const Value& e) {
    const int len = f.content().length();
    const int begin = b.isUndefined() ? -1 : rt.toInt32(b), end = e.isUndefined() ? -1 : rt.toInt32(e);
    return {begin == -1 ? 0 : begin, end == -1 ? len : end};
}
// Reading needs at least one character in the range; an empty field reads as all unset.
Value getTextFormat(Runtime& rt, const Value& s, Args a) {
    EditTextObject* f = field(rt, s);
    if (!f) return TextFormatClass::make(rt, display::TextFormat::defaults());
    const int len = f->content().length();
    auto [begin, end] = formatRange(rt, *f, a[0], a[1]);
    if (len == 0 && begin == 0 && end == 0) {
        display::TextFormat unset;
        unset.display = QStringLiteral("block");
        return TextFormatClass::make(rt, unset);
    }
    if (begin < 0 || end > len || begin >= end) rt.raise(QStringLiteral("RangeError"), 2006);
    return TextFormatClass::make(rt, f->content().formatOf(begin, end));
}
Value setTextFormat(Runtime& rt, const Value& s, Args a) {
    const display::TextFormat* format = TextFormatClass::formatOf(a[0]);
    if (!format) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("format")});
    EditTextObject* f = field(rt, s);
    if (!f) return Value();
    auto [begin, end] = formatRange(rt, *f, a[1], a[2]);
    if (begin < 0 || end > f->content().length() || begin > end) rt.raise(QStringLiteral("RangeError"), 2006);
    f->setFormat(begin, end, *format);
    return Value();
}

// Settings kept as set that the engine does not act on.
NIMBREL_STORED_PROPERTY(styleSheet, "styleSheet", Value::null(), asIs)
NIMBREL_STORED_PROPERTY(mouseWheelEnabled, "mouseWheelEnabled", Value::boolean(true), asBoolean)
NIMBREL_STORED_PROPERTY(alwaysShowSelection, "alwaysShowSelection", Value::boolean(false), asBoolean)
NIMBREL_STORED_PROPERTY(useRichTextClipboard, "useRichTextClipboard", Value::boolean(false), asBoolean)

#undef FIELD_FLAG
#undef FIELD_SET
#undef FIELD_GET

} // namespace textfield
} // namespace

void TextFieldClass::install(Runtime& rt, ClassObject& interactiveObject) {
    using namespace textfield;
    auto cls = rt.defineNativeClass(QStringLiteral("flash.text"), QStringLiteral("TextField"), &interactiveObject, {});
    cls->constructor = MethodRef{nullptr, 0, textfield::construct, cls.get()};
    cls->dynamicInstances = false;
#define TF_MEMBERS(key) {"get " #key, textfield::get_##key}, {"set " #key, textfield::set_##key, 1}
#define TF_GETTER(key) {"get " #key, textfield::get_##key}
    static const NativeMethod members[] = {
        TF_MEMBERS(border), TF_MEMBERS(background), TF_MEMBERS(multiline), TF_MEMBERS(displayAsPassword),
        TF_MEMBERS(condenseWhite), TF_MEMBERS(selectable), TF_MEMBERS(wordWrap), TF_MEMBERS(embedFonts),
        TF_MEMBERS(borderColor), TF_MEMBERS(backgroundColor), TF_MEMBERS(textColor), TF_MEMBERS(text),
        TF_MEMBERS(htmlText), TF_GETTER(length), TF_GETTER(textWidth), TF_GETTER(textHeight), TF_GETTER(numLines),
        TF_MEMBERS(scrollV), TF_MEMBERS(scrollH), TF_GETTER(maxScrollV), TF_GETTER(maxScrollH),
        TF_GETTER(bottomScrollV), TF_MEMBERS(maxChars), TF_MEMBERS(restrict), TF_MEMBERS(autoSize), TF_MEMBERS(type),
        TF_MEMBERS(antiAliasType), TF_MEMBERS(gridFitType), TF_MEMBERS(sharpness), TF_MEMBERS(thickness),
        TF_MEMBERS(defaultTextFormat), TF_GETTER(selectionBeginIndex), TF_GETTER(selectionEndIndex),
        TF_GETTER(caretIndex), TF_GETTER(selectedText),
        {"setSelection", textfield::setSelection, 2}, {"appendText", textfield::appendText, 1},
        {"replaceText", textfield::replaceText, 3}, {"replaceSelectedText", textfield::replaceSelectedText, 1},
        {"getTextFormat", textfield::getTextFormat}, {"setTextFormat", textfield::setTextFormat, 1},
        NIMBREL_STORED_MEMBERS(styleSheet, "styleSheet"), NIMBREL_STORED_MEMBERS(mouseWheelEnabled, "mouseWheelEnabled"),
        NIMBREL_STORED_MEMBERS(alwaysShowSelection, "alwaysShowSelection"),
        NIMBREL_STORED_MEMBERS(useRichTextClipboard, "useRichTextClipboard")};
#undef TF_GETTER
#undef TF_MEMBERS
    addInstanceMembers(*cls, members);
    TextFieldLines::installMetricsClass(rt);
    TextFieldLines::install(rt, *cls);
}

display::EditTextObject* TextFieldClass::fieldOf(const Value& v) {
    return dynamic_cast<EditTextObject*>(StageBridge::displayOf(v));
}

void TextFieldClass::textEdited(Runtime& rt, display::DisplayObject* object) {
    if (!rt.stage || !dynamic_cast<EditTextObject*>(object)) return;
    auto target = rt.stage->wrap(object);
    auto e = rt.stage->newEvent(QStringLiteral("flash.events.Event"), QStringLiteral("change"), true);
    rt.stage->dispatch(*target, *e);
}

} // namespace nimbrel::movie::avm2
