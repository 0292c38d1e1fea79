#include "platform/QtDialogBackend.h"
#include "platform/CommonDialog.h"
#include <QColorDialog>
#include <QRegularExpression>

namespace nimbrel::platform {

QtDialogBackend::FileDialogSetup QtDialogBackend::setupFor(FileDialogKind kind, quint32 flags) {
    FileDialogSetup s;
    // The description already shows the patterns; Qt would repeat them.
    s.options |= QFileDialog::HideNameFilterDetails;
    if (kind == FileDialogKind::Save) {
        s.acceptMode = QFileDialog::AcceptSave;
        s.fileMode = (flags & CommonDialog::FlagFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile;
        if (!(flags & CommonDialog::FlagOverwritePrompt))
            s.options |= QFileDialog::DontConfirmOverwrite;
    } else {
        s.acceptMode = QFileDialog::AcceptOpen;
        if (flags & CommonDialog::FlagAllowMultiSelect)
            s.fileMode = QFileDialog::ExistingFiles;
        else if (flags & CommonDialog::FlagFileMustExist)
            s.fileMode = QFileDialog::ExistingFile;
        else
            s.fileMode = QFileDialog::AnyFile;
    }
    // Explorer style and the read-only box have no counterpart here.
    return s;
}

QStringList QtDialogBackend::nameFilters(const QString& classicFilter) {
    QStringList result;
    const QStringList parts = classicFilter.split('|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed();
        QStringList patterns;
        for (QString p : parts[i + 1].split(QRegularExpression("[;\\s]+"), Qt::SkipEmptyParts)) {
            for (const QString& variant : {p, p.toLower(), p.toUpper()}) {
                if (!patterns.contains(variant))
                    patterns << variant;
            }
        }
        if (patterns.isEmpty())
            continue;
        result << QString("%1 (%2)").arg(desc.isEmpty() ? patterns.join(' ') : desc, patterns.join(' '));
    }
    return result;
}

std::optional<QStringList> QtDialogBackend::chooseFiles(const FileDialogRequest& request) {
    QFileDialog dialog(request.owner, request.title);
    const FileDialogSetup s = setupFor(request.kind, request.flags);
    dialog.setAcceptMode(s.acceptMode);
    dialog.setFileMode(s.fileMode);
    dialog.setOptions(s.options);
    if (!request.initDir.isEmpty())
        dialog.setDirectory(request.initDir);
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.fileName.isEmpty() && !request.fileName.contains(QChar(0)))
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFiles();
}

std::optional<QColor> QtDialogBackend::chooseColor(const QColor& initial, const QString& title, QWidget* owner) {
    const QColor c = QColorDialog::getColor(initial, owner, title);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

} // namespace nimbrel::platform
