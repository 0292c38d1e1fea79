#pragma once
// Fetcher for local files: reads at once and answers before fetch returns.
// Used where no event loop runs (headless runs) and for movies opened from disk.
#include "movie/host/Fetcher.h"

namespace nimbrel::movie::host {

class LocalFileFetcher : public Fetcher {
public:
    static constexpr qint64 maxBytes = 64LL * 1024 * 1024;
    void fetch(const QUrl& url, Done done) override;
    void cancelAll() override {}
};

} // namespace nimbrel::movie::host
