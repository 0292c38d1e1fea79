#pragma once
// Opening movies: local files through the shared open dialog (one plays at once,
// several fill the quick-play list and, if the user wants, the playlist panel), an
// address typed by the user with the offer to download it, and the update page.
#include "services/Downloader.h"
#include <QObject>
#include <QUrl>
#include <functional>
#include <memory>

class QWidget;

namespace nimbrel::player {

class DownloadProgress;
class frmmain;

class OpeningController : public QObject {
    Q_OBJECT
public:
    using ProgressFactory = std::function<DownloadProgress*(QWidget* owner)>;
    using UrlOpener = std::function<bool(const QUrl&)>;

    // The maker's page that "软件更新" opens.
    static const QUrl kUpdatePage;
    static const QString kUrlPrompt;   // "请输入有效的网络SWF文件地址"

    explicit OpeningController(frmmain& window);

    void mnuopen_Click();     // MNUOPEN and the O key
    void MNUOPENURL_Click();  // MNUOPENURL and the U key
    void MNUOPENWEB_Click();  // the update page in the browser

    // Tests replace the progress dialog and the browser.
    void setProgressFactory(ProgressFactory f) { progressFactory_ = std::move(f); }
    void setUrlOpener(UrlOpener f) { urlOpener_ = std::move(f); }

    // How a finished download is reported: the box's text, or "" for none.
    static QString resultText(services::Downloader::Result result, const QString& reason,
                              const QString& target);

    // Asks "是否下载本片"; on Yes saves the file behind address with progress.
    void offerDownload(const QString& address);
    // Where the open dialog starts: the folder of the movie last opened, else home.
    QString initialFolder() const;

signals:
    // A download ended (after its box, if any, was answered).
    void downloadFinished(nimbrel::services::Downloader::Result result, const QString& target);

private:

    frmmain& w_;
    ProgressFactory progressFactory_;
    UrlOpener urlOpener_;
};

} // namespace nimbrel::player
