#pragma once
// Records every box that was asked for and answers from queues. With an empty
// queue a message box gets its safe answer (Ok, or Cancel/No where offered) and
// the input box is cancelled.
#include "platform/MessageBoxes.h"
#include <QList>
#include <QQueue>

namespace nimbrel::platform {

class ScriptedMessageBoxes : public MessageBoxes {
public:
    void queueAnswer(Answer a) { answers_.enqueue(a); }
    void queueText(const QString& text) { texts_.enqueue(text); }
    void queueInputCancel() { texts_.enqueue(std::nullopt); }

    const QList<Message>& messages() const { return messages_; }
    const QList<Input>& inputs() const { return inputs_; }

    static Answer safeAnswer(Buttons buttons);

protected:
    Answer showMessage(const Message& m) override;
    std::optional<QString> askText(const Input& in) override;

private:
    QQueue<Answer> answers_;
    QQueue<std::optional<QString>> texts_;
    QList<Message> messages_;
    QList<Input> inputs_;
};

} // namespace nimbrel::platform
