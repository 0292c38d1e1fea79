// Damaged shape and bitmap tags in tests/data/malformed (shape_*.swf,
// bitmap_*.swf): the parsers refuse the damaged character with a reason.
// Loading and drawing the whole files is covered by the Malformed suite.
#include "movie/swf/BitReader.h"
#include "movie/swf/BitmapParser.h"
#include "movie/swf/ShapeParser.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace nimbrel::movie;

namespace {

struct RawTag {
    int code;
    const uint8_t* body;
    size_t len;
};

// Tags of an uncompressed SWF; a tag running past the end is cut short.
std::vector<RawTag> tagsOf(const QByteArray& file) {
    std::vector<RawTag> tags;
    if (!file.startsWith("FWS") || file.size() < 9) return tags;
    const auto* d = reinterpret_cast<const uint8_t*>(file.constData());
    swf::BitReader r(d + 8, size_t(file.size()) - 8);
    r.rect();
    r.u16();
    r.u16();
    while (!r.atEnd() && !r.failed()) {
        const uint16_t head = r.u16();
        size_t len = head & 0x3F;
        if (len == 0x3F) len = r.u32();
        if (r.failed()) break;
        len = std::min(len, r.remaining());
        tags.push_back({head >> 6, r.current(), len});
        r.skip(len);
        if ((head >> 6) == 0) break;
    }
    return tags;
}

bool isShapeTag(int code) { return code == 2 || code == 22 || code == 32 || code == 83; }
bool isMorphTag(int code) { return code == 46 || code == 84; }
bool isBitmapTag(int code) { return code == 6 || code == 20 || code == 21 || code == 35 || code == 36 || code == 90; }

} // namespace

TEST(ShapeMalformedFiles, DamagedCharactersAreRefusedWithAReason) {
    const QDir dir(QStringLiteral(NIMBREL_SOURCE_DIR "/tests/data/malformed"));
    const QStringList files = dir.entryList({QStringLiteral("shape_*.swf"), QStringLiteral("bitmap_*.swf")}, QDir::Files);
    ASSERT_GE(files.size(), 8);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        const std::vector<RawTag> tags = tagsOf(data);
        ASSERT_FALSE(tags.empty());
        int refused = 0;
        for (const RawTag& t : tags) {
            QString error;
            bool ok = true;
            if (isShapeTag(t.code)) ok = swf::parseShape(t.code, t.body, t.len, &error).has_value();
            else if (isMorphTag(t.code)) ok = swf::parseMorphShape(t.code, t.body, t.len, &error).has_value();
            else if (isBitmapTag(t.code)) ok = swf::parseBitmap(t.code, t.body, t.len, {}, &error).has_value();
            else continue;
            if (!ok) {
                ++refused;
                EXPECT_FALSE(error.isEmpty());
                // The damaged character is the first one, id 1.
                EXPECT_TRUE(error.contains(QLatin1String(" 1"))) << error.toStdString();
            }
        }
        EXPECT_EQ(refused, 1);
    }
}

TEST(ShapeMalformedFiles, EveryPrefixOfADamagedTagFailsQuietly) {
    // Cutting the damaged tags short anywhere must still give an error, never a crash.
    const QDir dir(QStringLiteral(NIMBREL_SOURCE_DIR "/tests/data/malformed"));
    for (const QString& name : dir.entryList({QStringLiteral("shape_*.swf"), QStringLiteral("bitmap_*.swf")}, QDir::Files)) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        for (const RawTag& t : tagsOf(data)) {
            if (!isShapeTag(t.code) && !isMorphTag(t.code) && !isBitmapTag(t.code)) continue;
            for (size_t n = 0; n < t.len; n += std::max<size_t>(1, t.len / 64)) {
                QString error;
                bool ok = true;
                if (isShapeTag(t.code)) ok = swf::parseShape(t.code, t.body, n, &error).has_value();
                else if (isMorphTag(t.code)) ok = swf::parseMorphShape(t.code, t.body, n, &error).has_value();
                else ok = swf::parseBitmap(t.code, t.body, n, {}, &error).has_value();
                EXPECT_TRUE(ok || !error.isEmpty()) << name.toStdString() << " cut at " << n;
            }
        }
    }
}
