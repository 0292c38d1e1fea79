#pragma once
// Lets a widget test's event loop run until a condition holds or the time is
// up; objects given to deleteLater go too, as they would in a running program.
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

inline bool processEventsUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(5);
    }
    return done();
}
