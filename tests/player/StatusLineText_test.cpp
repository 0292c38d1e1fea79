#include "player/StatusLineText.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using nimbrel::player::StatusLineText;

TEST(StatusLineText, FramePathAndSizeRunTogether) {
    EXPECT_EQ(StatusLineText::build(12, 240, QStringLiteral("D:\\a\\b.swf"), 10240),
              QStringLiteral("[12 /240]  文件名：D:\\a\\b.swf  文件大小：10KB"));
}

TEST(StatusLineText, KilobytesRoundHalvesToEven) {
    EXPECT_EQ(StatusLineText::kilobytes(1536), 2);
    EXPECT_EQ(StatusLineText::kilobytes(2560), 2);
    EXPECT_EQ(StatusLineText::kilobytes(3584), 4);
    EXPECT_EQ(StatusLineText::kilobytes(1023), 1);
    EXPECT_EQ(StatusLineText::kilobytes(511), 0);
    EXPECT_EQ(StatusLineText::kilobytes(512), 0);
    EXPECT_EQ(StatusLineText::kilobytes(513), 1);
    EXPECT_EQ(StatusLineText::kilobytes(0), 0);
}

TEST(StatusLineText, AddressesAndMissingFilesShowSizeZero) {
    const QString url = QStringLiteral("http://example.invalid/clip.swf");
    EXPECT_EQ(StatusLineText::forMovie(3, 90, url),
              QStringLiteral("[3 /90]  文件名：") + url + QStringLiteral("  文件大小：0KB"));
    EXPECT_EQ(StatusLineText::fileSizeOf(QString()), 0);
    EXPECT_EQ(StatusLineText::fileSizeOf(QStringLiteral("/nonexistent/nimbrel/clip.swf")), 0);
}

TEST(StatusLineText, ReadsTheSizeOfTheMovieFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("影片.swf"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1023, 'x'));
    f.close();
    EXPECT_EQ(StatusLineText::forMovie(0, 1, path),
              QStringLiteral("[0 /1]  文件名：") + path + QStringLiteral("  文件大小：1KB"));
    // A folder is not a movie file.
    EXPECT_EQ(StatusLineText::fileSizeOf(dir.path()), 0);
}
