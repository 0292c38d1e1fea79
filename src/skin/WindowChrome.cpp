#include "skin/WindowChrome.h"
#include <QWidget>

namespace nimbrel::skin {

QString WindowChrome::caption() { return QStringLiteral("QuorvaneFlashPlayer 1.5.0"); }

Qt::WindowStates WindowChrome::minandmax(Qt::WindowStates state) {
    if (state & Qt::WindowMinimized)
        return state;
    if (state & Qt::WindowMaximized)
        return state & ~Qt::WindowMaximized;
    return (state & ~Qt::WindowFullScreen) | Qt::WindowMaximized;
}

bool WindowChrome::edactive(const QString& title) {
    return !title.isEmpty() && title.contains(QStringLiteral("Quorvane"), Qt::CaseSensitive);
}

bool WindowChrome::edactive(const QWidget* activeWindow) {
    return activeWindow && edactive(activeWindow->windowTitle());
}

Qt::WindowFlags WindowChrome::ycct(Qt::WindowFlags flags) {
    flags &= ~(Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
               Qt::WindowMaximizeButtonHint | Qt::WindowMinMaxButtonsHint);
    return flags | Qt::FramelessWindowHint;
}

} // namespace nimbrel::skin
