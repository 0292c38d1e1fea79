// TextSnapshot: the static text of a clip as characters, taken when the snapshot is made, and
// MovieClip.getTextSnapshot, which makes one through whatever _global.TextSnapshot now is.
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/NativeTables.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/StaticTextObject.h"
#include "movie/swf/Movie.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

const QString kText = QStringLiteral("__snapshotText");

// The characters of the clip's static texts, in depth order, glyph by glyph through each
// font's code table. Glyphs without a code stand for nothing.
QString staticTextOf(display::DisplayObject* d)
{
    auto* clip = dynamic_cast<display::MovieClip*>(d);
    if (!clip || !clip->context() || !clip->context()->movie())
        return QString();
    const swf::Movie& movie = *clip->context()->movie();
    QString out;
    for (const auto& [depth, child] : clip->children()) {
        auto* text = dynamic_cast<display::StaticTextObject*>(child.get());
        if (!text)
            continue;
        for (const swf::TextRun& run : text->def().runs) {
            const swf::FontDef* font = movie.font(run.fontId);
            if (!font)
                continue;
            for (const swf::TextGlyph& g : run.glyphs)
                if (g.index < font->codes.size())
                    out += QChar(char16_t(font->codes[g.index]));
        }
    }
    return out;
}

QString snapshotText(const Value& self)
{
    Object* o = self.object();
    Property* p = o ? o->findOwn(kText) : nullptr;
    return p && p->value.isString() ? p->value.s : QString();
}

bool hasSnapshot(const Value& self)
{
    Object* o = self.object();
    return o && o->findOwn(kText);
}

} // namespace

void installTextSnapshotClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("TextSnapshot"), nullptr, [](Interpreter&, Object* obj, Args args) -> Value {
        if (Object* target = arg(args, 0).object(); target && target->isMovieClip()) {
            auto* clip = static_cast<MovieClipObject*>(target);
            if (!clip->isRemoved())
                obj->define(kText, Value(staticTextOf(clip->display())), DontEnum);
        }
        return Value(obj);
    }, proto);

    // Methods the player lists with for..in; movies before SWF 6 see the names without values.
    std::vector<std::pair<const char*, NativeFunction::Fn>> methods = {
        {"getCount", [](Interpreter&, const Value& self, Args) -> Value {
             return hasSnapshot(self) ? Value(double(snapshotText(self).size())) : Value();
         }},
        {"setSelected", [](Interpreter&, const Value&, Args) { return Value(); }},
        {"getSelected", [](Interpreter&, const Value&, Args) { return Value(false); }},
        {"getText", [](Interpreter& vm, const Value& self, Args a) -> Value {
             if (!hasSnapshot(self) || a.size() < 2)
                 return Value();
             const QString text = snapshotText(self);
             const int n = text.size();
             const int start = std::clamp(vm.toInt32(a[0]), 0, n);
             const int end = std::clamp(vm.toInt32(a[1]), start, n);
             return Value(text.mid(start, end - start));
         }},
        {"getSelectedText", [](Interpreter&, const Value& self, Args) -> Value {
             return hasSnapshot(self) ? Value(QString()) : Value();
         }},
        {"hitTestTextNearPos", [](Interpreter&, const Value&, Args) { return Value(-1); }},
        {"findText", [](Interpreter& vm, const Value& self, Args a) -> Value {
             if (!hasSnapshot(self) || a.size() != 3)
                 return Value();
             const QString text = snapshotText(self);
             const int start = vm.toInt32(a[0]);
             const QString wanted = vm.toString(a[1]);
             const Qt::CaseSensitivity cs = vm.toBoolean(a[2]) ? Qt::CaseSensitive : Qt::CaseInsensitive;
             if (wanted.isEmpty() || start < 0 || start > text.size())
                 return Value(-1);
             return Value(double(text.indexOf(wanted, start, cs)));
         }},
        {"setSelectColor", [](Interpreter&, const Value&, Args) { return Value(); }},
        {"getTextRunInfo", [](Interpreter& vm, const Value&, Args) { return Value(static_cast<Object*>(vm.newArray())); }},
    };
    for (auto& [name, fn] : methods) {
        const QString key = QLatin1String(name);
        proto->define(key, vm.version() >= 6 ? Value(static_cast<Object*>(vm.newFunction(std::move(fn)))) : Value());
    }

    vm.addMethod(vm.movieClipProto, QStringLiteral("getTextSnapshot"), [](Interpreter& vm, const Value& self, Args) {
        return vm.construct(vm.global->get(QStringLiteral("TextSnapshot")), {self});
    });
    vm.movieClipProto->setFlags(QStringLiteral("getTextSnapshot"), OnlySwf6Up, 0);
}

} // namespace nimbrel::movie::avm1
