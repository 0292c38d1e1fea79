#pragma once
// The one shared open/save/colour dialog of the main window. Every property keeps
// the value its last user gave it, so a caller that sets nothing inherits the
// previous caller's filter, flags and title.
//
// Cancelling: without CancelError the Show* call returns normally with FileName ""
// (callers test FileName). With CancelError the call throws DialogCancelled
// (code 32755). Show* also returns an Outcome so a caller can tell a refused
// over-long choice from a cancel if it wants to.
#include "platform/DialogBackend.h"
#include <QString>
#include <QtGlobal>

class QWidget;

namespace nimbrel::platform {

class CommonDialog {
public:
    enum Flag : quint32 {
        FlagOverwritePrompt = 0x2,
        FlagHideReadOnly = 0x4,
        FlagAllowMultiSelect = 0x200,
        FlagFileMustExist = 0x1000,
        FlagExplorer = 0x80000,
    };
    enum class Outcome { Chosen, Cancelled, TooLong };

    static constexpr qint16 DefaultMaxFileSize = 260;

    explicit CommonDialog(DialogBackend& backend, QWidget* owner = nullptr);

    QString DialogTitle() const { return title_; }
    void setDialogTitle(const QString& v) { title_ = v; }
    QString InitDir() const { return initDir_; }
    void setInitDir(const QString& v) { initDir_ = v; }
    QString Filter() const { return filter_; }
    void setFilter(const QString& v) { filter_ = v; }
    quint32 Flags() const { return flags_; }
    void setFlags(quint32 v) { flags_ = v; }
    qint16 MaxFileSize() const { return maxFileSize_; }
    // Values below 1 are taken as 1: there is always room for the terminator.
    void setMaxFileSize(int v);
    bool CancelError() const { return cancelError_; }
    void setCancelError(bool v) { cancelError_ = v; }
    // Several files come back as the folder, then each name, separated by QChar(0).
    QString FileName() const { return fileName_; }
    void setFileName(const QString& v) { fileName_ = v; }
    // 24-bit RGB with red in the lowest byte.
    quint32 Color() const { return color_; }
    void setColor(quint32 v) { color_ = v & 0xFFFFFF; }

    Outcome ShowOpen();
    Outcome ShowSave();
    Outcome ShowColor();

    // The chosen paths packed the way FileName returns them; pure.
    static QString packFileNames(const QStringList& paths);
    // The full paths a FileName packs: one path, or the folder and each name. Pure.
    static QStringList unpackFileNames(const QString& fileName);
    // Room a packed result needs, counting the terminators the classic buffer held.
    static int roomNeeded(const QString& packed, int fileCount);

private:
    Outcome showFile(FileDialogKind kind);
    Outcome finish(Outcome outcome);

    DialogBackend& backend_;
    QWidget* owner_;
    QString title_;
    QString initDir_;
    QString filter_;
    quint32 flags_ = 0;
    qint16 maxFileSize_ = DefaultMaxFileSize;
    bool cancelError_ = false;
    QString fileName_;
    quint32 color_ = 0;
};

} // namespace nimbrel::platform
