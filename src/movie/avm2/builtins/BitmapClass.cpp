#include "movie/avm2/builtins/BitmapClass.h"
#include "movie/avm2/BitmapDataScriptObject.h"
#include "movie/avm2/builtins/BitmapDataClass.h"
#include "movie/avm2/builtins/DisplayNative.h"
#include "movie/display/BitmapObject.h"
#include "movie/display/MovieClip.h"

namespace nimbrel::movie::avm2 {

using namespace native;

namespace bitmap_natives {

display::BitmapObject* bitmapOf(Runtime& rt, const Value& self) {
    display::DisplayObject* d = thisDisplay(rt, self);
    return d && d->type() == display::DisplayObject::Type::Bitmap ? static_cast<display::BitmapObject*>(d) : nullptr;
}

// The pixels a BitmapData shares with whatever shows it; null for none.
std::shared_ptr<QImage> imageOf(const Value& data) {
    auto* b = data.isObject() ? dynamic_cast<BitmapDataScriptObject*>(data.obj()) : nullptr;
    return b && b->pixels ? b->pixels->image() : nullptr;
}

// A bitmap the timeline placed gets its BitmapData when first asked: of the
// class the movie links to the library bitmap, made over the pixels it shows.
Value timelineData(Runtime& rt, display::BitmapObject& shown) {
    ClassObject* cls = rt.builtin(QStringLiteral("flash.display.BitmapData"));
    if (rt.stage && rt.stage->linkedClasses.contains(shown.characterId()))
        if (auto linked = rt.findClass(rt.stage->linkedClasses.value(shown.characterId())); linked && linked->isSubclassOf(cls))
            cls = linked.get();
    ObjectPtr made = cls->allocate();
    auto* data = static_cast<BitmapDataScriptObject*>(made.get());
    if (cls == rt.builtin(QStringLiteral("flash.display.BitmapData"))) {
        const QImage& image = shown.pixels();
        data->pixels = std::make_unique<bitmap::BitmapPixels>(std::max(image.width(), 1), std::max(image.height(), 1), image.hasAlphaChannel(), 0u);
        *data->pixels->image() = image;
    } else {
        const Value size[] = {Value::integer(1), Value::integer(1)};
        rt.runConstructor(*cls, Value::object(made), Args{size, 2});
    }
    return Value::object(made);
}
Value getBitmapData(Runtime& rt, const Value& s, Args) {
    EventTargetObject& t = thisTarget(rt, s);
    const Value kept = t.stored.value(QStringLiteral("bitmapData"));
    if (!kept.isUndefined()) return kept;
    display::BitmapObject* shown = bitmapOf(rt, s);
    if (!shown || shown->characterId() == 0 || shown->pixels().isNull()) return Value::null();
    const Value made = timelineData(rt, *shown);
    t.stored.insert(QStringLiteral("bitmapData"), made);
    return made;
}
Value setBitmapData(Runtime& rt, const Value& s, Args a) {
    const Value data = a[0].isNullish() ? Value::null() : rt.coerce(a[0], rt.builtin(QStringLiteral("flash.display.BitmapData")));
    thisTarget(rt, s).stored.insert(QStringLiteral("bitmapData"), data);
    if (display::BitmapObject* b = bitmapOf(rt, s)) b->setPixels(imageOf(data));
    return Value();
}
Value getSmoothing(Runtime& rt, const Value& s, Args) {
    return thisTarget(rt, s).stored.value(QStringLiteral("smoothing"), Value::boolean(false));
}
Value setSmoothing(Runtime& rt, const Value& s, Args a) {
    thisTarget(rt, s).stored.insert(QStringLiteral("smoothing"), Value::boolean(a[0].toBoolean()));
    if (display::BitmapObject* b = bitmapOf(rt, s)) b->setSmoothing(a[0].toBoolean());
    return Value();
}
Value getPixelSnapping(Runtime& rt, const Value& s, Args) {
    return thisTarget(rt, s).stored.value(QStringLiteral("pixelSnapping"), Value::string(QStringLiteral("auto")));
}
// Only the three documented modes are taken.
Value setPixelSnapping(Runtime& rt, const Value& s, Args a) {
    const QString mode = a[0].isNullish() ? QString() : rt.toString(a[0]);
    if (mode != QLatin1String("auto") && mode != QLatin1String("always") && mode != QLatin1String("never"))
        rt.raise(QStringLiteral("ArgumentError"), 2008, {QStringLiteral("pixelSnapping")});
    thisTarget(rt, s).stored.insert(QStringLiteral("pixelSnapping"), Value::string(mode));
    return Value();
}

// new Bitmap(bitmapData = null, pixelSnapping = "auto", smoothing = false)
Value construct(Runtime& rt, const Value& self, Args a) {
    EventTargetObject& t = thisTarget(rt, self);
    if (!t.displayObject && rt.stage) {
        auto made = std::make_shared<display::BitmapObject>(rt.stage->root()->context(), nullptr, false);
        made->setName(rt.stage->nextInstanceName());
        rt.stage->bind(std::static_pointer_cast<EventTargetObject>(t.shared_from_this()), made);
    }
    // A Bitmap the timeline placed keeps the pixels it shows.
    if (auto* shown = bitmapOf(rt, self); shown && a.count == 0 && !shown->pixels().isNull())
        t.stored.insert(QStringLiteral("bitmapData"), BitmapDataClass::fromImage(rt, shown->pixels(), shown->pixels().hasAlphaChannel()));
    // A Bitmap class the movie links to a library bitmap shows it.
    if (a.count == 0 || a[0].isNullish()) {
        const Value linked = BitmapDataClass::forLinkedClass(rt, t.cls);
        if (!linked.isUndefined()) setBitmapData(rt, self, Args{&linked, 1});
    }
    if (a.count > 0 && !a[0].isNullish()) setBitmapData(rt, self, Args{&a[0], 1});
    if (a.count > 1) setPixelSnapping(rt, self, Args{&a[1], 1});
    if (a.count > 2) setSmoothing(rt, self, Args{&a[2], 1});
    return Value();
}

} // namespace bitmap_natives

void BitmapClass::install(Runtime& rt) {
    using namespace bitmap_natives;
    const QString pkg = QStringLiteral("flash.display");
    auto cls = rt.defineNativeClass(pkg, QStringLiteral("Bitmap"), rt.builtin(QStringLiteral("flash.display.DisplayObject")), {});
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 0};
    cls->dynamicInstances = false;
    addMembers(*cls, {{"get bitmapData", getBitmapData}, {"set bitmapData", setBitmapData, 1},
                      {"get smoothing", getSmoothing}, {"set smoothing", setSmoothing, 1},
                      {"get pixelSnapping", getPixelSnapping}, {"set pixelSnapping", setPixelSnapping, 1}});

    auto snapping = rt.defineNativeClass(pkg, QStringLiteral("PixelSnapping"), rt.builtin(QStringLiteral("Object")), {});
    snapping->isFinal = true;
    for (const char* mode : {"ALWAYS", "AUTO", "NEVER"})
        rt.defineStaticConstant(*snapping, QString::fromLatin1(mode), Value::string(QString::fromLatin1(mode).toLower()));
}

} // namespace nimbrel::movie::avm2
