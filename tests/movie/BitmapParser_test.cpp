#include "movie/support/PixelNear.h"
#include "ShapeTestBits.h"
#include "movie/swf/BitmapParser.h"
#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace nimbrel::movie;
using nimbrel::movie::test::TestBits;

using nimbrel::movie::test::pixelNear;

namespace {

std::vector<uint8_t> deflate(const std::vector<uint8_t>& raw) {
    uLongf n = compressBound(uLong(raw.size()));
    std::vector<uint8_t> out(n);
    EXPECT_EQ(compress2(out.data(), &n, raw.data(), uLong(raw.size()), 9), Z_OK);
    out.resize(n);
    return out;
}

std::optional<swf::BitmapDef> parseBitmap(int tag, const TestBits& b, const QByteArray& tables = {}, QString* err = nullptr) {
    QString e;
    auto def = swf::parseBitmap(tag, b.data().data(), b.size(), tables, err ? err : &e);
    return def;
}

std::vector<uint8_t> encoded(const QImage& img, const char* format, int quality = 100) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&buf, format, quality));
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

QImage testPattern() {
    QImage img(16, 8, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 16; ++x) img.setPixel(x, y, qRgb(0, 0, 255));
    return img;
}


// Splits a JPEG into a tables stream (SOI, DQT/DHT, EOI) and the rest (SOI, frame, scan).
std::pair<QByteArray, std::vector<uint8_t>> splitTables(const std::vector<uint8_t>& jpeg) {
    QByteArray tables("\xFF\xD8", 2);
    std::vector<uint8_t> image{0xFF, 0xD8};
    size_t i = 2;
    while (i + 4 <= jpeg.size()) {
        uint8_t m = jpeg[i + 1];
        size_t len = (size_t(jpeg[i + 2]) << 8) | jpeg[i + 3];
        auto seg = std::vector<uint8_t>(jpeg.begin() + i, jpeg.begin() + i + 2 + len);
        if (m == 0xDB || m == 0xC4) tables.append(reinterpret_cast<const char*>(seg.data()), qsizetype(seg.size()));
        else image.insert(image.end(), seg.begin(), seg.end());
        i += 2 + len;
        if (m == 0xDA) break;
    }
    image.insert(image.end(), jpeg.begin() + i, jpeg.end());
    tables.append("\xFF\xD9", 2);
    return {tables, image};
}

} // namespace

TEST(BitmapParser, ColourMappedRowsArePaddedTo32Bits) {
    // 3x2 pixels, palette of 2: each row carries 4 index bytes.
    std::vector<uint8_t> raw = {255, 0, 0, /**/ 0, 255, 0,  // palette
                                0, 1, 0, 0xEE,              // row 0 + pad
                                1, 1, 0, 0xEE};             // row 1 + pad
    TestBits b;
    b.u16(5);
    b.u8(3);
    b.u16(3);
    b.u16(2);
    b.u8(1); // two colours
    b.bytes(deflate(raw));
    auto def = parseBitmap(20, b);
    ASSERT_TRUE(def);
    EXPECT_EQ(def->id, 5);
    ASSERT_EQ(def->image.size(), QSize(3, 2));
    EXPECT_EQ(def->image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(def->image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(def->image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(def->image.pixel(2, 0), qRgb(255, 0, 0));
    EXPECT_EQ(def->image.pixel(0, 1), qRgb(0, 255, 0));
    EXPECT_EQ(def->image.pixel(2, 1), qRgb(255, 0, 0));
}

TEST(BitmapParser, Rgb15RowsArePaddedAndExpanded) {
    // 1x2 pixels, two bytes each, rows padded to four bytes.
    std::vector<uint8_t> raw = {0x7C, 0x00, 0, 0, /**/ 0x03, 0xE0, 0, 0}; // red, green
    TestBits b;
    b.u16(1);
    b.u8(4);
    b.u16(1);
    b.u16(2);
    b.bytes(deflate(raw));
    auto def = parseBitmap(20, b);
    ASSERT_TRUE(def);
    EXPECT_EQ(def->image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(def->image.pixel(0, 1), qRgb(0, 255, 0));
}

TEST(BitmapParser, Rgb24AndPremultipliedArgb) {
    std::vector<uint8_t> raw = {0, 10, 20, 30, /**/ 0, 40, 50, 60};
    TestBits b;
    b.u16(2);
    b.u8(5);
    b.u16(2);
    b.u16(1);
    b.bytes(deflate(raw));
    auto def = parseBitmap(20, b);
    ASSERT_TRUE(def);
    EXPECT_EQ(def->image.pixel(0, 0), qRgb(10, 20, 30)) << "the first byte is padding, not alpha";
    EXPECT_EQ(def->image.pixel(1, 0), qRgb(40, 50, 60));

    // Lossless2: ARGB already premultiplied; colour above alpha is clamped.
    std::vector<uint8_t> raw2 = {128, 64, 32, 128, /**/ 0, 0, 0, 0, /**/ 100, 200, 0, 0};
    TestBits b2;
    b2.u16(3);
    b2.u8(5);
    b2.u16(3);
    b2.u16(1);
    b2.bytes(deflate(raw2));
    auto def2 = parseBitmap(36, b2);
    ASSERT_TRUE(def2);
    const QRgb* px = reinterpret_cast<const QRgb*>(def2->image.constScanLine(0));
    EXPECT_EQ(px[0], qRgba(64, 32, 128, 128));
    EXPECT_EQ(px[1], qRgba(0, 0, 0, 0));
    EXPECT_EQ(px[2], qRgba(100, 0, 0, 100));
}

TEST(BitmapParser, Lossless2PaletteCarriesAlpha) {
    std::vector<uint8_t> raw = {255, 0, 0, 255, /**/ 0, 0, 0, 0, /**/ 0, 1, 0, 0};
    TestBits b;
    b.u16(4);
    b.u8(3);
    b.u16(2);
    b.u16(1);
    b.u8(1);
    b.bytes(deflate(raw));
    auto def = parseBitmap(36, b);
    ASSERT_TRUE(def);
    const QRgb* px = reinterpret_cast<const QRgb*>(def->image.constScanLine(0));
    EXPECT_EQ(px[0], qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(px[1]), 0);
}

TEST(BitmapParser, LosslessRefusesShortOversizedAndUnknown) {
    QString err;
    std::vector<uint8_t> raw(4 * 4 * 4 - 1, 0); // one byte short of 4x4 ARGB
    TestBits shortData;
    shortData.u16(1);
    shortData.u8(5);
    shortData.u16(4);
    shortData.u16(4);
    shortData.bytes(deflate(raw));
    EXPECT_FALSE(parseBitmap(36, shortData, {}, &err));
    EXPECT_TRUE(err.contains("short")) << err.toStdString();

    TestBits huge;
    huge.u16(1);
    huge.u8(5);
    huge.u16(60000);
    huge.u16(60000);
    huge.bytes(deflate(raw));
    EXPECT_FALSE(parseBitmap(20, huge, {}, &err));
    EXPECT_TRUE(err.contains("large")) << err.toStdString();

    TestBits unknown;
    unknown.u16(1);
    unknown.u8(7);
    unknown.u16(1);
    unknown.u16(1);
    unknown.bytes(deflate(raw));
    EXPECT_FALSE(parseBitmap(20, unknown, {}, &err));

    TestBits garbage;
    garbage.u16(1);
    garbage.u8(5);
    garbage.u16(2);
    garbage.u16(2);
    garbage.bytes({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_FALSE(parseBitmap(20, garbage, {}, &err));
    EXPECT_FALSE(swf::parseBitmap(99, garbage.data().data(), garbage.size(), {}, &err));
}

TEST(BitmapParser, Jpeg2DecodesJpegPngAndStrayMarkers) {
    const QImage pattern = testPattern();
    auto jpeg = encoded(pattern, "JPG");
    TestBits b;
    b.u16(9);
    b.bytes(jpeg);
    auto def = parseBitmap(21, b);
    ASSERT_TRUE(def);
    EXPECT_EQ(def->id, 9);
    EXPECT_EQ(def->image.size(), QSize(16, 8));
    EXPECT_TRUE(pixelNear(def->image.pixel(2, 4), qRgb(255, 0, 0), 20));
    EXPECT_TRUE(pixelNear(def->image.pixel(13, 4), qRgb(0, 0, 255), 20));

    // Some encoders put an empty end/start pair before the real image.
    TestBits stray;
    stray.u16(9);
    stray.bytes({0xFF, 0xD9, 0xFF, 0xD8});
    stray.bytes(jpeg);
    auto def2 = parseBitmap(21, stray);
    ASSERT_TRUE(def2);
    EXPECT_TRUE(pixelNear(def2->image.pixel(13, 4), qRgb(0, 0, 255), 20));

    TestBits png;
    png.u16(10);
    png.bytes(encoded(pattern, "PNG"));
    auto def3 = parseBitmap(21, png);
    ASSERT_TRUE(def3);
    EXPECT_EQ(def3->image.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(BitmapParser, DefineBitsJoinsTheSharedTables) {
    auto [tables, image] = splitTables(encoded(testPattern(), "JPG"));
    TestBits b;
    b.u16(3);
    b.bytes(image);
    auto def = parseBitmap(6, b, tables);
    ASSERT_TRUE(def);
    EXPECT_TRUE(pixelNear(def->image.pixel(2, 2), qRgb(255, 0, 0), 20));
    QString err;
    EXPECT_FALSE(swf::parseBitmap(6, b.data().data(), b.size(), QByteArray(), &err))
        << "without tables there are no quantisation tables to decode with";
}

TEST(BitmapParser, Jpeg3AlphaPlaneApplies) {
    auto jpeg = encoded(testPattern(), "JPG");
    std::vector<uint8_t> alpha(16 * 8, 255);
    for (int x = 0; x < 16; ++x) alpha[x] = 0;           // first row transparent
    for (int x = 0; x < 16; ++x) alpha[16 * 7 + x] = 128; // last row half
    for (int tag : {35, 90}) {
        TestBits b;
        b.u16(4);
        b.u32(uint32_t(jpeg.size()));
        if (tag == 90) b.u16(0);
        b.bytes(jpeg);
        b.bytes(deflate(alpha));
        auto def = parseBitmap(tag, b);
        ASSERT_TRUE(def) << tag;
        const QImage& img = def->image;
        EXPECT_EQ(qAlpha(img.pixel(3, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(3, 4)), 255);
        QRgb half = reinterpret_cast<const QRgb*>(img.constScanLine(7))[2];
        EXPECT_EQ(qAlpha(half), 128);
        EXPECT_NEAR(qRed(half), 128, 12) << "colour premultiplied by the plane";

        // An alpha plane that is too short is an error, not a silent opaque image.
        TestBits bad;
        bad.u16(4);
        bad.u32(uint32_t(jpeg.size()));
        if (tag == 90) bad.u16(0);
        bad.bytes(jpeg);
        bad.bytes(deflate(std::vector<uint8_t>(20, 255)));
        EXPECT_FALSE(parseBitmap(tag, bad));
    }
}

TEST(BitmapParser, BrokenJpegDataIsAnError) {
    QString err;
    TestBits b;
    b.u16(1);
    b.bytes({0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 1, 2, 3});
    EXPECT_FALSE(parseBitmap(21, b, {}, &err));
    EXPECT_FALSE(err.isEmpty());
    TestBits offset;
    offset.u16(1);
    offset.u32(1000);
    offset.bytes({0xFF, 0xD8});
    EXPECT_FALSE(parseBitmap(35, offset, {}, &err));
    TestBits empty;
    empty.u16(1);
    EXPECT_FALSE(parseBitmap(21, empty, {}, &err));
}

TEST(BitmapParser, NormalizeJpegKeepsOneStartMarker) {
    QByteArray in("\xFF\xD8\xFF\xDB\x00\x03\x01\xFF\xD9\xFF\xD8\xFF\xDA\x00\x02\xAB\xFF\xD9", 18);
    QByteArray want("\xFF\xD8\xFF\xDB\x00\x03\x01\xFF\xDA\x00\x02\xAB\xFF\xD9", 14);
    EXPECT_EQ(swf::normalizeJpeg(in), want);
}
