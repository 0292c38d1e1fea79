#pragma once
// Fetcher over Qt's network access: http, https and file addresses, with a
// size limit so that an endless download cannot exhaust memory.
#include "movie/host/Fetcher.h"
#include <QList>
#include <QObject>
#include <QPointer>

class QNetworkAccessManager;
class QNetworkReply;

namespace nimbrel::movie::host {

class NetworkFetcher : public QObject, public Fetcher {
    Q_OBJECT
public:
    static constexpr qint64 maxBytes = 256LL * 1024 * 1024;

    explicit NetworkFetcher(QObject* parent = nullptr);
    ~NetworkFetcher() override;
    void fetch(const QUrl& url, Done done) override;
    void cancelAll() override;

private:
    QNetworkAccessManager* manager_ = nullptr;
    QList<QPointer<QNetworkReply>> replies_;
};

} // namespace nimbrel::movie::host
