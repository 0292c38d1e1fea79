#include "platform/QtMessageBoxes.h"
#include <QInputDialog>

namespace nimbrel::platform {

QMessageBox::Icon QtMessageBoxes::qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtMessageBoxes::qtButtons(Buttons buttons) {
    switch (buttons) {
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::Ok: break;
    }
    return QMessageBox::Ok;
}

MessageBoxes::Answer QtMessageBoxes::answerFor(QMessageBox::StandardButton clicked, Buttons buttons) {
    switch (clicked) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: break;
    }
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel: break;
    }
    return Answer::Cancel;
}

MessageBoxes::Answer QtMessageBoxes::showMessage(const Message& m) {
    QMessageBox box(qtIcon(m.icon), m.title, m.text, qtButtons(m.buttons), owner());
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    return answerFor(clicked, m.buttons);
}

std::optional<QString> QtMessageBoxes::askText(const Input& in) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), in.title, in.prompt, QLineEdit::Normal, in.defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

} // namespace nimbrel::platform
