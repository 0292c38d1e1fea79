// "Pressed since the last query" on top of the key events the program receives.
#include "platform/KeyPressLatch.h"
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <gtest/gtest.h>

using nimbrel::platform::KeyPressLatch;

namespace {

void send(QWidget& to, QEvent::Type type, int key, bool autoRepeat = false,
          Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(type, key, mods, QString(), autoRepeat);
    QApplication::sendEvent(&to, &e);
}

class KeyPressLatchTest : public ::testing::Test {
protected:
    QWidget widget;
    KeyPressLatch latch;
};

TEST_F(KeyPressLatchTest, OneStrokeIsTakenOnce) {
    EXPECT_FALSE(latch.takePress(Qt::Key_Right));
    send(widget, QEvent::KeyPress, Qt::Key_Right);
    send(widget, QEvent::KeyRelease, Qt::Key_Right);
    EXPECT_TRUE(latch.takePress(Qt::Key_Right));
    EXPECT_FALSE(latch.takePress(Qt::Key_Right));
    EXPECT_FALSE(latch.takePress(Qt::Key_Left)) << "other keys were not pressed";
}

TEST_F(KeyPressLatchTest, AHeldKeyIsTakenAgainAtEachRepeat) {
    send(widget, QEvent::KeyPress, Qt::Key_Down);
    EXPECT_TRUE(latch.takePress(Qt::Key_Down));
    // Held, no repeat yet: nothing new.
    EXPECT_FALSE(latch.takePress(Qt::Key_Down));
    send(widget, QEvent::KeyRelease, Qt::Key_Down, true);
    send(widget, QEvent::KeyPress, Qt::Key_Down, true);
    EXPECT_TRUE(latch.takePress(Qt::Key_Down));
    // Two repeats between two queries still fire once.
    send(widget, QEvent::KeyPress, Qt::Key_Down, true);
    send(widget, QEvent::KeyPress, Qt::Key_Down, true);
    EXPECT_TRUE(latch.takePress(Qt::Key_Down));
    EXPECT_FALSE(latch.takePress(Qt::Key_Down));
}

TEST_F(KeyPressLatchTest, TheNumericPadKeyIsTellable) {
    send(widget, QEvent::KeyPress, Qt::Key_Plus);
    EXPECT_FALSE(latch.takePress(Qt::Key_Plus, true)) << "the + of the main keys";
    send(widget, QEvent::KeyPress, Qt::Key_Plus, false, Qt::KeypadModifier);
    EXPECT_TRUE(latch.takePress(Qt::Key_Plus, true));
    // Keys with modifiers held count as well.
    send(widget, QEvent::KeyPress, Qt::Key_O, false, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_TRUE(latch.takePress(Qt::Key_O));
}

TEST_F(KeyPressLatchTest, ClearForgetsAndTheEventsStillReachTheirWidget) {
    struct Counting : QWidget {
        int presses = 0;
        void keyPressEvent(QKeyEvent* e) override {
            ++presses;
            e->accept();
        }
    } counting;
    send(counting, QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(counting.presses, 1);
    latch.clear();
    EXPECT_FALSE(latch.takePress(Qt::Key_Return));
}

TEST(KeyPressLatchLife, ALatchGoneWatchesNoMore) {
    QWidget widget;
    auto latch = std::make_unique<KeyPressLatch>();
    latch.reset();
    send(widget, QEvent::KeyPress, Qt::Key_Return); // must not reach a deleted filter
    KeyPressLatch fresh;
    EXPECT_FALSE(fresh.takePress(Qt::Key_Return));
}

} // namespace
