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
    Progress progress;  // set: bytes are handed over as they come, not kept here
    qint64 received = 0;
    qint64 declared = 0;
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

void NetworkFetcher::fetch(const QUrl& url, Done done) { start(url, nullptr, std::move(done)); }

void NetworkFetcher::fetchProgressive(const QUrl& url, Progress progress, Done done) {
    start(url, std::move(progress), std::move(done));
}

void NetworkFetcher::start(const QUrl& url, Progress progress, Done done) {
    if (!manager_) manager_ = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(idleTimeoutMs);
    QNetworkReply* reply = manager_->get(request);
    reply->setReadBufferSize(replyBufferBytes);
    auto t = std::make_shared<Transfer>();
    t->done = std::move(done);
    t->progress = std::move(progress);
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
        if (t->received + chunk.size() > maxBytes) {
            stop(QStringLiteral("the download is larger than allowed"));
            return;
        }
        t->received += chunk.size();
        // Handed over bytes count where they are kept, not here.
        if (t->progress) {
            if (!t->cancelled && t->failure.isEmpty() && !chunk.isEmpty()) t->progress(chunk, t->declared);
            return;
        }
        if (!budget->tryTake(chunk.size())) {
            stop(QStringLiteral("the download is larger than allowed"));
            return;
        }
        t->data += chunk;
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [t, budget, stop](qint64, qint64 total) {
        t->declared = std::max<qint64>(total, 0);
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
    if (t->received + rest.size() > maxBytes) {
        data = QByteArray();
        done({}, QStringLiteral("the download is larger than allowed"));
        return;
    }
    if (t->progress) {
        if (!rest.isEmpty()) t->progress(rest, t->declared);
        done({}, {});
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
