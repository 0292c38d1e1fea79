#include "skin/SkinElements.h"
#include "skin/SkinPiece.h"
#include "skin/TwipGeometry.h"
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

using namespace nimbrel::skin;

TEST(TwipGeometry, EdgesRoundOneByOneSoNeighboursTouch) {
    // 4185 twips = 279 px; a piece starting where another ends starts on its last pixel + 1.
    const QRect a = TwipGeometry::toPixels({0, 0, 4185, 885}, 15, 15);
    const QRect b = TwipGeometry::toPixels({4185, 0, 11115, 885}, 15, 15);
    EXPECT_EQ(a, QRect(0, 0, 279, 59));
    EXPECT_EQ(a.right() + 1, b.left());
    // Positions that are not whole pixels: 50 twips is 3.33 px, 1325 is 88.33 px.
    const QRect c = TwipGeometry::toPixels({50, 1325, 270, 150}, 15, 15);
    EXPECT_EQ(c, QRect(3, 88, 18, 10));
    const QRect d = TwipGeometry::toPixels({57, 0, 60, 150}, 15, 15);
    EXPECT_EQ(d.left(), 4);
    EXPECT_EQ(d.width(), 4); // 117 twips = 7.8 -> 8, minus 4
    EXPECT_EQ(TwipGeometry::fromPixels(QRect(10, 20, 30, 40), 15, 15), (TwipRect{150, 300, 450, 600}));
    EXPECT_EQ(TwipGeometry::toPixels({1200, 0, 1200, 0}, 12, 12), QRect(100, 0, 100, 0));
}

TEST(SkinElementsChrome, RightBorderDragFollowsThePointerOnTicks) {
    QWidget window;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    SkinElements skin(&window);
    window.setGeometry(100, 100, 600, 400);
    window.show();
    window.activateWindow();
    QApplication::processEvents();

    const QPoint at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(skin.hen2->mapToGlobal(at)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(skin.hen2, &press);
    ASSERT_EQ(skin.resizeMode(), ResizeMode::Right);

    // The pointer is handed in, so the shared display's real pointer stays where it is.
    EXPECT_EQ(skin.tickChrome(true, {900, 300}), MenuBarAutoShow::Action::None);
    QApplication::processEvents();
    // The right edge sits 100 twips (7 px) right of the pointer; the left edge stays.
    EXPECT_EQ(window.geometry().x(), 100);
    EXPECT_EQ(window.geometry().x() + window.geometry().width(), 907);

    // Inactive: nothing follows.
    skin.tickChrome(false, {800, 300});
    QApplication::processEvents();
    EXPECT_EQ(window.geometry().x() + window.geometry().width(), 907);

    // Pointer at the top edge: the menu bar is called up.
    EXPECT_EQ(skin.tickChrome(true, {300, 102}), MenuBarAutoShow::Action::Show);
}
