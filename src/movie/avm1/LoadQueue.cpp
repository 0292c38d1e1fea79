#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/Interpreter.h"
#include "movie/host/LoadAddress.h"
#include "movie/host/LocalFileFetcher.h"
#include "movie/host/NetworkFetcher.h"
#include "movie/swf/Movie.h"

namespace nimbrel::movie::avm1 {

namespace {

bool isWeb(const QUrl& u)
{
    return host::LoadAddress::isWeb(u);
}

} // namespace

LoadQueue::LoadQueue(Interpreter& vm)
    : vm_(vm), budget_(std::make_shared<host::LoadBudget>()), deadlineMs_(host::NetworkFetcher::defaultDeadlineMs)
{
}

LoadQueue::~LoadQueue() = default;

LoadQueue& LoadQueue::of(Interpreter& vm)
{
    if (!vm.loads)
        vm.loads = std::make_shared<LoadQueue>(vm);
    return *vm.loads;
}

bool LoadQueue::deliverPending(Interpreter& vm)
{
    return vm.loads && vm.loads->deliver();
}

QUrl LoadQueue::resolve(const QString& url) const
{
    return host::LoadAddress::resolve(vm_.movieUrl, url);
}

host::LoadPolicy LoadQueue::policy() const
{
    return host::LoadPolicy::forMovie(vm_.movieUrl, vm_.movie && vm_.movie->useNetwork);
}

void LoadQueue::setLimits(qint64 totalBytes, int deadlineMs)
{
    budget_->setLimit(totalBytes);
    deadlineMs_ = deadlineMs;
    if (networkFetcher_)
        networkFetcher_->setDeadlineMs(deadlineMs);
}

void LoadQueue::navigate(Interpreter& vm, const QString& url, const QString& target)
{
    if (!vm.urlSink)
        return;
    LoadQueue& queue = of(vm);
    const QUrl resolved = queue.resolve(url);
    if (!queue.policy().allows(host::LoadPolicy::Use::Navigate, resolved))
        return;
    // A relative address opens beside the movie that asked.
    vm.urlSink(QUrl(url).isRelative() ? resolved.toString() : url, target);
}

host::Fetcher* LoadQueue::fetcherFor(const QUrl& url)
{
    if (vm_.fetcher)
        return vm_.fetcher;
    if (url.isLocalFile()) {
        if (!localFetcher_)
            localFetcher_ = std::make_unique<host::LocalFileFetcher>();
        return localFetcher_.get();
    }
    if (!isWeb(url))
        return nullptr;
    if (!networkFetcher_) {
        networkFetcher_ = std::make_unique<host::NetworkFetcher>();
        networkFetcher_->setBudget(budget_);
        networkFetcher_->setDeadlineMs(deadlineMs_);
    }
    return networkFetcher_.get();
}

bool LoadQueue::start(Object* owner, const QString& url, Deliver deliver)
{
    auto request = std::make_shared<Request>();
    request->deliver = std::move(deliver);
    return begin(owner, url, std::move(request));
}

bool LoadQueue::startStreaming(Object* owner, const QString& url, Chunk chunk, Deliver deliver)
{
    auto request = std::make_shared<Request>();
    request->deliver = std::move(deliver);
    request->chunk = std::move(chunk);
    return begin(owner, url, std::move(request));
}

bool LoadQueue::begin(Object* owner, const QString& url, std::shared_ptr<Request> request)
{
    cancel(owner);
    const QUrl resolved = resolve(url);
    // A refused address fails like a missing file, so the script hears of it.
    const bool allowed = policy().allows(host::LoadPolicy::Use::Load, resolved);
    host::Fetcher* fetcher = allowed ? fetcherFor(resolved) : nullptr;
    request->owner = owner;
    if (requests_.size() >= kMaxPending || !fetcher) {
        // Fails like a missing file: the failure still arrives later, never inside the call.
        request->finished = true;
        request->failed = true;
        requests_.push_back(request);
        return fetcher != nullptr;
    }
    requests_.push_back(request);
    std::weak_ptr<Request> weak = request;
    std::weak_ptr<host::LoadBudget> budget = budget_;
    if (request->chunk) {
        fetcher->fetchProgressive(resolved,
            [weak, budget](const QByteArray& bytes, qint64 total) {
                auto r = weak.lock();
                auto b = budget.lock();
                if (!r || !b || r->finished)
                    return;
                r->declared = total;
                // Bytes waiting for the next frame count; past the budget the load fails.
                if (!b->tryTake(bytes.size())) {
                    r->finished = true;
                    r->failed = true;
                    return;
                }
                r->arrived += bytes;
                r->heldBytes += bytes.size();
            },
            [weak](const QByteArray&, const QString& error) {
                auto r = weak.lock();
                if (!r || r->finished)
                    return;
                r->finished = true;
                r->failed = !error.isEmpty();
            });
        return true;
    }
    fetcher->fetch(resolved, [weak, budget](const QByteArray& data, const QString& error) {
        auto r = weak.lock();
        auto b = budget.lock();
        if (!r || !b || r->finished)
            return;
        r->finished = true;
        // What waits for the next frame counts too; past the budget the load fails.
        if (error.isEmpty() && b->tryTake(data.size())) {
            r->data = data;
            r->heldBytes = data.size();
        }
    });
    return true;
}

void LoadQueue::release(Request& r)
{
    budget_->giveBack(r.heldBytes);
    r.heldBytes = 0;
}

void LoadQueue::deferUnload(Object* owner, std::function<void(Interpreter&)> unload)
{
    cancel(owner);
    if (unloads_.size() < kMaxPending)
        unloads_.push_back({owner, std::move(unload)});
}

void LoadQueue::runUnloads(Interpreter& vm)
{
    if (!vm.loads || vm.loads->unloads_.empty())
        return;
    // An unload handler may ask for more; those wait for the next frame.
    std::vector<Unload> due = std::exchange(vm.loads->unloads_, {});
    for (auto& u : due)
        u.run(vm);
}

Object* LoadQueue::levelOwner(int n)
{
    Object*& owner = levelOwners_[n];
    if (!owner)
        owner = vm_.newObject();
    return owner;
}

void LoadQueue::cancel(Object* owner)
{
    std::erase_if(unloads_, [owner](const Unload& u) { return u.owner == owner; });
    std::erase_if(requests_, [this, owner](const std::shared_ptr<Request>& r) {
        if (r->owner != owner)
            return false;
        release(*r);
        return true;
    });
}

bool LoadQueue::isLoading(Object* owner) const
{
    for (const auto& r : requests_)
        if (r->owner == owner)
            return true;
    return false;
}

void LoadQueue::markRoots(std::vector<Object*>& out) const
{
    for (const auto& r : requests_)
        out.push_back(r->owner);
    for (const auto& u : unloads_)
        out.push_back(u.owner);
    for (const auto& [n, owner] : levelOwners_)
        out.push_back(owner);
}

bool LoadQueue::deliver()
{
    std::optional<double> now;
    if (vm_.clockMs)
        now = vm_.clockMs();
    if (now && lastRoundMs_ && *now == *lastRoundMs_)
        return false;
    std::vector<std::shared_ptr<Request>> ready, arrived;
    for (auto it = requests_.begin(); it != requests_.end();) {
        if (!(*it)->arrived.isEmpty() && !(*it)->failed)
            arrived.push_back(*it);
        if ((*it)->finished) {
            ready.push_back(*it);
            it = requests_.erase(it);
        } else {
            ++it;
        }
    }
    if (ready.empty() && arrived.empty())
        return false;
    lastRoundMs_ = now;
    for (const auto& r : arrived) {
        release(*r);
        const QByteArray bytes = std::move(r->arrived);
        r->arrived.clear();
        r->chunk(vm_, bytes, r->declared);
    }
    for (const auto& r : ready) {
        release(*r);
        // A streaming load's success carries no bytes: they went through its chunks.
        if (r->chunk && !r->failed)
            r->data = QByteArray();
        std::optional<QByteArray> data = std::move(r->data);
        r->data.reset();
        r->deliver(vm_, data);
    }
    return true;
}

} // namespace nimbrel::movie::avm1
