// Saving the canvas through the shared dialog: the exact name, the drawn pixels, and
// a failure that is told as one.
#include "imaging/CanvasImage.h"
#include "imaging/CanvasSaving.h"
#include "platform/CommonDialog.h"
#include "platform/ScriptedDialogBackend.h"
#include "platform/ScriptedMessageBoxes.h"
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nimbrel;
using imaging::CanvasSaving;

namespace {

class CanvasSavingTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    platform::ScriptedDialogBackend dialogs;
    platform::ScriptedMessageBoxes boxes;
    platform::CommonDialog dialog{dialogs};

    // A 40 x 30 picture with a red square drawn over it after it was set.
    static QImage drawnCanvas() {
        imaging::CanvasImage canvas(QSize(10, 10));
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        canvas.setPicture(picture);
        QPainter(&canvas.surface()).fillRect(5, 5, 10, 10, Qt::red);
        return canvas.image();
    }
    CanvasSaving::Result saveAs(const QString& path, const QImage& image = drawnCanvas()) {
        dialogs.answerFiles({path});
        return CanvasSaving::save(dialog, boxes, image);
    }
    QStringList texts() const {
        QStringList out;
        for (const auto& m : boxes.messages())
            out << m.text;
        return out;
    }
};

} // namespace

TEST_F(CanvasSavingTest, NameWithoutExtensionIsKeptAndReadsBackWithTheDrawing) {
    const QString path = dir.path() + "/picture";
    ASSERT_EQ(saveAs(path), CanvasSaving::Result::Saved);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"picture"});
    QImageReader reader(path, "bmp");
    const QImage back = reader.read();
    ASSERT_EQ(back.size(), QSize(40, 30));
    EXPECT_EQ(back.pixel(0, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(back.pixel(7, 7) & 0xFFFFFF, 0xFF0000u);
    // A 24-bit bitmap: bits per pixel at offset 28 of the file.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(30);
    EXPECT_EQ(head.left(2), "BM");
    EXPECT_EQ(quint8(head[28]), 24);
    EXPECT_EQ(texts(), QStringList{"保存成功"});

    const platform::FileDialogRequest& asked = dialogs.fileRequests().last();
    EXPECT_EQ(asked.kind, platform::FileDialogKind::Save);
    EXPECT_EQ(asked.title, "保存");
    EXPECT_EQ(asked.filter, "位图文件(*.BMP)|*.BMP");
    EXPECT_EQ(asked.flags, 6u);
}

TEST_F(CanvasSavingTest, FailedWriteIsToldAndKeepsNothingHalfWritten) {
    // Tests run as root: only a parent that is a file makes the folder unwritable.
    const QString blocker = dir.path() + "/not-a-folder";
    QFile(blocker).open(QIODevice::WriteOnly);
    EXPECT_EQ(saveAs(blocker + "/picture.bmp"), CanvasSaving::Result::Failed);
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_TRUE(boxes.messages().first().text.startsWith("保存失败"));
    EXPECT_FALSE(texts().contains("保存成功"));

    // An empty canvas (a zero-size capture) is refused the same way.
    EXPECT_EQ(saveAs(dir.path() + "/empty.bmp", QImage()), CanvasSaving::Result::Failed);
    EXPECT_FALSE(QFile::exists(dir.path() + "/empty.bmp"));
    EXPECT_FALSE(texts().contains("保存成功"));
}

TEST_F(CanvasSavingTest, CancelSavesNothingAndLeavesTheSharedDialogQuiet) {
    dialogs.answerCancel();
    EXPECT_EQ(CanvasSaving::save(dialog, boxes, drawnCanvas()), CanvasSaving::Result::Cancelled);
    EXPECT_TRUE(boxes.messages().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    // The next user of the dialog tests FileName; a cancel must not throw at it.
    dialogs.answerCancel();
    EXPECT_NO_THROW(dialog.ShowOpen());
}

TEST_F(CanvasSavingTest, SavingAgainWritesTheNewerDrawing) {
    const QString path = dir.path() + "/again.bmp";
    imaging::CanvasImage canvas(QSize(8, 8));
    ASSERT_EQ(saveAs(path, canvas.image()), CanvasSaving::Result::Saved);
    canvas.surface().setPixel(3, 3, qRgb(0, 255, 0));
    ASSERT_EQ(saveAs(path, canvas.image()), CanvasSaving::Result::Saved);
    EXPECT_EQ(QImage(path, "bmp").pixel(3, 3) & 0xFFFFFF, 0x00FF00u);
}
