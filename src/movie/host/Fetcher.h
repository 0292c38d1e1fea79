#pragma once
// Fetches a movie or a file a movie asks for. Never blocks: the answer comes
// back through the callback, on the thread that asked.
#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>

namespace nimbrel::movie::host {

class Fetcher {
public:
    using Done = std::function<void(const QByteArray& data, const QString& error)>;
    // Bytes as they arrive, with the size the answer declared (0 when unknown).
    using Progress = std::function<void(const QByteArray& chunk, qint64 total)>;
    virtual ~Fetcher() = default;
    // Starts a fetch; `done` is called once. A single fetch cannot be called
    // off: the owner ignores a late answer, and cancelAll ends every fetch.
    virtual void fetch(const QUrl& url, Done done) = 0;
    virtual void cancelAll() = 0;
    // Like fetch, handing the bytes over as they arrive; `done` then only
    // tells the outcome (its data is empty). Fetchers that read all at once
    // hand everything over just before `done`.
    virtual void fetchProgressive(const QUrl& url, Progress progress, Done done) {
        fetch(url, [progress = std::move(progress), done = std::move(done)](const QByteArray& data, const QString& error) {
            if (error.isEmpty() && !data.isEmpty()) progress(data, data.size());
            done({}, error);
        });
    }
};

} // namespace nimbrel::movie::host
