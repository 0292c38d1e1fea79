#pragma once
// Answers the two things every side list takes on its viewport: files dropped
// from a file manager and the right click that opens its pop-up menu.
#include <QObject>
#include <QPoint>
#include <functional>

class QMimeData;
class QWidget;

namespace nimbrel::library {

class ListDropEvents : public QObject {
public:
    using DropHandler = std::function<void(const QMimeData&)>;
    using RightClickHandler = std::function<void(Qt::MouseButton, QPoint)>;
    // Watches `viewport` for as long as both live; owned by the viewport.
    ListDropEvents(QWidget* viewport, DropHandler drop, RightClickHandler rightClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DropHandler drop_;
    RightClickHandler rightClick_;
};

} // namespace nimbrel::library
