// TextField: the script face of dynamic and input text fields, and
// MovieClip.createTextField that makes them.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/TextFieldVariable.h"
#include "movie/avm1/TextFormatObject.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/TextFont.h"
#include <QFontDatabase>
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

using display::EditTextObject;
using Args = const std::vector<Value>&;

// Timeline depths start at -16384 as scripts see them.
constexpr int kDepthOffset = 16384;

MovieClipObject* scriptField(const Value& self) {
    Object* o = self.object();
    if (!o || !o->isMovieClip()) return nullptr;
    auto* m = static_cast<MovieClipObject*>(o);
    return m->kind == MovieClipObject::Kind::Text ? m : nullptr;
}

EditTextObject* fieldOf(const Value& self) {
    MovieClipObject* m = scriptField(self);
    if (!m || !m->display() || m->display()->type() != display::DisplayObject::Type::EditText) return nullptr;
    return static_cast<EditTextObject*>(m->display());
}

QString autoSizeName(EditTextObject::AutoSize a) {
    switch (a) {
    case EditTextObject::AutoSize::Left: return QStringLiteral("left");
    case EditTextObject::AutoSize::Center: return QStringLiteral("center");
    case EditTextObject::AutoSize::Right: return QStringLiteral("right");
    default: return QStringLiteral("none");
    }
}

EditTextObject::AutoSize autoSizeFrom(Interpreter& vm, const Value& v) {
    if (v.type == Value::Type::Boolean) return v.b ? EditTextObject::AutoSize::Left : EditTextObject::AutoSize::None;
    const QString s = vm.toString(v).toLower();
    if (s == QLatin1String("left")) return EditTextObject::AutoSize::Left;
    if (s == QLatin1String("center")) return EditTextObject::AutoSize::Center;
    if (s == QLatin1String("right")) return EditTextObject::AutoSize::Right;
    return EditTextObject::AutoSize::None;
}

// tabIndex of fields and buttons: kept on the script object, listed when enumerated.
Value tabIndexGetter(Interpreter&, const Value& self, Args) {
    Object* o = self.object();
    return o && o->isMovieClip() ? static_cast<MovieClipObject*>(o)->tabIndexValue() : Value();
}

Value tabIndexSetter(Interpreter&, const Value& self, Args a) {
    Object* o = self.object();
    if (o && o->isMovieClip()) static_cast<MovieClipObject*>(o)->setTabIndex(arg(a, 0));
    return Value();
}

uint32_t colorFrom(Interpreter& vm, const Value& v) { return uint32_t(vm.toInt32(v)) & 0xFFFFFF; }

struct Accessor {
    QString name;
    NativeFunction::Fn get, set;
};
using Accessors = std::vector<Accessor>;

// A boolean setting read and written through the field.
void boolProperty(Accessors& vm, Object*, const char* name, bool (*get)(const EditTextObject&),
                  void (*set)(EditTextObject&, bool)) {
    vm.push_back({
        QLatin1String(name),
        [get](Interpreter&, const Value& self, Args) -> Value {
            EditTextObject* f = fieldOf(self);
            return f ? Value(get(*f)) : Value();
        },
        [set](Interpreter& vm, const Value& self, Args a) -> Value {
            if (EditTextObject* f = fieldOf(self)) set(*f, vm.toBoolean(arg(a, 0)));
            return Value();
        }});
}

// A setter that writes a plain property when this is not a text field.
NativeFunction::Fn plainOnOthers(const QString& name, NativeFunction::Fn setter) {
    return [name, setter](Interpreter& vm, const Value& self, Args a) -> Value {
        if (fieldOf(self)) return setter(vm, self, a);
        if (Object* o = self.object()) o->define(name, arg(a, 0), 0);
        return Value();
    };
}

void property(Accessors& vm, Object*, const char* name, std::function<Value(Interpreter&, EditTextObject&)> get,
              std::function<void(Interpreter&, EditTextObject&, const Value&)> set) {
    NativeFunction::Fn setter;
    if (set)
        setter = [set](Interpreter& vm, const Value& self, Args a) -> Value {
            if (EditTextObject* f = fieldOf(self)) set(vm, *f, arg(a, 0));
            return Value();
        };
    vm.push_back({QLatin1String(name),
                  [get](Interpreter& vm, const Value& self, Args) -> Value {
                      EditTextObject* f = fieldOf(self);
                      return f ? get(vm, *f) : Value();
                  },
                  setter});
}

// Rendering settings; on an object that is not a field, writing them makes a
// plain property of that object, as the player does.
void renderingProperties(Accessors& vm) {
    using GridFit = swf::TextRenderSettings::GridFit;
    static const char* const fits[] = {"none", "pixel", "subpixel"};
    property(vm, nullptr, "sharpness", [](Interpreter&, EditTextObject& f) { return Value(double(f.rendering.sharpness)); },
             [](Interpreter& vm, EditTextObject& f, const Value& v) { f.rendering.sharpness = float(vm.toNumber(v)); });
    property(vm, nullptr, "thickness", [](Interpreter&, EditTextObject& f) { return Value(double(f.rendering.thickness)); },
             [](Interpreter& vm, EditTextObject& f, const Value& v) { f.rendering.thickness = float(vm.toNumber(v)); });
    property(vm, nullptr, "antiAliasType",
        [](Interpreter&, EditTextObject& f) { return Value(f.rendering.advanced ? QStringLiteral("advanced") : QStringLiteral("normal")); },
        [](Interpreter& vm, EditTextObject& f, const Value& v) {
            const QString t = vm.toString(v);
            if (t == QLatin1String("advanced") || t == QLatin1String("normal")) f.rendering.advanced = t == QLatin1String("advanced");
        });
    property(vm, nullptr, "gridFitType",
        [](Interpreter&, EditTextObject& f) { return Value(QLatin1String(fits[int(f.rendering.gridFit)])); },
        [](Interpreter& vm, EditTextObject& f, const Value& v) {
            const QString t = vm.toString(v);
            for (int i = 0; i < 3; ++i)
                if (t == QLatin1String(fits[i])) f.rendering.gridFit = GridFit(i);
        });
    for (size_t i = vm.size() - 4; i < vm.size(); ++i) vm[i].set = plainOnOthers(vm[i].name, vm[i].set);
}

// Range arguments of get/setTextFormat: (), (index) or (begin, end).
std::pair<int, int> rangeOf(Interpreter& vm, const EditTextObject& f, Args a, size_t count) {
    const int len = f.content().length();
    if (count == 0) return {0, len};
    int begin = vm.toInt32(a[0]);
    if (count == 1) return {begin, begin + 1};
    return {begin, vm.toInt32(a[1])};
}

void installProperties(Interpreter& interpreter, Object* proto) {
    Accessors vm;
    property(vm, proto, "text",
        [](Interpreter& vm, EditTextObject& f) {
            TextFieldVariable::pull(vm, f);
            return Value(f.text());
        },
        [](Interpreter& vm, EditTextObject& f, const Value& v) {
            f.setText(vm.toString(v));
            TextFieldVariable::push(vm, f);
        });
    property(vm, proto, "htmlText",
        [](Interpreter& vm, EditTextObject& f) {
            TextFieldVariable::pull(vm, f);
            return Value(f.htmlText());
        },
        [](Interpreter& vm, EditTextObject& f, const Value& v) {
            f.setHtmlText(vm.toString(v));
            TextFieldVariable::push(vm, f);
        });
    boolProperty(vm, proto, "html", [](const EditTextObject& f) { return f.html; }, [](EditTextObject& f, bool on) { f.html = on; });
    boolProperty(vm, proto, "border", [](const EditTextObject& f) { return f.border; }, [](EditTextObject& f, bool on) { f.border = on; });
    boolProperty(vm, proto, "background", [](const EditTextObject& f) { return f.background; },
                 [](EditTextObject& f, bool on) { f.background = on; });
    boolProperty(vm, proto, "multiline", [](const EditTextObject& f) { return f.multiline; },
                 [](EditTextObject& f, bool on) { f.multiline = on; });
    boolProperty(vm, proto, "wordWrap", [](const EditTextObject& f) { return f.wordWrap(); },
                 [](EditTextObject& f, bool on) { f.setWordWrap(on); });
    boolProperty(vm, proto, "embedFonts", [](const EditTextObject& f) { return f.embedFonts(); },
                 [](EditTextObject& f, bool on) { f.setEmbedFonts(on); });
    boolProperty(vm, proto, "selectable", [](const EditTextObject& f) { return f.selectable; },
                 [](EditTextObject& f, bool on) { f.selectable = on; });
    boolProperty(vm, proto, "password", [](const EditTextObject& f) { return f.password; },
                 [](EditTextObject& f, bool on) { f.password = on; f.setWordWrap(f.wordWrap()); });
    boolProperty(vm, proto, "condenseWhite", [](const EditTextObject& f) { return f.condenseWhite; },
                 [](EditTextObject& f, bool on) { f.condenseWhite = on; });
    property(vm, proto, "textColor", [](Interpreter&, EditTextObject& f) { return Value(double(f.textColor())); },
             [](Interpreter& vm, EditTextObject& f, const Value& v) { f.setTextColor(colorFrom(vm, v)); });
    property(vm, proto, "borderColor", [](Interpreter&, EditTextObject& f) { return Value(double(f.borderColor)); },
             [](Interpreter& vm, EditTextObject& f, const Value& v) { f.borderColor = colorFrom(vm, v); });
    property(vm, proto, "backgroundColor", [](Interpreter&, EditTextObject& f) { return Value(double(f.backgroundColor)); },
             [](Interpreter& vm, EditTextObject& f, const Value& v) { f.backgroundColor = colorFrom(vm, v); });
    property(vm, proto, "autoSize", [](Interpreter&, EditTextObject& f) { return Value(autoSizeName(f.autoSize())); },
             [](Interpreter& vm, EditTextObject& f, const Value& v) { f.setAutoSize(autoSizeFrom(vm, v)); });
    property(vm, proto, "type",
        [](Interpreter&, EditTextObject& f) { return Value(f.input ? QStringLiteral("input") : QStringLiteral("dynamic")); },
        [](Interpreter& vm, EditTextObject& f, const Value& v) {
            const QString t = vm.toString(v).toLower();
            if (t == QLatin1String("input")) f.input = true;
            else if (t == QLatin1String("dynamic")) f.input = false;
        });
    property(vm, proto, "variable",
        [](Interpreter&, EditTextObject& f) { return f.variable.isEmpty() ? Value::null() : Value(f.variable); },
        [](Interpreter& vm, EditTextObject& f, const Value& v) {
            f.variable = v.isNullish() ? QString() : vm.toString(v);
            f.boundValue.clear();
            // A new binding starts over from the field's own text.
            if (!f.variable.isEmpty()) f.restoreInitialText();
            TextFieldVariable::pull(vm, f);
        });
    property(vm, proto, "maxChars",
        [](Interpreter&, EditTextObject& f) { return f.maxChars > 0 ? Value(double(f.maxChars)) : Value::null(); },
        [](Interpreter& vm, EditTextObject& f, const Value& v) { f.maxChars = std::max(0, vm.toInt32(v)); });
    property(vm, proto, "restrict",
        [](Interpreter&, EditTextObject& f) { return f.restrict ? Value(*f.restrict) : Value::null(); },
        [](Interpreter& vm, EditTextObject& f, const Value& v) {
            // An empty list restricts nothing, as no list does.
            const QString list = v.isNullish() ? QString() : vm.toString(v);
            if (list.isEmpty()) f.restrict.reset();
            else f.restrict = list;
        });
    property(vm, proto, "scroll", [](Interpreter&, EditTextObject& f) { return Value(double(f.scroll())); },
             [](Interpreter& vm, EditTextObject& f, const Value& v) {
                 // The player counts lines from 0 in 32 bits: the lowest number wraps round to the highest.
                 const int32_t fromZero = int32_t(uint32_t(vm.toInt32(v)) - 1u);
                 f.setScroll(fromZero == INT32_MAX ? INT32_MAX : fromZero + 1);
             });
    property(vm, proto, "hscroll", [](Interpreter&, EditTextObject& f) { return Value(double(f.hscroll())); },
             [](Interpreter& vm, EditTextObject& f, const Value& v) { f.setHscroll(vm.toInt32(v)); });
    property(vm, proto, "maxscroll", [](Interpreter&, EditTextObject& f) { return Value(double(f.maxScroll())); }, nullptr);
    property(vm, proto, "maxhscroll", [](Interpreter&, EditTextObject& f) { return Value(double(f.maxHscroll())); }, nullptr);
    property(vm, proto, "bottomScroll", [](Interpreter&, EditTextObject& f) { return Value(double(f.bottomScroll())); }, nullptr);
    property(vm, proto, "length", [](Interpreter&, EditTextObject& f) { return Value(double(f.content().length())); }, nullptr);
    property(vm, proto, "textWidth", [](Interpreter&, EditTextObject& f) { return Value(std::round(f.textWidth() / 20.0)); }, nullptr);
    property(vm, proto, "textHeight", [](Interpreter&, EditTextObject& f) { return Value(std::round(f.textHeight() / 20.0)); }, nullptr);
    // Settings the player keeps without this engine acting on them yet.
    property(vm, proto, "mouseWheelEnabled", [](Interpreter&, EditTextObject&) { return Value(true); }, nullptr);
    vm.push_back({QStringLiteral("tabIndex"), tabIndexGetter, tabIndexSetter});
    property(vm, proto, "styleSheet", [](Interpreter&, EditTextObject&) { return Value(); }, nullptr);
    property(vm, proto, "filters", [](Interpreter& vm, EditTextObject&) { return Value(static_cast<Object*>(vm.newArray())); },
             [](Interpreter&, EditTextObject&, const Value&) {});
    vm.back().set = plainOnOthers(vm.back().name, vm.back().set);
    renderingProperties(vm);
    // Defined so that enumeration (newest first) lists them in the player's order.
    static const char* const order[] = {
        "styleSheet", "mouseWheelEnabled", "condenseWhite", "restrict", "textHeight", "textWidth", "bottomScroll",
        "length", "selectable", "multiline", "password", "wordWrap", "background", "border", "html", "embedFonts",
        "maxChars", "maxhscroll", "hscroll", "variable", "htmlText", "type", "text", "autoSize", "tabIndex",
        "textColor", "backgroundColor", "borderColor", "maxscroll", "scroll", "filters", "sharpness", "thickness",
        "antiAliasType", "gridFitType"};
    // Unlike most built-ins these show up when scripts enumerate a field.
    auto define = [&](const Accessor& a) {
        proto->defineAccessor(a.name, interpreter.newFunction(a.get), a.set ? interpreter.newFunction(a.set) : nullptr, 0);
    };
    for (auto it = std::rbegin(order); it != std::rend(order); ++it)
        for (const Accessor& a : vm)
            if (a.name == QLatin1String(*it)) define(a);
    for (const Accessor& a : vm)
        if (std::find(std::begin(order), std::end(order), a.name) == std::end(order)) define(a);
}

TextFormatObject* newFormatObject(Interpreter& vm, Object* fmtProto, const display::TextFormat& f) {
    auto* o = vm.make<TextFormatObject>(fmtProto);
    o->format = f;
    return o;
}

void installMethods(Interpreter& vm, Object* proto, Object* fmtProto) {
    vm.addMethod(proto, QStringLiteral("getTextFormat"), [fmtProto](Interpreter& vm, const Value& self, Args a) -> Value {
        EditTextObject* f = fieldOf(self);
        if (!f) return Value();
        auto [b, e] = rangeOf(vm, *f, a, std::min<size_t>(a.size(), 2));
        const int len = f->content().length();
        if (len == 0 || (a.size() >= 1 && (b < 0 || b >= len) && a.size() == 1)) return Value(newFormatObject(vm, fmtProto, f->newTextFormat()));
        b = std::clamp(b, 0, len);
        e = std::clamp(e, b, len);
        if (b == e) return Value(newFormatObject(vm, fmtProto, f->newTextFormat()));
        return Value(newFormatObject(vm, fmtProto, f->content().formatOf(b, e)));
    });
    vm.addMethod(proto, QStringLiteral("setTextFormat"), [](Interpreter& vm, const Value& self, Args a) -> Value {
        EditTextObject* f = fieldOf(self);
        if (!f || a.empty()) return Value();
        Object* fo = a.back().object();
        if (!fo || fo->className() != QLatin1String("TextFormat")) return Value();
        auto [b, e] = rangeOf(vm, *f, a, a.size() - 1);
        f->setFormat(b, e, static_cast<TextFormatObject*>(fo)->format);
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getNewTextFormat"), [fmtProto](Interpreter& vm, const Value& self, Args) -> Value {
        EditTextObject* f = fieldOf(self);
        return f ? Value(newFormatObject(vm, fmtProto, f->newTextFormat())) : Value();
    });
    vm.addMethod(proto, QStringLiteral("setNewTextFormat"), [](Interpreter&, const Value& self, Args a) -> Value {
        EditTextObject* f = fieldOf(self);
        Object* fo = arg(a, 0).object();
        if (f && fo && fo->className() == QLatin1String("TextFormat")) f->setNewTextFormat(static_cast<TextFormatObject*>(fo)->format);
        return Value();
    });
    // Movies before version 7 have no replaceText.
    if (vm.version() >= 7) vm.addMethod(proto, QStringLiteral("replaceText"), [](Interpreter& vm, const Value& self, Args a) -> Value {
        EditTextObject* f = fieldOf(self);
        if (!f || a.size() < 3) return Value();
        const int b = vm.toInt32(a[0]), e = vm.toInt32(a[1]);
        if (b < 0 || e < b || b > f->content().length()) return Value();
        f->replaceText(b, e, vm.toString(a[2]));
        TextFieldVariable::push(vm, *f);
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("replaceSel"), [](Interpreter& vm, const Value& self, Args a) -> Value {
        // The field keeps its selection (a caret at the start until one is made)
        // even without focus; the caret ends up after the new text.
        EditTextObject* f = fieldOf(self);
        if (!f || a.empty()) return Value();
        const int begin = f->selectionBegin();
        const QString replacement = vm.toString(a[0]);
        f->replaceText(begin, f->selectionEnd(), replacement);
        const int caret = std::min(begin + int(replacement.size()), f->content().length());
        f->setSelection(caret, caret);
        TextFieldVariable::push(vm, *f);
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("removeTextField"), [](Interpreter&, const Value& self, Args) -> Value {
        MovieClipObject* m = scriptField(self);
        if (m && m->display() && m->depth() >= 0 && m->display()->parent())
            m->display()->parent()->removeChildAt(m->display()->depth());
        return Value();
    });
    vm.addMethod(proto, QStringLiteral("getDepth"), [](Interpreter&, const Value& self, Args) -> Value {
        MovieClipObject* m = scriptField(self);
        return m && m->display() ? Value(double(m->depth())) : Value();
    });
}

void installCreateTextField(Interpreter& vm) {
    if (!vm.movieClipProto) return;
    vm.addMethod(vm.movieClipProto, QStringLiteral("createTextField"), [](Interpreter& vm, const Value& self, Args a) -> Value {
        Object* o = self.object();
        if (!o || !o->isMovieClip() || a.size() < 6) return Value();
        display::MovieClip* clip = static_cast<MovieClipObject*>(o)->clip();
        if (!clip) return Value();
        const double depth = vm.toNumber(a[1]);
        if (!std::isfinite(depth) || depth < -16384 || depth > 2130690044) return Value();
        // Position and size are cut to whole pixels.
        auto twips = [&vm](const Value& v) { return double(vm.toInt32(v)) * 20.0; };
        const double x = twips(a[2]), y = twips(a[3]);
        const double w = std::abs(twips(a[4])), h = std::abs(twips(a[5]));
        auto field = std::make_shared<EditTextObject>(clip->context(), QRectF(0, 0, w, h));
        field->matrix.tx = x;
        field->matrix.ty = y;
        display::DisplayObject* made = clip->addScriptObject(field, vm.toString(a[0]), int(depth) + kDepthOffset);
        MovieClipObject* script = vm.scriptObjectFor(made);
        return vm.version() >= 8 && script ? Value(static_cast<Object*>(script)) : Value();
    });
}

} // namespace

void installTextFieldClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.textFieldProto = proto;
    NativeFunction* ctor = vm.newClass(QStringLiteral("TextField"), nullptr, nullptr, proto);
    Object* fmtProto = installTextFormatClass(vm);
    installProperties(vm, proto);
    installMethods(vm, proto, fmtProto);
    installCreateTextField(vm);
    // Version 5 has the constructor but shows scripts no prototype behind it.
    if (vm.version() < 6) ctor->define(QStringLiteral("prototype"), Value(), DontEnum);
    vm.addMethod(ctor, QStringLiteral("getFontList"), [](Interpreter& vm, const Value&, Args) -> Value {
        std::vector<Value> names;
        for (const QString& family : QFontDatabase::families()) names.emplace_back(family);
        return Value(static_cast<Object*>(vm.newArray(std::move(names))));
    });
    Object* buttonProto = vm.newObject();
    vm.buttonProto = buttonProto;
    vm.newClass(QStringLiteral("Button"), nullptr, nullptr, buttonProto);
    buttonProto->defineAccessor(QStringLiteral("tabIndex"), vm.newFunction(tabIndexGetter), vm.newFunction(tabIndexSetter), 0);
}

} // namespace nimbrel::movie::avm1
