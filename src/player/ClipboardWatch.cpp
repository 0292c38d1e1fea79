#include "player/ClipboardWatch.h"
#include "player/FlashSurface.h"
#include "player/OpeningController.h"
#include "player/frmmain.h"
#include "services/ClipboardAddress.h"
#include <QClipboard>
#include <QGuiApplication>

namespace nimbrel::player {

ClipboardWatch::ClipboardWatch(frmmain& window) : QObject(&window), w_(window) {}

bool ClipboardWatch::tick() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    const QString text = clipboard->text();
    if (!services::ClipboardAddress::isMovie(text))
        return false;
    w_.flash->setMovie(text);
    w_.flash->Play();
    // Emptied first, so that no later tick (one during the question included) takes it again.
    clipboard->clear();
    w_.opening->offerDownload(text);
    return true;
}

} // namespace nimbrel::player
