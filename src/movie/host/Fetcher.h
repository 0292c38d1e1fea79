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
    // Cancels any fetch still running for an earlier request with the same owner.
    virtual void fetch(const QUrl& url, Done done) = 0;
    virtual void cancelAll() = 0;
};

} // namespace nimbrel::movie::host
