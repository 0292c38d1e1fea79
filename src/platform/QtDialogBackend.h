#pragma once
// Shows the real dialogs: QFileDialog and QColorDialog, modal to their owner.
#include "platform/DialogBackend.h"
#include <QFileDialog>

namespace nimbrel::platform {

class QtDialogBackend : public DialogBackend {
public:
    struct FileDialogSetup {
        QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
        QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
        QFileDialog::Options options;
    };

    std::optional<QStringList> chooseFiles(const FileDialogRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial, const QString& title, QWidget* owner) override;

    // How the classic flag bits translate to QFileDialog; pure.
    static FileDialogSetup setupFor(FileDialogKind kind, quint32 flags);
    // "desc|pattern|desc|pattern" to Qt's name filters. Each pattern list is
    // given in both letter cases, since the classic dialog matched without
    // regard to case; the details are hidden so the user sees the description.
    static QStringList nameFilters(const QString& classicFilter);
};

} // namespace nimbrel::platform
