#include "movie/avm2/builtins/BitmapDataClass.h"
#include "movie/avm2/BitmapDataScriptObject.h"
#include "movie/avm2/ByteArrayObject.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/StageBridge.h"
#include "movie/avm2/VectorObject.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/avm2/builtins/VectorClass.h"
#include "movie/bitmap/BitmapOps.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/swf/Movie.h"
#include <QImage>
#include <algorithm>
#include <string>

namespace nimbrel::movie::avm2 {

using bitmap::BitmapPixels;

namespace bitmapdata_natives {

bool flagArg(Args a, int i, bool fallback) { return i < a.count ? a[i].toBoolean() : fallback; }

BitmapPixels& pixelsOf(Runtime& rt, const Value& self) {
    BitmapDataScriptObject* b = BitmapDataClass::live(rt, self);
    if (!b) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.display.BitmapData")});
    return *b->pixels;
}

// A bitmap argument that must be given and usable.
BitmapPixels& sourceArg(Runtime& rt, const Value& v, const char* name) {
    if (v.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QString::fromLatin1(name)});
    return pixelsOf(rt, v);
}

double field(Runtime& rt, const Value& v, const char* name) {
    return rt.toNumber(PropertyAccess::get(rt, v, Name::publicName(QString::fromLatin1(name))));
}

// A flash.geom.Rectangle in whole pixels; edges kept in range so x + width cannot overflow.
QRect rectArg(Runtime& rt, const Value& v, const char* name = "rect") {
    if (v.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QString::fromLatin1(name)});
    const qint64 x = Value::toInt32(field(rt, v, "x")), y = Value::toInt32(field(rt, v, "y"));
    const qint64 right = x + std::max(0, Value::toInt32(field(rt, v, "width")));
    const qint64 bottom = y + std::max(0, Value::toInt32(field(rt, v, "height")));
    auto clamp = [](qint64 c) { return int(std::clamp<qint64>(c, -(1 << 30), 1 << 30)); };
    return QRect(QPoint(clamp(x), clamp(y)), QPoint(clamp(right), clamp(bottom))).adjusted(0, 0, -1, -1);
}
QPoint pointArg(Runtime& rt, const Value& v, const char* name) {
    if (v.isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QString::fromLatin1(name)});
    return QPoint(Value::toInt32(field(rt, v, "x")), Value::toInt32(field(rt, v, "y")));
}
QPoint pointOrOrigin(Runtime& rt, const Value& v) { return v.isNullish() ? QPoint() : pointArg(rt, v, "point"); }

Value makeGeom(Runtime& rt, const char* cls, std::initializer_list<double> values) {
    std::vector<Value> args;
    for (double v : values) args.push_back(Value::number(v));
    ClassObject* c = rt.builtin(QString::fromLatin1(cls));
    return c ? rt.constructClass(*c, Args{args.data(), int(args.size())}) : Value::null();
}
Value rectangle(Runtime& rt, const QRect& r) { return makeGeom(rt, "flash.geom.Rectangle", {double(r.x()), double(r.y()), double(r.width()), double(r.height())}); }

// The largest bitmaps the player makes: 8191 pixels a side and 16,777,215 in all
// (2880 a side for movies of version 9 and before).
int movieVersion(Runtime& rt) {
    return rt.stage ? rt.stage->root()->context()->movie()->header.version : 10;
}

// The library bitmap the movie's SymbolClass links to cls or a class it extends; null when none.
const QImage* linkedBitmap(Runtime& rt, const ClassObject* cls) {
    if (!rt.stage) return nullptr;
    const swf::Movie& movie = *rt.stage->root()->context()->movie();
    for (; cls; cls = cls->base.get()) {
        const QString name = cls->package.isEmpty() ? cls->name : cls->package + QLatin1Char('.') + cls->name;
        for (uint16_t id : rt.stage->symbolsOf(name))
            if (const QImage* image = movie.bitmap(id); image && !image->isNull()) return image;
    }
    return nullptr;
}

ObjectPtr allocate(const ClassObject&) { return std::make_shared<BitmapDataScriptObject>(); }

Value construct(Runtime& rt, const Value& self, Args a) {
    auto* b = self.isObject() ? dynamic_cast<BitmapDataScriptObject*>(self.obj()) : nullptr;
    if (!b) rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(self), QStringLiteral("flash.display.BitmapData")});
    // A class the movie links to a library bitmap starts with its pixels, whatever size it is asked for.
    if (const QImage* linked = linkedBitmap(rt, b->cls)) {
        b->pixels = std::make_unique<BitmapPixels>(std::max(linked->width(), 1), std::max(linked->height(), 1), linked->hasAlphaChannel(), 0u);
        *b->pixels->image() = linked->convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return Value();
    }
    const double w = rt.toInt32(a[0]), h = rt.toInt32(a[1]);
    if (!BitmapPixels::sizeAllowed(movieVersion(rt), w, h)) rt.raise(QStringLiteral("ArgumentError"), 2015);
    const bool transparent = flagArg(a, 2, true);
    const uint32_t fill = a.count > 3 ? rt.toUint32(a[3]) : 0xFFFFFFFFu;
    b->pixels = std::make_unique<BitmapPixels>(int(w), int(h), transparent, fill);
    return Value();
}

Value newBitmapData(Runtime& rt, int w, int h, bool transparent) {
    ObjectPtr obj = rt.builtin(QStringLiteral("flash.display.BitmapData"))->allocate();
    static_cast<BitmapDataScriptObject*>(obj.get())->pixels = std::make_unique<BitmapPixels>(w, h, transparent, 0u);
    return Value::object(obj);
}

Value getWidth(Runtime& rt, const Value& s, Args) { return Value::integer(pixelsOf(rt, s).width()); }
Value getHeight(Runtime& rt, const Value& s, Args) { return Value::integer(pixelsOf(rt, s).height()); }
Value getTransparent(Runtime& rt, const Value& s, Args) { return Value::boolean(pixelsOf(rt, s).transparent()); }
Value getRect(Runtime& rt, const Value& s, Args) { return rectangle(rt, pixelsOf(rt, s).rect()); }

Value getPixel(Runtime& rt, const Value& s, Args a) {
    return Value::unsignedInt(pixelsOf(rt, s).pixel32(rt.toInt32(a[0]), rt.toInt32(a[1])) & 0xFFFFFFu);
}
Value getPixel32(Runtime& rt, const Value& s, Args a) {
    return Value::unsignedInt(pixelsOf(rt, s).pixel32(rt.toInt32(a[0]), rt.toInt32(a[1])));
}
Value setPixel(Runtime& rt, const Value& s, Args a) {
    pixelsOf(rt, s).setPixel(rt.toInt32(a[0]), rt.toInt32(a[1]), rt.toUint32(a[2]));
    return Value();
}
Value setPixel32(Runtime& rt, const Value& s, Args a) {
    pixelsOf(rt, s).setPixel32(rt.toInt32(a[0]), rt.toInt32(a[1]), rt.toUint32(a[2]));
    return Value();
}
Value fillRect(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    b.fillRect(rectArg(rt, a[0]), rt.toUint32(a[1]));
    return Value();
}
Value floodFill(Runtime& rt, const Value& s, Args a) {
    bitmap::floodFill(pixelsOf(rt, s), rt.toInt32(a[0]), rt.toInt32(a[1]), rt.toUint32(a[2]));
    return Value();
}
Value scroll(Runtime& rt, const Value& s, Args a) {
    pixelsOf(rt, s).scroll(rt.toInt32(a[0]), rt.toInt32(a[1]));
    return Value();
}
Value dispose(Runtime&, const Value& s, Args) {
    // Disposing twice is harmless. A Bitmap showing the pixels keeps what it
    // shows until it is given other data, as in the reference player.
    if (auto* b = dynamic_cast<BitmapDataScriptObject*>(s.obj()); b && b->pixels && !b->pixels->disposed()) {
        b->pixels = std::make_unique<BitmapPixels>(1, 1, b->pixels->transparent(), 0u);
        b->pixels->dispose();
    }
    return Value();
}
Value clone(Runtime& rt, const Value& s, Args) {
    BitmapPixels& b = pixelsOf(rt, s);
    Value copy = newBitmapData(rt, b.width(), b.height(), b.transparent());
    *static_cast<BitmapDataScriptObject*>(copy.obj())->pixels->image() = b.image()->copy();
    return copy;
}
Value nothing(Runtime& rt, const Value& s, Args) {
    pixelsOf(rt, s);
    return Value();
}
Value copyPixels(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    BitmapPixels& src = sourceArg(rt, a[0], "sourceBitmapData");
    const QRect r = rectArg(rt, a[1], "sourceRect");
    const QPoint at = pointArg(rt, a[2], "destPoint");
    // The alpha bitmap counts only when it has an alpha channel.
    BitmapPixels* alpha = a.count > 3 && !a[3].isNullish() ? &pixelsOf(rt, a[3]) : nullptr;
    if (alpha && !alpha->transparent()) alpha = nullptr;
    b.copyPixels(src, r, at, alpha, a.count > 4 ? pointOrOrigin(rt, a[4]) : QPoint(), flagArg(a, 5, false));
    return Value();
}
Value getColorBoundsRect(Runtime& rt, const Value& s, Args a) {
    return rectangle(rt, bitmap::colorBounds(pixelsOf(rt, s), rt.toUint32(a[0]), rt.toUint32(a[1]), flagArg(a, 2, true)));
}

// secondObject: a Point, a Rectangle, a Bitmap or a BitmapData.
Value hitTest(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    const QPoint first = pointArg(rt, a[0], "firstPoint");
    const int32_t threshold = int32_t(rt.toUint32(a[1]));
    const Value other = a[2];
    if (other.isNullish()) rt.raise(QStringLiteral("TypeError"), 2005, {QStringLiteral("2"), QStringLiteral("Object")});
    Value data = other;
    if (ClassObject* bitmapCls = rt.builtin(QStringLiteral("flash.display.Bitmap")); bitmapCls && rt.isType(other, bitmapCls))
        data = PropertyAccess::get(rt, other, Name::publicName(QStringLiteral("bitmapData")));
    if (auto* second = dynamic_cast<BitmapDataScriptObject*>(data.obj())) {
        BitmapPixels& o = pixelsOf(rt, data);
        (void)second;
        const QPoint at = pointArg(rt, a[3], "secondBitmapDataPoint");
        const int32_t otherThreshold = a.count > 4 ? int32_t(rt.toUint32(a[4])) : 1;
        return Value::boolean(bitmap::hitTestBitmap(b, first, threshold, o, at, otherThreshold));
    }
    ClassObject* rectCls = rt.builtin(QStringLiteral("flash.geom.Rectangle"));
    if (rectCls && rt.isType(other, rectCls)) return Value::boolean(bitmap::hitTestRect(b, first, threshold, rectArg(rt, other)));
    ClassObject* pointCls = rt.builtin(QStringLiteral("flash.geom.Point"));
    if (pointCls && rt.isType(other, pointCls)) return Value::boolean(bitmap::hitTestPoint(b, first, threshold, pointArg(rt, other, "secondObject")));
    rt.raise(QStringLiteral("TypeError"), 2005, {QStringLiteral("2"), QStringLiteral("Object")});
}

Value colorTransform(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    const QRect r = rectArg(rt, a[0]);
    if (a[1].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("colorTransform")});
    double mult[4], add[4];
    const char* channels[] = {"red", "green", "blue", "alpha"};
    for (int i = 0; i < 4; ++i) {
        mult[i] = field(rt, a[1], (std::string(channels[i]) + "Multiplier").c_str());
        add[i] = field(rt, a[1], (std::string(channels[i]) + "Offset").c_str());
    }
    bitmap::transformColors(b, r, mult, add);
    return Value();
}
Value noise(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    const uint32_t low = std::min(rt.toUint32(a.count > 1 ? a[1] : Value::integer(0)), 255u);
    const uint32_t high = std::min(a.count > 2 ? rt.toUint32(a[2]) : 255u, 255u);
    const uint32_t channels = a.count > 3 ? rt.toUint32(a[3]) : 7u;
    bitmap::fillNoise(b, rt.toInt32(a[0]), low, high, channels, flagArg(a, 4, false));
    return Value();
}
Value threshold(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    BitmapPixels& src = sourceArg(rt, a[0], "sourceBitmapData");
    const QRect r = rectArg(rt, a[1], "sourceRect");
    const QPoint at = pointArg(rt, a[2], "destPoint");
    static const std::pair<const char*, bitmap::ThresholdTest> tests[] = {
        {"<", bitmap::ThresholdTest::Less}, {"<=", bitmap::ThresholdTest::LessOrEqual},
        {">", bitmap::ThresholdTest::Greater}, {">=", bitmap::ThresholdTest::GreaterOrEqual},
        {"==", bitmap::ThresholdTest::Equal}, {"!=", bitmap::ThresholdTest::NotEqual}};
    if (a[3].isNullish()) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("operation")});
    const QString op = rt.toString(a[3]);
    const auto found = std::find_if(std::begin(tests), std::end(tests), [&](const auto& t) { return op == QLatin1String(t.first); });
    if (found == std::end(tests)) rt.raise(QStringLiteral("ArgumentError"), 2005, {QStringLiteral("3"), QStringLiteral("String")});
    const uint32_t colour = a.count > 5 ? rt.toUint32(a[5]) : 0u;
    const uint32_t mask = a.count > 6 ? rt.toUint32(a[6]) : 0xFFFFFFFFu;
    return Value::unsignedInt(uint32_t(bitmap::applyThreshold(b, src, r, at, found->second, rt.toUint32(a[4]), colour, mask,
                                                              flagArg(a, 7, false))));
}
Value copyChannel(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    BitmapPixels& src = sourceArg(rt, a[0], "sourceBitmapData");
    bitmap::copyChannelFrom(b, src, rectArg(rt, a[1], "sourceRect"), pointArg(rt, a[2], "destPoint"), rt.toUint32(a[3]),
                            rt.toUint32(a[4]));
    return Value();
}
Value paletteMap(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    BitmapPixels& src = sourceArg(rt, a[0], "sourceBitmapData");
    const QRect r = rectArg(rt, a[1], "sourceRect");
    const QPoint at = pointArg(rt, a[2], "destPoint");
    bitmap::ChannelTable tables[4];
    for (int i = 0; i < 4; ++i) {
        if (a.count <= 3 + i || a[3 + i].isNullish()) continue;
        tables[i].emplace();
        for (int k = 0; k < 256; ++k)
            (*tables[i])[size_t(k)] = rt.toUint32(PropertyAccess::get(rt, a[3 + i], Name::publicName(QString::number(k))));
    }
    bitmap::paletteMapFrom(b, src, r, at, tables);
    return Value();
}
// 0 for equal bitmaps, -3 / -4 for other widths / heights, else a bitmap of the differences.
Value compare(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    BitmapPixels& other = sourceArg(rt, a[0], "otherBitmapData");
    if (&other == &b) return Value::integer(0);
    if (other.width() != b.width()) return Value::integer(-3);
    if (other.height() != b.height()) return Value::integer(-4);
    Value out = newBitmapData(rt, b.width(), b.height(), true);
    return bitmap::differences(b, other, *static_cast<BitmapDataScriptObject*>(out.obj())->pixels) ? out : Value::integer(0);
}
Value merge(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    BitmapPixels& src = sourceArg(rt, a[0], "sourceBitmapData");
    const int mult[4] = {int(rt.toUint32(a[3])), int(rt.toUint32(a[4])), int(rt.toUint32(a[5])), int(rt.toUint32(a[6]))};
    bitmap::mergeFrom(b, src, rectArg(rt, a[1], "sourceRect"), pointArg(rt, a[2], "destPoint"), mult);
    return Value();
}

// The rectangle's pixels inside the bitmap, row by row, as unmultiplied ARGB.
template <typename Fn> void eachPixelIn(const BitmapPixels& b, const QRect& r, Fn fn) {
    const QRect inside = r.intersected(b.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) fn(x, y);
}
void appendPixels(Runtime& rt, const BitmapPixels& b, const QRect& r, ByteArrayObject& out) {
    eachPixelIn(b, r, [&](int x, int y) {
        const uint32_t p = b.pixel32(x, y);
        const char bytes[4] = {char(p >> 24), char(p >> 16), char(p >> 8), char(p)};
        const uint64_t end = uint64_t(out.position) + 4;
        if (end > uint64_t(out.bytes.size())) out.bytes.resize(qsizetype(end), '\0');
        std::copy(bytes, bytes + 4, out.bytes.data() + out.position);
        out.position = uint32_t(end);
    });
    (void)rt;
}
Value getPixels(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    const QRect r = rectArg(rt, a[0]);
    Value ba = rt.constructClass(*rt.builtin(QStringLiteral("flash.utils.ByteArray")), Args{nullptr, 0});
    auto& out = *static_cast<ByteArrayObject*>(ba.obj());
    appendPixels(rt, b, r, out);
    out.position = 0;
    return ba;
}
Value copyPixelsToByteArray(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    const QRect r = rectArg(rt, a[0]);
    if (!a[1].isObject() || a[1].obj()->type != ScriptObject::Type::ByteArray) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("data")});
    appendPixels(rt, b, r, *static_cast<ByteArrayObject*>(a[1].obj()));
    return Value();
}
// Reads big-endian ARGB words from the array's position into the rectangle;
// running out of bytes ends in EOFError after the pixels that were there.
Value setPixels(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    const QRect r = rectArg(rt, a[0]);
    if (!a[1].isObject() || a[1].obj()->type != ScriptObject::Type::ByteArray) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("inputByteArray")});
    auto& in = *static_cast<ByteArrayObject*>(a[1].obj());
    bool ranOut = false;
    eachPixelIn(b, r, [&](int x, int y) {
        if (ranOut) return;
        if (in.position > uint32_t(in.bytes.size()) || uint32_t(in.bytes.size()) - in.position < 4) {
            ranOut = true;
            return;
        }
        const auto* p = reinterpret_cast<const uint8_t*>(in.bytes.constData() + in.position);
        b.setPixel32(x, y, uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]);
        in.position += 4;
    });
    if (ranOut) rt.raise(QStringLiteral("flash.errors.EOFError"), 2030);
    return Value();
}
Value getVector(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    const QRect r = rectArg(rt, a[0]);
    ObjectPtr v = VectorClass::specialise(rt, rt.builtin(QStringLiteral("uint")))->allocate();
    auto& items = static_cast<VectorObject*>(v.get())->items;
    eachPixelIn(b, r, [&](int x, int y) { items.push_back(Value::unsignedInt(b.pixel32(x, y))); });
    return Value::object(v);
}
Value setVector(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    const QRect r = rectArg(rt, a[0]);
    if (!a[1].isObject() || a[1].obj()->type != ScriptObject::Type::Vector) rt.raise(QStringLiteral("TypeError"), 2007, {QStringLiteral("inputVector")});
    const auto& items = static_cast<VectorObject*>(a[1].obj())->items;
    size_t next = 0;
    bool ranOut = false;
    eachPixelIn(b, r, [&](int x, int y) {
        if (next >= items.size()) {
            ranOut = true;
            return;
        }
        b.setPixel32(x, y, rt.toUint32(items[next++]));
    });
    if (ranOut) rt.raise(QStringLiteral("RangeError"), 1125, {QString::number(next), QString::number(items.size())});
    return Value();
}
// Four vectors of 256 counts (red, green, blue, alpha) over the rectangle (the whole bitmap by default).
Value histogram(Runtime& rt, const Value& s, Args a) {
    BitmapPixels& b = pixelsOf(rt, s);
    const QRect r = a.count > 0 && !a[0].isNullish() ? rectArg(rt, a[0], "hRect") : b.rect();
    std::vector<double> counts(4 * 256, 0.0);
    eachPixelIn(b, r, [&](int x, int y) {
        const uint32_t p = b.pixel32(x, y);
        counts[(p >> 16) & 255] += 1;
        counts[256 + ((p >> 8) & 255)] += 1;
        counts[512 + (p & 255)] += 1;
        counts[768 + (p >> 24)] += 1;
    });
    ClassObject* numbers = VectorClass::specialise(rt, rt.builtin(QStringLiteral("Number")));
    ClassObject* outer = VectorClass::specialise(rt, numbers);
    ObjectPtr result = outer->allocate();
    for (int c = 0; c < 4; ++c) {
        ObjectPtr channel = numbers->allocate();
        for (int i = 0; i < 256; ++i) static_cast<VectorObject*>(channel.get())->items.push_back(Value::number(counts[size_t(c * 256 + i)]));
        static_cast<VectorObject*>(result.get())->items.push_back(Value::object(channel));
    }
    return Value::object(result);
}

const NativeMethod members[] = {
    {"get width", getWidth}, {"get height", getHeight}, {"get transparent", getTransparent}, {"get rect", getRect},
    {"getPixel", getPixel, 2}, {"getPixel32", getPixel32, 2}, {"setPixel", setPixel, 3}, {"setPixel32", setPixel32, 3},
    {"fillRect", fillRect, 2}, {"floodFill", floodFill, 3}, {"scroll", scroll, 2}, {"dispose", dispose},
    {"clone", clone}, {"lock", nothing}, {"unlock", nothing, 1}, {"copyPixels", copyPixels, 6},
    {"getColorBoundsRect", getColorBoundsRect, 3}, {"hitTest", hitTest, 5}, {"colorTransform", colorTransform, 2},
    {"noise", noise, 5}, {"threshold", threshold, 8}, {"copyChannel", copyChannel, 5}, {"paletteMap", paletteMap, 7},
    {"compare", compare, 1}, {"merge", merge, 7}, {"getPixels", getPixels, 1}, {"setPixels", setPixels, 2},
    {"copyPixelsToByteArray", copyPixelsToByteArray, 2}, {"getVector", getVector, 1}, {"setVector", setVector, 2},
    {"histogram", histogram, 1}};

} // namespace bitmapdata_natives

BitmapDataScriptObject* BitmapDataClass::live(Runtime& rt, const Value& v) {
    auto* b = v.isObject() ? dynamic_cast<BitmapDataScriptObject*>(v.obj()) : nullptr;
    if (b && (!b->pixels || b->pixels->disposed())) rt.raise(QStringLiteral("ArgumentError"), 2015);
    return b;
}

Value BitmapDataClass::fromImage(Runtime& rt, const QImage& image, bool transparent) {
    Value out = bitmapdata_natives::newBitmapData(rt, std::max(image.width(), 1), std::max(image.height(), 1), transparent);
    *static_cast<BitmapDataScriptObject*>(out.obj())->pixels->image() = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return out;
}

Value BitmapDataClass::forLinkedClass(Runtime& rt, const ClassObject* cls) {
    const QImage* image = bitmapdata_natives::linkedBitmap(rt, cls);
    return image ? fromImage(rt, *image, image->hasAlphaChannel()) : Value();
}

void BitmapDataClass::install(Runtime& rt) {
    using namespace bitmapdata_natives;
    const QString pkg = QStringLiteral("flash.display");
    auto cls = rt.defineNativeClass(pkg, QStringLiteral("BitmapData"), rt.builtin(QStringLiteral("Object")), {});
    native::addInstanceMembers(*cls, members);
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 2};
    cls->dynamicInstances = false;

    auto channel = rt.defineNativeClass(pkg, QStringLiteral("BitmapDataChannel"), rt.builtin(QStringLiteral("Object")), {});
    channel->isFinal = true;
    const std::pair<const char*, uint32_t> channels[] = {{"RED", 1}, {"GREEN", 2}, {"BLUE", 4}, {"ALPHA", 8}};
    for (const auto& [name, bit] : channels)
        rt.defineStaticConstant(*channel, QString::fromLatin1(name), Value::unsignedInt(bit));
}

} // namespace nimbrel::movie::avm2
