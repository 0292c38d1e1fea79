// BitmapData in the second machine: pixels read back as the player rounds
// them, the byte and vector forms of a rectangle, and the documented errors
// for bad sizes, disposed data and bad arguments.
#include "movie/avm2/BitmapDataScriptObject.h"
#include "movie/avm2/ByteArrayObject.h"
#include "movie/avm2/VectorObject.h"
#include "movie/support/Avm2RuntimeTest.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm2;

namespace {
struct Avm2BitmapData : nimbrel::movie::test::Avm2RuntimeTest {
    Value make(const char* cls, std::vector<Value> args) {
        return rt.constructClass(*rt.builtin(QString::fromLatin1(cls)), Args{args.data(), int(args.size())});
    }
    Value bitmap(int w, int h, bool transparent, uint32_t fill) {
        return make("flash.display.BitmapData", {Value::integer(w), Value::integer(h), Value::boolean(transparent), Value::unsignedInt(fill)});
    }
    Value rect(int x, int y, int w, int h) {
        return make("flash.geom.Rectangle", {Value::integer(x), Value::integer(y), Value::integer(w), Value::integer(h)});
    }
    Value point(int x, int y) { return make("flash.geom.Point", {Value::integer(x), Value::integer(y)}); }
    Value call(const Value& on, const char* method, std::vector<Value> args = {}) {
        return PropertyAccess::call(rt, on, Name::publicName(QString::fromLatin1(method)), Args{args.data(), int(args.size())});
    }
    Value get(const Value& on, const char* property) { return PropertyAccess::get(rt, on, Name::publicName(QString::fromLatin1(property))); }
    uint32_t pixel32(const Value& b, int x, int y) { return rt.toUint32(call(b, "getPixel32", {Value::integer(x), Value::integer(y)})); }
};
} // namespace

TEST_F(Avm2BitmapData, PixelsReadBackAsThePlayerRoundsThem) {
    struct Case {
        const char* what;
        bool transparent;
        uint32_t fill, written, read32;
    };
    const Case cases[] = {
        {"opaque colour", true, 0, 0xFF123456u, 0xFF123456u},
        {"half alpha loses precision", true, 0, 0x88FEBABEu, 0x88FDBABDu},
        {"no alpha reads as nothing", true, 0, 0x00FFFFFFu, 0u},
        {"an opaque bitmap keeps full alpha", false, 0, 0x10203040u, 0xFF203040u},
    };
    for (const Case& c : cases) {
        const Value b = bitmap(4, 3, c.transparent, c.fill);
        call(b, "setPixel32", {Value::integer(1), Value::integer(2), Value::unsignedInt(c.written)});
        EXPECT_EQ(pixel32(b, 1, 2), c.read32) << c.what;
        EXPECT_EQ(rt.toUint32(call(b, "getPixel", {Value::integer(1), Value::integer(2)})), c.read32 & 0xFFFFFFu) << c.what;
        EXPECT_EQ(pixel32(b, 9, 9), 0u) << c.what << ": outside reads as nothing";
    }
    const Value b = bitmap(5, 6, false, 0xFF00FF00u);
    EXPECT_EQ(rt.toString(get(b, "rect")), QStringLiteral("(x=0, y=0, w=5, h=6)"));
    EXPECT_FALSE(get(b, "transparent").toBoolean());
}

TEST_F(Avm2BitmapData, RectanglesAsBytesAndVectors) {
    const Value b = bitmap(3, 2, true, 0);
    call(b, "fillRect", {rect(1, 0, 2, 2), Value::unsignedInt(0xFF0000FFu)});
    const Value bytes = call(b, "getPixels", {rect(0, 0, 3, 1)});
    EXPECT_EQ(static_cast<ByteArrayObject*>(bytes.obj())->bytes, QByteArray("\0\0\0\0\xFF\0\0\xFF\xFF\0\0\xFF", 12));
    // Written back one row lower, rows are read in order from the array's position.
    auto& in = *static_cast<ByteArrayObject*>(bytes.obj());
    in.bytes = QByteArray("\xFF\x11\x22\x33\xFF\x44\x55\x66", 8);
    in.position = 0;
    call(b, "setPixels", {rect(0, 1, 2, 1), bytes});
    EXPECT_EQ(pixel32(b, 0, 1), 0xFF112233u);
    EXPECT_EQ(pixel32(b, 1, 1), 0xFF445566u);
    const Value v = call(b, "getVector", {rect(-1, 1, 5, 5)});
    const auto& items = static_cast<VectorObject*>(v.obj())->items;
    ASSERT_EQ(items.size(), 3u) << "only the part inside the bitmap";
    EXPECT_EQ(rt.toUint32(items[2]), 0xFF0000FFu);
    const Value histogram = call(b, "histogram", {});
    const auto& blue = static_cast<VectorObject*>(static_cast<VectorObject*>(histogram.obj())->items[2].obj())->items;
    EXPECT_EQ(rt.toNumber(blue[255]), 3.0) << "three pixels are pure blue";
    EXPECT_EQ(rt.toInt32(call(b, "compare", {call(b, "clone")})), 0) << "a clone has the same pixels";
}

TEST_F(Avm2BitmapData, DocumentedErrors) {
    const Value b = bitmap(2, 2, true, 0xFFFFFFFFu);
    const Value disposed = bitmap(2, 2, true, 0);
    call(disposed, "dispose");
    const Value shortBytes = make("flash.utils.ByteArray", {});
    static_cast<ByteArrayObject*>(shortBytes.obj())->bytes = QByteArray("\xFF\0\0\0\xFF", 5);
    struct Case {
        const char* what;
        std::function<void()> run;
        int id;
    };
    const Case cases[] = {
        {"zero width", [&] { bitmap(0, 5, true, 0); }, 2015},
        {"too wide", [&] { bitmap(8192, 1, true, 0); }, 2015},
        {"too many pixels", [&] { bitmap(8000, 8000, true, 0); }, 2015},
        {"disposed width", [&] { get(disposed, "width"); }, 2015},
        {"disposed pixel", [&] { pixel32(disposed, 0, 0); }, 2015},
        {"disposed source", [&] { call(b, "copyPixels", {disposed, rect(0, 0, 1, 1), point(0, 0)}); }, 2015},
        {"null source", [&] { call(b, "copyPixels", {Value::null(), rect(0, 0, 1, 1), point(0, 0)}); }, 2007},
        {"null rectangle", [&] { call(b, "fillRect", {Value::null(), Value::integer(0)}); }, 2007},
        {"unknown threshold test", [&] {
             call(b, "threshold", {b, rect(0, 0, 2, 2), point(0, 0), Value::string(QStringLiteral("<>")), Value::integer(0)});
         }, 2005},
        {"bytes run out", [&] { call(b, "setPixels", {rect(0, 0, 2, 2), shortBytes}); }, 2030},
        {"disposing twice is fine", [&] { call(disposed, "dispose"); }, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(errorId(c.run), c.id) << c.what;
    EXPECT_EQ(pixel32(b, 0, 0), 0xFF000000u) << "the pixel before the bytes ran out was written";
}
