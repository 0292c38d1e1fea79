// Message and input boxes: titles, what was asked, and the answers given back.
#include "platform/QtMessageBoxes.h"
#include "platform/ScriptedMessageBoxes.h"
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace nimbrel::platform;
using Icon = MessageBoxes::Icon;
using Buttons = MessageBoxes::Buttons;
using Answer = MessageBoxes::Answer;

namespace {

TEST(MessageBoxes, BoxWithoutTitleShowsTheApplicationTitle) {
    ScriptedMessageBoxes boxes;
    boxes.message(QStringLiteral("保存成功"));
    boxes.inputBox(QStringLiteral("请输入有效的网络SWF文件地址"));
    ASSERT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(boxes.messages()[0].title, "QuorvaneFlashPlayer 1.5.0");
    EXPECT_EQ(boxes.messages()[0].buttons, Buttons::Ok);
    ASSERT_EQ(boxes.inputs().size(), 1);
    EXPECT_EQ(boxes.inputs()[0].title, "QuorvaneFlashPlayer 1.5.0");
}

TEST(MessageBoxes, RecordsWhatWasAskedAndAnswersFromTheQueue) {
    ScriptedMessageBoxes boxes;
    boxes.queueAnswer(Answer::Yes);
    const Answer a = boxes.message(QStringLiteral("是否添加到播放列表"), QStringLiteral("添加"),
                                   Icon::Information, Buttons::YesNo);
    EXPECT_EQ(a, Answer::Yes);
    const MessageBoxes::Message& m = boxes.messages().at(0);
    EXPECT_EQ(m.text, QStringLiteral("是否添加到播放列表"));
    EXPECT_EQ(m.title, QStringLiteral("添加"));
    EXPECT_EQ(m.icon, Icon::Information);
    EXPECT_EQ(m.buttons, Buttons::YesNo);
}

TEST(MessageBoxes, UnscriptedBoxesGetTheSafeAnswer) {
    ScriptedMessageBoxes boxes;
    EXPECT_EQ(boxes.message("x", "t", Icon::Question, Buttons::YesNo), Answer::No);
    EXPECT_EQ(boxes.message("x", "t", Icon::Exclamation, Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(boxes.message("x", "t", Icon::Critical, Buttons::Ok), Answer::Ok);
    EXPECT_EQ(boxes.messages().size(), 3);
}

TEST(MessageBoxes, InputBoxReturnsTextOrEmptyOnCancel) {
    ScriptedMessageBoxes boxes;
    boxes.queueText("http://example.org/a.swf");
    boxes.queueInputCancel();
    EXPECT_EQ(boxes.inputBox(QStringLiteral("请输入有效的网络SWF文件地址"), QString(), "http://"),
              "http://example.org/a.swf");
    EXPECT_EQ(boxes.inputBox("again"), "");
    EXPECT_EQ(boxes.inputBox("unscripted"), "");
    ASSERT_EQ(boxes.inputs().size(), 3);
    EXPECT_EQ(boxes.inputs()[0].defaultText, "http://");
    EXPECT_EQ(boxes.inputs()[1].prompt, "again");
}

TEST(QtMessageBoxesMapping, IconsAndButtonsMatchTheClassicOnes) {
    EXPECT_EQ(QtMessageBoxes::qtIcon(Icon::Information), QMessageBox::Information);
    EXPECT_EQ(QtMessageBoxes::qtIcon(Icon::Critical), QMessageBox::Critical);
    EXPECT_EQ(QtMessageBoxes::qtIcon(Icon::Question), QMessageBox::Question);
    EXPECT_EQ(QtMessageBoxes::qtIcon(Icon::Exclamation), QMessageBox::Warning);
    EXPECT_EQ(QtMessageBoxes::qtIcon(Icon::None), QMessageBox::NoIcon);
    EXPECT_EQ(QtMessageBoxes::qtButtons(Buttons::Ok), QMessageBox::Ok);
    EXPECT_EQ(QtMessageBoxes::qtButtons(Buttons::YesNo), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(QtMessageBoxes::qtButtons(Buttons::OkCancel), QMessageBox::Ok | QMessageBox::Cancel);
}

TEST(QtMessageBoxesMapping, ClosingWithoutAButtonIsTheSafeAnswer) {
    EXPECT_EQ(QtMessageBoxes::answerFor(QMessageBox::Yes, Buttons::YesNo), Answer::Yes);
    EXPECT_EQ(QtMessageBoxes::answerFor(QMessageBox::NoButton, Buttons::YesNo), Answer::No);
    EXPECT_EQ(QtMessageBoxes::answerFor(QMessageBox::NoButton, Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(QtMessageBoxes::answerFor(QMessageBox::Escape, Buttons::Ok), Answer::Ok);
}

// Drives the real box once: a timer presses its "No" button, so nothing waits on a user.
TEST(QtMessageBoxesLive, ShowsTitleTextAndButtons) {
    QtMessageBoxes boxes;
    QString seenTitle, seenText;
    int seenButtons = 0;
    int tries = 0;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++tries > 250)  // give up after five seconds rather than hang
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* b = qobject_cast<QMessageBox*>(w))
                        b->done(QMessageBox::NoButton);
            return;
        }
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenButtons = int(box->standardButtons());
        box->button(QMessageBox::No)->click();
    });
    poll.start();
    const Answer a = boxes.message(QStringLiteral("是否下载本片"), "Download File",
                                   Icon::Information, Buttons::YesNo);
    poll.stop();
    EXPECT_EQ(a, Answer::No);
    EXPECT_EQ(seenTitle, "Download File");
    EXPECT_EQ(seenText, QStringLiteral("是否下载本片"));
    EXPECT_EQ(seenButtons, int(QMessageBox::Yes | QMessageBox::No));
}

} // namespace
