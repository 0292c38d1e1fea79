#include "skin/SkinPiece.h"
#include <QApplication>
#include <QMouseEvent>

namespace nimbrel::skin {

SkinPiece::SkinPiece(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    setMouseTracking(true); // hover feedback needs moves without a button held
}

void SkinPiece::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        leftDown_ = true;
    dragButton_ = event->button();
    dragFrom_ = event->globalPosition().toPoint();
    emit pressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void SkinPiece::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    if (event->button() == dragButton_)
        dragButton_ = Qt::NoButton;
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
    const QPoint global = event->globalPosition().toPoint();
    if (dragButton_ != Qt::NoButton && (event->buttons() & dragButton_) &&
        (global - dragFrom_).manhattanLength() >= QApplication::startDragDistance()) {
        const Qt::MouseButton button = dragButton_;
        dragButton_ = Qt::NoButton;
        emit dragStarted(button);
    }
    emit moved(global);
    event->accept();
}

} // namespace nimbrel::skin
