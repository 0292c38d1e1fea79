#pragma once
// Loads started by scripts (XML.load, LoadVars.load, loadVariables,
// loadMovie). The answer is handed to the script object only at the end of a
// frame's scripts, at most one round per frame, the way movies expect: a
// handler never runs inside the call that asked for the data. Every load and
// every address a script asks the host to open passes the movie's load policy
// here; the loads of one movie share one byte budget and a deadline each.
#include "movie/host/LoadPolicy.h"
#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace nimbrel::movie::host {
class Fetcher;
class LoadBudget;
class NetworkFetcher;
}

namespace nimbrel::movie::avm1 {

class Interpreter;
class Object;

class LoadQueue {
public:
    // The loaded bytes, or nothing when the load failed.
    using Deliver = std::function<void(Interpreter&, const std::optional<QByteArray>&)>;
    // Bytes of a streaming load as they arrived since the last frame, with the declared size (0 unknown).
    using Chunk = std::function<void(Interpreter&, const QByteArray& bytes, qint64 total)>;
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
    // Returns false when the address cannot be loaded at all or the movie may
    // not reach it; the failure still reaches `deliver` later.
    bool start(Object* owner, const QString& url, Deliver deliver);
    // The same, for a load used as it arrives: what came since the last frame
    // goes to `chunk` once the frame's scripts ran; `deliver` ends it, with
    // empty bytes on success.
    bool startStreaming(Object* owner, const QString& url, Chunk chunk, Deliver deliver);
    // unloadMovie and unloadMovieNum: `unload` runs when the next frame starts,
    // before its timeline moves; a later load for the same owner replaces it.
    void deferUnload(Object* owner, std::function<void(Interpreter&)> unload);
    // Runs the unloads asked for since the last frame.
    static void runUnloads(Interpreter& vm);
    // The object that stands for level n in loads and unloads of that level.
    Object* levelOwner(int n);
    // getURL and send: hands the address to the host when the movie may reach it.
    static void navigate(Interpreter& vm, const QString& url, const QString& target);
    // What the movie may reach, from where it came from and its file attributes.
    host::LoadPolicy policy() const;
    // All loads together may hold totalBytes; each must end within deadlineMs.
    void setLimits(qint64 totalBytes, int deadlineMs);
    const host::LoadBudget& budget() const { return *budget_; }
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
        qint64 heldBytes = 0; // counted in the budget until handed over
        Chunk chunk;          // streaming loads only
        QByteArray arrived;   // streaming: bytes not yet handed over
        qint64 declared = 0;
        bool failed = false;  // streaming: the load broke off
    };
    bool begin(Object* owner, const QString& url, std::shared_ptr<Request> request);
    host::Fetcher* fetcherFor(const QUrl& url);
    bool deliver();
    void release(Request& r);

    struct Unload {
        Object* owner = nullptr;
        std::function<void(Interpreter&)> run;
    };

    Interpreter& vm_;
    std::vector<std::shared_ptr<Request>> requests_;
    std::vector<Unload> unloads_;
    std::map<int, Object*> levelOwners_;
    std::unique_ptr<host::Fetcher> localFetcher_;
    std::unique_ptr<host::NetworkFetcher> networkFetcher_;
    std::shared_ptr<host::LoadBudget> budget_;
    int deadlineMs_;
    std::optional<double> lastRoundMs_;
};

} // namespace nimbrel::movie::avm1
