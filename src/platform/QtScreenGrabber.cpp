#include "platform/QtScreenGrabber.h"
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace nimbrel::platform {

ScreenGrabber::Grab QtScreenGrabber::grabAllScreens() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return {};
    QRect desktop;
    for (QScreen* s : screens)
        desktop |= s->geometry();
    Grab grab;
    grab.origin = desktop.topLeft();
    grab.picture = QImage(desktop.size(), QImage::Format_RGB32);
    grab.picture.fill(Qt::black);
    QPainter p(&grab.picture);
    for (QScreen* s : screens) {
        const QPixmap shot = s->grabWindow(0);
        // Drawn into the screen's logical rectangle, whatever its device pixel ratio.
        p.drawPixmap(QRect(s->geometry().topLeft() - desktop.topLeft(), s->geometry().size()), shot);
    }
    return grab;
}

} // namespace nimbrel::platform
