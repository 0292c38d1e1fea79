// The canvas tools without widgets: XOR previews that leave no trace, the final
// figure at the last previewed point, and the width the pencil inherits.
#include "imaging/DrawingTools.h"
#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

using nimbrel::imaging::DrawingTools;

namespace {

// White with a coloured band, so XOR passes over both kinds of pixel.
QImage patterned() {
    QImage img(120, 90, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter(&img).fillRect(40, 0, 30, 90, QColor(0x30, 0x80, 0xC0));
    return img;
}

QImage drag(DrawingTools::Mode mode, const std::vector<QPointF>& path, QColor colour = Qt::red) {
    QImage img = patterned();
    DrawingTools tools(img);
    tools.setMode(mode);
    tools.setColour(colour);
    tools.press(path.front());
    for (size_t i = 1; i < path.size(); ++i)
        tools.move(path[i]);
    tools.release();
    return img;
}

} // namespace

TEST(DrawingToolsTest, PreviewsLeaveNoTraceOnlyTheFinalFigureRemains) {
    const QPointF start(30, 40);
    const QPointF end(90, 70);
    // Wanders over both backgrounds, back to the press point (radius 0) and out again.
    const std::vector<QPointF> wander{start, {100, 10}, {50, 80}, start, {10, 5}, {60, 45}, end};
    for (auto mode : {DrawingTools::Line, DrawingTools::Rectangle, DrawingTools::Circle}) {
        SCOPED_TRACE(mode);
        const QImage direct = drag(mode, {start, end});
        EXPECT_NE(direct, patterned());
        EXPECT_EQ(drag(mode, wander), direct);
        // A release without a move leaves only a figure at the press point.
        const QImage click = drag(mode, {start});
        QImage expected = patterned();
        for (int y = 0; y < click.height(); ++y)
            for (int x = 0; x < click.width(); ++x)
                if (click.pixel(x, y) != expected.pixel(x, y)) {
                    ASSERT_LE(QLineF(QPointF(x, y), start).length(), 3.0) << x << "," << y;
                }
    }
}

TEST(DrawingToolsTest, PreviewOverWhiteShowsTheColourAndDrawingItTwiceRestores) {
    QImage img = patterned();
    DrawingTools tools(img);
    tools.setMode(DrawingTools::Line);
    tools.setColour(QColor(0x12, 0x34, 0x56));
    tools.press({5, 10});
    tools.move({35, 10});
    EXPECT_EQ(img.pixel(20, 10), QColor(0x12, 0x34, 0x56).rgb());
    tools.move({5, 10});
    tools.move({35, 10});
    EXPECT_EQ(img.pixel(20, 10), QColor(0x12, 0x34, 0x56).rgb());
    EXPECT_EQ(img.pixel(20, 20), QColor(Qt::white).rgb());
}

TEST(DrawingToolsTest, PencilKeepsTheWidthTheToolBeforeItSet) {
    const struct {
        std::optional<DrawingTools::Mode> before;
        int width;
    } cases[] = {{std::nullopt, 1}, {DrawingTools::Brush, 5}, {DrawingTools::Line, 1}, {DrawingTools::Circle, 2}};
    for (const auto& c : cases) {
        QImage img = patterned();
        DrawingTools tools(img);
        if (c.before) {
            tools.setMode(*c.before);
            tools.press({1, 1});
            tools.release();
        }
        img = patterned();
        tools.setMode(DrawingTools::Pencil);
        tools.press({10, 20});
        tools.move({30, 20});
        tools.release();
        EXPECT_EQ(tools.drawWidth(), c.width);
        int inked = 0;
        for (int y = 10; y < 30; ++y)
            inked += img.pixel(20, y) == QColor(Qt::black).rgb();
        EXPECT_EQ(inked, c.width) << "after mode " << (c.before ? *c.before : -1);
    }
}

TEST(DrawingToolsTest, EraserPaintsItsBoxInTheCurrentColourAndResizes) {
    QImage img = patterned();
    DrawingTools tools(img);
    tools.setColour(Qt::green);
    tools.paintBox(QRectF(10, 10, 17, 17));
    EXPECT_EQ(img.pixel(10, 10), QColor(Qt::green).rgb());
    EXPECT_EQ(img.pixel(27, 27), QColor(Qt::green).rgb());
    EXPECT_EQ(img.pixel(29, 18), QColor(Qt::white).rgb());
    // Shrunk far below a pixel, the box still grows back.
    QSizeF box(17, 17);
    for (int i = 0; i < 20; ++i)
        box = DrawingTools::resizedBox(box, false);
    for (int i = 0; i < 20; ++i)
        box = DrawingTools::resizedBox(box, true);
    EXPECT_NEAR(box.width(), 17 * std::pow(0.96, 20), 1e-6);
}
