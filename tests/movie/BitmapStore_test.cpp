// Bitmaps decode on first use: the right picture comes out, damaged data
// gives nothing (and a reason), and copies of a movie share the decoding.
#include "movie/swf/BitmapStore.h"
#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

using nimbrel::movie::swf::BitmapStore;

namespace {

QByteArray idBytes(uint16_t id) {
    QByteArray b;
    b.append(char(id & 0xff)).append(char(id >> 8));
    return b;
}

// DefineBitsJPEG2 body: the id, then a whole JPEG file.
QByteArray jpegBody(uint16_t id, QColor colour, QSize size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray jpeg;
    QBuffer buf(&jpeg);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPG", 95);
    return idBytes(id) + jpeg;
}

} // namespace

TEST(BitmapStore, DecodesOnFirstUseAndKeepsTheImage) {
    BitmapStore store;
    store.add(7, 21, jpegBody(7, Qt::red, {40, 30}), {});
    ASSERT_TRUE(store.contains(7));
    EXPECT_FALSE(store.contains(8));
    EXPECT_EQ(store.image(8), nullptr);
    const QImage* img = store.image(7);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->size(), QSize(40, 30));
    EXPECT_GT(qRed(img->pixel(20, 15)), 240);
    EXPECT_LT(qGreen(img->pixel(20, 15)), 16);
    EXPECT_EQ(store.image(7), img) << "a second look must not decode again";
    EXPECT_TRUE(store.decodeAll().isEmpty());
}

TEST(BitmapStore, DamagedDataGivesNoImageAndAReason) {
    BitmapStore store;
    QByteArray cut = jpegBody(3, Qt::blue, {16, 16});
    cut.truncate(12);
    store.add(3, 21, cut, {});
    store.add(4, 36, idBytes(4) + QByteArray("\x05\x10\x00\x10\x00garbage", 12), {}); // lossless, bad zlib data
    store.add(5, 21, jpegBody(5, Qt::green, {8, 8}), {});
    EXPECT_EQ(store.image(3), nullptr);
    EXPECT_EQ(store.image(4), nullptr);
    EXPECT_NE(store.image(5), nullptr);
    const QStringList problems = store.decodeAll();
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[0].startsWith(QLatin1String("bitmap 3: ")));
    EXPECT_TRUE(problems[1].startsWith(QLatin1String("bitmap 4: ")));
}

TEST(BitmapStore, CopiesShareWhatWasDecoded) {
    BitmapStore original;
    original.add(1, 21, jpegBody(1, Qt::white, {10, 10}), {});
    const BitmapStore copy = original;
    const QImage* fromCopy = copy.image(1);
    ASSERT_NE(fromCopy, nullptr);
    EXPECT_EQ(original.image(1), fromCopy);
}
