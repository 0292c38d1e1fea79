// The selection frame and the crop it leads to, for drags in every direction.
#include "imaging/CanvasSelection.h"
#include <gtest/gtest.h>

using nimbrel::imaging::CanvasSelection;

namespace {
// Every pixel tells where it came from.
QImage coordinates() {
    QImage img(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x, y, 0));
    return img;
}
} // namespace

TEST(CanvasSelectionTest, CropTakesWhatTheFrameShowsWhicheverWayTheDragWent) {
    const QPoint press(100, 60);
    const struct {
        const char* direction;
        QPoint release;
        QRect selected;
    } cases[] = {
        {"right-down", {130, 80}, {100, 60, 30, 20}},
        {"left-down", {70, 80}, {70, 60, 30, 20}},
        {"right-up", {130, 40}, {100, 40, 30, 20}},
        {"left-up", {70, 40}, {70, 40, 30, 20}},
        {"past the edge", {260, -10}, {100, 0, 100, 60}},
    };
    const QImage canvas = coordinates();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.direction);
        CanvasSelection s;
        s.press(press);
        s.move(c.release, false);
        EXPECT_FALSE(s.frameVisible());
        s.move(c.release, true);
        EXPECT_TRUE(s.frameVisible());
        s.release(c.release);
        // The frame shows the part the crop takes.
        EXPECT_EQ(s.frame().intersected(canvas.rect()), c.selected);
        const auto cropped = s.crop(canvas);
        ASSERT_TRUE(cropped);
        ASSERT_EQ(cropped->size(), c.selected.size());
        EXPECT_EQ(cropped->pixel(0, 0), canvas.pixel(c.selected.topLeft()));
        EXPECT_EQ(cropped->pixel(cropped->width() - 1, cropped->height() - 1), canvas.pixel(c.selected.bottomRight()));
    }
}

TEST(CanvasSelectionTest, AClickWithoutADragCropsNothing) {
    CanvasSelection s;
    s.press({10, 10});
    s.release({10, 10});
    EXPECT_FALSE(s.crop(coordinates()));
    // Wholly off the canvas.
    s.press({-40, -40});
    s.release({-10, -5});
    EXPECT_FALSE(s.crop(coordinates()));
}
