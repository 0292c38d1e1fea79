#pragma once
#include <QLabel>
#include <QPoint>

namespace nimbrel::skin {

// One element of the skin: a picture, a text or a transparent hit area. Reports
// the mouse to whoever gives the element its behaviour; it does nothing itself.
class SkinPiece : public QLabel {
    Q_OBJECT
public:
    SkinPiece(const QString& name, QWidget* parent);

signals:
    void pressed(Qt::MouseButton button, QPoint globalPos);
    void released(Qt::MouseButton button, QPoint globalPos);
    // Left button pressed and released over the element.
    void clicked(QPoint globalPos);
    void doubleClicked(Qt::MouseButton button, QPoint globalPos);
    void moved(QPoint globalPos);
    // The pointer left the drag distance with a button held since it was pressed here;
    // once per press. Moving the window starts here, so a double-click still arrives.
    void dragStarted(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool leftDown_ = false;
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPoint dragFrom_;
};

} // namespace nimbrel::skin
