#pragma once
// Walks a stream of SWF tags (short or long record headers). A tag whose
// length runs past the data ends the walk and marks the stream truncated:
// everything before it stays usable.
#include <cstddef>
#include <cstdint>

namespace nimbrel::movie::swf {

struct Tag {
    uint16_t code = 0;
    const uint8_t* body = nullptr;
    uint32_t length = 0;
    size_t offset = 0; // of the record header within the stream
};

class TagReader {
public:
    TagReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // Next tag, false at End (code 0), at the end of the data, or on a bad record.
    bool next(Tag& tag);
    bool truncated() const { return truncated_; }
    size_t pos() const { return pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool truncated_ = false;
    bool done_ = false;
};

} // namespace nimbrel::movie::swf
