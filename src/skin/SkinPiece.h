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

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool leftDown_ = false;
};

} // namespace nimbrel::skin
