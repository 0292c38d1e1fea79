#include "imaging/window/ScreenCaptures.h"
#include "imaging/window/EditorWindows.h"
#include "platform/QtScreenGrabber.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

namespace nimbrel::imaging {

ScreenCaptures::ScreenCaptures(EditorWindows& editors, platform::ScreenGrabber* grabber, QObject* parent)
    : QObject(parent), editors_(editors), ownGrabber_(std::make_unique<platform::QtScreenGrabber>()),
      grabber_(grabber ? grabber : ownGrabber_.get()) {}

ScreenCaptures::~ScreenCaptures() { delete overlay_; }

void ScreenCaptures::setGrabber(platform::ScreenGrabber* grabber) {
    grabber_ = grabber ? grabber : ownGrabber_.get();
}

Form3* ScreenCaptures::start() {
    // A new start replaces the running capture without ending it.
    unload();
    // The grab comes first, so the overlay never shows in its own picture.
    overlay_ = new Form3(grabber_->grabAllScreens());
    overlay_->setAttribute(Qt::WA_DeleteOnClose);
    endAnnounced_ = false;
    connect(overlay_, &Form3::chosen, this, [this](const QImage& picture) { finish(&picture); });
    connect(overlay_, &Form3::cancelled, this, [this] { finish(nullptr); });
    // Closed some other way (the window manager): the capture has ended all the same.
    connect(overlay_, &QObject::destroyed, this, [this] { announceEnd(); });
    overlay_->show();
    overlay_->raise();
    overlay_->activateWindow();
    return overlay_;
}

void ScreenCaptures::startSoon() {
    QTimer::singleShot(kSettleMs, this, [this] { start(); });
}

void ScreenCaptures::finish(const QImage* picture) {
    if (overlay_)
        overlay_->close();
    if (picture) {
        // An empty area leaves the clipboard as it was; the editor gets the empty picture.
        if (!picture->isNull())
            QGuiApplication::clipboard()->setImage(*picture);
        editors_.openWith(*picture);
    }
    announceEnd();
}

void ScreenCaptures::announceEnd() {
    if (endAnnounced_)
        return;
    endAnnounced_ = true;
    emit ended();
}

void ScreenCaptures::unload() {
    if (!overlay_)
        return;
    Form3* old = overlay_;
    overlay_ = nullptr;
    disconnect(old, nullptr, this, nullptr);
    delete old;
}

} // namespace nimbrel::imaging
