#include "platform/ScriptedDialogBackend.h"

namespace nimbrel::platform {

std::optional<QStringList> ScriptedDialogBackend::chooseFiles(const FileDialogRequest& request) {
    fileRequests_ << request;
    return fileAnswers_.isEmpty() ? std::nullopt : fileAnswers_.dequeue();
}

std::optional<QColor> ScriptedDialogBackend::chooseColor(const QColor& initial, const QString&, QWidget*) {
    colorRequests_ << initial;
    return colorAnswers_.isEmpty() ? std::nullopt : colorAnswers_.dequeue();
}

} // namespace nimbrel::platform
