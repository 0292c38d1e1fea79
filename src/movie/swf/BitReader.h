#pragma once
// Bounds-checked little-endian reader for SWF records. Reading past the end
// never throws or crashes: it yields zeros and sets failed(), which callers
// turn into an error value.
#include "movie/swf/Types.h"
#include <cstddef>
#include <cstdint>
#include <string>
#include <algorithm>

namespace nimbrel::movie::swf {

class BitReader {
public:
    BitReader() = default;
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t pos() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
    bool atEnd() const { return pos_ >= size_; }
    bool failed() const { return failed_; }
    const uint8_t* data() const { return data_; }
    const uint8_t* current() const { return data_ + std::min(pos_, size_); }

    void seek(size_t pos);
    void skip(size_t n);
    void align() { bitCount_ = 0; }

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int8_t s8() { return int8_t(u8()); }
    int16_t s16() { return int16_t(u16()); }
    int32_t s32() { return int32_t(u32()); }
    float f32();
    double f64();          // SWF doubles: two little-endian 32-bit halves, high word first
    double fixed16();      // 16.16
    double fixed8();       // 8.8
    float half();          // 16-bit float (FLOAT16)
    uint32_t encodedU32(); // variable-length, 7 bits a byte

    uint32_t ub(int bits);
    int32_t sb(int bits);
    double fb(int bits) { return sb(bits) / 65536.0; }

    std::string string(); // NUL-terminated; stops at the end of data
    Rect rect();
    Matrix matrix();
    ColorTransform cxform(bool withAlpha);
    Rgba rgb();
    Rgba rgba();
    Rgba argb();

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    uint8_t bitBuf_ = 0;
    int bitCount_ = 0;
    bool failed_ = false;
};

} // namespace nimbrel::movie::swf
