#include "platform/MessageBoxes.h"

namespace nimbrel::platform {

QString MessageBoxes::applicationTitle() { return QStringLiteral("QuorvaneFlashPlayer 1.5.0"); }

MessageBoxes::Answer MessageBoxes::message(const QString& text, const QString& title, Icon icon, Buttons buttons) {
    return showMessage({text, title.isEmpty() ? applicationTitle() : title, icon, buttons});
}

QString MessageBoxes::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    return askText({prompt, title.isEmpty() ? applicationTitle() : title, defaultText}).value_or(QString());
}

} // namespace nimbrel::platform
