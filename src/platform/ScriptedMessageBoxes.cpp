#include "platform/ScriptedMessageBoxes.h"

namespace nimbrel::platform {

MessageBoxes::Answer ScriptedMessageBoxes::safeAnswer(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel: break;
    }
    return Answer::Cancel;
}

MessageBoxes::Answer ScriptedMessageBoxes::showMessage(const Message& m) {
    messages_ << m;
    return answers_.isEmpty() ? safeAnswer(m.buttons) : answers_.dequeue();
}

std::optional<QString> ScriptedMessageBoxes::askText(const Input& in) {
    inputs_ << in;
    return texts_.isEmpty() ? std::nullopt : texts_.dequeue();
}

} // namespace nimbrel::platform
