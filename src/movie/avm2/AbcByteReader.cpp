#include "movie/avm2/AbcByteReader.h"
#include <cstring>

namespace nimbrel::movie::avm2 {

uint8_t AbcByteReader::u8() {
    if (failed_ || pos_ >= size_) {
        failed_ = true;
        return 0;
    }
    return data_[pos_++];
}

uint16_t AbcByteReader::u16() {
    const uint16_t lo = u8();
    return uint16_t(lo | u8() << 8);
}

int32_t AbcByteReader::s24() {
    uint32_t v = u8();
    v |= uint32_t(u8()) << 8;
    v |= uint32_t(u8()) << 16;
    if (v & 0x800000) v |= 0xFF000000u;
    return int32_t(v);
}

uint32_t AbcByteReader::u32() {
    uint32_t result = 0;
    for (int i = 0; i < 5; ++i) {
        const uint8_t b = u8();
        result |= uint32_t(b & 0x7F) << (7 * i);
        if (!(b & 0x80)) break;
    }
    return result;
}

int32_t AbcByteReader::s32() { return int32_t(u32()); }

double AbcByteReader::d64() {
    const uint8_t* p = take(8);
    if (!p) return 0.0;
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | p[i];
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

QString AbcByteReader::string() {
    const uint32_t length = u30();
    const uint8_t* p = take(length);
    return p ? QString::fromUtf8(reinterpret_cast<const char*>(p), qsizetype(length)) : QString();
}

const uint8_t* AbcByteReader::take(size_t n) {
    if (failed_ || n > size_ - pos_) {
        failed_ = true;
        return nullptr;
    }
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
}

} // namespace nimbrel::movie::avm2
