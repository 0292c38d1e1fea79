#include "library/ListDropEvents.h"
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>

namespace nimbrel::library {

ListDropEvents::ListDropEvents(QWidget* viewport, DropHandler drop, RightClickHandler rightClick)
    : QObject(viewport), drop_(std::move(drop)), rightClick_(std::move(rightClick)) {
    viewport->installEventFilter(this);
}

bool ListDropEvents::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(event);
        if (e->mimeData() && e->mimeData()->hasUrls()) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        if (e->mimeData())
            drop_(*e->mimeData());
        e->setDropAction(Qt::CopyAction);
        e->accept();
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::RightButton)
            return false;
        rightClick_(e->button(), e->globalPosition().toPoint());
        return true;
    }
    default:
        return false;
    }
}

} // namespace nimbrel::library
