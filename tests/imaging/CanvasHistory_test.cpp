// The undo steps' byte budget: the oldest steps go first.
#include "imaging/CanvasHistory.h"
#include <gtest/gtest.h>

using nimbrel::imaging::CanvasHistory;

namespace {
QImage filled(QRgb colour, QSize size = {10, 10}) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}
} // namespace

TEST(CanvasHistoryTest, TheOldestStepsGoWhenThePicturesPassTheBudget) {
    const qint64 picture = filled(0).sizeInBytes();
    CanvasHistory history(3 * picture);
    for (QRgb c : {1u, 2u, 3u, 4u})
        history.record(filled(c));
    EXPECT_EQ(history.undoSteps(), 3);
    EXPECT_LE(history.bytesKept(), 3 * picture);
    // Step 1 went; undoing walks back to 2 and stops.
    QImage shown = filled(5);
    std::vector<QRgb> seen;
    while (auto back = history.undo(shown)) {
        shown = *back;
        seen.push_back(shown.pixel(0, 0) & 0xFFFFFF);
    }
    EXPECT_EQ(seen, (std::vector<QRgb>{4, 3, 2}));
    // The redo steps count against the budget too.
    EXPECT_LE(history.bytesKept(), 3 * picture);
    while (auto next = history.redo(shown))
        shown = *next;
    EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, 5u);

    // A picture larger than the whole budget is not kept, and the rest stays bounded.
    history.record(filled(9, {100, 100}));
    EXPECT_EQ(history.undoSteps(), 0);
    EXPECT_EQ(history.bytesKept(), 0);
}
