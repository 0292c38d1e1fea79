#include "movie/host/NetworkFetcher.h"
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace nimbrel::movie::host {

namespace {
// Qt's own buffer per reply; the bytes are moved out and counted as they come.
constexpr qint64 replyBufferBytes = 1024 * 1024;
} // namespace

struct NetworkFetcher::Transfer {
    Done done;
    std::shared_ptr<LoadBudget> budget; // the one the bytes were counted in
    QByteArray data;
    QString failure;   // set when we stop the load ourselves
    bool cancelled = false;
    bool finished = false;
};

NetworkFetcher::NetworkFetcher(QObject* parent) : QObject(parent) {}

NetworkFetcher::~NetworkFetcher() { cancelAll(); }

void NetworkFetcher::setBudget(std::shared_ptr<LoadBudget> budget) {
    if (budget) budget_ = std::move(budget);
}

void NetworkFetcher::fetch(const QUrl& url, Done done) {
    if (!manager_) manager_ = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(idleTimeoutMs);
    QNetworkReply* reply = manager_->get(request);
    reply->setReadBufferSize(replyBufferBytes);
    auto t = std::make_shared<Transfer>();
    t->done = std::move(done);
    t->budget = budget_;
    transfers_.insert(reply, t);
    auto stop = [reply, t](const QString& why) {
        if (!t->failure.isEmpty() || t->finished) return;
        t->failure = why;
        reply->abort();
    };
    const auto budget = budget_;
    connect(reply, &QNetworkReply::readyRead, this, [reply, t, budget, stop] {
        const QByteArray chunk = reply->readAll();
        if (t->data.size() + chunk.size() > maxBytes || !budget->tryTake(chunk.size())) {
            stop(QStringLiteral("the download is larger than allowed"));
            return;
        }
        t->data += chunk;
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [budget, stop](qint64, qint64 total) {
        // A declared size past either limit is refused before it arrives.
        if (total > maxBytes || total > budget->limit())
            stop(QStringLiteral("the download is larger than allowed"));
    });
    if (deadlineMs_ > 0) {
        auto* deadline = new QTimer(reply);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, reply, [stop] { stop(QStringLiteral("the download took too long")); });
        deadline->start(deadlineMs_);
    }
    connect(reply, &QNetworkReply::finished, this, [this, reply, t] { finish(reply, t); });
}

void NetworkFetcher::finish(QNetworkReply* reply, const std::shared_ptr<Transfer>& t) {
    if (t->finished) return;
    t->finished = true;
    transfers_.remove(reply);
    reply->deleteLater();
    // Whatever the outcome, the bytes stop counting here: the receiver counts what it keeps.
    QByteArray data = std::move(t->data);
    t->data = QByteArray();
    t->budget->giveBack(data.size());
    if (t->cancelled) return;
    Done done = std::move(t->done);
    if (!t->failure.isEmpty()) {
        data = QByteArray();
        done({}, t->failure);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        data = QByteArray();
        done({}, reply->errorString());
        return;
    }
    const QByteArray rest = reply->readAll();
    if (data.size() + rest.size() > maxBytes) {
        data = QByteArray();
        done({}, QStringLiteral("the download is larger than allowed"));
        return;
    }
    data += rest;
    done(data, {});
}

void NetworkFetcher::cancelAll() {
    const auto transfers = transfers_;
    for (auto it = transfers.begin(); it != transfers.end(); ++it) {
        it.value()->cancelled = true;
        it.key()->abort();
    }
    transfers_.clear();
}

} // namespace nimbrel::movie::host
