// The help window: opens on the tips, every menu item rebuilds its topic rather
// than adding to the text, and the text box fills the window at any size.
#include "help/HelpTopics.h"
#include "help/HelpWindow.h"
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <memory>

using nimbrel::help::HelpTopics;
using nimbrel::help::HelpWindow;

namespace {

class HelpWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<HelpWindow> w = std::make_unique<HelpWindow>();
    // What the box shows, line by line.
    QStringList shownLines() const { return w->Text1->toPlainText().split(QLatin1Char('\n')); }
};

} // namespace

TEST_F(HelpWindowTest, OpensOnTheTipsTopicWithAnEmptyFirstLine) {
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("帮助中心"));
    EXPECT_EQ(w->topic(), HelpTopics::Tips);
    EXPECT_EQ(w->text(), HelpTopics::text(6));
    EXPECT_TRUE(w->text().startsWith(QStringLiteral("\r\n")));
    const QStringList shown = shownLines();
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown[0], QString());
    EXPECT_EQ(shown[1], QString::fromUtf8("如何最大化:"));
}

TEST_F(HelpWindowTest, EachMenuItemShowsItsTopicAndChoosingItAgainRebuildsIt) {
    ASSERT_EQ(w->MNUMK->title(), QString::fromUtf8("模块"));
    ASSERT_EQ(w->MNUMK->actions().size(), 7);
    for (int i = 0; i < 7; ++i) {
        QAction* item = w->topicItems[i];
        SCOPED_TRACE(item->objectName().toStdString());
        item->trigger();
        const QString once = w->text();
        const QString shownOnce = w->Text1->toPlainText();
        EXPECT_EQ(w->topic(), i + 1);
        EXPECT_EQ(once, HelpTopics::text(i + 1));
        EXPECT_EQ(shownLines(), (QStringList{QString()} + HelpTopics::lines(i + 1)));
        item->trigger();
        EXPECT_EQ(w->text(), once);
        EXPECT_EQ(w->Text1->toPlainText(), shownOnce);
    }
}

TEST_F(HelpWindowTest, ShortcutTopicShowsTheKeyTableLineForLine) {
    w->frmhelp(5);
    const QStringList shown = shownLines();
    ASSERT_EQ(shown.size(), 20);
    EXPECT_EQ(shown[4], QString::fromUtf8("打开文件  O"));
    EXPECT_EQ(shown[12], QString::fromUtf8("放大      ＋ Or F2"));
    EXPECT_EQ(shown[19], QString::fromUtf8("【为了与笔记本电脑兼容采用了多个按键】"));
}

TEST_F(HelpWindowTest, AnUnknownTopicEmptiesTheBox) {
    for (int n : {0, 8, -3}) {
        w->frmhelp(3);
        w->frmhelp(n);
        EXPECT_TRUE(w->text().isEmpty()) << n;
        EXPECT_TRUE(w->Text1->toPlainText().isEmpty()) << n;
        EXPECT_EQ(w->topic(), 0);
    }
}

TEST_F(HelpWindowTest, TextBoxFillsTheWindowAsItGrowsAndShrinks) {
    w->show();
    QApplication::processEvents();
    for (QSize size : {QSize(640, 480), QSize(300, 200), QSize(120, 90), QSize(900, 700)}) {
        w->resize(size);
        QApplication::processEvents();
        const int bar = w->menuBar->geometry().bottom() + 1;
        EXPECT_EQ(w->menuBar->geometry(), QRect(0, 0, w->width(), bar)) << size.width();
        EXPECT_EQ(w->Text1->geometry(), QRect(0, bar, w->width(), w->height() - bar))
            << size.width() << "x" << size.height();
    }
}

TEST_F(HelpWindowTest, TextIsReadOnlyAndScrolls) {
    EXPECT_TRUE(w->Text1->isReadOnly());
    EXPECT_EQ(w->Text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(w->Text1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}
