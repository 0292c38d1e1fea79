#pragma once
// The small movable bar over the canvas while text is written: a grip and the
// buttons to edit, preview, insert and close. Dragging the grip moves the bar;
// `moved` tells when a move has ended.
#include <QFrame>

class QLabel;
class QPushButton;

namespace nimbrel::imaging {

class TextToolbar : public QFrame {
    Q_OBJECT
public:
    explicit TextToolbar(QWidget* parent = nullptr);

    QLabel* Image3;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;
    QPushButton* Command8;

signals:
    void moved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint grab_;
    bool dragging_ = false;
};

} // namespace nimbrel::imaging
