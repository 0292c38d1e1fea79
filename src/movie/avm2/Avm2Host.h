#pragma once
// What the second virtual machine needs from whoever runs it: somewhere to
// send trace output and a clock for the script time budget.
#include <QString>
#include <cstdint>

namespace nimbrel::movie::avm2 {

class Avm2Host {
public:
    virtual ~Avm2Host() = default;
    virtual void trace(const QString& line) = 0;
    // Milliseconds on a monotonic clock.
    virtual int64_t nowMs() const = 0;
    // What getTimer reports: milliseconds since the movie started (a player
    // counts movie time; without one it is the monotonic clock).
    virtual int64_t movieTimeMs() const { return nowMs(); }
    // How long one entry into script code may run before it is stopped.
    virtual int64_t scriptTimeoutMs() const { return 15000; }
};

} // namespace nimbrel::movie::avm2
