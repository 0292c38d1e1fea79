// TextField.StyleSheet: named styles for HTML text, from parseCSS, setStyle
// or a loaded .css file. Each style is kept as given (_css) and as the
// TextFormat that transform() makes of it (_styles).
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/CssParser.h"
#include "movie/avm1/DataLoad.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

Object* copyOf(Interpreter& vm, Object* from)
{
    Object* to = vm.newObject();
    const QStringList keys = from->ownKeys();
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        to->set(*it, from->get(*it));
    return to;
}

// The style table of a sheet, made on first use.
Object* table(Interpreter& vm, Object* sheet, const QString& name, bool create)
{
    Value t = sheet->get(name);
    if (t.isObject() || !create)
        return t.object();
    Object* o = vm.newObject();
    sheet->define(name, Value(o), DontEnum);
    return o;
}

void setStyle(Interpreter& vm, const Value& self, const QString& name, const Value& style)
{
    Object* sheet = self.object();
    if (!sheet)
        return;
    Object* css = table(vm, sheet, QStringLiteral("_css"), true);
    Object* styles = table(vm, sheet, QStringLiteral("_styles"), true);
    Object* given = style.object();
    Value copy = given ? Value(copyOf(vm, given)) : Value::null();
    Value format = vm.callMethod(self, QStringLiteral("transform"), {copy});
    // A name given something other than an object stays listed, with no style.
    css->set(name, copy);
    styles->set(name, given ? format : Value::null());
}

// A CSS colour "#rrggbb" as a number; anything else is not a colour.
Value cssColor(const QString& v)
{
    const QString t = v.trimmed();
    bool ok = false;
    const uint rgb = t.startsWith(QLatin1Char('#')) ? t.mid(1).toUInt(&ok, 16) : 0;
    return ok ? Value(double(rgb)) : Value();
}

Value cssInt(const QString& v)
{
    QString digits;
    for (QChar c : v.trimmed()) {
        if (!c.isDigit() && !(digits.isEmpty() && c == QLatin1Char('-')))
            break;
        digits += c;
    }
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok ? Value(n) : Value();
}

Value transform(Interpreter& vm, const Value& style)
{
    Object* s = style.object();
    if (!s)
        return Value::null();
    Value format = vm.construct(vm.global->get(QStringLiteral("TextFormat")), {});
    if (!format.isObject())
        format = Value(vm.newObject());
    auto text = [&](const char* name) { return vm.toString(s->get(QLatin1String(name))); };
    auto has = [&](const char* name) { return !s->get(QLatin1String(name)).isUndefined(); };
    auto put = [&](const char* name, const Value& v) {
        if (!v.isUndefined())
            vm.setMember(format, QLatin1String(name), v);
    };
    if (has("color"))
        put("color", cssColor(text("color")));
    if (has("fontFamily"))
        put("font", Value(text("fontFamily").trimmed()));
    if (has("fontSize"))
        put("size", cssInt(text("fontSize")));
    if (has("fontWeight"))
        put("bold", Value(text("fontWeight").trimmed() == QLatin1String("bold")));
    if (has("fontStyle"))
        put("italic", Value(text("fontStyle").trimmed() == QLatin1String("italic")));
    if (has("textDecoration"))
        put("underline", Value(text("textDecoration").trimmed() == QLatin1String("underline")));
    if (has("textAlign"))
        put("align", Value(text("textAlign").trimmed()));
    if (has("textIndent"))
        put("indent", cssInt(text("textIndent")));
    if (has("marginLeft"))
        put("leftMargin", cssInt(text("marginLeft")));
    if (has("marginRight"))
        put("rightMargin", cssInt(text("marginRight")));
    if (has("letterSpacing"))
        put("letterSpacing", cssInt(text("letterSpacing")));
    if (has("kerning"))
        put("kerning", Value(text("kerning").trimmed() == QLatin1String("true")));
    return format;
}

} // namespace

void installStyleSheetClass(Interpreter& vm)
{
    Value textField = vm.global->get(QStringLiteral("TextField"));
    if (!textField.isObject())
        return;
    Object* proto = vm.newObject();
    NativeFunction* ctor = vm.newClass(QString(), nullptr, [](Interpreter&, Object* obj, Args) { return Value(obj); }, proto);
    textField.object()->define(QStringLiteral("StyleSheet"), Value(static_cast<Object*>(ctor)), DontEnum | OnlySwf7Up);
    const unsigned char fixed = DontEnum | DontDelete | ReadOnly;
    auto method = [&vm, proto, fixed](const char* name, NativeFunction::Fn fn) {
        vm.addMethod(proto, QLatin1String(name), std::move(fn));
        proto->setFlags(QLatin1String(name), fixed, 0);
    };
    method("clear", [](Interpreter& vm, const Value& self, Args) {
        if (Object* o = self.object()) {
            o->define(QStringLiteral("_css"), Value(vm.newObject()), DontEnum);
            o->define(QStringLiteral("_styles"), Value(vm.newObject()), DontEnum);
        }
        return Value();
    });
    method("getStyle", [](Interpreter& vm, const Value& self, Args a) -> Value {
        Object* css = self.object() ? table(vm, self.object(), QStringLiteral("_css"), false) : nullptr;
        Object* style = css ? css->get(vm.toString(arg(a, 0))).object() : nullptr;
        return style ? Value(copyOf(vm, style)) : Value::null();
    });
    method("getStyleNames", [](Interpreter& vm, const Value& self, Args) -> Value {
        Object* css = self.object() ? table(vm, self.object(), QStringLiteral("_css"), false) : nullptr;
        std::vector<Value> names;
        if (css)
            for (const QString& k : css->ownKeys())
                names.push_back(Value(k));
        return Value(static_cast<Object*>(vm.newArray(std::move(names))));
    });
    method("setStyle", [](Interpreter& vm, const Value& self, Args a) {
        setStyle(vm, self, vm.toString(arg(a, 0)), arg(a, 1));
        return Value();
    });
    method("transform", [](Interpreter& vm, const Value&, Args a) { return transform(vm, arg(a, 0)); });
    method("parseCSS", [](Interpreter& vm, const Value& self, Args a) -> Value {
        auto rules = CssParser::parse(vm.toString(arg(a, 0)));
        if (!rules)
            return Value(false);
        for (const CssRule& r : *rules) {
            Object* style = vm.newObject();
            for (auto it = r.properties.rbegin(); it != r.properties.rend(); ++it)
                if (!style->hasOwn(it->first))
                    style->set(it->first, Value(it->second));
            setStyle(vm, self, r.selector, Value(style));
        }
        return Value(true);
    });
    // What a loaded sheet goes through; movies may replace it.
    proto->define(QStringLiteral("parse"), proto->get(QStringLiteral("parseCSS")), DontEnum);
    method("load", [](Interpreter& vm, const Value& self, Args a) -> Value {
        Object* o = self.object();
        if (!o || a.empty())
            return Value(false);
        o->set(QStringLiteral("loaded"), Value(false));
        return Value(DataLoad::start(vm, o, vm.toString(a[0])));
    });
    DataLoad::installByteCounts(vm, proto);
    vm.addMethod(proto, QStringLiteral("onLoad"), [](Interpreter&, const Value&, Args) { return Value(); });
    vm.addMethod(proto, QStringLiteral("onData"), [](Interpreter& vm, const Value& self, Args a) -> Value {
        Object* o = self.object();
        if (!o)
            return Value();
        bool ok = !arg(a, 0).isUndefined();
        if (ok)
            ok = vm.toBoolean(vm.callMethod(self, QStringLiteral("parse"), {arg(a, 0)}));
        o->set(QStringLiteral("loaded"), Value(ok));
        vm.callMethod(self, QStringLiteral("onLoad"), {Value(ok)});
        return Value();
    });
}

} // namespace nimbrel::movie::avm1
