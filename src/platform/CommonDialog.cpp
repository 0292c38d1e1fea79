#include "platform/CommonDialog.h"
#include "platform/DialogCancelled.h"
#include <QDir>
#include <QFileInfo>

namespace nimbrel::platform {

CommonDialog::CommonDialog(DialogBackend& backend, QWidget* owner) : backend_(backend), owner_(owner) {}

void CommonDialog::setMaxFileSize(int v) {
    maxFileSize_ = static_cast<qint16>(qBound(1, v, 32767));
}

QString CommonDialog::packFileNames(const QStringList& paths) {
    if (paths.isEmpty())
        return {};
    if (paths.size() == 1)
        return QDir::cleanPath(paths.first());

    // Files normally come from one folder; if not, the deepest common folder
    // is used and the names carry the rest, so folder + "/" + name still works.
    QStringList cleaned;
    for (const QString& p : paths)
        cleaned << QDir::cleanPath(QFileInfo(p).absoluteFilePath());
    QString folder = QFileInfo(cleaned.first()).path();
    auto inFolder = [](const QString& path, const QString& dir) {
        return dir == "/" ? path.startsWith('/') : path.startsWith(dir + '/');
    };
    for (const QString& p : cleaned) {
        while (!inFolder(p, folder) && folder != "/" && !folder.isEmpty())
            folder = QFileInfo(folder).path();
    }
    QString packed = folder;
    for (const QString& p : cleaned) {
        packed += QChar(0);
        packed += folder == "/" ? p.mid(1) : p.mid(folder.size() + 1);
    }
    return packed;
}

QStringList CommonDialog::unpackFileNames(const QString& fileName) {
    QStringList parts = fileName.split(QChar(0));
    // A classic buffer may end in extra terminators; they name nothing.
    while (parts.size() > 1 && parts.last().isEmpty())
        parts.removeLast();
    if (parts.size() == 1)
        return parts.first().isEmpty() ? QStringList() : parts;

    const QString folder = parts.first();
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QStringList paths;
    paths.reserve(parts.size() - 1);
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (!parts.at(i).isEmpty())
            paths << prefix + parts.at(i);
    }
    return paths;
}

int CommonDialog::roomNeeded(const QString& packed, int fileCount) {
    // One terminator after a single path; a double terminator after a list.
    return static_cast<int>(packed.size()) + (fileCount > 1 ? 2 : 1);
}

CommonDialog::Outcome CommonDialog::ShowOpen() { return showFile(FileDialogKind::Open); }
CommonDialog::Outcome CommonDialog::ShowSave() { return showFile(FileDialogKind::Save); }

CommonDialog::Outcome CommonDialog::showFile(FileDialogKind kind) {
    FileDialogRequest request;
    request.kind = kind;
    request.title = title_;
    request.initDir = initDir_;
    request.fileName = fileName_;
    request.filter = filter_;
    request.flags = flags_;
    request.owner = owner_;

    const std::optional<QStringList> chosen = backend_.chooseFiles(request);
    QStringList paths = chosen.value_or(QStringList());
    paths.removeAll(QString());
    if (paths.isEmpty())
        return finish(Outcome::Cancelled);
    if (kind == FileDialogKind::Save || !(flags_ & FlagAllowMultiSelect))
        paths = paths.mid(0, 1);

    const QString packed = packFileNames(paths);
    if (roomNeeded(packed, static_cast<int>(paths.size())) > maxFileSize_)
        return finish(Outcome::TooLong);
    fileName_ = packed;
    return Outcome::Chosen;
}

CommonDialog::Outcome CommonDialog::ShowColor() {
    const QColor initial(color_ & 0xFF, (color_ >> 8) & 0xFF, (color_ >> 16) & 0xFF);
    const std::optional<QColor> chosen = backend_.chooseColor(initial, title_, owner_);
    if (!chosen || !chosen->isValid()) {
        if (cancelError_)
            throw DialogCancelled();
        return Outcome::Cancelled;
    }
    const QColor c = chosen->toRgb();
    color_ = quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
    return Outcome::Chosen;
}

CommonDialog::Outcome CommonDialog::finish(Outcome outcome) {
    fileName_.clear();
    if (cancelError_)
        throw DialogCancelled(outcome == Outcome::TooLong);
    return outcome;
}

} // namespace nimbrel::platform
