// The ways into the image editor the main window offers, and its unloading.
#include "MainWindowFixture.h"
#include "imaging/window/CanvasView.h"
#include "imaging/window/EditorWindows.h"
#include "imaging/window/Form2.h"
#include "imaging/window/ScreenCaptures.h"
#include "platform/ScriptedScreenGrabber.h"
#include "player/CommandTable.h"
#include "player/MainMenus.h"
#include "player/SearchResultsPanel.h"
#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QCoreApplication>

using namespace nimbrel;
using player::Command;

class MainWindowImageEditorTest : public MainWindowFixture {
protected:
    static void press(QWidget* target) {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(2, 2), target->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    }
};

TEST_F(MainWindowImageEditorTest, MenuItemShowsOneEditorAndMinimizesTheMainWindow) {
    auto w = start();
    w->show();
    w->menus->mnutxbj->trigger();
    imaging::Form2* editor = w->editors->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->windowTitle(), "图片预览和编辑");
    EXPECT_TRUE(w->windowState() & Qt::WindowMinimized);
    // Opening again keeps the same window and its picture.
    editor->setPicture(QImage(40, 20, QImage::Format_RGB32));
    w->commands->run(Command::ImageEditor);
    EXPECT_EQ(w->editors->editor(), editor);
    EXPECT_EQ(editor->Picture1->size(), QSize(40, 20));
    // Exit unloads it; the next opening starts from the design canvas.
    editor->mnutc_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->editors->editor(), nullptr);
    w->commands->run(Command::ImageEditor);
    ASSERT_NE(w->editors->editor(), nullptr);
    EXPECT_NE(w->editors->editor()->Picture1->size(), QSize(40, 20));
    w->close();
    EXPECT_EQ(w->editors->editor(), nullptr);
}

TEST_F(MainWindowImageEditorTest, ClickOnThePreviewPictureOpensItInTheEditor) {
    auto w = start();
    player::SearchResultsPanel& r = *w->searchResults;
    // Nothing previewed yet: the click opens nothing, so no editor picture is lost.
    press(r.yulanp);
    EXPECT_EQ(w->editors->editor(), nullptr);

    QImage picture(30, 10, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    r.yulanp->setPixmap(QPixmap::fromImage(picture));
    press(r.yulanp);
    imaging::Form2* editor = w->editors->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->canvasImage().size(), QSize(30, 10));
    EXPECT_EQ(editor->canvasImage().pixel(3, 3), QColor(Qt::magenta).rgb());
}

TEST_F(MainWindowImageEditorTest, CaptureFromTheControlMenuOpensTheAreaInTheEditor) {
    auto w = start();
    w->show();
    QImage shot(300, 200, QImage::Format_RGB32);
    shot.fill(Qt::darkCyan);
    platform::ScriptedScreenGrabber grabber({shot, {}});
    w->captures->setGrabber(&grabber);
    w->menus->MNUSNP->trigger();
    EXPECT_EQ(w->captures->overlay(), nullptr) << "the menu leaves the screen first";
    ASSERT_TRUE(waitFor([&] { return w->captures->overlay() != nullptr; }));
    imaging::Form3* overlay = w->captures->overlay();
    overlay->pressAt(Qt::LeftButton, {120, 80});
    overlay->releaseAt(Qt::LeftButton, {20, 30});
    ASSERT_NE(w->editors->editor(), nullptr);
    EXPECT_EQ(w->editors->editor()->canvasImage().size(), QSize(100, 50));
    EXPECT_EQ(w->editors->editor()->canvasImage().pixel(5, 5), QColor(Qt::darkCyan).rgb());
}
