#include "imaging/window/TextToolbar.h"
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace nimbrel::imaging {

TextToolbar::TextToolbar(QWidget* parent) : QFrame(parent) {
    setObjectName("Picture6");
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);

    Image3 = new QLabel(this);
    Image3->setObjectName("Image3");
    Image3->setGeometry(2, 2, 12, 24);
    Image3->setStyleSheet("background: #000080");
    Image3->setCursor(Qt::SizeAllCursor);
    Image3->setToolTip(QStringLiteral("拖动文字工具栏"));
    Image3->installEventFilter(this);

    int x = 16;
    auto button = [&](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setGeometry(x, 2, 72, 24);
        x += 74;
        return b;
    };
    Command5 = button("Command5", "打开编辑");
    Command6 = button("Command6", "预览");
    Command7 = button("Command7", "确定插入");
    Command8 = button("Command8", "关闭");
    resize(x + 2, 28);
}

bool TextToolbar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Image3)
        return QFrame::eventFilter(watched, event);
    auto* e = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        dragging_ = true;
        grab_ = e->globalPosition().toPoint() - pos();
        return true;
    case QEvent::MouseMove:
        if (dragging_)
            move(e->globalPosition().toPoint() - grab_);
        return true;
    case QEvent::MouseButtonRelease:
        if (dragging_) {
            dragging_ = false;
            emit moved();
        }
        return true;
    default:
        return QFrame::eventFilter(watched, event);
    }
}

} // namespace nimbrel::imaging
