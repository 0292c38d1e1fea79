#pragma once
// Deterministic damage for SWF files: bit flips, cuts, lying tag lengths,
// overwritten and repeated spans. Same seed, same bytes, on every machine.
#include <QByteArray>
#include <cstdint>
#include <random>

class Mutator {
public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}

    // One damaged copy of an uncompressed (FWS) movie.
    QByteArray mutate(const QByteArray& fws);

private:
    uint32_t below(uint32_t n) { return n ? uint32_t(rng_() % n) : 0; }
    void flipBits(QByteArray& b);
    void cut(QByteArray& b);
    void lieAboutATagLength(QByteArray& b);
    void overwrite(QByteArray& b);
    void repeatSpan(QByteArray& b);
    void bigCounts(QByteArray& b);

    std::mt19937 rng_;
};
