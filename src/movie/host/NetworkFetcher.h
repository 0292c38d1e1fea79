#pragma once
// Fetcher over Qt's network access: http, https and file addresses. Limits
// keep a movie from exhausting memory or holding loads open for ever: each
// load is capped, all loads of one fetcher share a byte budget, and a load
// that has not finished by its deadline fails, however slowly data trickles.
#include "movie/host/Fetcher.h"
#include "movie/host/LoadBudget.h"
#include <QHash>
#include <QObject>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace nimbrel::movie::host {

class NetworkFetcher : public QObject, public Fetcher {
    Q_OBJECT
public:
    static constexpr qint64 maxBytes = 256LL * 1024 * 1024; // one load
    static constexpr int defaultDeadlineMs = 5 * 60 * 1000;
    static constexpr int idleTimeoutMs = 60 * 1000;

    explicit NetworkFetcher(QObject* parent = nullptr);
    ~NetworkFetcher() override;
    void fetch(const QUrl& url, Done done) override;
    void fetchProgressive(const QUrl& url, Progress progress, Done done) override;
    void cancelAll() override;

    // The budget all loads count against; shared with whoever holds the
    // loaded bytes afterwards. A fetcher starts with a budget of its own.
    void setBudget(std::shared_ptr<LoadBudget> budget);
    const std::shared_ptr<LoadBudget>& budget() const { return budget_; }
    // Time from the request to the last byte; 0 or less: no deadline.
    void setDeadlineMs(int ms) { deadlineMs_ = ms; }
    int deadlineMs() const { return deadlineMs_; }
    int running() const { return int(transfers_.size()); }

private:
    struct Transfer;
    void start(const QUrl& url, Progress progress, Done done);
    void finish(QNetworkReply* reply, const std::shared_ptr<Transfer>& t);

    QNetworkAccessManager* manager_ = nullptr;
    QHash<QNetworkReply*, std::shared_ptr<Transfer>> transfers_;
    std::shared_ptr<LoadBudget> budget_ = std::make_shared<LoadBudget>();
    int deadlineMs_ = defaultDeadlineMs;
};

} // namespace nimbrel::movie::host
