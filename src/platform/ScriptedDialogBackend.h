#pragma once
// Answers file and colour dialogs from queues and records what was asked, so
// tests never open a modal window. An empty queue answers as a cancel.
#include "platform/DialogBackend.h"
#include <QList>
#include <QQueue>

namespace nimbrel::platform {

class ScriptedDialogBackend : public DialogBackend {
public:
    void answerFiles(const QStringList& paths) { fileAnswers_.enqueue(paths); }
    void answerCancel() { fileAnswers_.enqueue(std::nullopt); }
    void answerColor(const QColor& c) { colorAnswers_.enqueue(c); }
    void answerColorCancel() { colorAnswers_.enqueue(std::nullopt); }

    std::optional<QStringList> chooseFiles(const FileDialogRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial, const QString& title, QWidget* owner) override;

    const QList<FileDialogRequest>& fileRequests() const { return fileRequests_; }
    const QList<QColor>& colorRequests() const { return colorRequests_; }
    int pendingAnswers() const { return int(fileAnswers_.size() + colorAnswers_.size()); }

private:
    QQueue<std::optional<QStringList>> fileAnswers_;
    QQueue<std::optional<QColor>> colorAnswers_;
    QList<FileDialogRequest> fileRequests_;
    QList<QColor> colorRequests_;
};

} // namespace nimbrel::platform
