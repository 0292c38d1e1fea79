#include "player/WindowOptions.h"
#include "player/AppSettings.h"
#include "player/FlashSurface.h"
#include "player/MainMenus.h"
#include "player/frmmain.h"
#include "services/StripToggle.h"
#include "skin/SkinPiece.h"
#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QWindow>

namespace nimbrel::player {

using services::StripToggle;

WindowOptions::WindowOptions(frmmain& window) : QObject(&window), w_(window) {}

void WindowOptions::Label2_Click(int index) {
    switch (index) {
    case 0:
    case 1:
        toggleStored(index);
        break;
    case 2:
        toggleTopmost();
        break;
    case 3:
        w_.menus->MNUBFMS->popup(QCursor::pos());
        break;
    default:
        break;
    }
}

void WindowOptions::toggleStored(int index) {
    const bool autoPlay = index == 0;
    const auto key = autoPlay ? AppSettings::Key::zdbf : AppSettings::Key::ncjc;
    const auto captions = autoPlay ? StripToggle::autoPlay() : StripToggle::clipboardWatch();
    const StripToggle::Outcome o = StripToggle::toggle(w_.settings().read(key), captions);
    w_.settings().write(key, o.stored);
    (autoPlay ? w_.state().autoPlay : w_.state().clipboardWatch) = o.on;
    w_.Label2[index]->setText(o.caption);
    (autoPlay ? w_.menus->MNUZDBF : w_.menus->MNUNCJK)->setText(o.caption);
}

void WindowOptions::toggleTopmost() {
    const bool on = !isTopmost();
    // The window system keeps a shown window where it is; only its stacking changes.
    const Qt::WindowFlags flags = w_.windowFlags().setFlag(Qt::WindowStaysOnTopHint, on);
    if (QWindow* handle = w_.windowHandle()) {
        w_.overrideWindowFlags(flags);
        handle->setFlags(flags);
        if (on && w_.isVisible())
            w_.raise();
    } else {
        w_.setWindowFlags(flags);
    }
    topmost_ = on;
    w_.Label2[2]->setText(on ? QStringLiteral("取消置顶") : QStringLiteral("窗口置顶"));
    w_.menus->MNUCKZD->setText(on ? QStringLiteral("取消窗口置顶") : QStringLiteral("窗口置顶"));
}

void WindowOptions::MNUCKZD_Click() { Label2_Click(2); }

void WindowOptions::tmdsz(int suzhi) {
    w_.settings().write(AppSettings::Key::tmd, QString::number(suzhi));
    w_.state().alpha = suzhi;
    w_.state().layered = true;
    applyOpacity();
}

void WindowOptions::applyOpacity() {
    // A layered window with one alpha for all of it is the window's opacity.
    w_.setWindowOpacity(w_.state().layered ? qBound(0, w_.state().alpha, 255) / 255.0 : 1.0);
    w_.update();
}

void WindowOptions::munbtm2_Click() {
    if (!w_.state().layered)
        return;
    w_.state().layered = false;
    w_.settings().write(AppSettings::Key::tmd, QStringLiteral("false"));
    applyOpacity();
}

bool WindowOptions::prepareCapture() {
    if (w_.isMinimized())
        return false;
    if (w_.state().layered) {
        // Off for the capture only: flag, alpha and stored value stay.
        w_.setWindowOpacity(1.0);
        restore_ = Restore::WaitingForCapture;
    }
    w_.flash->Stop();
    return true;
}

void WindowOptions::captureEnded() {
    if (restore_ == Restore::WaitingForCapture)
        restore_ = Restore::Due;
}

void WindowOptions::restoreAfterCapture() {
    if (restore_ != Restore::Due)
        return;
    restore_ = Restore::None;
    tmdsz(w_.state().alpha);
}

} // namespace nimbrel::player
