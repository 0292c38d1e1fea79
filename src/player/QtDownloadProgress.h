#pragma once
// The download progress shown as a non-modal progress dialog with a cancel button.
#include "player/DownloadProgress.h"
#include <QPointer>

class QProgressDialog;
class QWidget;

namespace nimbrel::player {

class QtDownloadProgress : public DownloadProgress {
    Q_OBJECT
public:
    explicit QtDownloadProgress(QWidget* owner);
    ~QtDownloadProgress() override;

    void start(const QString& address, const QString& target) override;
    void update(qint64 received, qint64 total, qint64 bytesPerSecond) override;
    void close() override;

private:
    QPointer<QProgressDialog> dialog_;
    QString heading_;
};

} // namespace nimbrel::player
