#include "movie/swf/TagReader.h"

namespace nimbrel::movie::swf {

bool TagReader::next(Tag& tag) {
    if (done_) return false;
    if (size_ - pos_ < 2) {
        // No End tag: many files simply stop; not an error worth reporting.
        done_ = true;
        return false;
    }
    const size_t start = pos_;
    uint16_t codeAndLength = uint16_t(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    uint32_t length = codeAndLength & 0x3f;
    if (length == 0x3f) {
        if (size_ - pos_ < 4) {
            truncated_ = done_ = true;
            return false;
        }
        length = uint32_t(data_[pos_]) | uint32_t(data_[pos_ + 1]) << 8 | uint32_t(data_[pos_ + 2]) << 16 |
                 uint32_t(data_[pos_ + 3]) << 24;
        pos_ += 4;
    }
    tag.code = codeAndLength >> 6;
    if (tag.code == 0) {
        done_ = true;
        return false;
    }
    if (length > size_ - pos_) {
        truncated_ = done_ = true;
        return false;
    }
    tag.body = data_ + pos_;
    tag.length = length;
    tag.offset = start;
    pos_ += length;
    return true;
}

} // namespace nimbrel::movie::swf
