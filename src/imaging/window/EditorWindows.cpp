#include "imaging/window/EditorWindows.h"

namespace nimbrel::imaging {

EditorWindows::EditorWindows(Form2::Services services, QObject* parent)
    : QObject(parent), services_(std::move(services)) {}

EditorWindows::~EditorWindows() { unload(); }

Form2* EditorWindows::loaded() {
    if (!editor_) {
        editor_ = new Form2(services_);
        editor_->setAttribute(Qt::WA_DeleteOnClose);
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
