// The editor window: palette and custom colour, opening and clearing pictures,
// the layout settling on the picture, and the menu.
#include "imaging/Palette.h"
#include "imaging/window/CanvasView.h"
#include "imaging/window/Form2.h"
#include "platform/CommonDialog.h"
#include "platform/ScriptedDialogBackend.h"
#include "platform/ScriptedMessageBoxes.h"
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nimbrel;
using imaging::Form2;

namespace {

class Form2Test : public ::testing::Test {
protected:
    QTemporaryDir dir;
    platform::ScriptedDialogBackend dialogs;
    platform::ScriptedMessageBoxes boxes;
    platform::CommonDialog dialog{dialogs};
    int mainMinimized = 0;
    Form2 editor{{dialog, boxes, [this] { ++mainMinimized; }}};

    QString pictureFile(const char* name, QSize size, QColor colour) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(colour);
        const QString path = dir.path() + "/" + name;
        img.save(path, "bmp");
        return path;
    }
    QColor swatch() const { return editor.Label1->palette().color(QPalette::Window); }
};

} // namespace

TEST_F(Form2Test, PaletteAndCustomColourSetTheCurrentAndPenColour) {
    EXPECT_EQ(editor.currentColour(), QColor(Qt::black));
    editor.Picture4_MouseDown(imaging::Palette::swatchRect(1, 2).center());
    EXPECT_EQ(editor.currentColour(), QColor(0xFF, 0, 0));
    EXPECT_EQ(editor.penColour(), QColor(0xFF, 0, 0));
    EXPECT_EQ(swatch(), QColor(0xFF, 0, 0));

    dialogs.answerColor(QColor(0x12, 0x34, 0x56));
    editor.Command2_Click();
    EXPECT_EQ(editor.currentColour(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(swatch(), QColor(0x12, 0x34, 0x56));
    // A cancel applies the dialog's colour as it stands, even with CancelError left on.
    editor.Picture4_MouseDown({0, 0});
    dialog.setCancelError(true);
    dialogs.answerColorCancel();
    EXPECT_NO_THROW(editor.Command2_Click());
    EXPECT_EQ(editor.penColour(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(mainMinimized, 2);
}

TEST_F(Form2Test, OpenTakesThePictureSizeAndTheLayoutSettlesOnIt) {
    dialogs.answerFiles({pictureFile("small.bmp", {200, 100}, Qt::green)});
    editor.mnuopen_Click();
    EXPECT_EQ(dialogs.fileRequests().last().filter, Form2::kOpenFilter);
    EXPECT_EQ(editor.Picture1->size(), QSize(200, 100));
    EXPECT_EQ(editor.canvasImage().pixel(10, 10), QColor(Qt::green).rgb());
    editor.Timer1_Timer();
    EXPECT_FALSE(editor.Timer1.isActive());
    // Fits: the window is the picture plus 500 x 1000 twips (3500 x 2500).
    EXPECT_EQ(editor.size(), QSize(233, 167));

    // Too tall for the window: the vertical bar appears and stays when a small picture follows.
    dialogs.answerFiles({pictureFile("tall.bmp", {100, 2000}, Qt::blue)});
    editor.mnuopen_Click();
    editor.Timer1_Timer();
    EXPECT_FALSE(editor.mright->isHidden());
    editor.mright->setValue(editor.mright->maximum());
    EXPECT_EQ(editor.Picture1->y() + editor.Picture1->height(), editor.client->height());
    dialogs.answerFiles({pictureFile("small2.bmp", {50, 50}, Qt::red)});
    editor.mnuopen_Click();
    editor.Timer1_Timer();
    EXPECT_FALSE(editor.mright->isHidden());

    // Not a picture, or a cancel: the canvas stays.
    dialogs.answerFiles({dir.path() + "/missing.gif"});
    editor.mnuopen_Click();
    dialogs.answerCancel();
    editor.mnuopen_Click();
    EXPECT_EQ(editor.Picture1->size(), QSize(50, 50));
}

TEST_F(Form2Test, ClearKeepsTheSizeAndShowsOnlyTheBackground) {
    editor.setPicture(QImage(pictureFile("p.bmp", {30, 20}, Qt::yellow)));
    editor.mnucls_Click();
    EXPECT_EQ(editor.canvasImage().size(), QSize(30, 20));
    EXPECT_EQ(editor.canvasImage().pixel(5, 5), editor.Picture1->canvas().background().rgb());
}

TEST_F(Form2Test, MenuHasItsCaptionsAndShortcuts) {
    EXPECT_EQ(editor.windowTitle(), "图片预览和编辑");
    EXPECT_EQ(editor.mnucz->title(), "操作");
    const std::pair<QAction*, QPair<QString, QKeySequence>> items[] = {
        {editor.mnuopen, {"打开文件", QKeySequence("Ctrl+O")}},
        {editor.mnubc, {"保存图象", QKeySequence("Ctrl+S")}},
        {editor.mnucls, {"清屏", QKeySequence("F1")}},
        {editor.mnutc, {"退出", QKeySequence("F4")}},
    };
    for (const auto& [action, want] : items) {
        EXPECT_EQ(action->text(), want.first);
        EXPECT_EQ(action->shortcut(), want.second);
    }
}
