#include "movie/video/FlvReader.h"

namespace nimbrel::movie::video {

namespace {
constexpr qsizetype kTagHeader = 11;
constexpr qsizetype kTrailer = 4; // the size of the tag before, after every tag

uint32_t be(const QByteArray& b, qsizetype at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | uint8_t(b[at + i]);
    return v;
}
bool knownType(uint8_t t) { return t == FlvTag::Audio || t == FlvTag::Video || t == FlvTag::Script; }
} // namespace

void FlvReader::append(const QByteArray& bytes) {
    // Tags already read are not needed again: keep memory to what is pending.
    if (pos_ > 0 && headerRead_) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
    buffer_.append(bytes);
}

bool FlvReader::readHeader() {
    if (buffer_.size() < 9) return false;
    if (!buffer_.startsWith("FLV")) {
        error_ = QStringLiteral("not an FLV file");
        return false;
    }
    const uint8_t flags = uint8_t(buffer_[4]);
    hasAudio_ = flags & 4;
    hasVideo_ = flags & 1;
    const uint32_t offset = be(buffer_, 5, 4);
    if (offset < 9 || offset > 1024) {
        error_ = QStringLiteral("FLV header of %1 bytes").arg(offset);
        return false;
    }
    if (buffer_.size() < qsizetype(offset) + kTrailer) return false;
    pos_ = qsizetype(offset) + kTrailer;
    headerRead_ = true;
    return true;
}

bool FlvReader::plausibleHeader(qsizetype at) const {
    const uint8_t type = uint8_t(buffer_[at]) & 0x1f;
    return knownType(type) && be(buffer_, at + 8, 3) == 0 && be(buffer_, at + 1, 3) <= maxTagBytes;
}

std::optional<FlvTag> FlvReader::next() {
    if (!error_.isEmpty() || (!headerRead_ && !readHeader())) return std::nullopt;
    while (pos_ + kTagHeader <= buffer_.size()) {
        const uint32_t size = be(buffer_, pos_ + 1, 3);
        const qsizetype end = pos_ + kTagHeader + size;
        if (plausibleHeader(pos_)) {
            // The rest has not arrived; at the end of the file, the tag is cut short.
            if (end + kTrailer > buffer_.size() && !ended_) return std::nullopt;
            if (end + kTrailer <= buffer_.size() && be(buffer_, end, 4) == size + kTagHeader) {
                FlvTag tag;
                tag.type = FlvTag::Type(uint8_t(buffer_[pos_]) & 0x1f);
                tag.timestampMs = be(buffer_, pos_ + 4, 3) | uint32_t(uint8_t(buffer_[pos_ + 7])) << 24;
                tag.data = buffer_.mid(pos_ + kTagHeader, size);
                pos_ = end + kTrailer;
                resyncing_ = false;
                return tag;
            }
        }
        // Damaged: go on at the next place a tag plausibly starts.
        if (!resyncing_) ++skipped_;
        resyncing_ = true;
        ++pos_;
        while (pos_ + kTagHeader <= buffer_.size() && !plausibleHeader(pos_)) ++pos_;
    }
    return std::nullopt;
}

} // namespace nimbrel::movie::video
