#include "skin/SkinPiece.h"
#include <QMouseEvent>

namespace nimbrel::skin {

SkinPiece::SkinPiece(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    setMouseTracking(true); // hover feedback needs moves without a button held
}

void SkinPiece::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        leftDown_ = true;
    emit pressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void SkinPiece::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    emit released(event->button(), global);
    if (event->button() == Qt::LeftButton && leftDown_) {
        leftDown_ = false;
        if (rect().contains(event->position().toPoint()))
            emit clicked(global);
    }
    event->accept();
}

void SkinPiece::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        leftDown_ = true;
    emit doubleClicked(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void SkinPiece::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->globalPosition().toPoint());
    event->accept();
}

} // namespace nimbrel::skin
