// flash.display.BitmapData: the script side of a bitmap. Methods answer -1 when
// called on a disposed bitmap or with too few arguments, and -2/-3/-4 when
// the source bitmap, the second bitmap or a rectangle/point is unusable, as
// the player does.
#include "movie/avm1/BitmapDataDraw.h"
#include "movie/avm1/BitmapDataObject.h"
#include "movie/avm1/BitmapDataOps.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/FlashPackage.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/NativeConstructor.h"
#include "movie/swf/Movie.h"
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

BitmapDataObject* live(const Value& v)
{
    auto* b = dynamic_cast<BitmapDataObject*>(v.object());
    return b && !b->disposed() ? b : nullptr;
}

int coord(Interpreter& vm, const Value& v)
{
    return vm.toInt32(v);
}

uint32_t color(Interpreter& vm, const Value& v)
{
    return uint32_t(vm.toInt32(v));
}

// A rectangle argument: any object with x, y, width and height.
bool rectArg(Interpreter& vm, const Value& v, QRect* out)
{
    if (!v.isObject())
        return false;
    Value parts[4];
    const char* names[] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
        parts[i] = vm.getMember(v, QLatin1String(names[i]));
        if (parts[i].isUndefined())
            return false;
    }
    // Edges in 64 bits, then clamped: x + width must not overflow an int.
    const qint64 x = coord(vm, parts[0]), y = coord(vm, parts[1]);
    const qint64 right = x + std::max(0, coord(vm, parts[2])), bottom = y + std::max(0, coord(vm, parts[3]));
    auto clamp = [](qint64 v) { return int(std::clamp<qint64>(v, -(1 << 30), 1 << 30)); };
    *out = QRect(QPoint(clamp(x), clamp(y)), QPoint(clamp(right), clamp(bottom))).adjusted(0, 0, -1, -1);
    return true;
}

// A point argument: any object with x and y.
bool pointArg(Interpreter& vm, const Value& v, QPoint* out)
{
    if (!v.isObject())
        return false;
    const Value x = vm.getMember(v, QStringLiteral("x")), y = vm.getMember(v, QStringLiteral("y"));
    if (x.isUndefined() || y.isUndefined())
        return false;
    *out = QPoint(coord(vm, x), coord(vm, y));
    return true;
}

// A destination point: unusable values count as the origin.
QPoint pointOrOrigin(Interpreter& vm, const Value& v)
{
    QPoint p(0, 0);
    if (v.isObject())
        p = QPoint(coord(vm, vm.getMember(v, QStringLiteral("x"))), coord(vm, vm.getMember(v, QStringLiteral("y"))));
    return p;
}

Value rectangle(Interpreter& vm, const QRect& r)
{
    return newPackageInstance(vm, QStringLiteral("geom"), QStringLiteral("Rectangle"),
                              {Value(r.x()), Value(r.y()), Value(r.width()), Value(r.height())});
}

const Value kFailed(-1);

} // namespace

void installBitmapDataClass(Interpreter& vm)
{
    if (!hasFlashPackages(vm))
        return;
    Object* proto = vm.newObject();
    auto* ctor = vm.make<NativeConstructor>(vm.functionProto, nullptr,
        [](Interpreter& vm, Object* proto, Args a) -> Value {
            const double w = vm.toNumber(arg(a, 0)), h = vm.toNumber(arg(a, 1));
            if (!BitmapDataObject::sizeAllowed(vm.version(), w, h))
                return Value();
            const bool transparent = a.size() > 2 ? vm.toBoolean(a[2]) : true;
            const uint32_t fill = a.size() > 3 ? color(vm, a[3]) : 0xFFFFFFFFu;
            return Value(static_cast<Object*>(vm.make<BitmapDataObject>(proto, int(w), int(h), transparent, fill)));
        });
    ctor->define(QStringLiteral("prototype"), Value(proto), DontEnum | DontDelete);
    proto->define(QStringLiteral("constructor"), Value(static_cast<Object*>(ctor)), DontEnum);
    flashPackage(vm, QStringLiteral("display"))->define(QStringLiteral("BitmapData"), Value(static_cast<Object*>(ctor)));
    // Channel bits for copyChannel and friends.
    const std::pair<const char*, int> channels[] = {{"RED_CHANNEL", 1}, {"GREEN_CHANNEL", 2}, {"BLUE_CHANNEL", 4}, {"ALPHA_CHANNEL", 8}};
    for (const auto& [name, bit] : channels)
        ctor->define(QLatin1String(name), Value(bit));

    // Read-only sizes: -1 once disposed.
    auto prop = [&](const char* name, std::function<Value(BitmapDataObject&)> get) {
        vm.addGetterSetter(proto, QLatin1String(name), [get](Interpreter&, const Value& self, Args) -> Value {
            auto* b = live(self);
            return b ? get(*b) : kFailed;
        }, nullptr);
    };
    prop("width", [](BitmapDataObject& b) { return Value(b.width()); });
    prop("height", [](BitmapDataObject& b) { return Value(b.height()); });
    prop("transparent", [](BitmapDataObject& b) { return Value(b.transparent()); });
    vm.addGetterSetter(proto, QStringLiteral("rectangle"), [](Interpreter& vm, const Value& self, Args) -> Value {
        auto* b = live(self);
        return b ? rectangle(vm, b->rect()) : kFailed;
    }, nullptr);

    // Methods share the checks every one of them makes first.
    auto method = [&](const char* name, size_t minArgs, std::function<Value(Interpreter&, BitmapDataObject&, Args)> fn) {
        vm.addMethod(proto, QLatin1String(name), [minArgs, fn](Interpreter& vm, const Value& self, Args a) -> Value {
            auto* b = live(self);
            if (!b || a.size() < minArgs)
                return kFailed;
            return fn(vm, *b, a);
        });
    };
    method("getPixel", 2, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        return Value(double(b.pixel32(coord(vm, a[0]), coord(vm, a[1])) & 0xFFFFFFu));
    });
    method("getPixel32", 2, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        return Value(double(int32_t(b.pixel32(coord(vm, a[0]), coord(vm, a[1])))));
    });
    method("setPixel", 3, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        b.setPixel(coord(vm, a[0]), coord(vm, a[1]), color(vm, a[2]));
        return Value(0);
    });
    method("setPixel32", 3, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        b.setPixel32(coord(vm, a[0]), coord(vm, a[1]), color(vm, a[2]));
        return Value(0);
    });
    method("fillRect", 2, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        QRect r;
        if (!rectArg(vm, a[0], &r))
            return kFailed;
        b.fillRect(r, color(vm, a[1]));
        return Value(0);
    });
    method("scroll", 2, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        b.scroll(coord(vm, a[0]), coord(vm, a[1]));
        return Value(0);
    });
    method("dispose", 0, [](Interpreter&, BitmapDataObject& b, Args) {
        b.dispose();
        return Value();
    });
    method("clone", 0, [](Interpreter& vm, BitmapDataObject& b, Args) {
        auto* copy = vm.make<BitmapDataObject>(b.proto(), b.width(), b.height(), b.transparent(), 0u);
        *copy->image() = b.image()->copy();
        return Value(static_cast<Object*>(copy));
    });
    method("copyPixels", 3, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        auto* src = dynamic_cast<BitmapDataObject*>(a[0].object());
        if (!src)
            return Value(-2);
        if (src->disposed())
            return Value(-3);
        QRect r;
        if (!rectArg(vm, a[1], &r))
            return Value(-4);
        // The alpha bitmap counts only together with its point, and only when it has an alpha channel.
        auto* alpha = a.size() > 4 ? live(a[3]) : nullptr;
        if (alpha && !alpha->transparent())
            alpha = nullptr;
        b.copyPixels(*src, r, pointOrOrigin(vm, a[2]), alpha, pointOrOrigin(vm, arg(a, 4)),
                     a.size() > 5 && vm.toBoolean(a[5]));
        return Value(0);
    });
    method("getColorBoundsRect", 2, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        const bool find = a.size() > 2 ? vm.toBoolean(a[2]) : true;
        return rectangle(vm, colorBounds(b, color(vm, a[0]), color(vm, a[1]), find));
    });
    method("floodFill", 3, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        floodFill(b, coord(vm, a[0]), coord(vm, a[1]), color(vm, a[2]));
        return Value(0);
    });
    method("hitTest", 2, [](Interpreter& vm, BitmapDataObject& b, Args a) -> Value {
        QPoint first;
        if (!pointArg(vm, a[0], &first))
            return Value(-2);
        if (a.size() < 3)
            return kFailed;
        const int32_t threshold = vm.toInt32(a[1]);
        QPoint p(0, 0);
        if (auto* other = dynamic_cast<BitmapDataObject*>(a[2].object())) {
            if (other->disposed())
                return Value(-3);
            if (a.size() > 3 && !pointArg(vm, a[3], &p))
                return Value(-4);
            const int32_t otherThreshold = a.size() > 4 ? vm.toInt32(a[4]) : 1;
            return Value(hitTestBitmap(b, first, threshold, *other, p, otherThreshold));
        }
        if (!a[2].isObject())
            return Value(-3);
        // A rectangle (with width and height) or a point.
        QRect r;
        if (rectArg(vm, a[2], &r))
            return Value(hitTestRect(b, first, threshold, r));
        if (!pointArg(vm, a[2], &p))
            return Value(-3);
        return Value(hitTestPoint(b, first, threshold, p));
    });
    method("colorTransform", 2, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        QRect r;
        if (!rectArg(vm, a[0], &r))
            return kFailed;
        Object* t = a[1].object();
        if (!t)
            return kFailed;
        double mult[4], add[4];
        const char* channels[] = {"red", "green", "blue", "alpha"};
        for (int i = 0; i < 4; ++i) {
            mult[i] = vm.toNumber(t->get(QLatin1String(channels[i]) + QStringLiteral("Multiplier")));
            add[i] = vm.toNumber(t->get(QLatin1String(channels[i]) + QStringLiteral("Offset")));
        }
        transformColors(b, r, mult, add);
        return Value(0);
    });
    method("noise", 1, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        // Channel bounds outside a byte are brought into it.
        const uint32_t low = a.size() > 1 ? uint32_t(std::clamp(vm.toInt32(a[1]), 0, 255)) : 0u;
        const uint32_t high = a.size() > 2 ? uint32_t(std::clamp(vm.toInt32(a[2]), 0, 255)) : 255u;
        const uint32_t channels = a.size() > 3 ? color(vm, a[3]) : uint32_t(RedBit | GreenBit | BlueBit);
        fillNoise(b, vm.toInt32(a[0]), low, high, channels, a.size() > 4 && vm.toBoolean(a[4]));
        return Value(0);
    });
    method("threshold", 5, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        auto* src = dynamic_cast<BitmapDataObject*>(a[0].object());
        if (!src)
            return Value(-2);
        if (src->disposed())
            return Value(-3);
        QRect r;
        if (!rectArg(vm, a[1], &r))
            return Value(-4);
        static const std::pair<const char*, ThresholdTest> tests[] = {
            {"<", ThresholdTest::Less},     {"<=", ThresholdTest::LessOrEqual}, {">", ThresholdTest::Greater},
            {">=", ThresholdTest::GreaterOrEqual}, {"==", ThresholdTest::Equal}, {"!=", ThresholdTest::NotEqual}};
        const QString op = vm.toString(a[3]);
        const auto found = std::find_if(std::begin(tests), std::end(tests),
                                        [&](const auto& t) { return op == QLatin1String(t.first); });
        if (found == std::end(tests))
            return Value(0);
        const uint32_t colour = a.size() > 5 ? color(vm, a[5]) : 0u;
        const uint32_t mask = a.size() > 6 ? color(vm, a[6]) : 0xFFFFFFFFu;
        return Value(applyThreshold(b, *src, r, pointOrOrigin(vm, a[2]), found->second, color(vm, a[4]), colour,
                                    mask, a.size() > 7 && vm.toBoolean(a[7])));
    });
    method("copyChannel", 5, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        auto* src = dynamic_cast<BitmapDataObject*>(a[0].object());
        if (!src)
            return Value(-2);
        if (src->disposed())
            return Value(-3);
        QRect r;
        if (!rectArg(vm, a[1], &r))
            return Value(-4);
        copyChannelFrom(b, *src, r, pointOrOrigin(vm, a[2]), color(vm, a[3]), color(vm, a[4]));
        return Value();
    });
    method("paletteMap", 3, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        auto* src = dynamic_cast<BitmapDataObject*>(a[0].object());
        if (!src)
            return Value(-2);
        if (src->disposed())
            return Value(-3);
        QRect r;
        if (!rectArg(vm, a[1], &r))
            return Value(-4);
        // Any object with elements 0..255 is a table; missing elements count as 0.
        ChannelTable tables[4];
        for (int i = 0; i < 4; ++i) {
            const Value given = arg(a, size_t(3 + i));
            if (!given.isObject())
                continue;
            tables[i].emplace();
            for (int k = 0; k < 256; ++k)
                (*tables[i])[size_t(k)] = color(vm, vm.getMember(given, QString::number(k)));
        }
        paletteMapFrom(b, *src, r, pointOrOrigin(vm, a[2]), tables);
        return Value();
    });
    // 0 for equal bitmaps, -3 / -4 for other widths / heights, else a bitmap of the differences.
    method("compare", 1, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        auto* other = dynamic_cast<BitmapDataObject*>(a[0].object());
        if (!other)
            return kFailed;
        if (other->disposed())
            return Value(-2);
        if (other->width() != b.width())
            return Value(-3);
        if (other->height() != b.height())
            return Value(-4);
        auto* out = vm.make<BitmapDataObject>(b.proto(), b.width(), b.height(), true, 0u);
        return differences(b, *other, *out) ? Value(static_cast<Object*>(out)) : Value(0);
    });
    // merge answers -1 whether or not it blended anything, as the player does.
    method("merge", 6, [](Interpreter& vm, BitmapDataObject& b, Args a) {
        auto* src = dynamic_cast<BitmapDataObject*>(a[0].object());
        if (!src)
            return Value(-2);
        if (src->disposed())
            return Value(-3);
        QRect r;
        if (!rectArg(vm, a[1], &r))
            return Value(-4);
        const int mult[4] = {vm.toInt32(a[3]), vm.toInt32(a[4]), vm.toInt32(a[5]),
                             a.size() > 6 ? vm.toInt32(a[6]) : 256};
        mergeFrom(b, *src, r, pointOrOrigin(vm, a[2]), mult);
        return kFailed;
    });
    method("draw", 1, [](Interpreter& vm, BitmapDataObject& b, Args a) { return drawIntoBitmap(vm, b, a); });
    method("applyFilter", 4, [](Interpreter& vm, BitmapDataObject& b, Args a) { return applyFilterToBitmap(vm, b, a); });
    method("generateFilterRect", 2, [](Interpreter& vm, BitmapDataObject&, Args a) { return filterRectOf(vm, a); });
    // An exported bitmap of the library as a new bitmap; undefined when there is none.
    vm.addMethod(ctor, QStringLiteral("loadBitmap"), [proto](Interpreter& vm, const Value&, Args a) -> Value {
        if (!vm.movie || a.empty())
            return Value();
        // Bitmaps are not display characters: look the name up directly.
        const auto found = vm.movie->exports.constFind(vm.toString(a[0]).toLower());
        if (found == vm.movie->exports.constEnd())
            return Value();
        const uint16_t id = found.value();
        const QImage* image = vm.movie->bitmap(id);
        if (!image || image->isNull() || !BitmapDataObject::sizeAllowed(vm.version(), image->width(), image->height()))
            return Value();
        auto* b = vm.make<BitmapDataObject>(proto, image->width(), image->height(), image->hasAlphaChannel(), 0u);
        *b->image() = image->convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return Value(static_cast<Object*>(b));
    });
}

} // namespace nimbrel::movie::avm1
