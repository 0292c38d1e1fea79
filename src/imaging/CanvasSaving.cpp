#include "imaging/CanvasSaving.h"
#include "imaging/PictureFile.h"
#include "platform/CommonDialog.h"
#include "platform/DialogCancelled.h"
#include "platform/MessageBoxes.h"
#include <QDir>

namespace nimbrel::imaging {

const QString CanvasSaving::kTitle = QStringLiteral("保存");
const QString CanvasSaving::kFilter = QStringLiteral("位图文件(*.BMP)|*.BMP");
const QString CanvasSaving::kSaved = QStringLiteral("保存成功");
const QString CanvasSaving::kNotSaved = QStringLiteral("保存失败");

CanvasSaving::Result CanvasSaving::save(platform::CommonDialog& dialog, platform::MessageBoxes& boxes,
                                        const QImage& image) {
    dialog.setDialogTitle(kTitle);
    dialog.setFlags(kFlags);
    dialog.setFilter(kFilter);
    dialog.setCancelError(true);
    QString name;
    try {
        dialog.ShowSave();
        name = dialog.FileName();
    } catch (const platform::DialogCancelled&) {
    }
    // The dialog is shared: later callers that test FileName must not get a cancel thrown at them.
    dialog.setCancelError(false);
    if (name.isEmpty())
        return Result::Cancelled;

    if (const std::optional<QString> error = PictureFile::writeBmp(image, name)) {
        boxes.message(kNotSaved + QStringLiteral("：") + QDir::toNativeSeparators(name) + "\n" + *error,
                      QString(), platform::MessageBoxes::Icon::Critical);
        return Result::Failed;
    }
    boxes.message(kSaved);
    return Result::Saved;
}

} // namespace nimbrel::imaging
