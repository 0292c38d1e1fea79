#pragma once
// A host for the second virtual machine in tests: trace lines collected in
// order, a real clock and a script timeout the test chooses.
#include "movie/avm2/Avm2Host.h"
#include <QElapsedTimer>
#include <QStringList>

namespace nimbrel::movie::test {

class Avm2TraceHost : public avm2::Avm2Host {
public:
    explicit Avm2TraceHost(int64_t timeoutMs = 5000) : timeoutMs_(timeoutMs) { clock_.start(); }
    void trace(const QString& line) override { lines.append(line); }
    int64_t nowMs() const override { return clock_.elapsed(); }
    int64_t scriptTimeoutMs() const override { return timeoutMs_; }

    QStringList lines;

private:
    QElapsedTimer clock_;
    int64_t timeoutMs_;
};

} // namespace nimbrel::movie::test
