#include "player/MovieHook.h"
#include <QMouseEvent>
#include <QWidget>

namespace nimbrel::player {

MovieHook::MovieHook(Actions actions, QObject* parent) : QObject(parent), actions_(std::move(actions)) {}

void MovieHook::install(QWidget* surface) {
    // One surface at a time: the main movie's.
    if (hooked_ || !surface)
        return;
    hooked_ = surface;
    surface->installEventFilter(this);
}

void MovieHook::remove() {
    if (hooked_)
        hooked_->removeEventFilter(this);
    hooked_ = nullptr;
}

bool MovieHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched != hooked_)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        // Movies with roll-over buttons need the pointer too, so it goes on.
        if (actions_.resetHighlights)
            actions_.resetHighlights();
        return false;
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        if (actions_.enlargeOrRestore)
            actions_.enlargeOrRestore();
        return true;
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        if (actions_.showControlMenu)
            actions_.showControlMenu(mouse->globalPosition().toPoint());
        return true;
    }
    default:
        return false;
    }
}

} // namespace nimbrel::player
