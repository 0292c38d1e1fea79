#include "movie/host/NetworkFetcher.h"
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace nimbrel::movie::host {

NetworkFetcher::NetworkFetcher(QObject* parent) : QObject(parent) {}

NetworkFetcher::~NetworkFetcher() { cancelAll(); }

void NetworkFetcher::fetch(const QUrl& url, Done done) {
    if (!manager_) manager_ = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(60000);
    QNetworkReply* reply = manager_->get(request);
    replies_.append(reply);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > maxBytes || total > maxBytes) reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, done = std::move(done)] {
        replies_.removeAll(reply);
        reply->deleteLater();
        if (reply->error() == QNetworkReply::OperationCanceledError && reply->property("cancelled").toBool())
            return;
        if (reply->error() != QNetworkReply::NoError) {
            done({}, reply->errorString());
            return;
        }
        done(reply->readAll(), {});
    });
}

void NetworkFetcher::cancelAll() {
    auto replies = replies_;
    replies_.clear();
    for (auto& r : replies)
        if (r) {
            r->setProperty("cancelled", true);
            r->abort();
        }
}

} // namespace nimbrel::movie::host
