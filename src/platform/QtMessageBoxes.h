#pragma once
// Message boxes on QMessageBox, the input box on QInputDialog; modal to the owner.
#include "platform/MessageBoxes.h"
#include <QMessageBox>

namespace nimbrel::platform {

class QtMessageBoxes : public MessageBoxes {
public:
    // Pure translations, kept apart so they can be checked without a modal box.
    static QMessageBox::Icon qtIcon(Icon icon);
    static QMessageBox::StandardButtons qtButtons(Buttons buttons);
    // Closing the box with Esc or its close button counts as the safe answer.
    static Answer answerFor(QMessageBox::StandardButton clicked, Buttons buttons);

protected:
    Answer showMessage(const Message& m) override;
    std::optional<QString> askText(const Input& in) override;
};

} // namespace nimbrel::platform
