#include "movie/avm2/builtins/FontClass.h"
#include "movie/avm2/ArrayObject.h"
#include "movie/avm2/StageBridge.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/TextFont.h"
#include "movie/swf/Movie.h"
#include <QFontDatabase>

namespace nimbrel::movie::avm2 {

using namespace native;

namespace {
namespace fonts {

class FontObject : public ScriptObject {
public:
    const swf::FontDef* embedded = nullptr; // null: a device font
    QString deviceName;
};

ObjectPtr allocateFont(const ClassObject&) { return std::make_shared<FontObject>(); }

FontObject& thisFont(Runtime& rt, const Value& self) {
    auto* f = self.isObject() ? dynamic_cast<FontObject*>(self.obj()) : nullptr;
    if (!f) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.text.Font")});
    return *f;
}

const swf::Movie* movieOf(Runtime& rt) { return rt.stage ? rt.stage->root()->context()->movie().get() : nullptr; }

QString qualifiedName(const ClassObject* c) {
    return c->package.isEmpty() ? c->name : c->package + QLatin1Char('.') + c->name;
}

// The embedded font the movie links to a class (or to one of its bases).
const swf::FontDef* linkedFont(Runtime& rt, const ClassObject* cls) {
    const swf::Movie* movie = movieOf(rt);
    if (!movie) return nullptr;
    for (const ClassObject* c = cls; c; c = c->base.get()) {
        const QString name = qualifiedName(c);
        for (uint16_t id : rt.stage->symbolsOf(name))
            if (const swf::FontDef* f = movie->font(id)) return f;
    }
    return nullptr;
}

Value construct(Runtime& rt, const Value& self, Args) {
    FontObject& f = thisFont(rt, self);
    if (!f.embedded) f.embedded = linkedFont(rt, f.cls);
    return Value();
}

Value makeFont(Runtime& rt, const swf::FontDef* embedded, const QString& deviceName) {
    ClassObject* cls = rt.builtin(QStringLiteral("flash.text.Font"));
    auto f = std::static_pointer_cast<FontObject>(cls->allocate());
    f->embedded = embedded;
    f->deviceName = deviceName;
    return Value::object(f);
}

Value fontName(Runtime& rt, const Value& s, Args) {
    const FontObject& f = thisFont(rt, s);
    if (!f.embedded && f.deviceName.isNull()) return Value::null();
    return Value::string(f.embedded ? f.embedded->name : f.deviceName);
}
Value fontStyle(Runtime& rt, const Value& s, Args) {
    const FontObject& f = thisFont(rt, s);
    if (!f.embedded) return f.deviceName.isNull() ? Value::null() : Value::string(QStringLiteral("regular"));
    static const char* const styles[] = {"regular", "bold", "italic", "boldItalic"};
    return Value::string(QString::fromLatin1(styles[(f.embedded->bold ? 1 : 0) + (f.embedded->italic ? 2 : 0)]));
}
Value fontType(Runtime& rt, const Value& s, Args) {
    const FontObject& f = thisFont(rt, s);
    if (!f.embedded) return f.deviceName.isNull() ? Value::null() : Value::string(QStringLiteral("device"));
    return Value::string(QStringLiteral("embedded"));
}
// Device fonts draw everything; an embedded one what it has glyphs for.
Value hasGlyphs(Runtime& rt, const Value& s, Args a) {
    const FontObject& f = thisFont(rt, s);
    const QString text = stringArg(rt, a, 0);
    if (!f.embedded) return Value::boolean(true);
    const display::TextFont font = display::TextFont::fromEmbedded(f.embedded);
    for (char32_t c : text.toUcs4())
        if (!font.hasGlyph(c)) return Value::boolean(false);
    return Value::boolean(true);
}

// Fonts registered by scripts, kept on the class where scripts cannot name them.
const QString kRegistered = QStringLiteral(" registered");
ArrayObject& registered(Runtime& rt, ClassObject& fontClass) {
    Value* list = fontClass.findOwn(kRegistered);
    if (!list) {
        fontClass.setOwn(kRegistered, Value::object(rt.newArray()), false);
        list = fontClass.findOwn(kRegistered);
    }
    return *static_cast<ArrayObject*>(list->obj());
}

Value registerFont(Runtime& rt, const Value& self, Args a) {
    auto* cls = a[0].isObject() && a[0].obj()->type == ScriptObject::Type::Class ? static_cast<ClassObject*>(a[0].obj()) : nullptr;
    ClassObject* fontClass = rt.builtin(QStringLiteral("flash.text.Font"));
    if (!cls || !cls->isSubclassOf(fontClass)) rt.raise(QStringLiteral("ArgumentError"), 1508, {QStringLiteral("font")});
    const swf::FontDef* def = linkedFont(rt, cls);
    if (!def) return Value();
    ArrayObject& list = registered(rt, *fontClass);
    for (const Value& v : list.items)
        if (static_cast<FontObject*>(v.obj())->embedded == def) return Value();
    list.items.push_back(makeFont(rt, def, QString()));
    list.holes.push_back(false);
    list.itemsResized();
    (void)self;
    return Value();
}

// The movie's embedded fonts with a name and layout (fonts without one serve
// static text only), then those scripts registered, in
// name order; with the machine's fonts after them when asked for.
Value enumerateFonts(Runtime& rt, const Value&, Args a) {
    std::vector<const swf::FontDef*> defs;
    if (const swf::Movie* movie = movieOf(rt))
        for (const auto& [id, def] : movie->fonts)
            if (!def.name.isEmpty() && def.advances.size() == def.glyphs.size()) defs.push_back(&def);
    ClassObject* fontClass = rt.builtin(QStringLiteral("flash.text.Font"));
    for (const Value& v : registered(rt, *fontClass).items) {
        const swf::FontDef* def = static_cast<FontObject*>(v.obj())->embedded;
        if (std::find(defs.begin(), defs.end(), def) == defs.end()) defs.push_back(def);
    }
    std::stable_sort(defs.begin(), defs.end(), [](const swf::FontDef* x, const swf::FontDef* y) {
        return x->name.compare(y->name, Qt::CaseInsensitive) < 0;
    });
    std::vector<Value> out;
    for (const swf::FontDef* def : defs) out.push_back(makeFont(rt, def, QString()));
    if (a[0].toBoolean())
        for (const QString& family : QFontDatabase::families()) out.push_back(makeFont(rt, nullptr, family));
    return Value::object(rt.newArray(std::move(out)));
}

} // namespace fonts
} // namespace

void FontClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.text"), QStringLiteral("Font"), rt.builtin(QStringLiteral("Object")), {},
                                    {{"enumerateFonts", fonts::enumerateFonts}, {"registerFont", fonts::registerFont, 1}});
    cls->nativeAllocate = fonts::allocateFont;
    cls->constructor = MethodRef{nullptr, 0, fonts::construct, cls.get()};
    cls->dynamicInstances = false;
    static const NativeMethod members[] = {{"get fontName", fonts::fontName}, {"get fontStyle", fonts::fontStyle},
                                           {"get fontType", fonts::fontType}, {"hasGlyphs", fonts::hasGlyphs, 1}};
    addInstanceMembers(*cls, members);
}

} // namespace nimbrel::movie::avm2
