#include "movie/avm2/builtins/StyleSheetClass.h"
#include "movie/avm1/CssParser.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/avm2/builtins/TextFormatClass.h"
#include <climits>

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {
namespace styles {

class StyleSheetObject : public EventTargetObject {
public:
    std::vector<std::pair<QString, ObjectPtr>> styles; // by lower-case name, in the order first set
};

ObjectPtr allocateSheet(const ClassObject&) { return std::make_shared<StyleSheetObject>(); }

StyleSheetObject& thisSheet(Runtime& rt, const Value& self) {
    auto* s = self.isObject() ? dynamic_cast<StyleSheetObject*>(self.obj()) : nullptr;
    if (!s) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.text.StyleSheet")});
    return *s;
}

// A plain object with the own enumerable properties of from.
ObjectPtr copyOf(Runtime& rt, const ScriptObject* from) {
    ObjectPtr to = rt.newObject();
    if (!from) return to;
    for (int p = from->nextOwnEnumPosition(0); p; p = from->nextOwnEnumPosition(p))
        to->setOwn(rt.toString(from->ownEnumName(p)), from->ownEnumValue(p));
    return to;
}

void putStyle(StyleSheetObject& sheet, const QString& name, ObjectPtr style) {
    const QString key = name.toLower();
    auto it = std::find_if(sheet.styles.begin(), sheet.styles.end(), [&key](const auto& e) { return e.first == key; });
    // A name given something other than an object stays listed, with no style.
    if (it != sheet.styles.end()) {
        it->second = std::move(style);
    } else {
        sheet.styles.emplace_back(key, std::move(style));
    }
}

Value setStyle(Runtime& rt, const Value& s, Args a) {
    StyleSheetObject& sheet = thisSheet(rt, s);
    const QString name = rt.toString(a[0]);
    putStyle(sheet, name, a[1].isObject() ? copyOf(rt, a[1].obj()) : nullptr);
    return Value();
}
// A copy of the style, or an empty object when there is none.
Value getStyle(Runtime& rt, const Value& s, Args a) {
    StyleSheetObject& sheet = thisSheet(rt, s);
    const QString key = rt.toString(a[0]).toLower();
    for (const auto& [name, style] : sheet.styles)
        if (name == key && style) return Value::object(copyOf(rt, style.get()));
    return Value::object(rt.newObject());
}
Value styleNames(Runtime& rt, const Value& s, Args) {
    std::vector<Value> names;
    for (const auto& entry : thisSheet(rt, s).styles) names.push_back(Value::string(entry.first));
    return Value::object(rt.newArray(std::move(names)));
}
Value clear(Runtime& rt, const Value& s, Args) {
    thisSheet(rt, s).styles.clear();
    return Value();
}
// Text that does not read as a style sheet changes nothing.
Value parseCSS(Runtime& rt, const Value& s, Args a) {
    StyleSheetObject& sheet = thisSheet(rt, s);
    const auto rules = avm1::CssParser::parse(stringArg(rt, a, 0));
    if (!rules) return Value();
    for (const avm1::CssRule& rule : *rules) {
        ObjectPtr style = rt.newObject();
        for (const auto& [name, value] : rule.properties) style->setOwn(name, Value::string(value));
        putStyle(sheet, rule.selector, std::move(style));
    }
    return Value();
}

// ---- transform: CSS values as TextFormat settings ----

// The whole number a CSS length starts with (after spaces), if any.
std::optional<int> leadingInt(const QString& v) {
    const QString t = v.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) ++i;
    const int digitsFrom = i;
    while (i < t.size() && t[i].isDigit()) ++i;
    if (i == digitsFrom) return std::nullopt;
    bool ok = false;
    const qlonglong n = t.left(i).toLongLong(&ok);
    if (!ok) return std::nullopt;
    return int(std::clamp<qlonglong>(n, INT_MIN, INT_MAX));
}
double leadingNumber(const QString& v) {
    const QString t = v.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) ++i;
    while (i < t.size() && (t[i].isDigit() || t[i] == QLatin1Char('.'))) ++i;
    bool ok = false;
    const double d = t.left(i).toDouble(&ok);
    return ok ? d : NAN;
}
// "#rgb" hex digits (up to six) as a colour; anything else is black.
uint32_t cssColor(const QString& v) {
    if (!v.startsWith(QLatin1Char('#')) || v.size() > 7) return 0;
    if (v.size() == 1) return 0;
    bool ok = false;
    const uint rgb = v.mid(1).toUInt(&ok, 16);
    return ok ? rgb : 0;
}
QString cssFamilies(const QString& v) {
    QStringList out;
    for (QString part : v.split(QLatin1Char(','))) {
        while (!part.isEmpty() && part.front().isSpace()) part.remove(0, 1);
        if (part.trimmed().isEmpty()) continue;
        const QString plain = part.trimmed();
        if (plain == QLatin1String("mono")) part = QStringLiteral("_typewriter");
        else if (plain == QLatin1String("sans-serif")) part = QStringLiteral("_sans");
        else if (plain == QLatin1String("serif")) part = QStringLiteral("_serif");
        out << part;
    }
    return out.join(QLatin1Char(','));
}

Value transform(Runtime& rt, const Value&, Args a) {
    const Value& style = a[0];
    if (style.isNullish()) return Value::null();
    // The player reads a style's settings as a sealed object's: primitives have none.
    if (!style.isObject()) rt.raise(QStringLiteral("ReferenceError"), 1069, {QStringLiteral("color"), rt.describe(style)});
    auto read = [&](const char* name) -> std::optional<QString> {
        const Value v = PropertyAccess::get(rt, style, Name::publicName(QString::fromLatin1(name)));
        if (v.isUndefined()) return std::nullopt;
        return rt.toString(v);
    };
    display::TextFormat f;
    f.kerning = false;
    f.display = QStringLiteral("block");
    auto given = [](const std::optional<QString>& v) { return v && !v->isEmpty(); };
    if (auto v = read("color"); given(v)) f.color = cssColor(*v);
    if (auto v = read("display"); v) {
        if (v->isEmpty() || *v == QLatin1String("block")) f.display = QStringLiteral("block");
        else if (*v == QLatin1String("inline") || *v == QLatin1String("none")) f.display = *v;
        else f.display.reset();
    }
    if (auto v = read("fontFamily"); given(v)) f.font = cssFamilies(*v);
    if (auto v = read("fontSize"); given(v))
        if (auto n = leadingInt(*v); n && *n > 0) f.size = *n;
    if (auto v = read("fontStyle"); given(v)) {
        if (*v == QLatin1String("italic")) f.italic = true;
        else if (*v == QLatin1String("normal")) f.italic = false;
    }
    if (auto v = read("fontWeight"); given(v)) {
        if (*v == QLatin1String("bold")) f.bold = true;
        else if (*v == QLatin1String("normal")) f.bold = false;
    }
    if (auto v = read("kerning"); given(v)) {
        if (*v == QLatin1String("true")) f.kerning = true;
        else if (*v != QLatin1String("false")) f.kerning = leadingInt(*v).value_or(0) != 0;
    }
    const std::pair<const char*, std::optional<double> display::TextFormat::*> pixels[] = {
        {"leading", &display::TextFormat::leading}, {"marginLeft", &display::TextFormat::leftMargin},
        {"marginRight", &display::TextFormat::rightMargin}, {"textIndent", &display::TextFormat::indent}};
    for (const auto& [name, member] : pixels)
        if (auto v = read(name); given(v)) f.*member = double(leadingInt(*v).value_or(INT_MIN));
    if (auto v = read("letterSpacing"); given(v)) f.letterSpacing = leadingNumber(*v);
    if (auto v = read("textDecoration"); given(v)) {
        if (*v == QLatin1String("underline")) f.underline = true;
        else if (*v == QLatin1String("none")) f.underline = false;
    }
    const Value format = TextFormatClass::make(rt, f);
    // Alignment goes through the format's own check of the name.
    if (auto v = read("textAlign"); given(v))
        PropertyAccess::set(rt, format, Name::publicName(QStringLiteral("align")), Value::string(*v));
    return format;
}

} // namespace styles
} // namespace

void StyleSheetClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.text"), QStringLiteral("StyleSheet"),
                                    rt.builtin(QStringLiteral("flash.events.EventDispatcher")), {});
    cls->nativeAllocate = styles::allocateSheet;
    static const NativeMethod members[] = {{"setStyle", styles::setStyle, 2}, {"getStyle", styles::getStyle, 1},
                                           {"get styleNames", styles::styleNames}, {"clear", styles::clear},
                                           {"parseCSS", styles::parseCSS, 1}, {"transform", styles::transform, 1}};
    addInstanceMembers(*cls, members);
}

} // namespace nimbrel::movie::avm2
