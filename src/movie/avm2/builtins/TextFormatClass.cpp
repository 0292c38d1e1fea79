#include "movie/avm2/builtins/TextFormatClass.h"
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/NativeSupport.h"

namespace nimbrel::movie::avm2 {

using namespace native;
using display::TextFormat;

namespace {
namespace textformat {

class TextFormatObject : public ScriptObject {
public:
    TextFormat format;
};

ObjectPtr allocateFormat(const ClassObject&) { return std::make_shared<TextFormatObject>(); }

TextFormat& thisFormat(Runtime& rt, const Value& self) {
    auto* f = self.isObject() ? dynamic_cast<TextFormatObject*>(self.obj()) : nullptr;
    if (!f) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.text.TextFormat")});
    return f->format;
}

Value optional(const std::optional<QString>& v) { return v ? Value::string(*v) : Value::null(); }
Value optional(const std::optional<bool>& v) { return v ? Value::boolean(*v) : Value::null(); }
Value optional(const std::optional<double>& v) { return v ? Value::number(*v) : Value::null(); }

void setText(Runtime& rt, std::optional<QString>& m, const Value& v) {
    m = v.isNullish() ? std::nullopt : std::optional<QString>(rt.toString(v));
}
// Font names are cut to the length the player keeps.
void setFont(Runtime& rt, std::optional<QString>& m, const Value& v) {
    setText(rt, m, v);
    if (m) m = m->left(64);
}
void setFlag(Runtime&, std::optional<bool>& m, const Value& v) {
    m = v.isNullish() ? std::nullopt : std::optional<bool>(v.toBoolean());
}
// Pixel settings are whole pixels, cut toward zero.
void setPixels(Runtime& rt, std::optional<double>& m, const Value& v) {
    m = v.isNullish() ? std::nullopt : std::optional<double>(double(rt.toInt32(v)));
}
void setNumber(Runtime& rt, std::optional<double>& m, const Value& v) {
    m = v.isNullish() ? std::nullopt : std::optional<double>(rt.toNumber(v));
}
void setColor(Runtime& rt, std::optional<uint32_t>& m, const Value& v) {
    m = v.isNullish() ? std::nullopt : std::optional<uint32_t>(rt.toUint32(v));
}

bool isAlign(const QString& a) {
    static const char* const names[] = {"left", "center", "right", "justify", "start", "end"};
    return std::any_of(std::begin(names), std::end(names), [&a](const char* n) { return a == QLatin1String(n); });
}
void setAlign(Runtime& rt, std::optional<QString>& m, const Value& v) {
    if (v.isNullish()) {
        m.reset();
        return;
    }
    const QString a = rt.toString(v);
    if (!isAlign(a)) rt.raise(QStringLiteral("ArgumentError"), 2008, {QStringLiteral("align")});
    m = a;
}
void setDisplay(Runtime& rt, std::optional<QString>& m, const Value& v) {
    const QString d = v.isNullish() ? QString() : rt.toString(v);
    m = d == QLatin1String("none") || d == QLatin1String("inline") ? d : QStringLiteral("block");
}
void setTabStops(Runtime& rt, std::optional<std::vector<double>>& m, const Value& v) {
    if (v.isNullish()) {
        m.reset();
        return;
    }
    std::vector<double> stops;
    if (ArrayObject* a = asArray(v)) {
        for (uint32_t i = 0; i < a->length() && i < 10000; ++i) {
            Value item;
            a->getIndex(i, item);
            stops.push_back(double(rt.toInt32(item)));
        }
    }
    m = std::move(stops);
}

#define FORMAT_PROPERTY(member, getExpr, setter)                                                  \
    Value get_##member(Runtime& rt, const Value& s, Args) { return getExpr(thisFormat(rt, s).member); } \
    Value set_##member(Runtime& rt, const Value& s, Args a) {                                    \
        setter(rt, thisFormat(rt, s).member, a[0]);                                              \
        return Value();                                                                          \
    }
FORMAT_PROPERTY(font, optional, setFont)
FORMAT_PROPERTY(size, optional, setPixels)
FORMAT_PROPERTY(bold, optional, setFlag)
FORMAT_PROPERTY(italic, optional, setFlag)
FORMAT_PROPERTY(underline, optional, setFlag)
FORMAT_PROPERTY(url, optional, setText)
FORMAT_PROPERTY(target, optional, setText)
FORMAT_PROPERTY(align, optional, setAlign)
FORMAT_PROPERTY(leftMargin, optional, setPixels)
FORMAT_PROPERTY(rightMargin, optional, setPixels)
FORMAT_PROPERTY(indent, optional, setPixels)
FORMAT_PROPERTY(leading, optional, setPixels)
FORMAT_PROPERTY(blockIndent, optional, setPixels)
FORMAT_PROPERTY(bullet, optional, setFlag)
FORMAT_PROPERTY(kerning, optional, setFlag)
FORMAT_PROPERTY(letterSpacing, optional, setNumber)
FORMAT_PROPERTY(display, optional, setDisplay)
#undef FORMAT_PROPERTY

Value get_color(Runtime& rt, const Value& s, Args) {
    const auto& c = thisFormat(rt, s).color;
    return c ? Value::unsignedInt(*c) : Value::null();
}
Value set_color(Runtime& rt, const Value& s, Args a) {
    setColor(rt, thisFormat(rt, s).color, a[0]);
    return Value();
}
Value get_tabStops(Runtime& rt, const Value& s, Args) {
    const auto& t = thisFormat(rt, s).tabStops;
    if (!t) return Value::null();
    std::vector<Value> items;
    for (double d : *t) items.push_back(Value::number(d));
    return Value::object(rt.newArray(std::move(items)));
}
Value set_tabStops(Runtime& rt, const Value& s, Args a) {
    setTabStops(rt, thisFormat(rt, s).tabStops, a[0]);
    return Value();
}

// new TextFormat(font, size, color, bold, italic, underline, url, target, align,
// leftMargin, rightMargin, indent, leading): what is not given stays null.
Value construct(Runtime& rt, const Value& self, Args a) {
    TextFormat& f = thisFormat(rt, self);
    f = TextFormat();
    f.display = QStringLiteral("block");
    setFont(rt, f.font, a[0]);
    setPixels(rt, f.size, a[1]);
    setColor(rt, f.color, a[2]);
    setFlag(rt, f.bold, a[3]);
    setFlag(rt, f.italic, a[4]);
    setFlag(rt, f.underline, a[5]);
    setText(rt, f.url, a[6]);
    setText(rt, f.target, a[7]);
    setAlign(rt, f.align, a[8]);
    setPixels(rt, f.leftMargin, a[9]);
    setPixels(rt, f.rightMargin, a[10]);
    setPixels(rt, f.indent, a[11]);
    setPixels(rt, f.leading, a[12]);
    return Value();
}

#define FORMAT_MEMBERS(key) {"get " #key, textformat::get_##key}, {"set " #key, textformat::set_##key, 1}

void constants(Runtime& rt, const char* name, std::initializer_list<std::pair<const char*, const char*>> list) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.text"), QString::fromLatin1(name), rt.builtin(QStringLiteral("Object")), {});
    cls->isFinal = true;
    for (const auto& [key, text] : list)
        rt.defineStaticConstant(*cls, QString::fromLatin1(key), Value::string(QString::fromLatin1(text)));
}

} // namespace textformat
} // namespace

using textformat::TextFormatObject;

void TextFormatClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.text"), QStringLiteral("TextFormat"), rt.builtin(QStringLiteral("Object")), {});
    cls->nativeAllocate = textformat::allocateFormat;
    cls->constructor = MethodRef{nullptr, 0, textformat::construct, cls.get()};
    static const NativeMethod members[] = {
        FORMAT_MEMBERS(align), FORMAT_MEMBERS(blockIndent), FORMAT_MEMBERS(bold), FORMAT_MEMBERS(bullet),
        FORMAT_MEMBERS(color), FORMAT_MEMBERS(display), FORMAT_MEMBERS(font), FORMAT_MEMBERS(indent),
        FORMAT_MEMBERS(italic), FORMAT_MEMBERS(kerning), FORMAT_MEMBERS(leading), FORMAT_MEMBERS(leftMargin),
        FORMAT_MEMBERS(letterSpacing), FORMAT_MEMBERS(rightMargin), FORMAT_MEMBERS(size), FORMAT_MEMBERS(tabStops),
        FORMAT_MEMBERS(target), FORMAT_MEMBERS(underline), FORMAT_MEMBERS(url)};
    addInstanceMembers(*cls, members);
    textformat::constants(rt, "TextFormatAlign", {{"LEFT", "left"}, {"CENTER", "center"}, {"RIGHT", "right"},
                                      {"JUSTIFY", "justify"}, {"START", "start"}, {"END", "end"}});
    textformat::constants(rt, "TextFieldAutoSize", {{"NONE", "none"}, {"LEFT", "left"}, {"CENTER", "center"}, {"RIGHT", "right"}});
    textformat::constants(rt, "TextFieldType", {{"DYNAMIC", "dynamic"}, {"INPUT", "input"}});
    textformat::constants(rt, "AntiAliasType", {{"NORMAL", "normal"}, {"ADVANCED", "advanced"}});
    textformat::constants(rt, "GridFitType", {{"NONE", "none"}, {"PIXEL", "pixel"}, {"SUBPIXEL", "subpixel"}});
    textformat::constants(rt, "FontStyle", {{"REGULAR", "regular"}, {"BOLD", "bold"}, {"ITALIC", "italic"}, {"BOLD_ITALIC", "boldItalic"}});
    textformat::constants(rt, "FontType", {{"EMBEDDED", "embedded"}, {"EMBEDDED_CFF", "embeddedCFF"}, {"DEVICE", "device"}});
    textformat::constants(rt, "TextDisplayMode", {{"LCD", "lcd"}, {"CRT", "crt"}, {"DEFAULT", "default"}});
    textformat::constants(rt, "TextColorType", {{"DARK_COLOR", "dark"}, {"LIGHT_COLOR", "light"}});
}
#undef FORMAT_MEMBERS

Value TextFormatClass::make(Runtime& rt, const TextFormat& format) {
    ClassObject* cls = rt.builtin(QStringLiteral("flash.text.TextFormat"));
    if (!cls) return Value::null();
    auto obj = std::static_pointer_cast<TextFormatObject>(cls->allocate());
    obj->format = format;
    return Value::object(obj);
}

const TextFormat* TextFormatClass::formatOf(const Value& v) {
    auto* f = v.isObject() ? dynamic_cast<TextFormatObject*>(v.obj()) : nullptr;
    return f ? &f->format : nullptr;
}

} // namespace nimbrel::movie::avm2
