#include "imaging/window/Form3.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace nimbrel::imaging {

const QString Form3::kCaption = QStringLiteral("抓图");

Form3::Form3(platform::ScreenGrabber::Grab grab, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool), grab_(std::move(grab)) {
    setObjectName("Form3");
    setWindowTitle(kCaption);
    if (grab_.picture.format() != QImage::Format_RGB32)
        grab_.picture = grab_.picture.convertToFormat(QImage::Format_RGB32);
    shown_ = grab_.picture;
    setCursor(Qt::CrossCursor);
    setGeometry(QRect(grab_.origin, grab_.picture.size()));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Form3::repaintBand(const RubberBand::Rect& next) {
    // Painting the old rectangle again erases it.
    RubberBand::paint(shown_, grab_.origin, selection_, font());
    selection_ = next;
    RubberBand::paint(shown_, grab_.origin, selection_, font());
    update();
}

void Form3::pressAt(Qt::MouseButton button, QPoint desktop) {
    if (button != Qt::LeftButton || !armed_)
        return;
    armed_ = false;
    dragging_ = true;
    anchor_ = desktop;
    repaintBand(RubberBand::fromDrag(anchor_, anchor_));
}

void Form3::moveTo(QPoint desktop) {
    if (dragging_)
        repaintBand(RubberBand::fromDrag(anchor_, desktop));
}

void Form3::releaseAt(Qt::MouseButton button, QPoint desktop) {
    if (done_)
        return;
    if (button != Qt::LeftButton || !dragging_) {
        // Another button gives up rather than replacing the editor's picture with nothing.
        if (button != Qt::LeftButton) {
            done_ = true;
            emit cancelled();
        }
        return;
    }
    moveTo(desktop);
    dragging_ = false;
    done_ = true;
    const RubberBand::Rect area = selection_;
    repaintBand({});
    emit chosen(RubberBand::copy(grab_.picture, grab_.origin, area));
}

void Form3::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, shown_);
}

void Form3::mousePressEvent(QMouseEvent* e) { pressAt(e->button(), e->globalPosition().toPoint()); }
void Form3::mouseMoveEvent(QMouseEvent* e) { moveTo(e->globalPosition().toPoint()); }
void Form3::mouseReleaseEvent(QMouseEvent* e) { releaseAt(e->button(), e->globalPosition().toPoint()); }

void Form3::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && !done_) {
        done_ = true;
        emit cancelled();
        return;
    }
    QWidget::keyPressEvent(e);
}

} // namespace nimbrel::imaging
