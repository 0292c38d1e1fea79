#pragma once
// What actually shows a file or colour dialog. CommonDialog keeps the properties
// and the result conventions; a backend only asks the user. Tests script the answers.
#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace nimbrel::platform {

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    QString initDir;
    QString fileName;   // preset name (or path) shown in the name box
    QString filter;     // classic "desc|pattern|desc|pattern"
    quint32 flags = 0;  // CommonDialog::Flag bits
    QWidget* owner = nullptr;
};

class DialogBackend {
public:
    virtual ~DialogBackend() = default;
    // The chosen full paths, or nothing when the user cancelled.
    virtual std::optional<QStringList> chooseFiles(const FileDialogRequest& request) = 0;
    // The chosen colour, or nothing when the user cancelled.
    virtual std::optional<QColor> chooseColor(const QColor& initial, const QString& title, QWidget* owner) = 0;
};

} // namespace nimbrel::platform
