#include "movie/avm2/LoadRequests.h"
#include "movie/host/LoadAddress.h"
#include "movie/host/LoadBudget.h"
#include "movie/host/LocalFileFetcher.h"
#include "movie/host/NetworkFetcher.h"

namespace nimbrel::movie::avm2 {

LoadRequests::LoadRequests(QString base, host::LoadPolicy policy, host::Fetcher* hostFetcher)
    : base_(std::move(base)), policy_(policy), hostFetcher_(hostFetcher), budget_(std::make_shared<host::LoadBudget>()) {}

LoadRequests::~LoadRequests() = default;

QUrl LoadRequests::resolve(const QString& url) const { return host::LoadAddress::resolve(base_, url); }

host::Fetcher* LoadRequests::fetcherFor(const QUrl& url) {
    if (hostFetcher_) return hostFetcher_;
    if (url.isLocalFile()) {
        if (!localFetcher_) localFetcher_ = std::make_unique<host::LocalFileFetcher>();
        return localFetcher_.get();
    }
    if (!host::LoadAddress::isWeb(url)) return nullptr;
    if (!networkFetcher_) {
        networkFetcher_ = std::make_unique<host::NetworkFetcher>();
        networkFetcher_->setBudget(budget_);
    }
    return networkFetcher_.get();
}

uint64_t LoadRequests::start(const QString& url, Done done) {
    auto request = std::make_shared<Request>();
    request->ticket = nextTicket_++;
    request->done = std::move(done);
    const QUrl resolved = resolve(url);
    host::Fetcher* fetcher = resolved.isValid() && !resolved.isEmpty() && policy_.allows(host::LoadPolicy::Use::Load, resolved)
                                 ? fetcherFor(resolved) : nullptr;
    requests_.push_back(request);
    // A refused or unreachable address fails like a missing file, later.
    if (!fetcher || requests_.size() > kMaxPending) {
        request->finished = true;
        return request->ticket;
    }
    std::weak_ptr<Request> weak = request;
    std::weak_ptr<host::LoadBudget> budget = budget_;
    fetcher->fetch(resolved, [weak, budget](const QByteArray& data, const QString& error) {
        auto r = weak.lock();
        auto b = budget.lock();
        if (!r || !b || r->finished) return;
        r->finished = true;
        // What waits for the next frame counts against the budget; past it the load fails.
        if (error.isEmpty() && b->tryTake(data.size())) {
            r->ok = true;
            r->data = data;
            r->held = data.size();
        }
    });
    return request->ticket;
}

uint64_t LoadRequests::startWithBytes(const QByteArray& data, Done done) {
    auto request = std::make_shared<Request>();
    request->ticket = nextTicket_++;
    request->done = std::move(done);
    request->finished = request->ok = true;
    request->data = data;
    requests_.push_back(request);
    return request->ticket;
}

void LoadRequests::cancel(uint64_t ticket) {
    std::erase_if(requests_, [&](const std::shared_ptr<Request>& r) {
        if (r->ticket != ticket) return false;
        budget_->giveBack(r->held);
        return true;
    });
}

bool LoadRequests::deliver() {
    std::vector<std::shared_ptr<Request>> ready;
    std::erase_if(requests_, [&](const std::shared_ptr<Request>& r) {
        if (!r->finished) return false;
        ready.push_back(r);
        return true;
    });
    for (const auto& r : ready) {
        budget_->giveBack(r->held);
        r->held = 0;
        r->done(r->data, r->ok);
    }
    return !ready.empty();
}

} // namespace nimbrel::movie::avm2
