#pragma once
// What "打开" does with the open dialog's answer. FileName is either one full path or,
// for several files, the folder and then each name, separated by QChar(0). One file is
// played and the quick-play list left alone; several files resize the list and raise
// the question whether to add them to the playlist panel.
#include "player/QuickPlayList.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace nimbrel::player {

class OpenFilesPlan {
public:
    enum class Action {
        Nothing,        // cancelled
        PlayOne,        // set paths().first() as Movie of flash and call Play
        AskAddToPlaylist, // resizeList(), then ask kQuestion titled kQuestionTitle (Yes/No, information)
    };

    // How the open dialog is prepared.
    static const QString kDialogTitle;       // "打开(一次可以打开多个文件)"
    static const QString kDialogFilter;      // "所有文件 (*.swf)|*.swf"
    static constexpr quint32 kDialogFlags = 0x80200; // explorer style, several files
    static constexpr int kDialogMaxFileSize = 32767;
    static const QString kQuestion;          // "是否添加到播放列表"
    static const QString kQuestionTitle;     // "添加"

    // The full paths packed into a FileName; empty when it is empty.
    static QStringList chosenPaths(const QString& fileName);
    static OpenFilesPlan fromFileName(const QString& fileName);

    Action action() const { return m_action; }
    const QStringList& paths() const { return m_paths; }

    // Several files: the quick-play list gets exactly one entry per file (before asking).
    void resizeList(QuickPlayList& list) const;
    // "Yes": captions set; returns the lines that replace the playlist panel's list, which
    // the window then shows. Nothing plays and the current entry stays, unless the list
    // became shorter than it: then it goes back to before the first entry.
    QStringList acceptAdd(QuickPlayList& list) const;
    // "No": captions set and the first file played as the current, only checked entry.
    QuickPlayList::Step declineAdd(QuickPlayList& list) const;

private:
    Action m_action = Action::Nothing;
    QStringList m_paths;
};

} // namespace nimbrel::player
