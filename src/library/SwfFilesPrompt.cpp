#include "SwfFilesPrompt.h"
#include "platform/CommonDialog.h"
#include <QCoreApplication>

namespace nimbrel::library {

namespace {
const QString kOpenTitle = QStringLiteral("打开(一次可以打开多个文件)");
const QString kOpenFilter = QStringLiteral("所有文件 (*.swf)|*.swf");
constexpr quint32 kOpenFlags = 0x80200; // several files, explorer style
constexpr int kOpenMaxFileSize = 32767; // room for many names at once
} // namespace

QStringList SwfFilesPrompt::ask(platform::CommonDialog& dialog) {
    dialog.setDialogTitle(kOpenTitle);
    dialog.setInitDir(QCoreApplication::applicationDirPath());
    dialog.setMaxFileSize(kOpenMaxFileSize);
    dialog.setFilter(kOpenFilter);
    dialog.setFlags(kOpenFlags);
    // A cancel must not bring back the previous caller's choice.
    dialog.setFileName(QString());
    dialog.ShowOpen();
    return platform::CommonDialog::unpackFileNames(dialog.FileName());
}

} // namespace nimbrel::library
