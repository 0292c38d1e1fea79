#include "player/OpeningController.h"
#include "platform/MessageBoxes.h"
#include "player/AppSettings.h"
#include "player/FlashSurface.h"
#include "player/OpenFilesPlan.h"
#include "player/QtDownloadProgress.h"
#include "player/TransportController.h"
#include "player/frmmain.h"
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QListWidget>

namespace nimbrel::player {

using platform::CommonDialog;
using platform::MessageBoxes;
using services::Downloader;

const QUrl OpeningController::kUpdatePage(QStringLiteral("https://www.quorvane.com/nimbrel/update.html"));
const QString OpeningController::kUrlPrompt = QStringLiteral("请输入有效的网络SWF文件地址");

OpeningController::OpeningController(frmmain& window)
    : QObject(&window), w_(window),
      progressFactory_([](QWidget* owner) { return new QtDownloadProgress(owner); }),
      urlOpener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

void OpeningController::mnuopen_Click() {
    CommonDialog& dialog = w_.Dialog();
    dialog.setDialogTitle(OpenFilesPlan::kDialogTitle);
    dialog.setInitDir(initialFolder());
    dialog.setMaxFileSize(OpenFilesPlan::kDialogMaxFileSize);
    dialog.setFilter(OpenFilesPlan::kDialogFilter);
    dialog.setFlags(OpenFilesPlan::kDialogFlags);
    // A cancel must not replay the previous choice.
    dialog.setFileName(QString());
    dialog.ShowOpen();

    const OpenFilesPlan plan = OpenFilesPlan::fromFileName(dialog.FileName());
    if (!plan.paths().isEmpty())
        w_.settings().write(AppSettings::Key::openpath, QFileInfo(plan.paths().first()).absolutePath());
    switch (plan.action()) {
    case OpenFilesPlan::Action::Nothing:
        return;
    case OpenFilesPlan::Action::PlayOne:
        w_.flash->setMovie(plan.paths().first());
        w_.flash->Play();
        return;
    case OpenFilesPlan::Action::AskAddToPlaylist:
        break;
    }

    plan.resizeList(*w_.quickPlay);
    const auto answer = w_.boxes().message(OpenFilesPlan::kQuestion, OpenFilesPlan::kQuestionTitle,
                                           MessageBoxes::Icon::Information, MessageBoxes::Buttons::YesNo);
    if (answer == MessageBoxes::Answer::Yes) {
        const QStringList lines = plan.acceptAdd(*w_.quickPlay);
        w_.bflblist->clear();
        w_.bflblist->addItems(lines);
        w_.selectPanel(1);
    } else {
        w_.transport->applyStep(plan.declineAdd(*w_.quickPlay));
    }
}

QString OpeningController::initialFolder() const {
    const QString stored = w_.settings().read(AppSettings::Key::openpath);
    if (AppSettings::isValid(AppSettings::Key::openpath, stored) && QDir(stored).exists())
        return stored;
    return QDir::homePath();
}

void OpeningController::MNUOPENURL_Click() {
    // Used exactly as typed: the movie surface decides what it can load.
    const QString address = w_.boxes().inputBox(kUrlPrompt);
    if (address.isEmpty())
        return;
    w_.flash->setMovie(address);
    w_.flash->Play();
    offerDownload(address);
}

void OpeningController::offerDownload(const QString& address) {
    const auto answer = w_.boxes().message(Downloader::kQuestion, Downloader::kQuestionTitle,
                                           MessageBoxes::Icon::Information, MessageBoxes::Buttons::YesNo);
    if (answer != MessageBoxes::Answer::Yes)
        return;

    CommonDialog& dialog = w_.Dialog();
    dialog.setDialogTitle(Downloader::kQuestionTitle);
    dialog.setFilter(OpenFilesPlan::kDialogFilter);
    dialog.setFlags(CommonDialog::FlagExplorer | CommonDialog::FlagOverwritePrompt);
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QDir(downloads).exists())
        dialog.setInitDir(downloads);
    dialog.setFileName(Downloader::suggestedFileName(address));
    dialog.ShowSave();
    const QString target = dialog.FileName();
    if (target.isEmpty())
        return;

    auto* downloader = new Downloader(this);
    if (!downloader->start(address, target)) {
        w_.boxes().message(QStringLiteral("无法下载：%1").arg(downloader->errorString()),
                           Downloader::kQuestionTitle, MessageBoxes::Icon::Critical);
        downloader->deleteLater();
        return;
    }
    DownloadProgress* progress = progressFactory_(&w_);
    progress->start(address, target);
    connect(downloader, &Downloader::progress, progress, &DownloadProgress::update);
    connect(progress, &DownloadProgress::cancelRequested, downloader, &Downloader::cancel);
    connect(downloader, &Downloader::finished, this,
            [this, downloader, progress, target](Downloader::Result result, const QString& reason) {
                progress->close();
                progress->deleteLater();
                downloader->deleteLater();
                const QString text = resultText(result, reason, target);
                if (!text.isEmpty())
                    w_.boxes().message(text, Downloader::kQuestionTitle,
                                       result == Downloader::Result::Failed ? MessageBoxes::Icon::Critical
                                                                            : MessageBoxes::Icon::Information);
                emit downloadFinished(result, target);
            });
}

QString OpeningController::resultText(Downloader::Result result, const QString& reason, const QString& target) {
    switch (result) {
    case Downloader::Result::Completed:
        return QStringLiteral("下载完成：%1").arg(target);
    case Downloader::Result::Failed:
        return QStringLiteral("下载失败：%1").arg(reason);
    case Downloader::Result::Cancelled:
        return QStringLiteral("下载已取消，没有留下任何文件。");
    }
    return {};
}

void OpeningController::MNUOPENWEB_Click() { urlOpener_(kUpdatePage); }

} // namespace nimbrel::player
