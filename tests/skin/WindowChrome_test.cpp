#include "skin/WindowChrome.h"
#include <QWidget>
#include <gtest/gtest.h>

using nimbrel::skin::WindowChrome;

TEST(WindowChrome, MaximiseOrRestore) {
    EXPECT_EQ(WindowChrome::minandmax(Qt::WindowNoState), Qt::WindowMaximized);
    EXPECT_EQ(WindowChrome::minandmax(Qt::WindowMaximized), Qt::WindowNoState);
    EXPECT_EQ(WindowChrome::minandmax(Qt::WindowMinimized), Qt::WindowMinimized);
    EXPECT_EQ(WindowChrome::minandmax(Qt::WindowMinimized | Qt::WindowMaximized),
              Qt::WindowMinimized | Qt::WindowMaximized);
    // Activity flags ride along untouched.
    EXPECT_EQ(WindowChrome::minandmax(Qt::WindowActive), Qt::WindowActive | Qt::WindowMaximized);
}

TEST(WindowChrome, ActiveWindowTestLooksForOurNameInTheTitle) {
    EXPECT_TRUE(WindowChrome::edactive(WindowChrome::caption()));
    EXPECT_TRUE(WindowChrome::edactive(QStringLiteral("Quorvane")));
    EXPECT_TRUE(WindowChrome::edactive(QStringLiteral("帮助 - Quorvane Nimbrel")));
    EXPECT_FALSE(WindowChrome::edactive(QString()));
    EXPECT_FALSE(WindowChrome::edactive(QStringLiteral("quorvane player")));
    EXPECT_FALSE(WindowChrome::edactive(QStringLiteral("Text Editor")));
    EXPECT_FALSE(WindowChrome::edactive(static_cast<const QWidget*>(nullptr)));

    QWidget w;
    w.setWindowTitle(WindowChrome::caption());
    EXPECT_TRUE(WindowChrome::edactive(&w));
    w.setWindowTitle(QString());
    EXPECT_FALSE(WindowChrome::edactive(&w));
}

TEST(WindowChrome, ChromeSetUpStripsCaptionAndBorderOnly) {
    const Qt::WindowFlags before = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint |
                                   Qt::WindowStaysOnTopHint;
    const Qt::WindowFlags after = WindowChrome::ycct(before);
    EXPECT_TRUE(after.testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(after.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(after.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(after.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(after.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(after.testFlag(Qt::Window));
    EXPECT_TRUE(after.testFlag(Qt::WindowStaysOnTopHint));
}
