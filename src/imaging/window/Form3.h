#pragma once
// The capture overlay "抓图": a frozen picture of all screens shown over the whole
// desktop, on which a left-button drag draws the rubber band. Releasing the left
// button chooses the area; another button or Esc gives up.
#include "imaging/RubberBand.h"
#include "platform/ScreenGrabber.h"
#include <QWidget>

namespace nimbrel::imaging {

class Form3 : public QWidget {
    Q_OBJECT
public:
    static const QString kCaption;  // "抓图"

    explicit Form3(platform::ScreenGrabber::Grab grab, QWidget* parent = nullptr);

    bool armed() const { return armed_; }
    bool dragging() const { return dragging_; }
    RubberBand::Rect selection() const { return selection_; }
    // What is on show: the frozen picture with the current frame and label.
    const QImage& shown() const { return shown_; }
    const QImage& frozen() const { return grab_.picture; }

    // Mouse steps in desktop coordinates, callable directly.
    void pressAt(Qt::MouseButton button, QPoint desktop);
    void moveTo(QPoint desktop);
    void releaseAt(Qt::MouseButton button, QPoint desktop);

signals:
    // The chosen area (a null picture for a zero-size one), once.
    void chosen(const QImage& picture);
    void cancelled();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void repaintBand(const RubberBand::Rect& next);

    platform::ScreenGrabber::Grab grab_;
    QImage shown_;
    QPoint anchor_;
    RubberBand::Rect selection_;
    bool armed_ = true;
    bool dragging_ = false;
    bool done_ = false;
};

} // namespace nimbrel::imaging
