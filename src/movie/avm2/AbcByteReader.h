#pragma once
// Reads the ABC encodings (u8, u16, variable-length u30/u32/s32, s24, d64,
// length-prefixed UTF-8) from a byte range. Never reads past the end: a read
// that would gives zero and marks the reader failed, so callers check once
// after a group of reads.
#include <QString>
#include <cstddef>
#include <cstdint>

namespace nimbrel::movie::avm2 {

class AbcByteReader {
public:
    AbcByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t u8();
    uint16_t u16();
    int32_t s24();
    uint32_t u32(); // variable length, up to five bytes
    uint32_t u30() { return u32(); }
    int32_t s32();
    double d64();
    QString string(); // u30 length, then UTF-8 bytes
    // Skips n bytes and gives where they start, or nullptr (and failed) when fewer remain.
    const uint8_t* take(size_t n);

    bool failed() const { return failed_; }
    size_t pos() const { return pos_; }
    size_t remaining() const { return failed_ ? 0 : size_ - pos_; }
    bool atEnd() const { return pos_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace nimbrel::movie::avm2
