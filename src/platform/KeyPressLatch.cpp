#include "platform/KeyPressLatch.h"
#include <QCoreApplication>
#include <QKeyEvent>

namespace nimbrel::platform {

KeyPressLatch::KeyPressLatch(QObject* parent) : QObject(parent) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

KeyPressLatch::~KeyPressLatch() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool KeyPressLatch::takePress(int qtKey, bool keypadOnly) {
    bool pressed = pending_.erase({qtKey, true}) > 0;
    if (!keypadOnly)
        pressed = (pending_.erase({qtKey, false}) > 0) || pressed;
    return pressed;
}

bool KeyPressLatch::eventFilter(QObject* watched, QEvent* event) {
    // A press that is not accepted travels up to the parents; the set keeps it once.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        press(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
    }
    return QObject::eventFilter(watched, event);
}

} // namespace nimbrel::platform
