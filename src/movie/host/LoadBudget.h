#pragma once
// Bytes one movie's loads may take together, counted while they arrive and
// while they wait to be handed to the movie. A load that would go past the
// limit fails instead; whatever it held is given back.
#include <QtGlobal>

namespace nimbrel::movie::host {

class LoadBudget {
public:
    static constexpr qint64 defaultLimit = 256LL * 1024 * 1024;

    explicit LoadBudget(qint64 limit = defaultLimit) : limit_(limit) {}

    bool tryTake(qint64 bytes)
    {
        if (bytes < 0 || bytes > limit_ - used_)
            return false;
        used_ += bytes;
        peak_ = qMax(peak_, used_);
        return true;
    }
    void giveBack(qint64 bytes) { used_ = qMax<qint64>(0, used_ - bytes); }

    qint64 limit() const { return limit_; }
    void setLimit(qint64 limit) { limit_ = limit; }
    qint64 used() const { return used_; }
    qint64 peak() const { return peak_; }

private:
    qint64 limit_;
    qint64 used_ = 0;
    qint64 peak_ = 0;
};

} // namespace nimbrel::movie::host
