// Text written into the picture: the line advance, the size box's text, and
// long lines drawn whole.
#include "imaging/TextStamp.h"
#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

using nimbrel::imaging::TextStamp;

namespace {
const QString Family = QStringLiteral("WenQuanYi Micro Hei");

// The rightmost column holding a pixel that is not white; -1 when none.
int rightmostInk(const QImage& img) {
    for (int x = img.width() - 1; x >= 0; --x)
        for (int y = 0; y < img.height(); ++y)
            if (img.pixel(x, y) != QColor(Qt::white).rgb())
                return x;
    return -1;
}
} // namespace

TEST(TextStampTest, LineAdvanceBySize) {
    const std::pair<int, int> table[] = {{8, 11},  {9, 13},  {10, 14}, {12, 17}, {14, 20}, {16, 22},
                                         {18, 25}, {20, 28}, {24, 34}, {32, 45}, {48, 67}, {72, 101}};
    for (const auto& [size, advance] : table)
        EXPECT_EQ(TextStamp::lineAdvance(size), advance) << size;
}

TEST(TextStampTest, SizeBoxTextThatIsNoSizeGivesNothing) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"10", 10}, {" 12.5 ", 12}, {"13.5", 14}, {"", std::nullopt}, {"abc", std::nullopt},
        {"0", std::nullopt}, {"-8", std::nullopt}, {"99999", std::nullopt}};
    for (const auto& [text, want] : cases)
        EXPECT_EQ(TextStamp::size(text), want) << text;
}

TEST(TextStampTest, LinesGoDownByTheAdvanceAndALongChineseLineIsDrawnWhole) {
    // 150 characters: 300 bytes in a two-byte code page, 450 in UTF-8.
    const QString longLine = QString(150, QChar(0x6C49));
    QImage img(2400, 60, QImage::Format_RGB32);
    img.fill(Qt::white);
    TextStamp::draw(img, longLine, Family, 10, Qt::black, {0, 0});
    QFont font(Family);
    font.setPixelSize(13);
    const QFontMetrics fm(font);
    // Ink reaches the last character, well past where 256 bytes would stop.
    EXPECT_GT(rightmostInk(img), fm.horizontalAdvance(longLine.left(149)));
    EXPECT_GT(rightmostInk(img), fm.horizontalAdvance(longLine.left(128)) + 10);

    // Three lines, each starting one advance below the last; an empty one draws nothing.
    QImage lines(100, 80, QImage::Format_RGB32);
    lines.fill(Qt::white);
    TextStamp::draw(lines, QStringLiteral("汉\n\n汉"), Family, 12, Qt::black, {5, 3});
    auto rowHasInk = [&](int from, int to) {
        for (int y = from; y < to; ++y)
            for (int x = 0; x < lines.width(); ++x)
                if (lines.pixel(x, y) != QColor(Qt::white).rgb())
                    return true;
        return false;
    };
    const int advance = TextStamp::lineAdvance(12);
    EXPECT_TRUE(rowHasInk(3, 3 + advance));
    EXPECT_FALSE(rowHasInk(3 + advance, 3 + 2 * advance));
    EXPECT_TRUE(rowHasInk(3 + 2 * advance, 3 + 3 * advance));
}
