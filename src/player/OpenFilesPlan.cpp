#include "player/OpenFilesPlan.h"

namespace nimbrel::player {

const QString OpenFilesPlan::kDialogTitle = QStringLiteral("打开(一次可以打开多个文件)");
const QString OpenFilesPlan::kDialogFilter = QStringLiteral("所有文件 (*.swf)|*.swf");
const QString OpenFilesPlan::kQuestion = QStringLiteral("是否添加到播放列表");
const QString OpenFilesPlan::kQuestionTitle = QStringLiteral("添加");

QStringList OpenFilesPlan::chosenPaths(const QString& fileName) {
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
