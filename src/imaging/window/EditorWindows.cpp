#include "imaging/window/EditorWindows.h"
#include <QGuiApplication>
#include <QScreen>

namespace nimbrel::imaging {

EditorWindows::EditorWindows(Form2::Services services, QObject* parent)
    : QObject(parent), services_(std::move(services)) {}

EditorWindows::~EditorWindows() { unload(); }

Form2* EditorWindows::loaded() {
    if (!editor_) {
        editor_ = new Form2(services_);
        editor_->setAttribute(Qt::WA_DeleteOnClose);
        // Whole on the screen, whatever the window manager's placement would be.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            editor_->move(screen->availableGeometry().center() - editor_->rect().center());
    }
    return editor_;
}

void EditorWindows::bringForward() {
    editor_->show();
    if (editor_->isMinimized())
        editor_->showNormal();
    editor_->raise();
    editor_->activateWindow();
}

Form2* EditorWindows::openFromMenu() {
    loaded()->Timer1.stop();
    bringForward();
    if (services_.minimizeMain)
        services_.minimizeMain();
    return editor_;
}

Form2* EditorWindows::openWith(const QImage& picture) {
    loaded()->setPicture(picture);
    bringForward();
    return editor_;
}

void EditorWindows::unload() { delete editor_; }

} // namespace nimbrel::imaging
