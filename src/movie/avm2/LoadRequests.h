#pragma once
// Loads the second machine's scripts start (Loader.load, URLLoader.load):
// each passes the movie's load policy, and its answer reaches the script
// once the frame's scripts have run, never inside the call that asked.
#include "movie/host/LoadPolicy.h"
#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

namespace nimbrel::movie::host {
class Fetcher;
class LoadBudget;
class NetworkFetcher;
}

namespace nimbrel::movie::avm2 {

class LoadRequests {
public:
    // The bytes, or ok false when the file could not be had (missing, refused, cut off).
    using Done = std::function<void(const QByteArray& data, bool ok)>;
    static constexpr size_t kMaxPending = 256;

    // base: the folder or address the movie came from; hostFetcher: the
    // player's (null: local files and the web on our own).
    LoadRequests(QString base, host::LoadPolicy policy, host::Fetcher* hostFetcher);
    ~LoadRequests();
    LoadRequests(const LoadRequests&) = delete;
    LoadRequests& operator=(const LoadRequests&) = delete;

    QUrl resolve(const QString& url) const;
    const host::LoadPolicy& policy() const { return policy_; }
    // Starts a load; `done` runs from deliver(). Returns the ticket cancel() takes.
    uint64_t start(const QString& url, Done done);
    // Bytes a script already holds (Loader.loadBytes), answered like a load.
    uint64_t startWithBytes(const QByteArray& data, Done done);
    void cancel(uint64_t ticket);
    // Runs the answers that have come; what they start waits for the next call.
    bool deliver();
    bool idle() const { return requests_.empty(); }

private:
    struct Request {
        uint64_t ticket = 0;
        Done done;
        bool finished = false;
        bool ok = false;
        QByteArray data;
        qint64 held = 0;
    };
    host::Fetcher* fetcherFor(const QUrl& url);

    QString base_;
    host::LoadPolicy policy_;
    host::Fetcher* hostFetcher_;
    std::unique_ptr<host::Fetcher> localFetcher_;
    std::unique_ptr<host::NetworkFetcher> networkFetcher_;
    std::shared_ptr<host::LoadBudget> budget_;
    std::vector<std::shared_ptr<Request>> requests_;
    uint64_t nextTicket_ = 1;
};

} // namespace nimbrel::movie::avm2
