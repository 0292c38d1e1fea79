#include "player/OpenFilesPlan.h"
#include "platform/CommonDialog.h"

namespace nimbrel::player {

const QString OpenFilesPlan::kDialogTitle = QStringLiteral("打开(一次可以打开多个文件)");
const QString OpenFilesPlan::kDialogFilter = QStringLiteral("所有文件 (*.swf)|*.swf");
const QString OpenFilesPlan::kQuestion = QStringLiteral("是否添加到播放列表");
const QString OpenFilesPlan::kQuestionTitle = QStringLiteral("添加");

QStringList OpenFilesPlan::chosenPaths(const QString& fileName) {
    return platform::CommonDialog::unpackFileNames(fileName);
}

OpenFilesPlan OpenFilesPlan::fromFileName(const QString& fileName) {
    OpenFilesPlan plan;
    plan.m_paths = chosenPaths(fileName);
    if (plan.m_paths.size() == 1)
        plan.m_action = Action::PlayOne;
    else if (plan.m_paths.size() > 1)
        plan.m_action = Action::AskAddToPlaylist;
    return plan;
}

void OpenFilesPlan::resizeList(QuickPlayList& list) const {
    if (m_action == Action::AskAddToPlaylist)
        list.resize(int(m_paths.size()));
}

QStringList OpenFilesPlan::acceptAdd(QuickPlayList& list) const {
    if (m_action != Action::AskAddToPlaylist)
        return {};
    list.setCaptions(m_paths);
    list.forgetCurrentPastEnd();
    return m_paths;
}

QuickPlayList::Step OpenFilesPlan::declineAdd(QuickPlayList& list) const {
    if (m_action != Action::AskAddToPlaylist)
        return {};
    list.setCaptions(m_paths);
    return list.playFirst();
}

} // namespace nimbrel::player
