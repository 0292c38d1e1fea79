#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/Interpreter.h"
#include "movie/host/LocalFileFetcher.h"
#include "movie/host/NetworkFetcher.h"
#include <QDir>
#include <QRegularExpression>

namespace nimbrel::movie::avm1 {

namespace {

bool isWeb(const QUrl& u)
{
    const QString s = u.scheme().toLower();
    return s == QLatin1String("http") || s == QLatin1String("https");
}

} // namespace

LoadQueue::LoadQueue(Interpreter& vm) : vm_(vm) {}

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
    const QUrl given(url);
    const QString scheme = given.scheme().toLower();
    // One-letter schemes are drive letters of local paths.
    if (scheme.size() > 1)
        return given;
    const QUrl base(vm_.movieUrl);
    if (isWeb(base))
        return base.resolved(given);
    // A local movie: the query and anchor are no part of the file name.
    QString path = url;
    const qsizetype cut = path.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (cut >= 0)
        path.truncate(cut);
    if (path.isEmpty())
        return {};
    if (QDir::isAbsolutePath(path))
        return QUrl::fromLocalFile(path);
    return QUrl::fromLocalFile(QDir(vm_.movieUrl.isEmpty() ? QStringLiteral(".") : vm_.movieUrl).filePath(path));
}

host::Fetcher* LoadQueue::fetcherFor(const QUrl& url)
{
    if (vm_.fetcher)
        return vm_.fetcher;
    if (url.isLocalFile()) {
        // A movie from the web may not read the user's files.
        if (isWeb(QUrl(vm_.movieUrl)))
            return nullptr;
        if (!localFetcher_)
            localFetcher_ = std::make_unique<host::LocalFileFetcher>();
        return localFetcher_.get();
    }
    if (!isWeb(url))
        return nullptr;
    if (!networkFetcher_)
        networkFetcher_ = std::make_unique<host::NetworkFetcher>();
    return networkFetcher_.get();
}

bool LoadQueue::start(Object* owner, const QString& url, Deliver deliver)
{
    cancel(owner);
    const QUrl resolved = resolve(url);
    host::Fetcher* fetcher = resolved.isValid() && !resolved.isEmpty() ? fetcherFor(resolved) : nullptr;
    auto request = std::make_shared<Request>();
    request->owner = owner;
    request->deliver = std::move(deliver);
    if (requests_.size() >= kMaxPending || !fetcher) {
        // Fails like a missing file: the failure still arrives later, never inside the call.
        request->finished = true;
        requests_.push_back(request);
        return fetcher != nullptr;
    }
    requests_.push_back(request);
    std::weak_ptr<Request> weak = request;
    fetcher->fetch(resolved, [weak](const QByteArray& data, const QString& error) {
        if (auto r = weak.lock()) {
            r->finished = true;
            if (error.isEmpty())
                r->data = data;
        }
    });
    return true;
}

void LoadQueue::cancel(Object* owner)
{
    std::erase_if(requests_, [owner](const std::shared_ptr<Request>& r) { return r->owner == owner; });
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
}

bool LoadQueue::deliver()
{
    std::optional<double> now;
    if (vm_.clockMs)
        now = vm_.clockMs();
    if (now && lastRoundMs_ && *now == *lastRoundMs_)
        return false;
    std::vector<std::shared_ptr<Request>> ready;
    for (auto it = requests_.begin(); it != requests_.end();) {
        if ((*it)->finished) {
            ready.push_back(*it);
            it = requests_.erase(it);
        } else {
            ++it;
        }
    }
    if (ready.empty())
        return false;
    lastRoundMs_ = now;
    for (const auto& r : ready)
        r->deliver(vm_, r->data);
    return true;
}

} // namespace nimbrel::movie::avm1
