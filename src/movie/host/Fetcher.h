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
    virtual ~Fetcher() = default;
    // Starts a fetch; `done` is called once. A single fetch cannot be called
    // off: the owner ignores a late answer, and cancelAll ends every fetch.
    virtual void fetch(const QUrl& url, Done done) = 0;
    virtual void cancelAll() = 0;
};

} // namespace nimbrel::movie::host
