#pragma once
// Loads started by scripts (XML.load, LoadVars.load, loadVariables). The
// answer is handed to the script object only at the end of a frame's
// scripts, at most one round per frame, the way movies expect: a handler
// never runs inside the call that asked for the data.
#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace nimbrel::movie::host {
class Fetcher;
}

namespace nimbrel::movie::avm1 {

class Interpreter;
class Object;

class LoadQueue {
public:
    // The loaded bytes, or nothing when the load failed.
    using Deliver = std::function<void(Interpreter&, const std::optional<QByteArray>&)>;
    static constexpr size_t kMaxPending = 256;

    explicit LoadQueue(Interpreter& vm);
    ~LoadQueue();
    LoadQueue(const LoadQueue&) = delete;
    LoadQueue& operator=(const LoadQueue&) = delete;

    // The interpreter's queue, made on first use.
    static LoadQueue& of(Interpreter& vm);
    // Hands over what has arrived; true when anything was delivered. Called once the frame's scripts ran.
    static bool deliverPending(Interpreter& vm);

    // Starts a load for `owner`; a newer load for the same owner replaces the older one.
    // Returns false when the address cannot be loaded at all.
    bool start(Object* owner, const QString& url, Deliver deliver);
    void cancel(Object* owner);
    bool isLoading(Object* owner) const;
    // Address relative to the movie: a folder path or a web address ending in '/'.
    QUrl resolve(const QString& url) const;
    void markRoots(std::vector<Object*>& out) const;

private:
    struct Request {
        Object* owner = nullptr;
        Deliver deliver;
        bool finished = false;
        std::optional<QByteArray> data;
    };
    host::Fetcher* fetcherFor(const QUrl& url);
    bool deliver();

    Interpreter& vm_;
    std::vector<std::shared_ptr<Request>> requests_;
    std::unique_ptr<host::Fetcher> localFetcher_;
    std::unique_ptr<host::Fetcher> networkFetcher_;
    std::optional<double> lastRoundMs_;
};

} // namespace nimbrel::movie::avm1
