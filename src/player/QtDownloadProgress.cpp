#include "player/QtDownloadProgress.h"
#include <QProgressDialog>
#include <QWidget>

namespace nimbrel::player {

QtDownloadProgress::QtDownloadProgress(QWidget* owner) : DownloadProgress(owner) {
    dialog_ = new QProgressDialog(owner);
    dialog_->setWindowTitle(QStringLiteral("Download File"));
    dialog_->setCancelButtonText(QStringLiteral("取消"));
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    // The player goes on while the movie downloads.
    dialog_->setWindowModality(Qt::NonModal);
    connect(dialog_, &QProgressDialog::canceled, this, &DownloadProgress::cancelRequested);
}

QtDownloadProgress::~QtDownloadProgress() {
    if (dialog_)
        dialog_->deleteLater();
}

void QtDownloadProgress::start(const QString& address, const QString& target) {
    heading_ = QStringLiteral("%1\n→ %2").arg(address, target);
    dialog_->setRange(0, 0);
    dialog_->setLabelText(heading_ + QLatin1Char('\n') + describe(0, -1, 0));
    dialog_->adjustSize();
    // Over the player, wherever the window manager would have put it.
    if (const QWidget* owner = dialog_->parentWidget())
        dialog_->move(owner->geometry().center() - dialog_->rect().center());
    dialog_->show();
}

void QtDownloadProgress::update(qint64 received, qint64 total, qint64 bytesPerSecond) {
    if (!dialog_)
        return;
    if (total > 0) {
        // Per mille keeps the bar's range inside int for any file size.
        dialog_->setRange(0, 1000);
        dialog_->setValue(int(qBound(qint64(0), received * 1000 / total, qint64(1000))));
    }
    dialog_->setLabelText(heading_ + QLatin1Char('\n') + describe(received, total, bytesPerSecond));
}

void QtDownloadProgress::close() {
    if (dialog_)
        dialog_->hide();
}

} // namespace nimbrel::player
