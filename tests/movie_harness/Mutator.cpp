#include "Mutator.h"
#include <algorithm>
#include <vector>

QByteArray Mutator::mutate(const QByteArray& fws) {
    QByteArray b = fws;
    if (b.size() < 8) return b;
    const int rounds = 1 + int(below(3));
    for (int i = 0; i < rounds && b.size() >= 8; ++i) {
        switch (below(6)) {
        case 0: flipBits(b); break;
        case 1: cut(b); break;
        case 2: lieAboutATagLength(b); break;
        case 3: overwrite(b); break;
        case 4: repeatSpan(b); break;
        default: bigCounts(b); break;
        }
    }
    return b;
}

void Mutator::flipBits(QByteArray& b) {
    const int n = 1 + int(below(8));
    for (int i = 0; i < n; ++i) {
        // Leave the signature alone most of the time so the damage reaches the tags.
        const uint32_t pos = 3 + below(uint32_t(b.size() - 3));
        b[pos] = char(uint8_t(b[pos]) ^ (1u << below(8)));
    }
}

void Mutator::cut(QByteArray& b) { b.truncate(qsizetype(below(uint32_t(b.size())))); }

void Mutator::lieAboutATagLength(QByteArray& b) {
    // Find the tag headers after the movie header, then rewrite one length.
    if (b.size() < 21) return;
    const int nbits = uint8_t(b[8]) >> 3;
    size_t pos = 8 + (5 + 4 * size_t(nbits) + 7) / 8 + 4;
    std::vector<size_t> headers;
    while (pos + 2 <= size_t(b.size()) && headers.size() < 4096) {
        const uint16_t cl = uint16_t(uint8_t(b[qsizetype(pos)]) | uint8_t(b[qsizetype(pos + 1)]) << 8);
        uint32_t len = cl & 0x3f;
        size_t head = 2;
        if (len == 0x3f) {
            if (pos + 6 > size_t(b.size())) break;
            len = uint32_t(uint8_t(b[qsizetype(pos + 2)])) | uint32_t(uint8_t(b[qsizetype(pos + 3)])) << 8 |
                  uint32_t(uint8_t(b[qsizetype(pos + 4)])) << 16 | uint32_t(uint8_t(b[qsizetype(pos + 5)])) << 24;
            head = 6;
        }
        headers.push_back(pos);
        pos += head + len;
    }
    if (headers.empty()) return;
    const size_t at = headers[below(uint32_t(headers.size()))];
    const uint16_t cl = uint16_t(uint8_t(b[qsizetype(at)]) | uint8_t(b[qsizetype(at + 1)]) << 8);
    if ((cl & 0x3f) == 0x3f && at + 6 <= size_t(b.size())) {
        const uint32_t choices[] = {0, 1, 0xffffffffu, 0x7fffffffu, uint32_t(below(1u << 20)), uint32_t(below(64))};
        const uint32_t len = choices[below(6)];
        for (int i = 0; i < 4; ++i) b[qsizetype(at + 2 + size_t(i))] = char(len >> (8 * i));
    } else {
        const uint16_t code = cl >> 6;
        const uint16_t len = uint16_t(below(0x40));
        const uint16_t v = uint16_t(code << 6 | len);
        b[qsizetype(at)] = char(v);
        b[qsizetype(at + 1)] = char(v >> 8);
    }
}

void Mutator::overwrite(QByteArray& b) {
    const uint32_t pos = 8 + below(uint32_t(std::max<qsizetype>(b.size() - 8, 1)));
    const uint32_t len = 1 + below(16);
    const char fill = below(2) ? char(0xff) : char(0);
    for (uint32_t i = 0; i < len && pos + i < uint32_t(b.size()); ++i) b[qsizetype(pos + i)] = fill;
}

void Mutator::repeatSpan(QByteArray& b) {
    if (b.size() > (1 << 22)) return;
    const uint32_t pos = 8 + below(uint32_t(std::max<qsizetype>(b.size() - 8, 1)));
    const uint32_t len = 1 + below(256);
    b.insert(qsizetype(pos), b.mid(qsizetype(pos), qsizetype(len)));
}

void Mutator::bigCounts(QByteArray& b) {
    const int n = 1 + int(below(4));
    for (int i = 0; i < n; ++i) {
        const uint32_t pos = 8 + below(uint32_t(std::max<qsizetype>(b.size() - 9, 1)));
        if (pos + 1 >= uint32_t(b.size())) return;
        b[qsizetype(pos)] = char(0xff);
        b[qsizetype(pos + 1)] = char(below(2) ? 0xff : 0x7f);
    }
}
