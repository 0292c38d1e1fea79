// One help window and one about window at most: opening again shows the same
// window, a closed one comes back fresh, and unloading closes both.
#include "help/AboutWindow.h"
#include "help/HelpTopics.h"
#include "help/HelpWindow.h"
#include "help/HelpWindows.h"
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

using namespace nimbrel::help;

namespace {

class HelpWindowsTest : public ::testing::Test {
protected:
    QWidget mainWindow;
    HelpWindows* windows = new HelpWindows(&mainWindow);

    static void flushDeletes() { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    static int topLevelsNamed(const char* name) {
        int n = 0;
        for (QWidget* t : QApplication::topLevelWidgets())
            n += t->objectName() == QLatin1String(name);
        return n;
    }
};

} // namespace

TEST_F(HelpWindowsTest, OpeningHelpAgainShowsTheSameWindowOnItsTopic) {
    HelpWindow* first = windows->showHelp();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    first->frmhelp(2);
    first->hide();
    EXPECT_EQ(windows->showHelp(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->topic(), 2);
    EXPECT_EQ(topLevelsNamed("flashhelp"), 1);
}

TEST_F(HelpWindowsTest, AClosedHelpWindowComesBackOnTheTips) {
    QPointer<HelpWindow> first = windows->showHelp();
    first->frmhelp(4);
    first->close();
    flushDeletes();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(windows->help(), nullptr);
    HelpWindow* again = windows->showHelp();
    EXPECT_EQ(again->topic(), HelpTopics::Tips);
    EXPECT_EQ(topLevelsNamed("flashhelp"), 1);
}

TEST_F(HelpWindowsTest, OpeningAboutAgainShowsTheSameWindowBelongingToTheMainWindow) {
    AboutWindow* first = windows->showAbout();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(first->parentWidget(), &mainWindow);
    EXPECT_TRUE(first->isWindow());
    EXPECT_EQ(windows->showAbout(), first);
    EXPECT_EQ(topLevelsNamed("about"), 1);
}

TEST_F(HelpWindowsTest, AReopenedAboutWindowStartsWithItsColoursReset) {
    AboutWindow* first = windows->showAbout();
    first->Label3_MouseMove(0);
    first->Command1_Click();
    flushDeletes();
    EXPECT_EQ(windows->about(), nullptr);
    AboutWindow* again = windows->showAbout();
    EXPECT_EQ(again->Label3[0]->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_TRUE(again->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(HelpWindowsTest, UnloadingClosesWhicheverIsOpen) {
    QPointer<HelpWindow> help = windows->showHelp();
    QPointer<AboutWindow> about = windows->showAbout();
    windows->unloadAll();
    EXPECT_TRUE(help.isNull());
    EXPECT_TRUE(about.isNull());
    windows->unloadAll(); // nothing left: harmless
    QPointer<AboutWindow> onlyAbout = windows->showAbout();
    windows->unloadAll();
    EXPECT_TRUE(onlyAbout.isNull());
    EXPECT_EQ(topLevelsNamed("about") + topLevelsNamed("flashhelp"), 0);
}
