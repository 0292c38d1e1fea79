#pragma once
// Every message box and the input box go through here. A box given no title
// shows the application title. Tests use ScriptedMessageBoxes.
#include <QString>
#include <optional>

class QWidget;

namespace nimbrel::platform {

class MessageBoxes {
public:
    enum class Icon { None, Information, Critical, Question, Exclamation };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct Message {
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
    };
    struct Input {
        QString prompt;
        QString title;
        QString defaultText;
    };

    virtual ~MessageBoxes() = default;

    // The main window's caption, shown by boxes that give no title of their own.
    static QString applicationTitle();

    Answer message(const QString& text, const QString& title = QString(),
                   Icon icon = Icon::None, Buttons buttons = Buttons::Ok);
    // The typed text; "" when the user cancelled, as the classic input box does.
    QString inputBox(const QString& prompt, const QString& title = QString(),
                     const QString& defaultText = QString());

    void setOwner(QWidget* owner) { owner_ = owner; }
    QWidget* owner() const { return owner_; }

protected:
    virtual Answer showMessage(const Message& m) = 0;
    virtual std::optional<QString> askText(const Input& in) = 0;

private:
    QWidget* owner_ = nullptr;
};

} // namespace nimbrel::platform
