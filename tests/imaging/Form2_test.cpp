// The editor window: palette and custom colour, opening and clearing pictures,
// the layout settling on the picture, and the menu.
#include "imaging/DrawingTools.h"
#include "imaging/Palette.h"
#include "imaging/window/CanvasView.h"
#include "imaging/window/Form2.h"
#include "platform/CommonDialog.h"
#include "platform/ScriptedDialogBackend.h"
#include "platform/ScriptedMessageBoxes.h"
#include <QAction>
#include <QLabel>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nimbrel;
using imaging::DrawingTools;
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
    QImage white(QSize size) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::white);
        return img;
    }
    void dragOnCanvas(QPoint from, QPoint to) {
        editor.Picture1_MouseDown(from);
        editor.Picture1_MouseMove(Qt::LeftButton, (from + to) / 2);
        editor.Picture1_MouseMove(Qt::LeftButton, to);
        editor.Picture1_MouseUp(to);
    }
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

TEST_F(Form2Test, UndoAndRedoWalkThroughADrawACropAndAText) {
    editor.setPicture(white({200, 150}));
    const QImage blank = editor.canvasImage();
    editor.Label2_Click(DrawingTools::Line);
    dragOnCanvas({10, 10}, {150, 100});
    const QImage drawn = editor.canvasImage();
    EXPECT_NE(drawn, blank);

    editor.Command3_Click();
    EXPECT_EQ(editor.Command3->text(), "裁剪");
    dragOnCanvas({120, 90}, {20, 20});  // up and to the left
    EXPECT_TRUE(editor.Shape1->isVisibleTo(&editor));
    editor.Command3_Click();
    EXPECT_EQ(editor.Command3->text(), "选区/裁剪");
    EXPECT_EQ(editor.canvasImage().size(), QSize(100, 70));
    EXPECT_EQ(editor.canvasImage(), drawn.copy(20, 20, 100, 70));
    const QImage cropped = editor.canvasImage();

    editor.Command1_Click();
    EXPECT_EQ(editor.windowTitle(), "插入文字");
    dragOnCanvas({5, 5}, {90, 60});
    EXPECT_TRUE(editor.Text1->isVisibleTo(&editor));
    editor.Text1->setPlainText(QStringLiteral("汉字"));
    // A size that is no number draws nothing and says so.
    editor.Combo2->setEditText("abc");
    editor.Command7_Click();
    EXPECT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(editor.canvasImage(), cropped);
    editor.Combo2->setEditText("24");
    editor.Command7_Click();
    const QImage texted = editor.canvasImage();
    EXPECT_NE(texted, cropped);
    EXPECT_TRUE(editor.Text1->toPlainText().isEmpty());

    for (const QImage& want : {cropped, drawn, blank}) {
        editor.mnuundo->trigger();
        EXPECT_EQ(editor.canvasImage(), want);
    }
    for (const QImage& want : {drawn, cropped, texted}) {
        editor.mnuredo->trigger();
        EXPECT_EQ(editor.canvasImage(), want);
    }
    EXPECT_EQ(editor.mnuundo->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(editor.mnuredo->shortcut(), QKeySequence("Ctrl+Y"));
}

TEST_F(Form2Test, PalettePickColoursTheFrameButTheCustomColourDoesNot) {
    editor.Picture4_MouseDown(imaging::Palette::swatchRect(1, 2).center());
    EXPECT_EQ(editor.frameColour(), QColor(0xFF, 0, 0));
    dialogs.answerColor(QColor(0, 0, 0xFF));
    editor.Command2_Click();
    EXPECT_EQ(editor.frameColour(), QColor(0xFF, 0, 0));
    EXPECT_EQ(editor.Text1->palette().color(QPalette::Text), QColor(0, 0, 0xFF));
    // Choosing a tool ends a selection that was armed.
    editor.Command3_Click();
    EXPECT_EQ(editor.toolMode(), DrawingTools::Selection);
    editor.Label2_Click(DrawingTools::Eraser);
    EXPECT_EQ(editor.Command3->text(), "选区/裁剪");
    EXPECT_EQ(editor.windowTitle(), Form2::kEraserCaption);
    EXPECT_TRUE(editor.Picture3->isEnabled());
}

TEST_F(Form2Test, EraserBoxFollowsThePointerAndPaintsWhereItWasLetGo) {
    editor.setPicture(white({200, 150}));
    editor.Picture4_MouseDown(imaging::Palette::swatchRect(1, 4).center());  // green
    editor.Label2_Click(DrawingTools::Eraser);
    editor.Picture1_MouseMove(Qt::NoButton, {100, 80});
    EXPECT_EQ(editor.Picture3->geometry().center(), QPoint(100, 80));
    const QSize before = editor.Picture3->size();
    editor.Picture3_DragEnded();
    EXPECT_TRUE(editor.Timer2.isActive());
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.Picture3, &up);
    editor.Timer2_Timer();
    EXPECT_LT(editor.Picture3->width(), before.width());
    EXPECT_EQ(editor.canvasImage().pixel(editor.Picture3->geometry().center()), QColor(0, 0xFF, 0).rgb());
    EXPECT_EQ(editor.canvasImage().pixel(10, 10), QColor(Qt::white).rgb());
    // Moving over the canvas stops the painting; the next move takes the box along again.
    editor.Picture1_MouseMove(Qt::NoButton, {20, 20});
    EXPECT_FALSE(editor.Timer2.isActive());
    editor.mnuundo->trigger();
    EXPECT_EQ(editor.canvasImage(), white({200, 150}));
}
