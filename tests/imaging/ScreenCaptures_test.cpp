// A capture on a fixed desktop picture: the chosen area reaches the clipboard and
// the editor; a zero-size one gives an empty picture; a new start replaces the overlay.
#include "imaging/window/CanvasView.h"
#include "imaging/window/EditorWindows.h"
#include "imaging/window/Form2.h"
#include "imaging/window/ScreenCaptures.h"
#include "platform/CommonDialog.h"
#include "platform/ScriptedDialogBackend.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/ScriptedScreenGrabber.h"
#include <QApplication>
#include <QClipboard>
#include <gtest/gtest.h>

using namespace nimbrel;

namespace {

QImage quarters() {
    QImage img(400, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 150; y < 300; ++y)
        for (int x = 200; x < 400; ++x)
            img.setPixel(x, y, qRgb(0, 0, 255));
    return img;
}

class ScreenCapturesTest : public ::testing::Test {
protected:
    platform::ScriptedDialogBackend dialogs;
    platform::ScriptedMessageBoxes boxes;
    platform::CommonDialog dialog{dialogs};
    platform::ScriptedScreenGrabber grabber{{quarters(), QPoint(0, 0)}};
    imaging::EditorWindows editors{{dialog, boxes, {}}};
    imaging::ScreenCaptures captures{editors, &grabber};
    int ended = 0;

    void SetUp() override { QObject::connect(&captures, &imaging::ScreenCaptures::ended, [this] { ++ended; }); }
    void drag(QPoint from, QPoint to) {
        imaging::Form3* o = captures.overlay();
        o->pressAt(Qt::LeftButton, from);
        o->moveTo((from + to) / 2);
        o->releaseAt(Qt::LeftButton, to);
    }
};

} // namespace

TEST_F(ScreenCapturesTest, ChosenAreaGoesToTheClipboardAndTheEditor) {
    imaging::Form3* o = captures.start();
    EXPECT_EQ(o->windowTitle(), "抓图");
    EXPECT_EQ(o->frozen().size(), QSize(400, 300));
    o->pressAt(Qt::LeftButton, {250, 200});
    o->moveTo({150, 100});
    EXPECT_EQ(o->selection(), (imaging::RubberBand::Rect{150, 100, 250, 200}));
    EXPECT_NE(o->shown(), o->frozen()) << "the band is drawn while dragging";
    o->releaseAt(Qt::LeftButton, {150, 100});  // dragged up-left
    EXPECT_EQ(o->shown(), o->frozen()) << "and leaves no trace";
    EXPECT_EQ(ended, 1);

    const QImage clip = QApplication::clipboard()->image();
    ASSERT_EQ(clip.size(), QSize(100, 100));
    EXPECT_EQ(clip.pixel(10, 10) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(clip.pixel(90, 90) & 0xFFFFFF, 0x0000FFu);
    ASSERT_NE(editors.editor(), nullptr);
    EXPECT_TRUE(editors.editor()->isVisible());
    EXPECT_EQ(editors.editor()->canvasImage(), clip.convertToFormat(QImage::Format_RGB32));
}

TEST_F(ScreenCapturesTest, ZeroSizeSelectionOpensAnEmptyPicture) {
    captures.start();
    drag({40, 40}, {40, 40});
    ASSERT_NE(editors.editor(), nullptr);
    EXPECT_TRUE(editors.editor()->canvasImage().isNull());
    editors.editor()->Timer1_Timer();  // the layout copes with an empty canvas
    EXPECT_EQ(ended, 1);
}

TEST_F(ScreenCapturesTest, OtherButtonsGiveUpAndANewStartReplacesTheOverlay) {
    QPointer<imaging::Form3> first = captures.start();
    imaging::Form3* second = captures.start();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(ended, 0) << "a replaced capture has not ended";
    EXPECT_EQ(grabber.grabs(), 2);
    second->pressAt(Qt::RightButton, {10, 10});
    EXPECT_TRUE(second->armed()) << "only the left button starts a selection";
    second->releaseAt(Qt::RightButton, {10, 10});
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(editors.editor(), nullptr);
}
