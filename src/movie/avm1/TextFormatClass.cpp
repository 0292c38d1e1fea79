// TextFormat: character and paragraph settings handed to text fields, and
// getTextExtent, which measures text the way a field would lay it out.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/TextFormatObject.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/TextLayout.h"
#include "movie/swf/Movie.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

Value extent(Interpreter& vm, const display::TextFormat& own, Args a) {
    display::TextFormat f = display::TextFormat::defaults();
    f.mergeFrom(own);
    display::FormattedText text;
    text.append(vm.toString(arg(a, 0)), f);
    display::TextLayout::Options o;
    o.movie = vm.movie.get();
    const bool wrap = a.size() >= 2 && !a[1].isNullish();
    const double gutter = display::EditTextObject::gutter;
    // The width is converted once: a valueOf runs once.
    const double width = wrap ? vm.toNumber(a[1]) : 0;
    if (wrap) {
        o.wordWrap = true;
        o.width = width * 20.0 - 2 * gutter;
    }
    const display::TextLayout l = display::TextLayout::build(text, o);
    const display::TextFont font =
        display::TextFont::resolve(o.movie, *f.font, f.bold.value_or(false), f.italic.value_or(false), false);
    const double size = f.size.value_or(12) * 20.0;
    Object* r = vm.newObject();
    auto px = [](double twips) { return Value(std::round(twips / 20.0)); };
    r->set(QStringLiteral("ascent"), px(font.ascent(size)));
    r->set(QStringLiteral("descent"), px(font.descent(size)));
    r->set(QStringLiteral("width"), px(l.textWidth()));
    r->set(QStringLiteral("height"), px(l.textHeight()));
    r->set(QStringLiteral("textFieldHeight"), px(l.textHeight() + 2 * gutter));
    r->set(QStringLiteral("textFieldWidth"), wrap ? Value(width) : px(l.textWidth() + 2 * gutter));
    return Value(r);
}

} // namespace

Object* installTextFormatClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("TextFormat"), nullptr,
                [proto](Interpreter& vm, Object* made, Args a) -> Value {
                    auto* f = vm.make<TextFormatObject>(proto);
                    // The constructor's links carry over to the object returned in its place.
                    for (const char* link : {"__constructor__", "constructor"})
                        if (Property* p = made->findOwn(QLatin1String(link)))
                            f->define(p->name, p->value, p->flags);
                    f->construct(a);
                    return Value(static_cast<Object*>(f));
                },
                proto);
    vm.addMethod(proto, QStringLiteral("getTextExtent"), [](Interpreter& vm, const Value& self, Args a) -> Value {
        Object* o = self.object();
        if (!o || o->className() != QLatin1String("TextFormat")) return Value();
        return extent(vm, static_cast<TextFormatObject*>(o)->format, a);
    });
    return proto;
}

} // namespace nimbrel::movie::avm1
