// flash.display.BitmapData: sizes, the player's pixel rounding, argument
// checks and pixel operations, called as scripts call them.
#include "movie/avm1/BitmapDataObject.h"
#include "movie/avm1/BitmapDataOps.h"
#include "support/ScriptFixture.h"
#include <gtest/gtest.h>
#include <limits>

using namespace nimbrel::movie::avm1;
using namespace nimbrel::movie::avm1::test;

namespace {

Value newBitmap(Interpreter& vm, std::vector<Value> args)
{
    Value flash = vm.global->get(QStringLiteral("flash"));
    return vm.construct(vm.getMember(vm.getMember(flash, "display"), "BitmapData"), args);
}

Value rect(Interpreter& vm, double x, double y, double w, double h)
{
    Value ctor = vm.getMember(vm.getMember(vm.global->get("flash"), "geom"), "Rectangle");
    return vm.construct(ctor, {Value(x), Value(y), Value(w), Value(h)});
}

Value point(Interpreter& vm, double x, double y)
{
    Value ctor = vm.getMember(vm.getMember(vm.global->get("flash"), "geom"), "Point");
    return vm.construct(ctor, {Value(x), Value(y)});
}

uint32_t pixel32(Interpreter& vm, const Value& b, int x, int y)
{
    return uint32_t(vm.toInt32(vm.callMethod(b, "getPixel32", {Value(x), Value(y)})));
}

} // namespace

TEST(Avm1BitmapData, SizeLimitsFollowTheSwfVersion)
{
    ScriptFixture f8(8);
    Interpreter& vm = *f8.vm;
    EXPECT_TRUE(newBitmap(vm, {Value(2880), Value(2880)}).isObject());
    EXPECT_TRUE(newBitmap(vm, {Value(2881), Value(1)}).isUndefined());
    EXPECT_TRUE(newBitmap(vm, {Value(0), Value(10)}).isUndefined());
    EXPECT_TRUE(newBitmap(vm, {Value(-5), Value(10)}).isUndefined());
    EXPECT_TRUE(newBitmap(vm, {Value(std::numeric_limits<double>::quiet_NaN()), Value(10)}).isUndefined());
    EXPECT_TRUE(newBitmap(vm, {Value(1e300), Value(1e300)}).isUndefined());
    EXPECT_TRUE(newBitmap(vm, {}).isUndefined());
    ScriptFixture f10(10);
    EXPECT_TRUE(newBitmap(*f10.vm, {Value(8191), Value(1)}).isObject());
    EXPECT_TRUE(newBitmap(*f10.vm, {Value(8192), Value(1)}).isUndefined());
    EXPECT_TRUE(newBitmap(*f10.vm, {Value(4095), Value(4096)}).isObject());
    EXPECT_TRUE(newBitmap(*f10.vm, {Value(4096), Value(4096)}).isUndefined()); // one pixel too many
}

TEST(Avm1BitmapData, PixelsReadBackThroughPremultipliedStorage)
{
    // The player keeps premultiplied pixels: what a script reads back has lost precision.
    EXPECT_EQ(BitmapDataObject::unpremultiply(BitmapDataObject::premultiply(0xAABBCCDDu)), 0xAABBCCDCu);
    EXPECT_EQ(BitmapDataObject::unpremultiply(BitmapDataObject::premultiply(0x98755432u)), 0x98755432u);
    EXPECT_EQ(BitmapDataObject::unpremultiply(BitmapDataObject::premultiply(0x0000000Au)), 0u);

    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value t = newBitmap(vm, {Value(3), Value(3), Value(true), Value(double(0xAABBCCDDu))});
    EXPECT_EQ(pixel32(vm, t, 1, 2), 0xAABBCCDCu);
    EXPECT_EQ(vm.toNumber(vm.callMethod(t, "getPixel", {Value(1), Value(2)})), 0xBBCCDC);
    EXPECT_EQ(vm.toNumber(vm.callMethod(t, "getPixel", {Value(10), Value(2)})), 0); // outside
    // Opaque bitmaps ignore the alpha they are given.
    Value o = newBitmap(vm, {Value(3), Value(3), Value(false), Value(double(0x12345678u))});
    EXPECT_EQ(pixel32(vm, o, 0, 0), 0xFF345678u);
    vm.callMethod(o, "setPixel32", {Value(0), Value(0), Value(0x01020304)});
    EXPECT_EQ(pixel32(vm, o, 0, 0), 0xFF020304u);
    vm.callMethod(t, "setPixel", {Value(0), Value(0), Value(double(0xFF0000))}); // keeps alpha
    EXPECT_EQ(pixel32(vm, t, 0, 0) >> 24, 0xAAu);
}

TEST(Avm1BitmapData, ArgumentChecksAndDisposal)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value b = newBitmap(vm, {Value(3), Value(3)});
    EXPECT_EQ(vm.toNumber(vm.callMethod(b, "getPixel", {Value(1)})), -1); // too few arguments
    EXPECT_EQ(vm.toNumber(vm.callMethod(b, "fillRect", {Value(), Value(0)})), -1);
    Value noWidth = Value(static_cast<Object*>(vm.newObject()));
    noWidth.object()->set("x", Value(0));
    noWidth.object()->set("y", Value(0));
    noWidth.object()->set("height", Value(1));
    EXPECT_EQ(vm.toNumber(vm.callMethod(b, "fillRect", {noWidth, Value(0)})), -1);
    EXPECT_EQ(vm.toNumber(vm.callMethod(b, "copyPixels", {Value(), rect(vm, 0, 0, 1, 1), point(vm, 0, 0)})), -2);
    EXPECT_EQ(vm.toNumber(vm.callMethod(b, "hitTest", {Value(), Value(1), point(vm, 0, 0)})), -2);
    Value gone = newBitmap(vm, {Value(2), Value(2)});
    vm.callMethod(gone, "dispose", {});
    EXPECT_EQ(vm.toNumber(vm.getMember(gone, "width")), -1);
    EXPECT_EQ(vm.toNumber(vm.callMethod(gone, "getPixel", {Value(0), Value(0)})), -1);
    EXPECT_EQ(vm.toNumber(vm.callMethod(b, "copyPixels", {gone, rect(vm, 0, 0, 1, 1), point(vm, 0, 0)})), -3);
    EXPECT_EQ(vm.toNumber(vm.getMember(b, "width")), 3);
    EXPECT_EQ(vm.toString(vm.getMember(b, "rectangle")), "(x=0, y=0, w=3, h=3)");
}

TEST(Avm1BitmapData, FillAndCopyClipToTheBitmaps)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value b = newBitmap(vm, {Value(4), Value(4), Value(true), Value(0)});
    // A rectangle far larger than the bitmap only covers the bitmap; edges past the int range do not wrap.
    EXPECT_EQ(vm.toNumber(vm.callMethod(b, "fillRect", {rect(vm, -2e9, 2, 2.1e9, 2.1e9), Value(-1)})), 0);
    EXPECT_EQ(vm.toNumber(vm.callMethod(b, "fillRect", {rect(vm, 2.1e9, 0, 2.1e9, 1), Value(-1)})), 0);
    EXPECT_EQ(pixel32(vm, b, 0, 1), 0u);
    EXPECT_EQ(pixel32(vm, b, 3, 3), 0xFFFFFFFFu);
    // Copying a bitmap onto itself, overlapping, reads the pixels before writing.
    vm.callMethod(b, "setPixel32", {Value(0), Value(0), Value(double(0xFF112233u))});
    vm.callMethod(b, "copyPixels", {b, rect(vm, 0, 0, 2, 1), point(vm, 1, 0)});
    EXPECT_EQ(pixel32(vm, b, 1, 0), 0xFF112233u);
    EXPECT_EQ(pixel32(vm, b, 2, 0), 0u);
    // A source rectangle sticking out of the source copies only what exists, at the matching place.
    Value src = newBitmap(vm, {Value(2), Value(2), Value(false), Value(double(0xFF00FF00u))});
    Value dst = newBitmap(vm, {Value(4), Value(4), Value(true), Value(0)});
    vm.callMethod(dst, "copyPixels", {src, rect(vm, -1, -1, 4, 4), point(vm, 0, 0)});
    EXPECT_EQ(pixel32(vm, dst, 0, 0), 0u);
    EXPECT_EQ(pixel32(vm, dst, 1, 1), 0xFF00FF00u);
    EXPECT_EQ(pixel32(vm, dst, 2, 2), 0xFF00FF00u);
    EXPECT_EQ(pixel32(vm, dst, 3, 3), 0u);
    // An alpha bitmap multiplies the copied alpha.
    Value mask = newBitmap(vm, {Value(2), Value(2), Value(true), Value(double(0x12345678u))});
    Value out = newBitmap(vm, {Value(2), Value(2), Value(true), Value(0)});
    vm.callMethod(out, "copyPixels", {src, rect(vm, 0, 0, 2, 2), point(vm, 0, 0), mask, point(vm, 0, 0), Value(false)});
    EXPECT_EQ(pixel32(vm, out, 0, 0) >> 24, 0x11u);
}

TEST(Avm1BitmapData, ScrollFloodFillBoundsAndHitTest)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value b = newBitmap(vm, {Value(5), Value(5), Value(true), Value(0)});
    vm.callMethod(b, "setPixel32", {Value(0), Value(0), Value(double(0xFF0000FFu))});
    vm.callMethod(b, "scroll", {Value(2), Value(1)});
    EXPECT_EQ(pixel32(vm, b, 2, 1), 0xFF0000FFu);
    EXPECT_EQ(pixel32(vm, b, 0, 0), 0xFF0000FFu); // uncovered pixels keep their values
    Value bounds = vm.callMethod(b, "getColorBoundsRect", {Value(-1), Value(double(0xFF0000FFu))});
    EXPECT_EQ(vm.toString(bounds), "(x=0, y=0, w=3, h=2)");
    // hitTest: the bitmap at (10, 10); alpha threshold 1.
    EXPECT_TRUE(vm.toBoolean(vm.callMethod(b, "hitTest", {point(vm, 10, 10), Value(1), point(vm, 12, 11)})));
    EXPECT_FALSE(vm.toBoolean(vm.callMethod(b, "hitTest", {point(vm, 10, 10), Value(1), point(vm, 11, 11)})));
    EXPECT_TRUE(vm.toBoolean(vm.callMethod(b, "hitTest", {point(vm, 10, 10), Value(1), rect(vm, 0, 0, 11, 11)})));

    // A fill across the largest bitmap neither recurses nor keeps a stack per pixel.
    Value big = newBitmap(vm, {Value(2880), Value(2880), Value(true), Value(0)});
    for (int y = 0; y < 2880; y += 2) // a maze of one-pixel walls with gaps at alternating ends
        vm.callMethod(big, "fillRect", {rect(vm, y % 4 ? 1 : 0, y + 1, 2879, 1), Value(-1)});
    EXPECT_EQ(vm.toNumber(vm.callMethod(big, "floodFill", {Value(0), Value(0), Value(double(0xFF00FF00u))})), 0);
    EXPECT_EQ(pixel32(vm, big, 2879, 2878), 0xFF00FF00u);
    EXPECT_EQ(pixel32(vm, big, 5, 1), 0xFFFFFFFFu); // the walls stay
}

TEST(Avm1BitmapData, NoiseFollowsTheSeededSequence)
{
    // The minimal standard generator: the 10,000th value from seed 1 is its published check value.
    NoiseSequence check(1);
    uint32_t v = 0;
    for (int i = 0; i < 10000; ++i)
        v = check.next();
    EXPECT_EQ(v, 1043618065u);
    EXPECT_EQ(NoiseSequence(0).next(), NoiseSequence(1).next()); // non-positive seeds are mirrored
    EXPECT_EQ(NoiseSequence(-1).next(), NoiseSequence(2).next());

    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    struct Case { bool transparent; std::vector<Value> args; uint32_t first, second; };
    const Case cases[] = {
        // 16807 % 256 = 0xA7, then 0xF1, 0xD9 for red, green, blue of the first pixel.
        {false, {Value(1)}, 0xFFA7F1D9u, 0xFF2A82C8u},
        // Grey: one value per pixel; a range beyond a byte is clamped into it.
        {false, {Value(1), Value(-5), Value(300), Value(7), Value(true)}, 0xFFA7A7A7u, 0xFFF1F1F1u},
        // Only blue, in [1, 2].
        {false, {Value(1), Value(1), Value(2), Value(4)}, 0xFF000002u, 0xFF000002u},
        // Alpha is drawn last, and only where the bitmap has alpha; opaque ones skip it entirely.
        {true, {Value(1), Value(0), Value(255), Value(8)}, 0xA7000000u, 0xF1000000u},
        {false, {Value(1), Value(0), Value(255), Value(9)}, 0xFFA70000u, 0xFFF10000u},
    };
    for (const Case& c : cases) {
        Value b = newBitmap(vm, {Value(2), Value(1), Value(c.transparent), Value(0)});
        EXPECT_EQ(vm.toNumber(vm.callMethod(b, "noise", c.args)), 0);
        EXPECT_EQ(pixel32(vm, b, 0, 0), c.first) << vm.toNumber(c.args[0]) << " / " << c.args.size();
        EXPECT_EQ(pixel32(vm, b, 1, 0), c.second) << vm.toNumber(c.args[0]) << " / " << c.args.size();
    }
}

TEST(Avm1BitmapData, ThresholdComparesMaskedValuesAndCountsSourcePixels)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    struct Case { const char* op; double threshold; bool copySource; double count; uint32_t left, right; };
    // Source: left pixel 0xFF102030, right 0xFF405060; mask 0x00FF0000 compares red only.
    const Case cases[] = {
        {"<", double(0x00300000), false, 1, 0xFFFF0000u, 0xFF000000u},
        {"<=", double(0x00400000), false, 2, 0xFFFF0000u, 0xFFFF0000u},
        {">", double(0x00100000), true, 1, 0xFF102030u, 0xFFFF0000u},
        {">=", double(0x00100000), false, 2, 0xFFFF0000u, 0xFFFF0000u},
        {"==", double(0xAB40FFFFu), false, 1, 0xFF000000u, 0xFFFF0000u}, // bits outside the mask ignored
        {"!=", double(0x00400000), true, 1, 0xFFFF0000u, 0xFF405060u},
        {"=", double(0x00400000), true, 0, 0xFF000000u, 0xFF000000u}, // unknown test: nothing happens
    };
    Value src = newBitmap(vm, {Value(2), Value(1), Value(false), Value(double(0xFF102030u))});
    vm.callMethod(src, "setPixel32", {Value(1), Value(0), Value(double(0xFF405060u))});
    for (const Case& c : cases) {
        Value dst = newBitmap(vm, {Value(2), Value(1), Value(false), Value(0)});
        const Value n = vm.callMethod(dst, "threshold", {src, rect(vm, 0, 0, 2, 1), point(vm, 0, 0), Value(QString::fromLatin1(c.op)),
                                                         Value(c.threshold), Value(double(0xFFFF0000u)),
                                                         Value(double(0x00FF0000)), Value(c.copySource)});
        EXPECT_EQ(vm.toNumber(n), c.count) << c.op;
        EXPECT_EQ(pixel32(vm, dst, 0, 0), c.left) << c.op;
        EXPECT_EQ(pixel32(vm, dst, 1, 0), c.right) << c.op;
    }
    // Source pixels count even where the destination ends.
    Value dst = newBitmap(vm, {Value(1), Value(1), Value(false), Value(0)});
    EXPECT_EQ(vm.toNumber(vm.callMethod(dst, "threshold", {src, rect(vm, 0, 0, 2, 1), point(vm, 0, 0), Value(QStringLiteral(">")),
                                                           Value(0), Value(-1), Value(-1)})), 2);
    EXPECT_EQ(vm.toNumber(vm.callMethod(dst, "threshold", {Value(), rect(vm, 0, 0, 2, 1), point(vm, 0, 0), Value(QStringLiteral(">")),
                                                           Value(0)})), -2);
}

TEST(Avm1BitmapData, MergeBlendsEachChannelByItsMultiplier)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value src = newBitmap(vm, {Value(1), Value(1), Value(false), Value(double(0xFF804020u))});
    struct Case { std::vector<double> mults; uint32_t expected; };
    const Case cases[] = {
        {{256, 0, 128, 256}, 0xFF80C070u}, // red from the source, green kept, blue halfway
        {{-5, 300, 64, 0}, 0xFF004098u},   // multipliers clamp to [0, 256]
        {{256, 256, 256}, 0xFF804020u},    // alpha's multiplier may be left out
    };
    for (const Case& c : cases) {
        Value dst = newBitmap(vm, {Value(1), Value(1), Value(false), Value(double(0xFF00C0C0u))});
        std::vector<Value> args = {src, rect(vm, 0, 0, 1, 1), point(vm, 0, 0)};
        for (double m : c.mults)
            args.push_back(Value(m));
        EXPECT_EQ(vm.toNumber(vm.callMethod(dst, "merge", args)), -1); // the player answers -1 either way
        EXPECT_EQ(pixel32(vm, dst, 0, 0), c.expected) << c.mults[0];
    }
}

TEST(Avm1BitmapData, CopyChannelMovesOneChannelAndKeepsTheOthers)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value src = newBitmap(vm, {Value(2), Value(1), Value(true), Value(double(0xFF102030u))});
    struct Case { double from, to; uint32_t expected; };
    const Case cases[] = {
        {1, 4, 0xFFAABB10u},  // red into blue
        {4, 2, 0xFFAA30CCu},  // blue into green
        {2, 8, BitmapDataObject::unpremultiply(BitmapDataObject::premultiply(0x20AABBCCu))}, // green into alpha
        {3, 4, 0xFFAABBCCu},  // two channels at once: nothing
        {1, 16, 0xFFAABBCCu}, // no such channel: nothing
    };
    for (const Case& c : cases) {
        Value dst = newBitmap(vm, {Value(1), Value(1), Value(true), Value(double(0xFFAABBCCu))});
        vm.callMethod(dst, "copyChannel", {src, rect(vm, 1, 0, 1, 1), point(vm, 0, 0), Value(c.from), Value(c.to)});
        EXPECT_EQ(pixel32(vm, dst, 0, 0), c.expected) << c.from << " -> " << c.to;
    }
}

TEST(Avm1BitmapData, CompareAnswersSizesOrABitmapOfDifferences)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    auto opaque = [&](int w, int h, uint32_t fill) { return newBitmap(vm, {Value(w), Value(h), Value(false), Value(double(fill))}); };
    const Value base = opaque(2, 2, 0xFF00FF99u);
    EXPECT_EQ(vm.toNumber(vm.callMethod(base, "compare", {opaque(2, 2, 0xFF00FF99u)})), 0);
    EXPECT_EQ(vm.toNumber(vm.callMethod(base, "compare", {opaque(3, 2, 0xFF00FF99u)})), -3);
    EXPECT_EQ(vm.toNumber(vm.callMethod(base, "compare", {opaque(2, 3, 0xFF00FF99u)})), -4);
    EXPECT_EQ(vm.toNumber(vm.callMethod(base, "compare", {Value(vm.newObject())})), -1);
    // Colours differ: each channel's difference, wrapped to a byte, fully opaque.
    const Value other = opaque(2, 2, 0xFFAA3366u);
    vm.callMethod(other, "setPixel32", {Value(1), Value(1), Value(double(0xFF00FF99u))});
    const Value diff = vm.callMethod(base, "compare", {other});
    ASSERT_TRUE(diff.isObject());
    EXPECT_EQ(pixel32(vm, diff, 0, 0), 0xFF56CC33u);
    EXPECT_EQ(pixel32(vm, diff, 1, 1), 0u); // equal pixels leave nothing
    // Only alpha differs: white with the alpha difference.
    const Value solid = newBitmap(vm, {Value(1), Value(1), Value(true), Value(double(0xFFFFAA00u))});
    const Value faint = newBitmap(vm, {Value(1), Value(1), Value(true), Value(double(0xCCFFAA00u))});
    EXPECT_EQ(pixel32(vm, vm.callMethod(solid, "compare", {faint}), 0, 0), 0x33FFFFFFu);
}

TEST(Avm1BitmapData, PaletteMapSumsTheMappedChannels)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value src = newBitmap(vm, {Value(1), Value(1), Value(false), Value(double(0xFF102030u))});
    // Red 0x10 maps to blue 0x40 (a swap of places), green's table has no element 0x20 (0).
    Object* reds = vm.newObject();
    reds->set(QString::number(0x10), Value(0x40));
    Object* greens = vm.newObject();
    Value dst = newBitmap(vm, {Value(1), Value(1), Value(false), Value(0)});
    vm.callMethod(dst, "paletteMap", {src, rect(vm, 0, 0, 1, 1), point(vm, 0, 0), Value(reds), Value(greens)});
    EXPECT_EQ(pixel32(vm, dst, 0, 0), 0xFF000070u); // blue 0x30 kept plus 0x40 from red
    // Without tables the pixels come through unchanged.
    vm.callMethod(dst, "paletteMap", {src, rect(vm, 0, 0, 1, 1), point(vm, 0, 0)});
    EXPECT_EQ(pixel32(vm, dst, 0, 0), 0xFF102030u);
}

TEST(Avm1BitmapData, ApplyFilterSpreadsTheSourceAndReportsTheAreaItReaches)
{
    ScriptFixture f(8);
    Interpreter& vm = *f.vm;
    Value filters = vm.getMember(vm.global->get("flash"), "filters");
    Value blur = vm.construct(vm.getMember(filters, "BlurFilter"), {Value(4), Value(4), Value(1)});
    Value src = newBitmap(vm, {Value(9), Value(9), Value(true), Value(0)});
    vm.callMethod(src, "setPixel32", {Value(4), Value(4), Value(-1)});
    Value dst = newBitmap(vm, {Value(9), Value(9), Value(true), Value(0)});
    EXPECT_EQ(vm.toNumber(vm.callMethod(dst, "applyFilter", {src, rect(vm, 0, 0, 9, 9), point(vm, 0, 0), blur})), 0);
    const uint32_t centre = pixel32(vm, dst, 4, 4) >> 24, near = pixel32(vm, dst, 5, 4) >> 24;
    EXPECT_GT(centre, 0u);
    EXPECT_LT(centre, 255u);
    EXPECT_GT(near, 0u);
    EXPECT_EQ(pixel32(vm, dst, 0, 0), 0u);
    // Not a filter: nothing happens.
    EXPECT_EQ(vm.toNumber(vm.callMethod(dst, "applyFilter", {src, rect(vm, 0, 0, 9, 9), point(vm, 0, 0), Value(vm.newObject())})), -1);

    const Value grown = vm.callMethod(dst, "generateFilterRect", {rect(vm, 10, 10, 5, 5), blur});
    EXPECT_LT(vm.toNumber(vm.getMember(grown, "x")), 10);
    EXPECT_GT(vm.toNumber(vm.getMember(grown, "width")), 5);
}
