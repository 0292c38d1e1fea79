// The about window: its fixed texts and places, the contact labels' hover colours,
// and the close button.
#include "help/AboutLayout.h"
#include "help/AboutWindow.h"
#include "platform/Twips.h"
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

using nimbrel::help::AboutLayout;
using nimbrel::help::AboutWindow;

namespace {

const QColor Black(0, 0, 0);
const QColor Blue(0, 0, 0xFF);

class AboutWindowTest : public ::testing::Test {
protected:
    // Closing deletes the window; the guard tells whether it is gone.
    QPointer<AboutWindow> w = new AboutWindow();
    void TearDown() override { delete w; }

    static QColor colour(const QLabel* l) { return l->palette().color(QPalette::WindowText); }
    // A pointer move over `target` at its local point `at`, delivered the way the
    // application delivers it: to the widget first, then on to its parents.
    static void moveOver(QWidget* target, QPoint at = {2, 2}) {
        QMouseEvent e(QEvent::MouseMove, QPointF(at), QPointF(target->mapToGlobal(at)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }
    void moveOverFreeArea() { moveOver(w, QPoint(5, AboutLayout::clientPixels(96, 96).height() - 3)); }
};

} // namespace

TEST_F(AboutWindowTest, ShowsItsCaptionTextsAndPictures) {
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("关于软件"));
    EXPECT_EQ(w->Label1->text(), QString::fromUtf8("版本：1.5.0"));
    EXPECT_EQ(w->Command1->text(), QString::fromUtf8("关闭"));
    for (const QLabel* l : {w->Label2, w->Label3[0], w->Label3[1], w->Label4})
        EXPECT_FALSE(l->text().isEmpty());
    EXPECT_TRUE(w->Label3[1]->text().startsWith(QString::fromUtf8("作者：")));
    EXPECT_EQ(w->Image2->pixmap().size(), QSize(256, 51));
    EXPECT_FALSE(w->Image1->pixmap().isNull());
}

TEST_F(AboutWindowTest, IsTopmostAndPlacedFromTheLayout) {
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const double dx = nimbrel::platform::Twips::dpiX(w);
    const double dy = nimbrel::platform::Twips::dpiY(w);
    EXPECT_EQ(w->size(), AboutLayout::clientPixels(dx, dy));
    EXPECT_EQ(w->Command1->geometry(), AboutLayout::pixels(AboutLayout::Control::Command1, dx, dy));
    EXPECT_EQ(w->Label3[0]->geometry(),
              AboutLayout::pixels(AboutLayout::Control::Label3Contact, dx, dy));
    EXPECT_EQ(w->Line1->y(), AboutLayout::separatorPixels(dx, dy).y1());
}

TEST_F(AboutWindowTest, ContactLabelsStartInTheNormalColour) {
    EXPECT_EQ(w->normalColour(), Black);
    EXPECT_EQ(w->hoverColour(), Blue);
    EXPECT_EQ(colour(w->Label3[0]), Black);
    EXPECT_EQ(colour(w->Label3[1]), Black);
}

TEST_F(AboutWindowTest, BothContactLabelsStayBlueUntilThePointerCrossesTheFreeArea) {
    moveOver(w->Label3[1]);
    EXPECT_EQ(colour(w->Label3[1]), Blue);
    EXPECT_EQ(colour(w->Label3[0]), Black);
    // Straight onto the other label: the first keeps its colour.
    moveOver(w->Label3[0]);
    EXPECT_EQ(colour(w->Label3[0]), Blue);
    EXPECT_EQ(colour(w->Label3[1]), Blue);
    // Over another label or the button the window's free area is not crossed.
    moveOver(w->Label1);
    moveOver(w->Command1);
    EXPECT_EQ(colour(w->Label3[0]), Blue);
    EXPECT_EQ(colour(w->Label3[1]), Blue);
    moveOverFreeArea();
    EXPECT_EQ(colour(w->Label3[0]), Black);
    EXPECT_EQ(colour(w->Label3[1]), Black);
}

TEST_F(AboutWindowTest, ClickingAContactLabelDoesNothing) {
    w->show();
    moveOver(w->Label3[0]);
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, QPointF(2, 2), QPointF(w->Label3[0]->mapToGlobal(QPoint(2, 2))),
                      Qt::LeftButton, t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(w->Label3[0], &e);
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(w.isNull());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(colour(w->Label3[0]), Blue);
}

TEST_F(AboutWindowTest, CloseButtonUnloadsTheWindow) {
    w->show();
    w->Command1->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
}
